// The precise engine checked against the built-in formulas: files damaged in
// a way the library does not notice give no chart, sound files always do,
// and files that are not ordinary files are never opened.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>

#include "astro/ascendant.h"
#include "chart/chart_run.h"
#include "ephemeris/chart_engine.h"
#include "state/fixed_lists.h"
#include "tests/reading/temp_folder.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

using testing_support::TempFolder;

const std::filesystem::path kInstalled{std::string(DefaultEphemerisFolder())};

double Apart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// A birth from 1901 to 2050 in whole minutes, at a place in whole minutes of
// arc anywhere, a quarter of them within a degree of a polar circle, where
// the ascendant turns fastest, and some at the poles.
EngineInput RandomInput(std::mt19937_64& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    EngineInput in;
    in.local = {1901 + pick(150), 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
    in.utcOffsetSeconds = (pick(105) - 48) * 900;
    int latMinutes = pick(180 * 60 + 1) - 90 * 60;
    if (pick(4) == 0) latMinutes = (pick(2) == 0 ? 1 : -1) * (66 * 60 + pick(120));
    if (pick(50) == 0) latMinutes = (pick(2) == 0 ? 90 : -90) * 60;
    in.latitudeNorth = latMinutes / 60.0;
    in.longitudeEast = (pick(360 * 60 + 1) - 180 * 60) / 60.0;
    return in;
}

// QV_CHECKED_CHARTS, for a longer measurement, or the test's own count.
int ChartCount(int fallback) {
    const char* n = std::getenv("QV_CHECKED_CHARTS");
    return n != nullptr ? std::max(1, std::atoi(n)) : static_cast<int>(RandomCaseCount(fallback));
}

// Sound files: no chart refused. The largest distances to the formulas are
// printed for the record (QV_CHECKED_CHARTS sets how many charts).
TEST(EphemerisCheck, SoundFilesAreNeverRefused) {
    const PreciseEngine engine = EphemerisEngine();
    std::mt19937_64 rng(22);
    std::array<double, 11> largest{};
    double offHorizon = 0.0, ascendantInside = 0.0;
    int ascendantsOnTheHorizon = 0;  // over 3° from the formulas', yet on their horizon
    const int charts = ChartCount(3000);
    for (int n = 0; n < charts; ++n) {
        const EngineInput in = RandomInput(rng);
        const auto got = engine(in);
        const auto* numbers = std::get_if<EngineNumbers>(&got);
        ASSERT_NE(numbers, nullptr) << std::get<std::string>(got) << " at " << in.local.year << "-" << in.local.month
                                    << "-" << in.local.day << " " << in.latitudeNorth << " " << in.longitudeEast;
        const EngineNumbers classic = ClassicChartNumbers(in);
        for (std::size_t slot = 0; slot < largest.size(); ++slot)
            largest[slot] = std::max(largest[slot], Apart(numbers->longitude[slot], classic.longitude[slot]));
        const double asc = numbers->longitude[kAscendantSlot];
        if (Apart(asc, classic.longitude[kAscendantSlot]) > 3.0) ++ascendantsOnTheHorizon;
        offHorizon = std::max(offHorizon, std::fabs(EclipticAltitudeOf(in, asc)));
        if (std::fabs(in.latitudeNorth) < 66.0)
            ascendantInside = std::max(ascendantInside, Apart(asc, classic.longitude[kAscendantSlot]));
    }
    // The formulas' own ascendant lies on their horizon; the ephemeris's
    // within seconds of arc of it, and close to theirs outside the polar
    // circles.
    EXPECT_LT(offHorizon, 0.05);
    EXPECT_LT(ascendantInside, 0.2);
    // The bodies of the date: the Sun within 0.05°, the Moon and Mercury to
    // Mars within 0.1°, Jupiter and Saturn within 0.3°, the outer planets
    // within 0.1° of the ephemeris.
    // clang-format off
    const std::array<double, 10> bound = {0.05, 0.1, 0.1, 0.1, 0.1, 0.3, 0.3, 0.1, 0.1, 0.1};
    // clang-format on
    for (std::size_t slot = 0; slot < bound.size(); ++slot) EXPECT_LE(largest[slot], bound[slot]) << kBodyNames[slot];
    std::cout << charts << " charts, largest difference (deg):";
    for (std::size_t slot = 0; slot < largest.size(); ++slot)
        std::cout << " " << kBodyNames[slot] << " " << largest[slot];
    std::cout << "; ascendant inside the polar circles " << ascendantInside << ", off the horizon "
              << offHorizon * 3600.0 << "\"; " << ascendantsOnTheHorizon
              << " ascendants over 3 deg from the formulas' lie on their horizon\n";
}

// A changed byte the library does not notice moves bodies by degrees: every
// chart either is refused, naming the folder, or has the Sun and every planet
// within 1° of the sound files' and the Moon and the ascendant within 3.1°;
// files that are not ordinary ones are refused before the library opens them.
TEST(EphemerisCheck, DamagedFilesAreRefusedNamingTheFolder) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> damage;
        bool someRefused;
        const char* says;
    };
    const auto changeByte = [](std::size_t offset, std::function<char(char)> change) {
        return [offset, change](const std::filesystem::path& folder) {
            std::string bytes = testing_support::ReadBytes(kInstalled / "sepl_18.se1");
            bytes[offset] = change(bytes[offset]);
            testing_support::WriteBytes(folder / "sepl_18.se1", bytes);
        };
    };
    const auto replace = [](std::function<int(const char*)> make) {
        return [make](const std::filesystem::path& folder) {
            std::filesystem::remove(folder / "sepl_18.se1");
            ASSERT_EQ(make((folder / "sepl_18.se1").c_str()), 0);
        };
    };
    const Case cases[] = {
        {"byte 17834 minus one", changeByte(17834, [](char c) { return static_cast<char>(c - 1); }), true, "damaged"},
        {"byte 954 xor 0x40", changeByte(954, [](char c) { return static_cast<char>(c ^ 0x40); }), true, "damaged"},
        {"a named pipe", replace([](const char* p) { return ::mkfifo(p, 0600); }), true, "named pipe"},
        {"a folder", replace([](const char* p) { return ::mkdir(p, 0700); }), true, "a folder"},
        {"a link to nothing", replace([](const char* p) { return ::symlink("/nonexistent/sepl_18.se1", p); }), true,
         "link to nothing"},
    };
    const PreciseEngine sound = EphemerisEngine();
    for (const auto& c : cases) {
        TempFolder folder;
        for (const char* name : {"sepl_18.se1", "semo_18.se1"})
            std::filesystem::copy_file(kInstalled / name, folder / name);
        c.damage(folder.path());
        const PreciseEngine damaged = EphemerisEngine(folder.path().string());
        std::mt19937_64 rng(954);
        int refused = 0;
        double largestAccepted = 0.0;
        // All 300 in every build: a damage that moves one body refuses only
        // some charts, and a fiftieth of them may miss every one.
        const int charts = 300;
        for (int n = 0; n < charts; ++n) {
            const EngineInput in = RandomInput(rng);
            const auto got = damaged(in);
            if (const auto* message = std::get_if<std::string>(&got)) {
                ++refused;
                EXPECT_NE(message->find(folder.path().string()), std::string::npos) << *message;
                EXPECT_NE(message->find(c.says), std::string::npos) << *message;
                continue;
            }
            const auto right = std::get<EngineNumbers>(sound(in)).longitude;
            const auto& given = std::get<EngineNumbers>(got).longitude;
            for (std::size_t slot = 0; slot < right.size(); ++slot) {
                const double most = slot == kMoonSlot || slot == kAscendantSlot ? 3.1 : 1.0;
                EXPECT_LE(Apart(given[slot], right[slot]), most) << c.what << ": " << kBodyNames[slot];
                largestAccepted = std::max(largestAccepted, Apart(given[slot], right[slot]));
            }
        }
        if (c.someRefused) {
            EXPECT_GT(refused, 0) << c.what;
        }
        std::cout << c.what << ": " << refused << " of " << charts << " charts refused; the others within "
                  << largestAccepted << " deg of the sound files\n";
    }
}

// At the poles both engines take the ascendant that latitudes close to the
// pole give: the same sign as at 89° 59′, never the opposite one.
TEST(EphemerisCheck, AtThePolesTheAscendantOfLatitudesCloseBy) {
    const PreciseEngine engine = EphemerisEngine();
    std::mt19937_64 rng(90);
    for (int n = 0; n < 400; ++n) {
        EngineInput pole = RandomInput(rng);
        pole.latitudeNorth = n % 2 == 0 ? 90.0 : -90.0;
        EngineInput near = pole;
        near.latitudeNorth = pole.latitudeNorth * (89.0 + 59.0 / 60.0) / 90.0;
        const auto precise = std::get<EngineNumbers>(engine(pole)).longitude[kAscendantSlot];
        const auto preciseNear = std::get<EngineNumbers>(engine(near)).longitude[kAscendantSlot];
        const double classic = AscendantOf(pole), classicNear = AscendantOf(near);
        const double expectedSign = std::floor(classicNear / 30.0);
        EXPECT_EQ(std::floor(classic / 30.0), expectedSign) << pole.latitudeNorth << " " << classicNear;
        EXPECT_EQ(std::floor(precise / 30.0), std::floor(preciseNear / 30.0))
            << pole.latitudeNorth << " " << preciseNear;
        EXPECT_LT(Apart(classic, classicNear), 0.1);
        EXPECT_LT(Apart(precise, preciseNear), 0.1);
    }
}

}  // namespace
}  // namespace qv
