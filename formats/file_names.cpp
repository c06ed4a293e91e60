#include "formats/file_names.h"

#include <array>
#include <cctype>

namespace qv {

namespace {

// The extensions of the two saves that share a remembered name.
constexpr std::array<std::string_view, 2> kSharedExtensions = {"qvn", "txt"};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::string WithOwnExtension(std::string_view name, std::string_view extension) {
    if (name.empty()) return {};
    const std::size_t slash = name.find_last_of('/');
    const std::string_view file = slash == std::string_view::npos ? name : name.substr(slash + 1);
    std::string_view stem = name;
    const std::size_t dot = file.find_last_of('.');
    // A name that is only an extension (".qvn") has no stem to keep.
    if (dot != std::string_view::npos && dot > 0) {
        const std::string_view tail = file.substr(dot + 1);
        for (std::string_view own : kSharedExtensions)
            if (EqualIgnoringCase(tail, own)) stem = name.substr(0, name.size() - tail.size() - 1);
    }
    std::string out(stem);
    out += '.';
    out += extension;
    return out;
}

}  // namespace qv
