#include "tools/report/report_options.h"

#include <charconv>
#include <functional>
#include <optional>
#include <set>

#include "app/birth_values.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv::report {

namespace {

// The texts of the command line before they are checked and converted.
struct RawOptions {
    std::optional<std::string> date, time, zone, lat, lon;
    bool dst = false;
    std::string name, city, state, country;
    std::string format = "json";
    std::optional<std::string> reading, saveReading;
    bool stations = false;
    bool precise = false;
    std::optional<std::string> batch, jobs;
    std::optional<std::string> place, findPlace, limit;
};

// Most places --find-place prints.
constexpr int kMaxFindLimit = 100;

using Setter = std::function<void(RawOptions&, const std::string&)>;

// One row per option; an option with a value names it in `value`.
struct OptionRow {
    std::string_view name;
    std::string_view value;  // empty for a flag
    std::string help;
    Setter set;
};

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        {"--name", "TEXT", "the person's name", [](RawOptions& o, const std::string& v) { o.name = v; }},
        {"--date", "YYYY-MM-DD",
         "date of birth, " + std::to_string(kFirstBirthYear) + "-01-01 to " + std::to_string(kLastBirthYear) + "-12-31",
         [](RawOptions& o, const std::string& v) { o.date = v; }},
        {"--time", "HH:MM", "local clock time of birth, 00:00 to 23:59",
         [](RawOptions& o, const std::string& v) { o.time = v; }},
        {"--zone", "SLOT", "time-zone table slot, 0 to " + std::to_string(kTimeZoneCount - 1),
         [](RawOptions& o, const std::string& v) { o.zone = v; }},
        {"--lat", "DEG:MIN{N|S}", "latitude, e.g. 51:30N", [](RawOptions& o, const std::string& v) { o.lat = v; }},
        {"--lon", "DEG:MIN{E|W}", "longitude, e.g. 0:7W", [](RawOptions& o, const std::string& v) { o.lon = v; }},
        {"--dst", "", "daylight saving time was in force", [](RawOptions& o, const std::string&) { o.dst = true; }},
        {"--city", "TEXT", "city of birth", [](RawOptions& o, const std::string& v) { o.city = v; }},
        {"--state", "TEXT", "state of birth", [](RawOptions& o, const std::string& v) { o.state = v; }},
        {"--country", "TEXT", "country of birth", [](RawOptions& o, const std::string& v) { o.country = v; }},
        {"--place", "TEXT",
         "birth place from the offline atlas, e.g. \"London, Canada\": its\n"
         "                          coordinates, names, and the zone and daylight saving of\n"
         "                          the birth moment; --lat, --lon, --zone, --dst, --city,\n"
         "                          --state and --country given as well win",
         [](RawOptions& o, const std::string& v) { o.place = v; }},
        {"--precise", "",
         "positions from the Swiss Ephemeris files (Debian package\n"
         "                          swe-standard-data) instead of the built-in formulas;\n"
         "                          also with --reading and --batch",
         [](RawOptions& o, const std::string&) { o.precise = true; }},
        {"--format", "json|text", "output: JSON (default) or the chart's text export",
         [](RawOptions& o, const std::string& v) { o.format = v; }},
        {"--reading", "FILE.qvn", "take the birth data from a saved reading instead",
         [](RawOptions& o, const std::string& v) { o.reading = v; }},
        {"--save-reading", "FILE.qvn", "also save the reading of the chart to FILE.qvn",
         [](RawOptions& o, const std::string& v) { o.saveReading = v; }},
        {"--stations", "", "print the built-in retrograde station tables as JSON, nothing else",
         [](RawOptions& o, const std::string&) { o.stations = true; }},
        {"--batch", "FILE.csv", "one chart per CSV row (\"-\" reads standard input), one JSON line each",
         [](RawOptions& o, const std::string& v) { o.batch = v; }},
        {"--jobs", "N", "with --batch: rows computed in parallel, 1 to 64 (default 1)",
         [](RawOptions& o, const std::string& v) { o.jobs = v; }},
        {"--find-place", "TEXT", "print the atlas's places matching TEXT as JSON, best first, nothing else",
         [](RawOptions& o, const std::string& v) { o.findPlace = v; }},
        {"--limit", "N",
         "with --find-place: most places printed, 1 to " + std::to_string(kMaxFindLimit) + " (default 10)",
         [](RawOptions& o, const std::string& v) { o.limit = v; }},
    };
    return table;
}

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& row : OptionTable())
        if (row.name == name) return &row;
    return nullptr;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int ToInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// YYYY-MM-DD into the birth date.
std::optional<std::string> ParseDate(const std::optional<std::string>& text, BirthValues& values) {
    if (!text) return "Missing --date YYYY-MM-DD";
    const std::string_view t = *text;
    if (t.size() != 10 || t[4] != '-' || t[7] != '-' || !AllDigits(t.substr(0, 4)) || !AllDigits(t.substr(5, 2)) ||
        !AllDigits(t.substr(8, 2)))
        return "Malformed date " + QuoteUserText(*text) + " (expected YYYY-MM-DD)";
    values.year = ToInt(t.substr(0, 4));
    values.month = ToInt(t.substr(5, 2));
    values.day = ToInt(t.substr(8, 2));
    return CheckBirthDate(values);
}

// H:MM or HH:MM into the birth time.
std::optional<std::string> ParseTime(const std::optional<std::string>& text, BirthValues& values) {
    if (!text) return "Missing --time HH:MM";
    const std::string_view t = *text;
    const auto colon = t.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || t.size() - colon - 1 != 2 ||
        !AllDigits(t.substr(0, colon)) || !AllDigits(t.substr(colon + 1)))
        return "Malformed time " + QuoteUserText(*text) + " (expected HH:MM)";
    values.hour = ToInt(t.substr(0, colon));
    values.minute = ToInt(t.substr(colon + 1));
    return CheckBirthTime(values);
}

std::optional<std::string> ParseZone(const std::optional<std::string>& text, BirthValues& values) {
    if (!text) return "Missing --zone SLOT (a time-zone slot from 0 to " + std::to_string(kTimeZoneCount - 1) + ")";
    // Anything but one or two digits is no slot at all.
    values.zoneSlot = AllDigits(*text) && text->size() <= 2 ? ToInt(*text) : -1;
    return CheckZoneSlot(values);
}

// DEG:MIN followed by a direction letter into two boxes and a direction.
// Missing parts are left empty for the form's own checks to name.
template <class Direction>
std::optional<std::string> ParseAngle(const std::optional<std::string>& text, std::string_view what,
                                      std::string_view letters,
                                      std::optional<std::string> (*directionOf)(char, Direction&), std::string& degrees,
                                      std::string& minutes, Direction& direction) {
    if (!text) return std::nullopt;  // the form reports the empty degree box
    std::string_view t = *text;
    if (!t.empty()) {
        const char last = t.back();
        if ((last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z')) {
            if (auto refused = directionOf(last, direction)) return refused;
            t.remove_suffix(1);
        }
    }
    const auto colon = t.find(':');
    if (colon == std::string_view::npos)
        return "Malformed " + std::string(what) + " " + QuoteUserText(*text) + " (expected DEG:MIN followed by " +
               letters[0] + " or " + letters[1] + ")";
    degrees = t.substr(0, colon);
    minutes = t.substr(colon + 1);
    return std::nullopt;
}

}  // namespace

std::string ReportUsage() {
    std::string usage =
        "Usage: quorvane-report --name TEXT --date YYYY-MM-DD --time HH:MM --zone SLOT\n"
        "                       --lat DEG:MIN{N|S} --lon DEG:MIN{E|W} [--dst]\n"
        "                       --city TEXT --state TEXT --country TEXT [--format json|text]\n"
        "                       [--save-reading FILE.qvn] [--precise]\n"
        "       quorvane-report --name TEXT --date YYYY-MM-DD --time HH:MM --place TEXT\n"
        "                       [any option above, which wins over the atlas]\n"
        "       quorvane-report --reading FILE.qvn [--format json|text] [--save-reading FILE.qvn]\n"
        "                       [--precise]\n"
        "       quorvane-report --stations\n"
        "       quorvane-report --batch FILE.csv [--jobs N] [--precise]\n"
        "       quorvane-report --find-place TEXT [--limit N]\n"
        "\n"
        "Computes a natal chart and prints it on standard output.\n"
        "\n";
    for (const OptionRow& row : OptionTable()) {
        std::string left = "  " + std::string(row.name);
        if (!row.value.empty()) left += " " + std::string(row.value);
        if (left.size() < 26)
            left.resize(26, ' ');
        else
            left += "  ";
        usage += left + row.help + "\n";
    }
    usage +=
        "  --help                  print this text\n"
        "  --version               print the version\n"
        "\n"
        "Refused input is reported on standard error with exit status 2; output that\n"
        "cannot be written (standard output, --save-reading) with exit status 1.\n"
        "\n"
        "The JSON's \"positions_from\" says where the positions come from: \"formulas\"\n"
        "(the default) or \"ephemeris\" (--precise). Without the ephemeris files\n"
        "--precise refuses the chart with exit status 2.\n"
        "\n"
        "--batch reads a CSV file (RFC 4180, UTF-8) whose first line names its columns,\n"
        "in any order:\n"
        "  name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,\n"
        "  lon_dir,dst,city,state,country\n"
        "(lat_dir N or S, lon_dir E or W, dst 0 or 1). A place column may stand in place\n"
        "of zone, the six latitude and longitude columns and dst, and of city, state and\n"
        "country: the atlas fills what a row leaves out, as with --place. It prints one\n"
        "JSON object per row, in order: the chart with \"row\" in front, rows counted\n"
        "from 1 after the header, or {\"row\": n, \"error\": message} for a refused row.\n"
        "The status is 0 when every row gave a chart, 3 when any was refused, 2 when the\n"
        "header is refused.\n";
    return usage;
}

std::variant<ReportOptions, OptionError> ParseReportOptions(const std::vector<std::string>& args) {
    // --help anywhere asks for the usage only, --version for the version only
    // (a value never starts with "--").
    for (const std::string& arg : args)
        if (arg == "--help") {
            ReportOptions help;
            help.help = true;
            return help;
        }
    for (const std::string& arg : args)
        if (arg == "--version") {
            ReportOptions version;
            version.version = true;
            return version;
        }

    RawOptions raw;
    std::set<std::string_view> given;  // an option counts once, however it is spelt
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            inlineValue = std::string(name.substr(eq + 1));
            name = name.substr(0, eq);
        }
        const OptionRow* row = FindOption(name);
        if (!row) {
            if (name.starts_with("-")) return OptionError{"Unknown option " + QuoteUserText(name) + " (see --help)"};
            return OptionError{"Unexpected argument " + QuoteUserText(arg) + " (see --help)"};
        }
        if (!given.insert(row->name).second) return OptionError{std::string(row->name) + " is given twice"};
        if (row->value.empty()) {
            if (inlineValue) return OptionError{"Option " + std::string(name) + " takes no value"};
            row->set(raw, {});
            continue;
        }
        if (!inlineValue) {
            if (k + 1 >= args.size() || args[k + 1].starts_with("--"))
                return OptionError{"Option " + std::string(name) + " needs a value: " + std::string(row->value)};
            inlineValue = args[++k];
        }
        row->set(raw, *inlineValue);
    }

    ReportOptions options;
    options.precise = raw.precise;
    if (raw.stations) {
        if (args.size() != 1)
            return OptionError{"--stations prints the station tables only; leave out the other options"};
        options.stations = true;
        return options;
    }
    if (raw.findPlace) {
        if (given.size() != (raw.limit ? 2u : 1u))
            return OptionError{"--find-place prints the atlas's places only; leave out the other options but --limit"};
        if (raw.findPlace->empty()) return OptionError{"Option --find-place needs a place name"};
        if (raw.limit) {
            const std::string& n = *raw.limit;
            if (!AllDigits(n) || n.size() > 3 || ToInt(n) < 1 || ToInt(n) > kMaxFindLimit)
                return OptionError{"The limit must be from 1 to " + std::to_string(kMaxFindLimit)};
            options.findLimit = static_cast<std::size_t>(ToInt(n));
        }
        options.findPlace = *raw.findPlace;
        return options;
    }
    if (raw.limit) return OptionError{"--limit works with --find-place only"};
    if (raw.jobs && !raw.batch) return OptionError{"--jobs works with --batch only"};
    const bool birthData = raw.date || raw.time || raw.zone || raw.lat || raw.lon || raw.dst || !raw.name.empty() ||
                           !raw.city.empty() || !raw.state.empty() || !raw.country.empty() || raw.place;
    if (raw.batch) {
        if (birthData || raw.reading || raw.saveReading)
            return OptionError{"--batch takes the birth data from the file; leave out the other birth-data options"};
        if (raw.format != "json") return OptionError{"--batch writes JSON lines only; leave out --format text"};
        if (raw.batch->empty()) return OptionError{"Option --batch needs a file name"};
        options.batchFile = *raw.batch;
        if (raw.jobs) {
            const std::string& n = *raw.jobs;
            if (!AllDigits(n) || n.size() > 2 || ToInt(n) < 1 || ToInt(n) > 64)
                return OptionError{"The number of jobs must be from 1 to 64"};
            options.jobs = ToInt(n);
        }
        return options;
    }
    if (raw.format == "json")
        options.format = OutputFormat::Json;
    else if (raw.format == "text")
        options.format = OutputFormat::Text;
    else
        return OptionError{"Unknown format " + QuoteUserText(raw.format) + " (expected json or text)"};
    if (raw.saveReading) {
        if (raw.saveReading->empty()) return OptionError{"Option --save-reading needs a file name"};
        options.saveReadingFile = *raw.saveReading;
    }

    // A saved reading brings all the birth data; Run reads and checks it.
    if (raw.reading) {
        if (birthData)
            return OptionError{"--reading takes the birth data from the file; leave out the other birth-data options"};
        if (raw.reading->empty()) return OptionError{"Option --reading needs a file name"};
        options.readingFile = *raw.reading;
        return options;
    }

    // What the form's lists guarantee by construction comes first, option by option.
    BirthValues values;
    if (auto e = ParseDate(raw.date, values)) return OptionError{*e};
    if (auto e = ParseTime(raw.time, values)) return OptionError{*e};
    // With a place, the atlas gives what is left out.
    if (raw.zone || !raw.place)
        if (auto e = ParseZone(raw.zone, values)) return OptionError{*e};
    if (auto e = ParseAngle(raw.lat, "latitude", "NS", LatitudeDirectionOf, values.latDegrees, values.latMinutes,
                            values.latDirection))
        return OptionError{*e};
    if (auto e = ParseAngle(raw.lon, "longitude", "EW", LongitudeDirectionOf, values.lonDegrees, values.lonMinutes,
                            values.lonDirection))
        return OptionError{*e};
    values.name = raw.name;
    values.city = raw.city;
    values.state = raw.state;
    values.country = raw.country;
    values.daylightSaving = raw.dst;
    if (raw.place) {
        if (raw.place->empty()) return OptionError{"Option --place needs a place name"};
        options.place =
            PlaceRequest{*raw.place, raw.lat.has_value(),      raw.lon.has_value(),       raw.zone.has_value(),
                         raw.dst,    given.contains("--city"), given.contains("--state"), given.contains("--country")};
        options.values = values;
        return options;
    }

    // Then the form's own checks, in the form's order and words.
    if (auto e = BirthValuesToForm(values, options.form)) return OptionError{*e};
    return options;
}

}  // namespace qv::report
