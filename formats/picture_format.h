// The pictures of a chart the program writes: their kinds, told by the file
// name's extension, and the widths they may be drawn at. The picture itself
// is drawn by the desktop side (gui/chart/chart_picture.h); the command
// checks its options with these before it draws anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class PictureFormat { Png, Svg, Jpeg };

// The display form's designed width in pixels (9540 twips), the width of
// "Save As JPEG", and the widths a picture may be drawn at: from a third of
// it to 8,000 pixels, twice it unless the user chooses.
inline constexpr int kDesignedPictureWidth = 636;
inline constexpr int kDefaultPictureWidth = 2 * kDesignedPictureWidth;
inline constexpr int kSmallestPictureWidth = 200;
inline constexpr int kLargestPictureWidth = 8000;

// The kind of picture a file name asks for by its extension, in any case:
// ".png", ".svg", ".jpg" or ".jpeg". nullopt for any other name, one without
// an extension included.
std::optional<PictureFormat> PictureFormatOfName(std::string_view fileName);

// The extension a picture of `format` is written with (".png", ".svg", ".jpg").
std::string_view PictureExtension(PictureFormat format);

// The message refusing a width outside the range above, or nullopt.
std::optional<std::string> PictureWidthRefusal(long long width);

}  // namespace qv
