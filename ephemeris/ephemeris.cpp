#include "ephemeris/ephemeris.h"

#include <swephexp.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "astro/positions.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Julian Date of 1970-01-01 00:00 UT, the epoch of the system clock. Days.
constexpr double kJdUnixEpoch = 2440587.5;

// Longest folder name the library takes; a longer one makes it search its
// built-in default path (which starts with the working directory) instead.
constexpr std::size_t kMaxFolderLength = AS_MAXCH - 1 - 13;

// Asked of every body: the library's own files, with the daily speed.
constexpr int kBodyFlags = SEFLG_SWIEPH | SEFLG_SPEED;

// Angle in [0, 360). Degrees.
double Degrees0To360(double a) {
    a = std::fmod(a, 360.0);
    if (a < 0.0) a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

// True when the flags a call returned say it answered from the files.
bool AnsweredFromFiles(int returned) {
    return returned >= 0 && (returned & SEFLG_SWIEPH) != 0 && (returned & SEFLG_SPEED) != 0;
}

// The library keeps its search path and open files per thread: this points
// the calling thread's library at a folder once and closes its files when the
// thread ends.
class ThreadEphemerisFiles {
public:
    ThreadEphemerisFiles() = default;
    ThreadEphemerisFiles(const ThreadEphemerisFiles&) = delete;
    ThreadEphemerisFiles& operator=(const ThreadEphemerisFiles&) = delete;
    ~ThreadEphemerisFiles() {
        if (pointed_) swe_close();
    }

    void Use(const std::string& folder) {
        if (pointed_ && folder == folder_) return;
        swe_set_ephe_path(folder.c_str());
        folder_ = folder;
        pointed_ = true;
    }

private:
    std::string folder_;
    bool pointed_ = false;
};

thread_local ThreadEphemerisFiles tFiles;

// The folder the library really searches: SE_EPHE_PATH, when set, wins over
// the one it is given.
std::string SearchedFolder(const std::string& folder) {
    const char* env = std::getenv("SE_EPHE_PATH");
    if (env != nullptr && *env != '\0') return std::string(env) + " (from SE_EPHE_PATH)";
    return folder;
}

// The library's own words, first line only, without trailing separators.
std::string LibraryDetail(const char* error) {
    std::string text(error);
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == ' ' || text.back() == ';' || text.back() == '.')) text.pop_back();
    return text.empty() ? "the library answered from another source" : text;
}

// `what` is the quantity asked for, e.g. "the position of Mars".
EphemerisFailure FilesFailure(const std::string& folder, const std::string& what, const char* error) {
    return {"Precise positions need the ephemeris files of the Debian package swe-standard-data in the folder " +
            SearchedFolder(folder) + ", and they could not give " + what + " (" + LibraryDetail(error) +
            "). Install swe-standard-data, or calculate without precise positions."};
}

std::string PositionOf(int body) {
    return std::string(body <= SE_MOON ? "the position of the " : "the position of ") +
           std::string(kBodyNames[static_cast<std::size_t>(body)]);
}

}  // namespace

std::string_view DefaultEphemerisFolder() { return QV_SWE_EPHE_DIR; }

// Minutes since the Unix epoch over 1440, from JD 2440587.5. Days.
double JulianDateUt(std::chrono::sys_time<std::chrono::minutes> t) {
    return kJdUnixEpoch + static_cast<double>(t.time_since_epoch().count()) / 1440.0;
}

// Spherical astronomy of the horizon and the ecliptic (e.g. Meeus,
// Astronomical Algorithms, ch. 13). Degrees.
double RisingEclipticLongitude(double siderealDeg, double obliquityDeg, double latDeg) {
    const double theta = siderealDeg * kDegree;
    const double eps = obliquityDeg * kDegree;
    const double phi = latDeg * kDegree;
    const double y = std::cos(theta);
    const double x = -(std::sin(theta) * std::cos(eps) + std::tan(phi) * std::sin(eps));
    return Degrees0To360(std::atan2(y, x) / kDegree);
}

std::variant<EphemerisPositions, EphemerisFailure> ComputeEphemerisPositions(double jdUt, double latDeg,
                                                                             double lonEastDeg,
                                                                             std::string_view folder) {
    if (!std::isfinite(jdUt)) return EphemerisFailure{"Precise positions need a valid moment of birth."};
    if (!std::isfinite(latDeg) || !std::isfinite(lonEastDeg) || std::fabs(latDeg) > 90.0 ||
        std::fabs(lonEastDeg) > 180.0)
        return EphemerisFailure{
            "Precise positions need a latitude of at most 90\u00B0 and a longitude of at most "
            "180\u00B0."};
    if (folder.empty()) return EphemerisFailure{"No folder was given for the ephemeris files."};
    if (folder.size() > kMaxFolderLength)
        return EphemerisFailure{"The folder name of the ephemeris files is longer than the Swiss Ephemeris accepts (" +
                                std::to_string(kMaxFolderLength) + " bytes): " + std::string(folder)};
    const std::string path(folder);
    tFiles.Use(path);

    EphemerisPositions out;
    char error[AS_MAXCH] = {};
    // Slots 0..9 are the library's body numbers SE_SUN … SE_PLUTO.
    static_assert(SE_SUN == 0 && SE_MOON == 1 && SE_MERCURY == 2 && SE_PLUTO == 9);
    for (int body = SE_SUN; body <= SE_PLUTO; ++body) {
        double xx[6] = {};
        error[0] = '\0';
        const int got = swe_calc_ut(jdUt, body, kBodyFlags, xx, error);
        if (!AnsweredFromFiles(got)) return FilesFailure(path, PositionOf(body), error);
        const auto slot = static_cast<std::size_t>(body);
        out.longitude[slot] = Degrees0To360(xx[0]);
        out.speed[slot] = xx[3];
        if (body >= SE_MERCURY) out.retrograde[slot - 2] = xx[3] < 0.0;
    }

    // Nutation (IAU 2000B), the obliquity and the sidereal time are the
    // library's own series; they read no files.
    double nutation[6] = {};
    error[0] = '\0';
    if (swe_calc_ut(jdUt, SE_ECL_NUT, 0, nutation, error) < 0)
        return FilesFailure(path, "the obliquity of the ecliptic", error);
    const double sidereal = swe_sidtime(jdUt) * 15.0 + lonEastDeg;  // local apparent sidereal time
    out.longitude[10] = RisingEclipticLongitude(sidereal, nutation[0], latDeg);
    return out;
}

}  // namespace qv
