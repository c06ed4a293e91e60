#include "formats/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "state/text.h"
#include "state/text_room.h"

namespace qv {

namespace {

// Room is made in steps of at least this many bytes: a batch line (some
// 3 KB) takes one, the single chart's indented text a few.
constexpr std::size_t kRoomStep = 4096;

// ---- Escaping ----------------------------------------------------------------

// Bytes that are copied as they stand: printable ASCII but `"` and `\`.
bool IsPlain(unsigned char c) { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }

// Bits of the bytes that are not plain among the 16 (8) at `p`: bit k of
// byte k (for 8 bytes, bit 8k+7). Each byte is tested on its own, so bits
// of bytes already seen can be shifted out.
#if defined(__SSE2__)
unsigned NotPlainBits16(const unsigned char* p) {
    // As signed bytes, those below 0x20 and those of 0x80 and above are all
    // less than 0x20.
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i notPlain = _mm_or_si128(
        _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(notPlain));
}
#endif

template <class Word>
Word NotPlainBits(const unsigned char* p) {
    constexpr Word kOnes = static_cast<Word>(0x0101010101010101ull);
    constexpr Word kLow7 = 0x7F * kOnes;
    constexpr Word kHighs = 0x80 * kOnes;
    Word w;
    std::memcpy(&w, p, sizeof w);
    // High bit of a lane set when its low seven bits are nonzero (at least
    // 0x20), without a carry into the next lane.
    const auto nonzero = [](Word x) { return static_cast<Word>(((x & kLow7) + kLow7) | x); };
    const Word atLeast20 = (w & kLow7) + 0x60 * kOnes;
    const Word quote = w ^ ('"' * kOnes);
    const Word backslash = w ^ ('\\' * kOnes);
    return static_cast<Word>((w | ~atLeast20 | ~nonzero(quote) | ~nonzero(backslash)) & kHighs);
}

// The first byte from `s` on that is not plain among words of `Word`, the
// last one overlapping what was seen; `s` unchanged when the text is shorter.
template <class Word>
const unsigned char* SkipPlainWords(const unsigned char* begin, const unsigned char* s, const unsigned char* end,
                                    bool& found) {
    constexpr std::size_t n = sizeof(Word);
    found = true;
    for (; static_cast<std::size_t>(end - s) >= n; s += n)
        if (const Word bits = NotPlainBits<Word>(s)) return s + static_cast<std::size_t>(__builtin_ctzll(bits)) / 8;
    if (s < end && static_cast<std::size_t>(end - begin) >= n) {
        const auto seen = static_cast<std::size_t>(s - (end - n));
        const auto bits = static_cast<std::uint64_t>(NotPlainBits<Word>(end - n)) >> (8 * seen);
        return bits ? s + static_cast<std::size_t>(__builtin_ctzll(bits)) / 8 : end;
    }
    found = s == end;
    return s;
}

// The first byte from `s` on that is not plain, or `end`; the text starts at
// `begin`, and a window that reaches back before `s` has the bytes seen
// already shifted out.
const unsigned char* SkipPlain(const unsigned char* begin, const unsigned char* s, const unsigned char* end) {
#if defined(__SSE2__)
    for (; end - s >= 16; s += 16)
        if (const unsigned bits = NotPlainBits16(s)) return s + __builtin_ctz(bits);
    if (s < end && end - begin >= 16) {
        const unsigned bits = NotPlainBits16(end - 16) >> (s - (end - 16));
        return bits ? s + __builtin_ctz(bits) : end;
    }
#endif
    bool found = false;
    s = SkipPlainWords<std::uint64_t>(begin, s, end, found);
    if (!found) s = SkipPlainWords<std::uint32_t>(begin, s, end, found);
    while (s < end && IsPlain(*s)) ++s;
    return s;
}

// An ASCII byte that is not plain, escaped.
char* PutEscapedAscii(char* out, unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    *out++ = '\\';
    switch (c) {
        case '\b':
            *out++ = 'b';
            break;
        case '\t':
            *out++ = 't';
            break;
        case '\n':
            *out++ = 'n';
            break;
        case '\f':
            *out++ = 'f';
            break;
        case '\r':
            *out++ = 'r';
            break;
        case '"':
            *out++ = '"';
            break;
        case '\\':
            *out++ = '\\';
            break;
        default:  // the other control characters
            *out++ = 'u';
            *out++ = '0';
            *out++ = '0';
            *out++ = kHex[c >> 4];
            *out++ = kHex[c & 0xF];
    }
    return out;
}

}  // namespace

char* PutJsonEscaped(char* out, std::string_view text) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const auto* s = begin;
    while (s < end) {
        // A run of plain bytes, copied as it stands.
        const unsigned char* const plain = s;
        s = SkipPlain(begin, s, end);
        const auto run = static_cast<std::size_t>(s - plain);
        if (run > 16)
            CopyLongText(out, reinterpret_cast<const char*>(plain), run);
        else
            CopyShortText(out, reinterpret_cast<const char*>(plain), run);
        out += run;
        if (s == end) break;
        if (*s < 0x80) {
            out = PutEscapedAscii(out, *s++);
            continue;
        }
        const Utf8Step step =
            Utf8StepAt(std::string_view(reinterpret_cast<const char*>(s), static_cast<std::size_t>(end - s)), 0);
        if (step.valid) {
            std::memcpy(out, s, step.length);
            out += step.length;
        } else {
            std::memcpy(out, "\xEF\xBF\xBD", 3);
            out += 3;
        }
        s += step.length;
    }
    return out;
}

JsonWriter::JsonWriter(std::string& out, bool pretty)
    : out_(out), p_(out.data() + out.size()), room_(p_), pretty_(pretty) {}

void JsonWriter::Grow(std::size_t bytes) {
    const std::size_t at = written();
    out_.resize(at + std::max(bytes, kRoomStep));
    p_ = out_.data() + at;
    room_ = out_.data() + out_.size();
}

void JsonWriter::String(std::string_view text) {
    Room(kMostAround + kJsonEscapedPerByte * text.size() + 2);
    BeforeValue();
    *p_++ = '"';
    p_ = PutJsonEscaped(p_, text);
    *p_++ = '"';
}

void JsonWriter::StringOrNull(std::string_view text) {
    if (text.empty())
        Null();
    else
        String(text);
}

void JsonWriter::Null() {
    Room(kMostAround + 4);
    BeforeValue();
    Raw("null");
}

void JsonWriter::Number(double value) {
    // The shortest round trip of a double takes at most 24 characters.
    constexpr std::size_t kMostDigits = 32;
    Room(kMostAround + kMostDigits + 2);
    BeforeValue();
    if (!std::isfinite(value)) return Raw("null");
    char* const start = p_;
    p_ = std::to_chars(p_, p_ + kMostDigits, value).ptr;
    // A whole number keeps a fraction, so that it reads back as a double.
    if (std::memchr(start, '.', static_cast<std::size_t>(p_ - start)) == nullptr &&
        std::memchr(start, 'e', static_cast<std::size_t>(p_ - start)) == nullptr)
        Raw(".0");
}

void JsonWriter::Integer(std::int64_t value) {
    constexpr std::size_t kMostDigits = 20;  // -9223372036854775808
    Room(kMostAround + kMostDigits);
    BeforeValue();
    p_ = std::to_chars(p_, p_ + kMostDigits, value).ptr;
}

void JsonWriter::Bool(bool value) {
    Room(kMostAround + 5);
    BeforeValue();
    Raw(value ? "true" : "false");
}

}  // namespace qv
