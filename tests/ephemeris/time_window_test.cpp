// The time window with the precise engine: its edges and every body's
// nearest changes against the scan of every minute. A scan asks the
// ephemeris for 2,881 charts (about 70 ms), so fewer charts are compared
// here than with the formulas.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "chart/time_window.h"
#include "ephemeris/chart_engine.h"
#include "state/time_zones.h"
#include "tests/support/window_scan.h"

namespace qv {
namespace {

TEST(PreciseTimeWindow, AgreesWithTheMinuteScanOnRandomCharts) {
    const PreciseEngine engine = EphemerisEngine();
    std::mt19937_64 rng(2025);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int k = 0; k < 24; ++k) {
        EngineInput in;
        in.local = {kFirstBirthYear + pick(kBirthYearCount), 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
        in.utcOffsetSeconds = ZoneOffsetSeconds(pick(kTimeZoneCount), pick(4) == 0);
        const double latitude = k % 8 == 0 ? 65.0 + pick(25 * 60) / 60.0 : pick(65 * 60) / 60.0;
        in.latitudeNorth = pick(2) ? latitude : -latitude;
        in.longitudeEast = (pick(360 * 60) - 180 * 60) / 60.0;
        const auto scanned = test::ScanTimeWindow(in, engine);
        ASSERT_TRUE(std::holds_alternative<TimeWindow>(scanned)) << std::get<std::string>(scanned);
        const auto found = FindTimeWindow(in, engine);
        ASSERT_TRUE(std::holds_alternative<TimeWindow>(found));
        const TimeWindow& w = std::get<TimeWindow>(found);
        EXPECT_EQ(w, std::get<TimeWindow>(scanned))
            << in.local.year << "-" << in.local.month << "-" << in.local.day << " " << in.local.hour << ":"
            << in.local.minute << " " << in.latitudeNorth << " " << in.longitudeEast;
    }
}

}  // namespace
}  // namespace qv
