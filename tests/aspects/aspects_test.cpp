#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/aspects.h"
#include "chart/chart_run.h"
#include "chart/time_window.h"
#include "formats/chart_json.h"
#include "tests/support/births.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

using Json = nlohmann::ordered_json;

// Slots of the points the tables use.
constexpr std::size_t kSun = 0, kMoon = 1, kMars = 4, kJupiter = 5, kPluto = 9, kAsc = 10;

// Longitudes spread so that a pair under test may be placed anywhere.
std::array<double, 11> Spread() {
    std::array<double, 11> l{};
    for (std::size_t k = 0; k < l.size(); ++k) l[k] = 3.0 + 33.0 * double(k);
    return l;
}

// The aspect the pair (a, b) makes in `aspects`, or nullptr.
const Aspect* PairIn(const ChartAspects& aspects, std::size_t a, std::size_t b) {
    for (const Aspect& x : aspects)
        if (x.a == a && x.b == b) return &x;
    return nullptr;
}

// Pairs at their orb (inclusive) and just beyond it, on both sides of each
// angle, with and without the Sun or the Moon, and across 0°/360°.
TEST(Aspects, PairsAtAndJustBeyondTheOrb) {
    struct Case {
        std::size_t a, b;
        double la, lb;
        bool found;
        AspectKind kind;
        double orb;
    };
    constexpr double kJust = 1e-9;
    const auto C = AspectKind::Conjunction, X = AspectKind::Sextile, Q = AspectKind::Square, T = AspectKind::Trine,
               O = AspectKind::Opposition;
    // clang-format off
    const Case cases[] = {
        // Neither a Sun nor a Moon: the table's orbs.
        {kMars, kJupiter, 10, 18, true, C, 8},             {kMars, kJupiter, 10, 18 + kJust, false, C, 0},
        {kMars, kJupiter, 10, 75, true, X, 5},             {kMars, kJupiter, 10, 75 + kJust, false, X, 0},
        {kMars, kJupiter, 10, 65, true, X, 5},             {kMars, kJupiter, 10, 65 - kJust, false, X, 0},
        {kMars, kJupiter, 10, 107, true, Q, 7},            {kMars, kJupiter, 10, 107 + kJust, false, Q, 0},
        {kMars, kJupiter, 10, 93, true, Q, 7},             {kMars, kJupiter, 10, 93 - kJust, false, Q, 0},
        {kMars, kJupiter, 10, 137, true, T, 7},            {kMars, kJupiter, 10, 137 + kJust, false, T, 0},
        {kMars, kJupiter, 10, 123, true, T, 7},            {kMars, kJupiter, 10, 123 - kJust, false, T, 0},
        {kMars, kJupiter, 10, 182, true, O, 8},            {kMars, kJupiter, 10, 182 - kJust, false, O, 0},
        {kMars, kJupiter, 200, 12, true, O, 8},            {kMars, kJupiter, 200, 12 - kJust, false, O, 0},
        // The Sun or the Moon in the pair: two degrees more.
        {kSun, kMars, 10, 20, true, C, 10},                {kSun, kMars, 10, 20 + kJust, false, C, 0},
        {kSun, kMoon, 10, 77, true, X, 7},                 {kSun, kMoon, 10, 77 + kJust, false, X, 0},
        {kMoon, kPluto, 100, 9, true, Q, 1},               {kMoon, kPluto, 100, 1, true, Q, 9},
        {kMoon, kPluto, 100, 1 - kJust, false, Q, 0},      {kMoon, kAsc, 0, 129, true, T, 9},
        {kMoon, kAsc, 0, 129 + kJust, false, T, 0},        {kSun, kJupiter, 10, 180, true, O, 10},
        {kSun, kJupiter, 10, 180 - kJust, false, O, 0},
        // The ascendant is no luminary.
        {kMars, kAsc, 10, 19, false, C, 0},                {kJupiter, kAsc, 300, 32, true, Q, 2},
        // Across 0°/360°: the shorter arc.
        {kMars, kJupiter, 356, 4, true, C, 8},             {kMars, kJupiter, 356, 4 + kJust, false, C, 0},
        {kSun, kMoon, 355, 5, true, C, 10},                {kSun, kMoon, 355, 5 + kJust, false, C, 0},
        {kMars, kJupiter, 350, 55, true, X, 5},            {kMars, kJupiter, 340, 45, true, X, 5},
        {kMars, kJupiter, 340, 45 + kJust, false, X, 0},   {kMars, kJupiter, 300, 37, true, Q, 7},
        {kMars, kJupiter, 0, 360, true, C, 0},             {kMars, kJupiter, 1, 359, true, C, 2},
        // Between two aspects: none.
        {kMars, kJupiter, 10, 40, false, C, 0},            {kMars, kJupiter, 0, 150, false, C, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::array<double, 11> now = Spread();
        now[c.a] = c.la;
        now[c.b] = c.lb;
        ChartAspects aspects;
        FindAspects(now, now, aspects);
        const std::string what = std::string(kBodyNames[c.a]) + " " + std::to_string(c.la) + ", " +
                                 std::string(kBodyNames[c.b]) + " " + std::to_string(c.lb);
        const Aspect* x = PairIn(aspects, c.a, c.b);
        ASSERT_EQ(x != nullptr, c.found) << what;
        if (!x) continue;
        EXPECT_EQ(x->kind, c.kind) << what;
        EXPECT_NEAR(x->orb, c.orb, 1e-9) << what;
        EXPECT_FALSE(x->applying) << what << ": the same orb a minute later";
    }
}

// Applying when the orb is smaller a minute later; the same or larger orb,
// or passing through the exact angle to a larger orb, is separating.
TEST(Aspects, ApplyingAgainstSeparating) {
    struct Case {
        const char* what;
        double la, lb, laterA, laterB;
        bool applying;
    };
    // clang-format off
    const Case cases[] = {
        {"trine closing",                 10, 133,      10.1, 133,       true},
        {"trine opening",                 10, 133,      9.9, 133,        false},
        {"the same orb",                  10, 133,      10.5, 133.5,     false},
        {"through exact, nearer",         10, 130.01,   10.015, 130.01,  true},
        {"through exact, farther",        10, 130.01,   10.03, 130.01,   false},
        {"conjunction across 0",          359.9, 0.2,   359.95, 0.2,     true},
        {"conjunction leaving across 0",  0.05, 359.9,  0.06, 359.9,     false},
        {"opposition across 180 apart",   10, 191,      10, 190.5,       true},
        {"opposition past 180 apart",     10, 190.1,    10, 189.8,       false},
        {"square from the other side",    100, 8,       100, 9.5,        true},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::array<double, 11> now = Spread(), later = Spread();
        now[kMars] = c.la;
        now[kJupiter] = c.lb;
        later[kMars] = c.laterA;
        later[kJupiter] = c.laterB;
        ChartAspects aspects;
        FindAspects(now, later, aspects);
        const Aspect* x = PairIn(aspects, kMars, kJupiter);
        ASSERT_NE(x, nullptr) << c.what;
        EXPECT_EQ(x->applying, c.applying) << c.what;
    }
}

// A birth `minutes` later on the local clock, across days and years.
BirthData Later(BirthData birth, int minutes) {
    birth.local = ShiftedClock(birth.local, minutes);
    return birth;
}

// Random births of every kind the form takes.
BirthData RandomBirthData(std::mt19937_64& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    BirthData b;
    b.name = "R";
    b.city = b.state = b.country = "x";
    b.local = {pick(1901, 2050), pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59)};
    // Now and then the last minute of a year, where the minute after is in the next.
    if (pick(0, 9) == 0) b.local = {pick(1901, 2049), 12, 31, 23, 59};
    b.zoneSlot = pick(0, 70);
    b.daylightSaving = pick(0, 1) == 1;
    b.latitude = {pick(0, 66), pick(0, 59), pick(0, 1) == 1};
    b.longitude = {pick(0, 179), pick(0, 59), pick(0, 1) == 1};
    return b;
}

// The chart's aspects against a second chart calculated a minute later, as
// anyone can check them: every pair within its orb is listed, with the
// table's angle, the orb from the two longitudes, and applying exactly when
// the later chart's orb is smaller.
TEST(Aspects, EveryChartAgainstTheChartAMinuteLater) {
    std::mt19937_64 rng(33);
    ChartState now, later;
    LoadFixedLists(now);
    LoadFixedLists(later);
    ChartWheel wheel;
    std::size_t applying = 0, separating = 0;
    for (std::uint64_t k = 0; k < RandomCaseCount(2000); ++k) {
        const BirthData b = RandomBirthData(rng);
        ASSERT_EQ(RunChartCalculation(b, now, wheel), std::nullopt);
        ASSERT_EQ(RunChartCalculation(Later(b, 1), later, wheel, {}, false), std::nullopt);
        ASSERT_TRUE(now.Aspects.computed);
        ASSERT_FALSE(later.Aspects.computed);
        const Aspect* listed = now.Aspects.begin();
        for (std::size_t a = 0; a < 11; ++a)
            for (std::size_t c = a + 1; c < 11; ++c) {
                const double arc = ShorterArc(now.BodyLongitude[a], now.BodyLongitude[c]);
                const AspectType* type = nullptr;
                for (const AspectType& t : kAspectTable)
                    if (std::fabs(arc - t.angle) <= t.orb + (a < 2 ? 2.0 : 0.0)) type = &t;
                if (!type) continue;
                ASSERT_NE(listed, now.Aspects.end()) << k;
                EXPECT_EQ(listed->a, a) << k;
                EXPECT_EQ(listed->b, c) << k;
                EXPECT_EQ(listed->kind, type->kind) << k;
                EXPECT_EQ(listed->orb, std::fabs(arc - type->angle)) << k;
                const double laterOrb =
                    std::fabs(ShorterArc(later.BodyLongitude[a], later.BodyLongitude[c]) - type->angle);
                EXPECT_EQ(listed->applying, laterOrb < listed->orb) << k << " " << a << "-" << c;
                EXPECT_FALSE(listed->restsOnTime);
                (listed->applying ? applying : separating)++;
                ++listed;
            }
        EXPECT_EQ(listed, now.Aspects.end()) << k;
    }
    // Both kinds met often.
    EXPECT_GT(applying, RandomCaseCount(2000));
    EXPECT_GT(separating, RandomCaseCount(2000));
}

// A birth time not known: the ascendant's aspects rest on it, and the
// Moon's when the Moon is in another sign at 0:00 than at 23:59.
TEST(Aspects, UnknownBirthTimeMarksWhatRestsOnIt) {
    std::mt19937_64 rng(34);
    ChartState chart, edge;
    LoadFixedLists(chart);
    LoadFixedLists(edge);
    ChartWheel wheel;
    int moonDays = 0, steadyDays = 0;
    for (int k = 0; k < 400 && (moonDays < 5 || steadyDays < 5); ++k) {
        BirthData b = RandomBirthData(rng);
        b.local.hour = 12;
        b.local.minute = 0;
        b.timeKnown = false;
        ASSERT_EQ(RunChartCalculation(b, chart, wheel), std::nullopt);
        BirthData known = b;
        known.timeKnown = true;
        known.local.hour = 0;
        ASSERT_EQ(RunChartCalculation(known, edge, wheel, {}, false), std::nullopt);
        const int startSign = edge.BodySign[kMoon];
        known.local = {b.local.year, b.local.month, b.local.day, 23, 59};
        ASSERT_EQ(RunChartCalculation(known, edge, wheel, {}, false), std::nullopt);
        const bool moonChanges = edge.BodySign[kMoon] != startSign;
        (moonChanges ? moonDays : steadyDays)++;
        for (const Aspect& x : chart.Aspects) {
            const bool expected = x.b == kAsc || (moonChanges && (x.a == kMoon || x.b == kMoon));
            EXPECT_EQ(x.restsOnTime, expected) << k << " " << kBodyNames[x.a] << "-" << kBodyNames[x.b];
        }
    }
    EXPECT_GE(moonDays, 5);
    EXPECT_GE(steadyDays, 5);
}

// "aspects" in the JSON: the chart's list, in order, every member; without
// the calculation's aspects (the batch without --aspects) no member at all.
TEST(Aspects, JsonListsTheChartsAspects) {
    for (const BirthData& b : {test::Asha(), test::AdaInLondon(), test::CarlInBasel(), test::StelliumInChicago()}) {
        for (const bool timeKnown : {true, false}) {
            BirthData birth = b;
            birth.timeKnown = timeKnown;
            if (!timeKnown) birth.local = {b.local.year, b.local.month, b.local.day, 12, 0};
            ChartState state;
            LoadFixedLists(state);
            ChartWheel wheel;
            ASSERT_EQ(RunChartCalculation(birth, state, wheel), std::nullopt);
            const Json chart = Json::parse(ChartJsonText(state, wheel));
            const Json& list = chart.at("aspects");
            ASSERT_EQ(list.size(), state.Aspects.count) << b.name;
            std::size_t k = 0;
            for (const Aspect& x : state.Aspects) {
                const Json& j = list[k++];
                EXPECT_EQ(j.at("a"), std::string(kBodyNames[x.a])) << b.name;
                EXPECT_EQ(j.at("b"), std::string(kBodyNames[x.b])) << b.name;
                EXPECT_EQ(j.at("aspect"), std::string(AspectTypeOf(x.kind).name)) << b.name;
                EXPECT_EQ(j.at("angle"), AspectTypeOf(x.kind).angle) << b.name;
                EXPECT_EQ(j.at("orb").get<double>(), x.orb) << b.name;
                EXPECT_EQ(j.at("applying"), x.applying) << b.name;
                EXPECT_EQ(j.at("rests_on_time"), x.restsOnTime) << b.name;
                if (x.b == kAsc) EXPECT_EQ(x.restsOnTime, !timeKnown) << b.name;
            }
            // Without the aspects the chart is the same, less the member.
            ChartState plain;
            LoadFixedLists(plain);
            ASSERT_EQ(RunChartCalculation(birth, plain, wheel, {}, false), std::nullopt);
            Json without = chart;
            without.erase("aspects");
            EXPECT_EQ(Json::parse(ChartJsonText(plain, wheel)), without) << b.name;
        }
    }
}

// A precise engine that refuses the minute after refuses the chart, and the
// state stays as it was.
TEST(Aspects, EngineRefusingTheMinuteAfterLeavesTheStateAlone) {
    const BirthData asha = test::Asha();
    const PreciseEngine refusesLater = [&](const EngineInput& in) -> std::variant<EngineNumbers, std::string> {
        if (in.local.minute != asha.local.minute) return std::string("not then");
        return ClassicChartNumbers(in);
    };
    ChartState state;
    LoadFixedLists(state);
    ChartWheel wheel;
    ASSERT_EQ(RunChartCalculation(test::AdaInLondon(), state, wheel), std::nullopt);
    const ChartState before = state;
    EXPECT_EQ(RunChartCalculation(asha, state, wheel, refusesLater), std::optional<std::string>("not then"));
    EXPECT_EQ(state.BirthName, before.BirthName);
    EXPECT_EQ(state.BodyLongitude, before.BodyLongitude);
    EXPECT_EQ(state.Aspects.count, before.Aspects.count);
    // Without aspects the engine is asked for the birth minute only.
    EXPECT_EQ(RunChartCalculation(asha, state, wheel, refusesLater, false), std::nullopt);
    EXPECT_FALSE(state.Aspects.computed);
}

}  // namespace
}  // namespace qv
