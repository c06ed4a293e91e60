// One person, both engines: the chart from the ephemeris differs from the
// formulas' only in the positions and in what follows from them, and a
// precise chart that cannot be had leaves the chart as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "chart/chart_run.h"
#include "chart/personal_data.h"
#include "ephemeris/chart_engine.h"
#include "formats/chart_json.h"
#include "formats/text_export.h"
#include "state/time_zones.h"

namespace qv {
namespace {

struct Chart {
    ChartState state;
    ChartWheel wheel;
};

Chart ChartOf(const BirthFormData& form, const PreciseEngine& precise) {
    Chart c;
    LoadFixedLists(c.state);
    EXPECT_EQ(CalculateChartOfForm(form, c.state, c.wheel, precise), std::nullopt);
    return c;
}

BirthFormData RandomForm(std::mt19937_64& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    BirthFormData f;
    f.txtName = "Person " + std::to_string(pick(1000));
    f.txtCity = "City";
    f.txtState = "State";
    f.txtCountry = "Country";
    f.cboMonth = pick(12);
    f.cboDate = pick(28);
    f.cboYear = pick(kBirthYearCount);
    f.cboHour = pick(24);
    f.cboMinute = pick(60);
    f.cboTimeZone = pick(kTimeZoneCount);
    f.chkDST = pick(4) == 0;
    f.txtLatD = std::to_string(pick(66));
    f.txtLatM = std::to_string(pick(60));
    f.txtLonD = std::to_string(pick(180));
    f.txtLonM = std::to_string(pick(60));
    f.optLatSouth = pick(2);
    f.optLongEast = pick(2);
    return f;
}

int SignOf(double longitude) { return static_cast<int>(longitude / 30.0) % 12; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

// The wheel of a chart follows its own positions: every planet in its sign's
// box, the ascendant's sign first.
void ExpectWheelFollowsPositions(const Chart& c, const char* mode) {
    const int ascendant = SignOf(c.state.BodyLongitude[kAscendantSlot]);
    EXPECT_EQ(c.wheel.firstHouseSign, ascendant) << mode;
    EXPECT_TRUE(c.wheel.signBoxes[static_cast<std::size_t>(ascendant)].ascendant) << mode;
    for (std::size_t slot = 0; slot < 10; ++slot) {
        EXPECT_TRUE(c.wheel.signBoxes[static_cast<std::size_t>(SignOf(c.state.BodyLongitude[slot]))].holds(slot))
            << mode << " slot " << slot;
    }
}

TEST(PreciseChart, SamePersonDiffersOnlyWhereThePositionsDo) {
    std::mt19937_64 rng(14);
    const PreciseEngine engine = EphemerisEngine();
    int sameSigns = 0, otherSigns = 0;
    for (int n = 0; n < 300; ++n) {
        const BirthFormData form = RandomForm(rng);
        const Chart f = ChartOf(form, {});
        const Chart p = ChartOf(form, engine);
        ASSERT_EQ(f.state.PositionSource, PositionsFrom::Formulas);
        ASSERT_EQ(p.state.PositionSource, PositionsFrom::Ephemeris);
        EXPECT_EQ(MakePersonalDataLabels(f.state), MakePersonalDataLabels(p.state)) << n;
        ExpectWheelFollowsPositions(f, "formulas");
        ExpectWheelFollowsPositions(p, "ephemeris");

        bool signsAgree = true;
        for (std::size_t slot = 0; slot < 11; ++slot)
            signsAgree = signsAgree && SignOf(f.state.BodyLongitude[slot]) == SignOf(p.state.BodyLongitude[slot]);
        const bool marksAgree = f.state.RetrogradeFlag == p.state.RetrogradeFlag;
        (signsAgree ? sameSigns : otherSigns)++;
        if (signsAgree) {
            EXPECT_EQ(f.state.HouseSign, p.state.HouseSign) << n;
            EXPECT_EQ(f.state.ElementResult, p.state.ElementResult) << n;
            EXPECT_EQ(f.state.QualityResult, p.state.QualityResult) << n;
            EXPECT_EQ(f.state.HouseTypeResult, p.state.HouseTypeResult) << n;
            EXPECT_EQ(f.state.InterpretationRuns, p.state.InterpretationRuns) << n;
            EXPECT_EQ(f.state.MoonSignName, p.state.MoonSignName) << n;
            EXPECT_EQ(f.wheel.lblLagna, p.wheel.lblLagna) << n;
            EXPECT_EQ(f.wheel.lblRashi, p.wheel.lblRashi) << n;
            if (marksAgree) {
                EXPECT_EQ(f.wheel.signBoxes, p.wheel.signBoxes) << n;
            }
        }
        if (marksAgree) {
            EXPECT_EQ(f.state.BodyLabel, p.state.BodyLabel) << n;
        }

        // The export: the same lines but the eleven positions and, where a
        // sign moved, the results; the precise one ends in its source.
        const auto fl = Lines(MakeTextExport(f.state));
        const auto pl = Lines(MakeTextExport(p.state));
        EXPECT_EQ(pl.back(), kEphemerisSourceLine);
        const std::size_t firstPosition = 10, afterPositions = firstPosition + 11;
        ASSERT_EQ(fl[firstPosition - 1], "Planetary Position");
        const std::size_t compared = signsAgree ? fl.size() : afterPositions;
        if (signsAgree) {
            EXPECT_EQ(pl.size(), fl.size() + 1) << n;
        }
        for (std::size_t k = 0; k < compared; ++k) {
            if (k < firstPosition || k >= afterPositions) {
                EXPECT_EQ(pl[k], fl[k]) << n << " line " << k;
            }
        }

        // The JSON: the same input and moment; its source named.
        const auto fj = nlohmann::ordered_json::parse(ChartJsonText(f.state, f.wheel)),
                   pj = nlohmann::ordered_json::parse(ChartJsonText(p.state, p.wheel));
        EXPECT_EQ(fj["input"], pj["input"]);
        EXPECT_EQ(fj["universal_time"], pj["universal_time"]);
        EXPECT_EQ(fj["positions_from"], "formulas");
        EXPECT_EQ(pj["positions_from"], "ephemeris");
    }
    // Both kinds of chart were met; about one in a hundred moves a sign.
    EXPECT_GT(sameSigns, 280);
    EXPECT_GT(otherSigns, 0);
    EXPECT_LE(otherSigns, 9);
}

TEST(PreciseChart, WithoutTheFilesTheChartStaysAsItWas) {
    const auto empty = std::filesystem::temp_directory_path() / ("qv_modes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(empty);
    std::mt19937_64 rng(41);
    const BirthFormData first = RandomForm(rng), second = RandomForm(rng);
    for (const PreciseEngine& before : {PreciseEngine{}, EphemerisEngine()}) {
        Chart c = ChartOf(first, before);
        const std::string json = ChartJsonText(c.state, c.wheel), text = MakeTextExport(c.state);
        const ChartWheel wheel = c.wheel;
        const auto refused = CalculateChartOfForm(second, c.state, c.wheel, EphemerisEngine(empty.string()));
        ASSERT_TRUE(refused.has_value());
        EXPECT_NE(refused->find("swe-standard-data"), std::string::npos) << *refused;
        EXPECT_EQ(ChartJsonText(c.state, c.wheel), json);
        EXPECT_EQ(MakeTextExport(c.state), text);
        EXPECT_EQ(c.wheel.signBoxes, wheel.signBoxes);
    }
    std::filesystem::remove_all(empty);
}

}  // namespace
}  // namespace qv
