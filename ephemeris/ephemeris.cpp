#include "ephemeris/ephemeris.h"

#include <swephexp.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <optional>

#include "astro/ascendant.h"
#include "astro/positions.h"
#include "state/fixed_lists.h"
#include "state/text.h"

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

// The folders the library searches for `folder`: SE_EPHE_PATH, when set,
// wins over the one it is given, and either is a list split at ':' and ';'.
std::string SearchPath(const std::string& folder) {
    const char* env = std::getenv("SE_EPHE_PATH");
    if (env != nullptr && *env != '\0') return env;
    return folder;
}

// The files the library may open in a folder of its path: the ephemeris
// files (*.se1) and its tables of ΔT.
bool IsLibraryFile(const std::string& name) {
    return (name.size() > 4 && name.compare(name.size() - 4, 4, ".se1") == 0) || name == "swe_deltat.txt" ||
           name == "sedeltat.txt";
}

// What a file that is not an ordinary one is, for a message.
std::string KindOf(std::filesystem::file_type type) {
    using std::filesystem::file_type;
    switch (type) {
        case file_type::fifo:
            return "a named pipe";
        case file_type::block:
        case file_type::character:
            return "a device";
        case file_type::directory:
            return "a folder";
        case file_type::socket:
            return "a socket";
        case file_type::not_found:
            return "a link to nothing";
        default:
            return "not an ordinary file";
    }
}

// The library opens its files with a plain open, which waits forever on a
// named pipe and reads whatever a device gives: every file it may open in
// the folders it searches must be an ordinary file (or a link to one) before
// it is pointed there. A folder that is not there is left to the library,
// which finds nothing and says so.
std::optional<EphemerisFailure> UnusableLibraryFile(const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string path = SearchPath(folder);
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(";:", start), path.size());
        const fs::path dir(path.substr(start, end - start));
        start = end + 1;
        std::error_code ec;
        if (dir.empty() || !fs::is_directory(dir, ec)) continue;
        const auto refused = [&](const std::string& what) {
            return EphemerisFailure{
                "Precise positions need the ephemeris files of the Debian package "
                "swe-standard-data in the folder " +
                SearchedEphemerisFolder(folder) + ", and " + what +
                ". Reinstall swe-standard-data, or calculate without precise positions."};
        };
        fs::directory_iterator entries(dir, ec);
        for (; !ec && entries != fs::directory_iterator(); entries.increment(ec)) {
            const std::string name = entries->path().filename().string();
            if (!IsLibraryFile(name)) continue;
            std::error_code typeError;
            const fs::file_type type = entries->status(typeError).type();
            if (type != fs::file_type::regular)
                return refused(QuoteUserText((dir / name).string()) + " is " + KindOf(type) + ", not an ordinary file");
        }
        if (ec) return refused("the folder " + QuoteUserText(dir.string()) + " cannot be read (" + ec.message() + ")");
    }
    return std::nullopt;
}

// The library keeps its search path and open files per thread: this points
// the calling thread's library at a folder once, after its files have been
// checked (UnusableLibraryFile), and closes its files when the thread ends.
// The library opens the files of a moment on its first call after that.
class ThreadEphemerisFiles {
public:
    ThreadEphemerisFiles() = default;
    ThreadEphemerisFiles(const ThreadEphemerisFiles&) = delete;
    ThreadEphemerisFiles& operator=(const ThreadEphemerisFiles&) = delete;
    ~ThreadEphemerisFiles() {
        if (pointed_) swe_close();
    }

    // nullopt once the library searches `folder`, else why it may not.
    std::optional<EphemerisFailure> Use(const std::string& folder) {
        if (pointed_ && folder == folder_ && SearchPath(folder) == searched_) return std::nullopt;
        if (auto refused = UnusableLibraryFile(folder)) return refused;
        swe_set_ephe_path(folder.c_str());
        folder_ = folder;
        searched_ = SearchPath(folder);
        pointed_ = true;
        return std::nullopt;
    }

private:
    std::string folder_;
    std::string searched_;
    bool pointed_ = false;
};

thread_local ThreadEphemerisFiles tFiles;

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
            SearchedEphemerisFolder(folder) + ", and they could not give " + what + " (" + LibraryDetail(error) +
            "). Install swe-standard-data, or calculate without precise positions."};
}

std::string PositionOf(int body) {
    return std::string(body <= SE_MOON ? "the position of the " : "the position of ") +
           std::string(kBodyNames[static_cast<std::size_t>(body)]);
}

}  // namespace

std::string_view DefaultEphemerisFolder() { return QV_SWE_EPHE_DIR; }

std::string SearchedEphemerisFolder(std::string_view folder) {
    const char* env = std::getenv("SE_EPHE_PATH");
    if (env != nullptr && *env != '\0') return std::string(env) + " (from SE_EPHE_PATH)";
    return std::string(folder);
}

// Seconds since the Unix epoch over 86400, from JD 2440587.5. Both numbers
// are exact doubles and the division rounds once, so 60 m / 86400 is the
// same double as m / 1440. Days.
double JulianDateUt(std::chrono::sys_seconds t) {
    return kJdUnixEpoch + static_cast<double>(t.time_since_epoch().count()) / 86400.0;
}

// Spherical astronomy of the horizon and the ecliptic (e.g. Meeus,
// Astronomical Algorithms, ch. 13). Degrees.
double RisingEclipticLongitude(double siderealDeg, double obliquityDeg, double latDeg) {
    const double theta = siderealDeg * kDegree;
    const double eps = obliquityDeg * kDegree;
    const double phi = latDeg * kDegree;
    const double y = std::cos(theta);
    if (latDeg >= 90.0 || latDeg <= -90.0) return AscendantAtPole(y, latDeg > 0);
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
    if (auto refused = tFiles.Use(path)) return std::move(*refused);

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
