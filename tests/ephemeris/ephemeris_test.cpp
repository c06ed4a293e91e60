// The precise engine: published positions, retrograde marks, the ascendant,
// honesty about the ephemeris files, and calls from several threads.
#include <gtest/gtest.h>
#include <swephexp.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ephemeris/ephemeris.h"
#include "tests/reading/temp_folder.h"

namespace qv {
namespace {

using namespace std::chrono;
using testing_support::TempFolder;

constexpr double kArcsec = 1.0 / 3600.0;

double JdUt(int y, unsigned m, unsigned d, int h, int min) {
    return JulianDateUt(sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min});
}

// a − b in (−180, 180]. Degrees.
double Difference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

EphemerisPositions Positions(double jdUt, double lat = 51.5, double lonEast = 0.0) {
    auto result = ComputeEphemerisPositions(jdUt, lat, lonEast);
    if (const auto* failure = std::get_if<EphemerisFailure>(&result)) {
        ADD_FAILURE() << failure->message;
        return {};
    }
    return std::get<EphemerisPositions>(result);
}

std::string FailureMessage(const std::variant<EphemerisPositions, EphemerisFailure>& result) {
    const auto* failure = std::get_if<EphemerisFailure>(&result);
    return failure != nullptr ? failure->message : std::string("(no failure)");
}

TEST(EphemerisTime, JulianDateOfUtMinutes) {
    struct Case {
        int y;
        unsigned m, d;
        int h, min;
        double jd;
    };
    const Case cases[] = {
        {2000, 1, 1, 12, 0, 2451545.0},                  // J2000
        {1970, 1, 1, 0, 0, 2440587.5},                   // the clock's epoch
        {1999, 12, 31, 23, 59, 2451544.5 - 1 / 1440.0},  // a minute before the year ends
        {1901, 1, 1, 0, 0, 2415385.5},
        {2050, 12, 31, 23, 59, 2470171.5 + 1439 / 1440.0},
        {2000, 2, 29, 0, 0, 2451603.5},  // leap day
    };
    for (const auto& c : cases) EXPECT_NEAR(JdUt(c.y, c.m, c.d, c.h, c.min), c.jd, 1e-9) << c.y << "-" << c.m;
}

// Apparent longitudes at published moments. The times of the seasons and of
// the New Moon are the U.S. Naval Observatory's, rounded to the minute: the
// Sun moves 2.5″ and the Moon's elongation 30″ per minute, so they are tested
// within half a minute's motion.
TEST(EphemerisReference, PublishedLongitudes) {
    struct Case {
        const char* what;
        double jdUt;
        int body;          // slot
        int minus;         // slot subtracted, or -1
        double expected;   // degrees
        double tolerance;  // degrees
    };
    // Meeus, Astronomical Algorithms (2nd ed.): 1992 Oct 13 0h TD and 1992 Apr 12
    // 0h TD, with ΔT 58.9 s and 58.5 s.
    const double oct13 = 2448908.5 - 58.9 / 86400.0;
    const double apr12 = 2448724.5 - 58.5 / 86400.0;
    const Case cases[] = {
        {"March equinox 2000-03-20 07:35", JdUt(2000, 3, 20, 7, 35), 0, -1, 0.0, 1.5 * kArcsec},
        {"June solstice 2000-06-21 01:48", JdUt(2000, 6, 21, 1, 48), 0, -1, 90.0, 1.5 * kArcsec},
        {"December solstice 2000-12-21 13:37", JdUt(2000, 12, 21, 13, 37), 0, -1, 270.0, 1.5 * kArcsec},
        {"New Moon 2000-01-06 18:14", JdUt(2000, 1, 6, 18, 14), 1, 0, 0.0, 15 * kArcsec},
        // Example 25.b: 199°54′21.8″ by VSOP87 (21.56″ in the almanac)
        {"Sun, Meeus 25.b", oct13, 0, -1, 199 + 54 / 60.0 + 21.7 * kArcsec, 1.0 * kArcsec},
        // Example 47.a: 133.167265°, from a series good to about 10″
        {"Moon, Meeus 47.a", apr12, 1, -1, 133.167265, 10 * kArcsec},
        // Great conjunction 2020-12-21 18:20 UT at 0°29′ Aquarius; their
        // longitudes close by 15″ an hour
        {"Jupiter - Saturn 2020-12-21 18:20", JdUt(2020, 12, 21, 18, 20), 5, 6, 0.0, 10 * kArcsec},
        {"Jupiter 2020-12-21 18:20", JdUt(2020, 12, 21, 18, 20), 5, -1, 300 + 29 / 60.0, 1 / 60.0},
    };
    for (const auto& c : cases) {
        const auto p = Positions(c.jdUt);
        const double value = c.minus < 0 ? p.longitude[c.body] : p.longitude[c.body] - p.longitude[c.minus];
        EXPECT_NEAR(Difference(value, c.expected), 0.0, c.tolerance) << c.what;
    }
}

// Published retrograde periods (UT dates): Mercury 2023-04-21 to 05-15, Venus
// 2023-07-22 to 09-03, Mars 2022-10-30 to 2023-01-12, Jupiter 2023-09-04 to
// 12-31, Saturn 2023-06-17 to 11-04, Uranus 2023-08-29 to 2024-01-27, Neptune
// 2023-07-01 to 12-06, Pluto 2023-05-01 to 10-11.
TEST(EphemerisRetrograde, InsideAndOutsideKnownPeriods) {
    struct Case {
        int planet;  // 0 Mercury … 7 Pluto
        int y;
        unsigned m, d;
        bool retrograde;
    };
    const Case cases[] = {
        {0, 2023, 5, 1, true},  {0, 2023, 6, 1, false}, {1, 2023, 8, 10, true},  {1, 2023, 6, 1, false},
        {2, 2022, 12, 1, true}, {2, 2023, 3, 1, false}, {3, 2023, 10, 15, true}, {3, 2023, 3, 1, false},
        {4, 2023, 8, 1, true},  {4, 2023, 3, 1, false}, {5, 2023, 11, 1, true},  {5, 2023, 6, 1, false},
        {6, 2023, 9, 1, true},  {6, 2023, 3, 1, false}, {7, 2023, 7, 1, true},   {7, 2023, 3, 1, false},
    };
    for (const auto& c : cases) {
        const auto p = Positions(JdUt(c.y, c.m, c.d, 12, 0));
        EXPECT_EQ(p.retrograde[static_cast<std::size_t>(c.planet)], c.retrograde)
            << "planet " << c.planet << " on " << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(p.speed[static_cast<std::size_t>(c.planet) + 2] < 0.0, c.retrograde);
    }
}

TEST(EphemerisAscendant, RisingPointAtTheQuadrantsAndAcrossAries) {
    struct Case {
        double sidereal, obliquity, lat, expected, tolerance = 1e-9;
    };
    const Case cases[] = {
        {0.0, 23.44, 0.0, 90.0},  // at the equator the ascendant is 90° ahead of the meridian
        {90.0, 23.44, 0.0, 180.0},
        {180.0, 23.44, 0.0, 270.0},
        {280.4609, 23.4392815, 51.5, 24.2979, 5e-4},  // the built-in engine's chart of 2000-01-01 12:00
        {270.0, 0.0, 60.0, 0.0},
        {269.999, 0.0, 30.0, 359.999},  // just before 0° Aries, not 360
        {270.001, 0.0, -30.0, 0.001},
    };
    for (const auto& c : cases) {
        const double asc = RisingEclipticLongitude(c.sidereal, c.obliquity, c.lat);
        EXPECT_GE(asc, 0.0);
        EXPECT_LT(asc, 360.0);
        EXPECT_NEAR(Difference(asc, c.expected), 0.0, c.tolerance) << c.sidereal << " " << c.lat;
    }
}

// The library's own house code (swe_houses_ex) on random moments and places
// outside the polar circles; inside them it turns its ascendant by 180° when
// that point lies behind the meridian, where this engine keeps the point on
// the eastern horizon.
TEST(EphemerisAscendant, AgreesWithTheLibraryHouses) {
    std::mt19937_64 rng(14);
    std::uniform_real_distribution<double> jd(2415385.5, 2470172.5), lat(-66.0, 66.0), lon(-180.0, 180.0);
    for (int n = 0; n < 500; ++n) {
        const double t = jd(rng), phi = lat(rng), lambda = lon(rng);
        double cusps[13] = {}, ascmc[10] = {};
        ASSERT_GE(swe_houses_ex(t, 0, phi, lambda, 'E', cusps, ascmc), 0);
        EXPECT_NEAR(Difference(Positions(t, phi, lambda).longitude[10], ascmc[0]), 0.0, 0.001 * kArcsec)
            << t << " " << phi << " " << lambda;
    }
}

// The library's analytical ephemeris (Moshier), made from other data than the
// files, agrees to a few arcseconds: a wrong body number or frame would not.
TEST(EphemerisReference, AgreesWithTheAnalyticalEphemeris) {
    std::mt19937_64 rng(2026);
    std::uniform_real_distribution<double> jd(2415385.5, 2470172.5);
    char error[AS_MAXCH] = {};
    for (int n = 0; n < 200; ++n) {
        const double t = jd(rng);
        const auto p = Positions(t);
        for (int body = SE_SUN; body <= SE_PLUTO; ++body) {
            double xx[6] = {};
            ASSERT_GE(swe_calc_ut(t, body, SEFLG_MOSEPH | SEFLG_SPEED, xx, error), 0) << error;
            EXPECT_NEAR(Difference(p.longitude[static_cast<std::size_t>(body)], xx[0]), 0.0, 5 * kArcsec)
                << "body " << body << " at " << t;
        }
    }
}

// Every way the files can be missing or unusable ends in a message that names
// the package and the folder, never in positions from another source.
TEST(EphemerisFiles, MissingOrDamagedFilesStopWithAMessage) {
    const std::filesystem::path installed{std::string(DefaultEphemerisFolder())};
    TempFolder empty, moonOnly, damaged, truncated;
    std::filesystem::copy_file(installed / "semo_18.se1", moonOnly / "semo_18.se1");
    std::filesystem::copy_file(installed / "semo_18.se1", damaged / "semo_18.se1");
    std::mt19937 rng(7);
    std::string noise(5000, '\0');
    for (auto& ch : noise) ch = static_cast<char>(rng());
    testing_support::WriteBytes(damaged / "sepl_18.se1", noise);
    testing_support::WriteBytes(truncated / "sepl_18.se1",
                                testing_support::ReadBytes(installed / "sepl_18.se1").substr(0, 20000));

    const std::string folders[] = {empty.path().string(), moonOnly.path().string(), damaged.path().string(),
                                   truncated.path().string(), (empty / "absent").string()};
    const double t = JdUt(1975, 6, 15, 9, 0);
    for (const auto& folder : folders) {
        const std::string message = FailureMessage(ComputeEphemerisPositions(t, 28.6, 77.2, folder));
        EXPECT_NE(message.find("swe-standard-data"), std::string::npos) << message;
        EXPECT_NE(message.find(folder), std::string::npos) << message;
    }
    // A date beyond the installed files (year 9000) is refused the same way.
    const std::string beyond = FailureMessage(ComputeEphemerisPositions(5008000.5, 0, 0));
    EXPECT_NE(beyond.find("swe-standard-data"), std::string::npos) << beyond;

    // The installed files answer again afterwards, exactly as before.
    const auto first = Positions(t, 28.6, 77.2);
    (void)ComputeEphemerisPositions(t, 28.6, 77.2, empty.path().string());
    const auto again = Positions(t, 28.6, 77.2);
    EXPECT_EQ(first.longitude, again.longitude);
}

TEST(EphemerisFiles, TheLibrarysEnvironmentVariableIsNamed) {
    TempFolder empty;
    ASSERT_EQ(::setenv("SE_EPHE_PATH", empty.path().c_str(), 1), 0);
    // A different spelling of the installed folder, so that the library is
    // pointed at a folder again and reads the variable.
    const std::string message =
        FailureMessage(ComputeEphemerisPositions(2451545.0, 0, 0, std::string(DefaultEphemerisFolder()) + "/"));
    ::unsetenv("SE_EPHE_PATH");
    EXPECT_NE(message.find(empty.path().string() + " (from SE_EPHE_PATH)"), std::string::npos) << message;
    EXPECT_TRUE(std::holds_alternative<EphemerisPositions>(ComputeEphemerisPositions(2451545.0, 0, 0)));
}

TEST(EphemerisInput, RefusedWithAMessage) {
    struct Case {
        double jd, lat, lon;
        std::string folder;
        const char* expected;
    };
    const std::string installed(DefaultEphemerisFolder());
    const Case cases[] = {
        {2451545.0, 90.5, 0, installed, "latitude of at most 90"},
        {2451545.0, -91, 0, installed, "latitude of at most 90"},
        {2451545.0, 0, 180.01, installed, "longitude of at most 180"},
        {2451545.0, NAN, 0, installed, "latitude of at most 90"},
        {NAN, 0, 0, installed, "valid moment"},
        {2451545.0, 0, 0, "", "No folder"},
        {2451545.0, 0, 0, "/" + std::string(300, 'a'), "longer than the Swiss Ephemeris accepts"},
    };
    for (const auto& c : cases) {
        const std::string message = FailureMessage(ComputeEphemerisPositions(c.jd, c.lat, c.lon, c.folder));
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
    // The limits themselves are places on the globe.
    EXPECT_TRUE(std::holds_alternative<EphemerisPositions>(ComputeEphemerisPositions(2451545.0, -90, 180)));
}

std::size_t OpenFileCount() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// Debian's library keeps its state in thread-local storage: four threads at
// once give bit for bit what one thread gives, even while another thread
// fails on an empty folder; each closes its files when it ends.
TEST(EphemerisThreads, ManyThreadsGiveTheSameAsOne) {
    constexpr int kMoments = 800, kThreads = 4;
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> jd(2415385.5, 2470172.5), lat(-66.0, 66.0), lon(-180.0, 180.0);
    struct Input {
        double t, phi, lambda;
    };
    std::vector<Input> inputs;
    for (int n = 0; n < kMoments; ++n) inputs.push_back({jd(rng), lat(rng), lon(rng)});
    std::vector<std::array<double, 11>> alone(kMoments), together(kMoments);
    for (int n = 0; n < kMoments; ++n) alone[n] = Positions(inputs[n].t, inputs[n].phi, inputs[n].lambda).longitude;

    TempFolder empty;
    const std::size_t openBefore = OpenFileCount();
    std::vector<std::jthread> threads;
    int refused = 0;
    for (int k = 0; k < kThreads; ++k)
        threads.emplace_back([&, k] {
            for (int n = k; n < kMoments; n += kThreads) {
                const auto r = ComputeEphemerisPositions(inputs[n].t, inputs[n].phi, inputs[n].lambda);
                if (const auto* p = std::get_if<EphemerisPositions>(&r)) together[n] = p->longitude;
            }
        });
    threads.emplace_back([&] {
        for (int n = 0; n < kMoments / 4; ++n)
            refused += std::holds_alternative<EphemerisFailure>(
                ComputeEphemerisPositions(inputs[n].t, 0, 0, empty.path().string()));
    });
    threads.clear();  // joins
    EXPECT_EQ(refused, kMoments / 4);
    EXPECT_EQ(OpenFileCount(), openBefore);
    for (int n = 0; n < kMoments; ++n) EXPECT_EQ(alone[n], together[n]) << "moment " << n;
}

}  // namespace
}  // namespace qv
