#include "app/user_text.h"

#include <cstddef>

namespace qv {
namespace {

// Length of the valid UTF-8 sequence starting at text[i]; 0 when invalid.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 < 0x80) return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
    else if (b0 == 0xE0) len = 3, lo = 0xA0;
    else if (b0 >= 0xE1 && b0 <= 0xEC) len = 3;
    else if (b0 == 0xED) len = 3, hi = 0x9F;
    else if (b0 >= 0xEE && b0 <= 0xEF) len = 3;
    else if (b0 == 0xF0) len = 4, lo = 0x90;
    else if (b0 >= 0xF1 && b0 <= 0xF3) len = 4;
    else if (b0 == 0xF4) len = 4, hi = 0x8F;
    else return 0;
    if (i + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) return 0;
    }
    return len;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.append("\\x");
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

}  // namespace

std::string QuoteUserText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Utf8Length(text, i);
        const auto b0 = static_cast<unsigned char>(text[i]);
        const bool c0 = len == 1 && (b0 < 0x20 || b0 == 0x7F);
        const bool c1 = len == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (len == 0 || c0 || c1) {
            const std::size_t n = len == 0 ? 1 : len;
            for (std::size_t k = 0; k < n; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
            i += n;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    out.push_back('"');
    return out;
}

}  // namespace qv
