#include "chartview/chart_json_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// nlohmann::detail::to_chars: the judge's own shortest round-trip form of a
// double (Grisu2), which std::to_chars does not always match digit for digit.
#include <nlohmann/json.hpp>

#include "analysis/elements.h"
#include "astro/universal_time.h"
#include "state/fixed_lists.h"
#include "state/text_room.h"
#include "state/time_zones.h"
#include "state/text.h"

namespace qv {

namespace {

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

// ---- One line ----------------------------------------------------------------

// Longest text of a double (nlohmann's own buffer).
constexpr std::size_t kNumberRoom = 64;

// Writes a line's pieces at `p`, which has the room the caller made for them.
struct Line {
    char* p;

    void Raw(std::string_view text) {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    }
    void String(std::string_view text) {
        *p++ = '"';
        p = PutJsonEscaped(p, text);
        *p++ = '"';
    }
    // A member's key (with its comma and colon), then its text.
    void Member(std::string_view key, std::string_view text) {
        Raw(key);
        String(text);
    }
    void Unsigned(std::uint64_t value) { p = std::to_chars(p, p + 24, value).ptr; }
    void Integer(std::int64_t value) { p = std::to_chars(p, p + 24, value).ptr; }
    void Bool(bool value) { Raw(value ? "true" : "false"); }
    // A string, or null for an empty one.
    void StringOrNull(std::string_view text) {
        if (text.empty())
            Raw("null");
        else
            String(text);
    }
    void Number(double value) {
        if (!std::isfinite(value))
            Raw("null");
        else
            p = nlohmann::detail::to_chars(p, p + kNumberRoom, value);
    }
    // `value` as snprintf's "%0*d" writes it.
    void Padded(long value, int width) { p = PutZeroPadded(p, value, width); }
};

// Room made at the first line: enough for any chart whose texts are not
// far beyond the program's own, so the next lines make none.
constexpr std::size_t kLineRoom = 64 * 1024;
// Room for everything but the texts: names, punctuation, numbers.
constexpr std::size_t kFixedRoom = 8192;
// Most bytes one byte of a text becomes: a control character as \u00XX.
constexpr std::size_t kEscapedPerByte = 6;

// Bytes of every text a chart's line holds, before escaping.
std::size_t TextBytes(const ChartState& s, const ChartWheel& wheel) {
    std::size_t n = s.BirthName.size() + s.BirthCity.size() + s.BirthState.size() + s.BirthCountry.size();
    if (s.ZoneSlot >= 0 && s.ZoneSlot < kTimeZoneCount)
        n += s.TimeZoneName[static_cast<std::size_t>(s.ZoneSlot)].size();
    n += s.AscendantText.size() + s.MoonText.size() + s.MoonSignName.size();
    for (std::size_t slot = 0; slot < s.BodyLongitude.size(); ++slot)
        n += s.PositionName[slot].size() + s.PlanetPosition[slot].size() + s.BodyLabel[slot].size();
    for (const std::string& sign : s.HouseSign) n += sign.size();
    for (const WheelBox& box : wheel.signBoxes)  // each label and its quotes and comma
        ForEachLabel(s, box, [&](std::string_view label) { n += label.size() + 3; });
    for (const FixedText message : s.ElementResult) n += message.size();
    for (const FixedText message : s.QualityResult) n += message.size();
    for (const FixedText message : s.HouseTypeResult) n += message.size();
    return n;
}

// The offset east of UTC that the chart's zone row and box give, "+05:30".
void PutUtcOffset(const ChartState& s, Line& line) {
    line.Raw("\"");
    line.p = qv::PutUtcOffset(line.p, s.ChartMoment.utcOffsetSeconds / 60);
    line.Raw("\"");
}

// The members below follow WriteChartJson (chart_json.cpp) one for one.

void WriteInput(const ChartState& s, const AtlasUse& atlas, Line& line) {
    line.Member("{\"name\":", s.BirthName);
    line.Raw(",\"date\":\"");
    line.Padded(s.BirthYear, 4);
    line.Raw("-");
    line.Padded(s.BirthMonth, 2);
    line.Raw("-");
    line.Padded(s.BirthDay, 2);
    line.Raw("\",\"time\":\"");
    line.Padded(s.BirthHour, 2);
    line.Raw(":");
    line.Padded(s.BirthMinute, 2);
    line.Raw("\",\"zone\":");
    line.Integer(s.ZoneSlot);
    const bool inTable = s.ZoneSlot >= 0 && s.ZoneSlot < kTimeZoneCount;
    line.Member(",\"zone_text\":",
                inTable ? std::string_view(s.TimeZoneName[static_cast<std::size_t>(s.ZoneSlot)]) : std::string_view());
    line.Raw(",\"dst\":");
    line.Bool(s.DaylightSaving);
    line.Raw(",\"latitude\":");
    line.Number(s.ChartMoment.latitudeNorth);
    line.Raw(",\"longitude\":");
    line.Number(s.ChartMoment.longitudeEast);
    line.Member(",\"city\":", s.BirthCity);
    line.Member(",\"state\":", s.BirthState);
    line.Member(",\"country\":", s.BirthCountry);
    line.Raw(",\"place\":");
    line.StringOrNull(atlas.place);
    line.Raw(",\"zone_id\":");
    line.StringOrNull(atlas.zoneId);
    line.Raw(",\"utc_offset\":");
    PutUtcOffset(s, line);
    line.Raw("}");
}

void WritePositions(const ChartState& s, Line& line) {
    line.Raw("[");
    for (std::size_t slot = 0; slot < s.BodyLongitude.size(); ++slot) {
        line.Raw(slot == 0 ? "{\"name\":" : ",{\"name\":");
        line.String(s.PositionName[slot]);
        line.Member(",\"position\":", s.PlanetPosition[slot]);
        line.Raw(",\"longitude\":");
        line.Number(s.BodyLongitude[slot]);
        line.Member(",\"label\":", s.BodyLabel[slot]);
        // Slots 2..9 are Mercury … Pluto, flags 0..7.
        line.Raw(",\"retrograde\":");
        line.Bool(slot >= 2 && slot <= 9 && s.RetrogradeFlag[slot - 2]);
        line.Raw("}");
    }
    line.Raw("]");
}

void WriteHouses(const ChartState& s, const ChartWheel& wheel, Line& line) {
    line.Raw("[");
    for (std::size_t h = 0; h < 12; ++h) {
        line.Raw(h == 0 ? "{\"house\":" : ",{\"house\":");
        line.Unsigned(h + 1);
        line.Member(",\"sign\":", s.HouseSign[h]);
        line.Raw(",\"bodies\":[");
        const WheelBox& box = wheel.houseBox(static_cast<int>(h));
        bool first = true;
        ForEachLabel(s, box, [&](std::string_view label) {
            if (!first) line.Raw(",");
            line.String(label);
            first = false;
        });
        if (box.ascendant) {
            if (!first) line.Raw(",");
            line.String(kBodyNames[kAscendantSlot]);
        }
        line.Raw("]}");
    }
    line.Raw("]");
}

template <std::size_t N, std::size_t M>
void WriteFindings(const std::array<std::string_view, N>& names, const std::array<FixedText, M>& results, Line& line) {
    line.Raw("[");
    for (std::size_t i = 0; i < N; ++i) {
        line.Raw(i == 0 ? "{\"name\":" : ",{\"name\":");
        line.String(names[i]);
        line.Raw(",\"present\":");
        line.Bool(IsPresentMessage(results[i]));
        line.Member(",\"message\":", results[i]);
        line.Raw("}");
    }
    line.Raw("]");
}

void WriteChart(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas, Line& line) {
    line.Raw(",\"input\":");
    WriteInput(state, atlas, line);
    line.Raw(",\"positions_from\":\"");
    line.Raw(PositionsFromName(state.PositionSource));
    line.Raw("\"");
    line.Member(",\"ascendant_text\":", state.AscendantText);
    line.Member(",\"moon_text\":", state.MoonText);
    line.Member(",\"moon_sign\":", state.MoonSignName);
    line.Raw(",\"universal_time\":\"");
    line.p = PutIsoMinute(line.p, UniversalMoment(state.ChartMoment));
    line.Raw("\",\"positions\":");
    WritePositions(state, line);
    line.Raw(",\"houses\":");
    WriteHouses(state, wheel, line);
    line.Raw(",\"elements\":");
    WriteFindings(kElementNames, state.ElementResult, line);
    line.Raw(",\"qualities\":");
    WriteFindings(kQualityNames, state.QualityResult, line);
    line.Raw(",\"house_types\":");
    WriteFindings(kHouseTypeNames, state.HouseTypeResult, line);
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

char* ChartJsonLineWriter::Room(std::size_t bytes) {
    if (room_.size() < bytes) room_.resize(std::max(bytes, kLineRoom));
    return room_.data();
}

char* ChartJsonLineWriter::StartLine(std::size_t row, std::size_t texts) {
    Line line{Room(kFixedRoom + kEscapedPerByte * texts)};
    line.Raw("{\"row\":");
    line.Unsigned(row);
    return line.p;
}

void ChartJsonLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state,
                                      const ChartWheel& wheel, const AtlasUse& atlas) {
    Line line{StartLine(row, TextBytes(state, wheel) + atlas.place.size() + atlas.zoneId.size())};
    WriteChart(state, wheel, atlas, line);
    line.Raw("}\n");
    out.append(room_.data(), line.p);
}

void ChartJsonLineWriter::AppendError(std::string& out, std::size_t row, std::string_view message) {
    Line line{StartLine(row, message.size())};
    line.Member(",\"error\":", message);
    line.Raw("}\n");
    out.append(room_.data(), line.p);
}

}  // namespace qv
