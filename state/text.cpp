#include "state/text.h"

#include <charconv>
#include <cstring>

namespace qv {

std::string_view TrimBlanks(std::string_view s, std::string_view blanks) {
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::string_view LastCharacters(std::string_view s, std::size_t n) {
    std::size_t pos = s.size();
    while (n > 0 && pos > 0) {
        --pos;
        // Step over UTF-8 continuation bytes to the start of the code point.
        while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
        --n;
    }
    return s.substr(pos);
}

std::optional<int> ParseDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Well-formed sequences as Unicode's table 3-7 lists them: the lead byte
// fixes the length and the range of the second byte.
Utf8Step Utf8StepAt(std::string_view text, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) return {1, true};
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF)
        len = 2;
    else if (b0 == 0xE0)
        len = 3, lo = 0xA0;
    else if (b0 >= 0xE1 && b0 <= 0xEC)
        len = 3;
    else if (b0 == 0xED)
        len = 3, hi = 0x9F;
    else if (b0 >= 0xEE && b0 <= 0xEF)
        len = 3;
    else if (b0 == 0xF0)
        len = 4, lo = 0x90;
    else if (b0 >= 0xF1 && b0 <= 0xF3)
        len = 4;
    else if (b0 == 0xF4)
        len = 4, hi = 0x8F;
    else
        return {1, false};
    std::size_t good = 1;  // bytes of a valid start
    while (good < len && i + good < text.size()) {
        const auto b = static_cast<unsigned char>(text[i + good]);
        if (b < (good == 1 ? lo : 0x80) || b > (good == 1 ? hi : 0xBF)) break;
        ++good;
    }
    return {good, good == len};
}

bool HoldsControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 || b == 0x7F) return true;
        if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return true;
    }
    return false;
}

std::string ValidUtf8(std::string_view text) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Step step = Utf8StepAt(text, i);
        out.append(step.valid ? text.substr(i, step.length) : kReplacement);
        i += step.length;
    }
    return out;
}

namespace {

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
        const Utf8Step step = Utf8StepAt(text, i);
        const auto b0 = static_cast<unsigned char>(text[i]);
        const bool c0 = step.length == 1 && (b0 < 0x20 || b0 == 0x7F);
        const bool c1 = step.length == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (!step.valid || c0 || c1) {
            for (std::size_t k = 0; k < step.length; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
        } else {
            out.append(text.substr(i, step.length));
        }
        i += step.length;
    }
    out.push_back('"');
    return out;
}

char* PutZeroPadded(char* out, long value, int width) {
    char digits[24];
    const unsigned long magnitude =
        value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    const auto length = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    if (value < 0) {
        *out++ = '-';
        --width;
    }
    for (int k = length; k < width; ++k) *out++ = '0';
    std::memcpy(out, digits, static_cast<std::size_t>(length));
    return out + length;
}

char* PutUtcOffset(char* out, int secondsEast) {
    const int magnitude = secondsEast < 0 ? -secondsEast : secondsEast;
    *out++ = secondsEast < 0 ? '-' : '+';
    out = PutZeroPadded(out, magnitude / 3600, 2);
    *out++ = ':';
    out = PutZeroPadded(out, magnitude / 60 % 60, 2);
    if (magnitude % 60 == 0) return out;
    *out++ = ':';
    return PutZeroPadded(out, magnitude % 60, 2);
}

char* PutIsoMinute(char* out, std::chrono::sys_seconds t) {
    using namespace std::chrono;
    const auto dayStart = floor<days>(t);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{t - dayStart};
    out = PutZeroPadded(out, static_cast<int>(ymd.year()), 4);
    *out++ = '-';
    out = PutZeroPadded(out, static_cast<unsigned>(ymd.month()), 2);
    *out++ = '-';
    out = PutZeroPadded(out, static_cast<unsigned>(ymd.day()), 2);
    *out++ = 'T';
    out = PutZeroPadded(out, hms.hours().count(), 2);
    *out++ = ':';
    out = PutZeroPadded(out, hms.minutes().count(), 2);
    *out++ = ':';
    out = PutZeroPadded(out, hms.seconds().count(), 2);
    *out++ = 'Z';
    return out;
}

}  // namespace qv
