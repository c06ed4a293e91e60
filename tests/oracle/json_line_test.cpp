// The chart's one JSON mapping, both as the batch's line and as the single
// chart's indented text, against the JSON library, its judge: the same
// values for random charts with random people and places, and for any text
// and any double in any member; the library's own layout; and the library's
// escaping, byte for byte.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "analysis/aspects.h"
#include "chart/chart_run.h"
#include "formats/chart_json.h"
#include "formats/json_writer.h"
#include "state/time_zones.h"
#include "tests/oracle/chart_comparison.h"
#include "tests/oracle/library_json.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

using Json = nlohmann::ordered_json;

// What a person may type or a file may hold: words and blanks, quotes and
// backslashes, control characters, non-ASCII from one to four bytes at the
// edges of each length, and bytes that are no UTF-8 (overlong forms,
// surrogates, beyond U+10FFFF, stray continuations, cut sequences).
// clang-format off
constexpr std::string_view kPieces[] = {
    "Asha", " ", "New Delhi", "O'Neil", "\"", "\\", "/", "\x7F", "\u0080", "\u00E9", "\u07FF", "\u0800",
    "\uFFFD", "\uFFFF", "\U00010000", "\U0010FFFF", "\u5C71\u7530", "\r\n", "\t", "\b", "\f",
    "\xC0\x80", "\xC1\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
    "\xF5", "\xFF", "\x80", "\xBF", "\xE2\x82", "\xF0\x9F\x98", "\xC3", "\xE2\x82\xAC",
};
// clang-format on

std::string RandomText(std::mt19937_64& rng) {
    std::string text;
    const std::size_t pieces = 1 + rng() % 8;
    for (std::size_t k = 0; k < pieces; ++k) {
        if (rng() % 4 == 0)
            text.push_back(static_cast<char>(rng() % 256));  // any byte at all
        else
            text.append(kPieces[rng() % std::size(kPieces)]);
    }
    return text;
}

// Any double: every bit pattern (NaN, infinities, subnormals, negative zero)
// or a longitude-like one.
double RandomDouble(std::mt19937_64& rng) {
    if (rng() % 2) return std::uniform_real_distribution<double>(-720.0, 720.0)(rng);
    return std::bit_cast<double>(static_cast<std::uint64_t>(rng()));
}

// One of the texts the line writes, chosen at random, changed to `text`; a
// fixed text (a result, a label, the Moon's sign) shows `kept`, which takes it.
void ChangeSomeText(ChartState& s, ChartWheel& w, std::mt19937_64& rng, std::string text, std::string& kept) {
    const std::size_t k = rng() % 11;
    std::string* target = nullptr;
    FixedText* fixed = nullptr;
    // clang-format off
    switch (rng() % 10) {
        case 0: target = &s.AscendantText; break;
        case 1: fixed = &s.MoonSignName; break;
        case 2: target = &s.PositionName[k]; break;
        case 3: target = &s.PlanetPosition[k]; break;
        case 4: fixed = &s.BodyLabel[k]; break;
        case 5: target = &s.HouseSign[k]; break;
        case 6: fixed = &s.ElementResult[k % 4]; break;
        case 7: fixed = &s.HouseTypeResult[k % 3]; break;
        case 8: target = &s.TimeZoneName[static_cast<std::size_t>(s.ZoneSlot)]; break;
        default:  // a body shown in a second box as well
            w.signBoxes[k].bodies |= static_cast<std::uint16_t>(1u << (k % 10));
            fixed = &s.BodyLabel[k % 10];
    }
    // clang-format on
    if (target) {
        *target = std::move(text);
    } else {
        kept = std::move(text);
        *fixed = FixedText::Of(kept);
    }
}

TEST(ChartJson, SameValuesAsTheLibraryOnRandomRows) {
    std::mt19937_64 rng(15);
    ChartState state;
    ChartWheel wheel;
    ChartJsonLineWriter writer;
    std::string kept;  // a changed result message
    std::string line;
    // clang-format off
    for (std::size_t row = 1; row <= RandomCaseCount(100000); ++row) {
        const oracle::Birth b = oracle::RandomBirth(1515, row);
        const BirthData birth{.name = RandomText(rng), .local = {b.year, b.month, b.day, b.hour, b.minute},
                              .zoneSlot = b.zoneSlot, .daylightSaving = b.dst,
                              .latitude = {b.latDeg, b.latMin, b.south}, .longitude = {b.lonDeg, b.lonMin, !b.east},
                              .city = RandomText(rng), .state = RandomText(rng), .country = RandomText(rng)};
        state.MoonSignName = {};
        ASSERT_EQ(CalculateChartOf(birth, state, wheel), std::nullopt) << row;
        // The line names the engine as the library does, either way.
        if (row % 2) state.PositionSource = PositionsFrom::Ephemeris;
        if (row % 4 == 0) {
            ChangeSomeText(state, wheel, rng, RandomText(rng), kept);
            state.BodyLongitude[rng() % 11] = RandomDouble(rng);
            // Aspects as the program finds them for whatever longitudes, the
            // library's found pair by pair.
            FindAspects(state.BodyLongitude, state.BodyLongitude, state.Aspects);
        }
        // What the atlas gave, for a row with a place: null when empty.
        const AtlasUse atlas{row % 3 ? RandomText(rng) : "", row % 5 ? RandomText(rng) : ""};
        line.clear();
        writer.AppendChart(line, row, state, wheel, atlas);
        ASSERT_TRUE(line.ends_with("}\n") && line.find('\n') == line.size() - 1) << "row " << row;
        ASSERT_EQ(oracle::DifferentJson(line, oracle::LibraryChartJson(row, state, wheel, atlas)), "") << "row " << row;
        if (row % 16 == 0)  // the single chart's text, from the same mapping
            ASSERT_EQ(oracle::DifferentJson(ChartJsonText(state, wheel, atlas), oracle::LibraryChartJson(0, state, wheel, atlas)), "")
                << "row " << row;

        const std::string message = RandomText(rng);
        line.clear();
        writer.AppendError(line, row, message);
        ASSERT_EQ(line, Json({{"row", row}, {"error", message}}).dump(-1, ' ', false, Json::error_handler_t::replace) +
                            "\n")
            << "row " << row;
    }
    // clang-format on
}

// The single chart's text is laid out as the library lays out its tree
// (dump with an indent of 2), line for line; a number may be written in
// another shortest form of the same double.
TEST(ChartJson, IndentedAsTheLibrary) {
    std::mt19937_64 rng(16);
    for (std::size_t k = 1; k <= 200; ++k) {
        const oracle::Birth b = oracle::RandomBirth(1616, k);
        const BirthData birth{.name = RandomText(rng),
                              .local = {b.year, b.month, b.day, b.hour, b.minute},
                              .zoneSlot = b.zoneSlot,
                              .daylightSaving = b.dst,
                              .latitude = {b.latDeg, b.latMin, b.south},
                              .longitude = {b.lonDeg, b.lonMin, !b.east},
                              .city = "c",
                              .state = "s",
                              .country = RandomText(rng)};
        ChartState state;
        ChartWheel wheel;
        ASSERT_EQ(CalculateChartOf(birth, state, wheel), std::nullopt);
        const AtlasUse atlas{k % 2 ? "Place" : "", ""};
        const std::string text = ChartJsonText(state, wheel, atlas);
        const std::string library =
            oracle::LibraryChartJson(0, state, wheel, atlas).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
        std::istringstream ours(text), theirs(library);
        std::string a, w;
        for (int line = 1; std::getline(theirs, w); ++line) {
            ASSERT_TRUE(std::getline(ours, a)) << "line " << line;
            if (a == w) continue;
            // Only a number may differ, and only in its digits.
            const auto colon = w.rfind(": ");
            ASSERT_NE(colon, std::string::npos) << a << " / " << w;
            ASSERT_EQ(a.substr(0, colon + 2), w.substr(0, colon + 2));
            const bool comma = w.ends_with(",");
            ASSERT_EQ(a.ends_with(","), comma);
            const auto number = [&](const std::string& l) {
                return std::stod(l.substr(colon + 2, l.size() - colon - 2 - (comma ? 1 : 0)));
            };
            EXPECT_EQ(number(a), number(w)) << a << " / " << w;
        }
        EXPECT_FALSE(std::getline(ours, a)) << "more lines than the library's";
    }
}

// Escaping at its edges, each against the library and spelled out.
TEST(ChartJsonLine, EscapesAsTheLibrary) {
    struct Case {
        std::string_view text, escaped;
    };
    // clang-format off
    const Case cases[] = {
        {"plain ASCII, eight bytes and more", "plain ASCII, eight bytes and more"},
        {"\"\\/\b\f\n\r\t", "\\\"\\\\/\\b\\f\\n\\r\\t"},
        {std::string_view("\x00\x01\x1F\x7F", 4), "\\u0000\\u0001\\u001f\x7F"},
        {"\u00E9\U0010FFFF", "\u00E9\U0010FFFF"},
        {"\xC3(", "\uFFFD("},                   // a sequence broken by ASCII: the byte is read again
        {"\xE2\x82", "\uFFFD"},                  // cut short by the end: replaced as a whole
        {"\xE0\x80\xAF", "\uFFFD\uFFFD\uFFFD"},  // overlong: nothing of it continues
        {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},  // a surrogate
        {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a\xFF\xFE" "b", "a\uFFFD\uFFFD" "b"},
        {"12345678\"", "12345678\\\""},  // the first byte after a clean block of eight
        {"Ascend\t ", "Ascend\\t "},       // a blank right after a control character
        {"0123456789abcdef\t  x", "0123456789abcdef\\t  x"},
    };
    // clang-format on
    for (const Case& c : cases) {
        char out[256];
        const std::string got(out, PutJsonEscaped(out, c.text));
        const std::string library = Json(std::string(c.text)).dump(-1, ' ', false, Json::error_handler_t::replace);
        EXPECT_EQ("\"" + got + "\"", library) << c.escaped;
        EXPECT_EQ(got, c.escaped);
    }
}

}  // namespace
}  // namespace qv
