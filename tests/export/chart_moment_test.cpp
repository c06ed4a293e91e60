// The words for the moment a chart was cast for and for its time window,
// and the window's JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "chart/chart_moment.h"
#include "chart/chart_run.h"
#include "formats/time_window_json.h"
#include "state/fixed_lists.h"
#include "tests/support/births.h"

namespace qv {
namespace {

TEST(BirthMomentLine, ZoneOffsetUniversalTimeAndDirections) {
    struct Case {
        BirthData birth;
        std::string line;
    };
    BirthData lateInChicago = test::StelliumInChicago();
    lateInChicago.local.hour = 20;
    BirthData earlyInDelhi = test::Asha();
    earlyInDelhi.local.hour = 2;
    earlyInDelhi.latitude.negative = true;
    BirthData unknownInDelhi = test::Asha();
    unknownInDelhi.local = {1975, 6, 15, 12, 0};
    unknownInDelhi.timeKnown = false;
    const Case cases[] = {
        {test::StelliumInChicago(), "07:00 CST (UTC\u22126:00) = 13:00 UT \u00b7 41\u00b051\u2032N 87\u00b039\u2032W"},
        {test::Asha(), "14:30 IST (UTC+5:30) = 09:00 UT \u00b7 28\u00b037\u2032N 77\u00b013\u2032E"},
        {test::AdaInLondon(), "01:30 GMT (UTC+0:00) = 01:30 UT \u00b7 51\u00b030\u2032N 0\u00b007\u2032W"},
        {test::CarlInBasel(), "19:32 CET, DST (UTC+2:00) = 17:32 UT \u00b7 47\u00b033\u2032N 7\u00b035\u2032E"},
        {lateInChicago, "20:00 CST (UTC\u22126:00) = 02:00 UT the next day \u00b7 41\u00b051\u2032N 87\u00b039\u2032W"},
        {earlyInDelhi, "02:30 IST (UTC+5:30) = 21:00 UT the day before \u00b7 28\u00b037\u2032S 77\u00b013\u2032E"},
        {unknownInDelhi,
         "12:00 (birth time unknown) IST (UTC+5:30) = 06:30 UT \u00b7 28\u00b037\u2032N 77\u00b013\u2032E"},
    };
    for (const Case& c : cases) {
        ChartState state;
        LoadFixedLists(state);
        ChartWheel wheel;
        ASSERT_EQ(RunChartCalculation(c.birth, state, wheel, {}), std::nullopt);
        EXPECT_EQ(BirthMomentLine(state), c.line) << c.birth.name;
    }
}

// 14:30 on 15 June 1962 with the ascendant in Libra from 13:53 to 16:05.
TimeWindow AscendantWindow() {
    TimeWindow w;
    w.clock = {1962, 6, 15, 14, 30};
    w.earliest = -1440;
    w.latest = 1440;
    w.face.sign[kAscendantSlot] = 6;
    w.before = w.after = w.face;
    w.before.sign[kAscendantSlot] = 5;
    w.after.sign[kAscendantSlot] = 7;
    w.first = -37;
    w.last = 95;
    w.lastChange[kAscendantSlot] = PartChange{-37, 5, 6};
    w.nextChange[kAscendantSlot] = PartChange{96, 6, 7};
    return w;
}

// Open before, ended at the next midnight by the Moon and Mercury's mark.
TimeWindow MidnightWindow() {
    TimeWindow w = AscendantWindow();
    w.lastChange = w.nextChange = {};
    w.face.sign[kAscendantSlot] = w.before.sign[kAscendantSlot] = w.after.sign[kAscendantSlot] = 6;
    w.face.sign[kMoonSlot] = w.before.sign[kMoonSlot] = 2;
    w.after.sign[kMoonSlot] = 3;
    w.after.retrograde[0] = true;
    w.earlierOpen = true;
    w.first = -1440;
    w.last = 569;
    w.nextChange[kMoonSlot] = PartChange{570, 2, 3};
    w.nextChange[kFirstMarkPart] = PartChange{570, 0, 1};
    return w;
}

TEST(TimeWindowLine, KnownTimeNamesTheEdgesAndWhatEndsThem) {
    const TimeWindow ascendant = AscendantWindow();
    EXPECT_EQ(TimeWindowLine(ascendant, true),
              "Same chart for births from 13:53 to 16:05 (ascendant in Libra). Earlier: ascendant in Virgo; later: "
              "ascendant in Scorpio.");
    EXPECT_EQ(WindowEdgeEvent(ascendant, false), "at 13:53 the ascendant enters Libra");
    EXPECT_EQ(WindowEdgeEvent(ascendant, true), "at 16:06 the ascendant enters Scorpio");

    const TimeWindow midnight = MidnightWindow();
    EXPECT_EQ(TimeWindowLine(midnight, true),
              "Same chart for births from 1962-06-14 14:30 or earlier to 23:59 (Moon in Gemini, Mercury direct). "
              "Earlier: no change within 24 hours; later: Moon in Cancer, Mercury retrograde.");
    EXPECT_EQ(WindowEdgeEvent(midnight, false), "");
    EXPECT_EQ(WindowEdgeEvent(midnight, true),
              "at 1962-06-16 00:00 the Moon enters Cancer and Mercury turns retrograde");
}

TEST(TimeWindowLine, UnknownTimeGivesTheChangesOfTheWholeDay) {
    TimeWindow w = AscendantWindow();
    w.clock = {1962, 6, 15, 12, 0};
    const std::string lead =
        "Birth time unknown: the ascendant, the houses and the house types are drawn for 12:00 and not known.";
    // The ascendant's changes and those at the day's two midnights are not the day's.
    w.lastChange[0] = PartChange{-720, 1, 2};
    w.nextChange[4] = PartChange{720, 3, 4};
    EXPECT_EQ(TimeWindowLine(w, false), lead + " Every body keeps its sign all day.");
    w.lastChange[kMoonSlot] = PartChange{-200, 0, 1};
    w.nextChange[6] = PartChange{719, 9, 10};
    EXPECT_EQ(TimeWindowLine(w, false), lead +
                                            " During the day: Moon in Aries until 08:39, in Taurus from 08:40; Saturn "
                                            "in Capricorn until 23:58, in Aquarius from 23:59.");
}

TEST(TimeWindowJson, SidesBodiesAndNulls) {
    const auto written = [](const TimeWindow& w) {
        std::string text;
        {
            JsonWriter writer(text, false);
            WriteTimeWindow(w, writer);
        }
        return text;
    };
    const auto json = nlohmann::json::parse(written(MidnightWindow()));
    EXPECT_TRUE(json["from"].is_null());
    EXPECT_EQ(json["until"], "1962-06-15T23:59");
    EXPECT_TRUE(json["before"].is_null());
    EXPECT_EQ(json["after"], "at 1962-06-16 00:00 the Moon enters Cancer and Mercury turns retrograde");
    ASSERT_EQ(json["bodies"].size(), 11u);
    EXPECT_EQ(json["bodies"][1], nlohmann::json::parse(R"({"name": "Moon", "sign": "Gemini", "last_change": null,
        "next_change": {"at": "1962-06-16T00:00", "sign": "Cancer"}})"));
    EXPECT_EQ(json["bodies"][10]["name"], "Asc");
    EXPECT_EQ(json["bodies"][10]["sign"], "Libra");

    const auto ascendant = nlohmann::json::parse(written(AscendantWindow()));
    EXPECT_EQ(ascendant["from"], "1962-06-15T13:53");
    EXPECT_EQ(ascendant["until"], "1962-06-15T16:05");
    EXPECT_EQ(ascendant["bodies"][10]["last_change"], nlohmann::json::parse(R"({"at": "1962-06-15T13:53",
        "sign": "Virgo"})"));
}

}  // namespace
}  // namespace qv
