#include "formats/picture_format.h"

#include <algorithm>
#include <cctype>

namespace qv {

std::optional<PictureFormat> PictureFormatOfName(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    std::string extension(base.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "png") return PictureFormat::Png;
    if (extension == "svg") return PictureFormat::Svg;
    if (extension == "jpg" || extension == "jpeg") return PictureFormat::Jpeg;
    return std::nullopt;
}

std::string_view PictureExtension(PictureFormat format) {
    switch (format) {
        case PictureFormat::Png:
            return ".png";
        case PictureFormat::Svg:
            return ".svg";
        case PictureFormat::Jpeg:
            break;
    }
    return ".jpg";
}

std::optional<std::string> PictureWidthRefusal(long long width) {
    if (width >= kSmallestPictureWidth && width <= kLargestPictureWidth) return std::nullopt;
    return "The picture's width must be from " + std::to_string(kSmallestPictureWidth) + " to " +
           std::to_string(kLargestPictureWidth) + " pixels";
}

}  // namespace qv
