#include "cli/report_options.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <set>

#include "formats/picture_format.h"
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
    bool timeWindow = false;
    bool aspects = false;
    std::optional<std::string> batch, jobs;
    std::optional<std::string> place, findPlace, limit;
    std::optional<std::string> picture, width;
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
        {"--time", "HH:MM",
         "local clock time of birth, 00:00 to 23:59, or \"unknown\": the\n"
         "                          chart is then drawn for 12:00 and says so",
         [](RawOptions& o, const std::string& v) { o.time = v; }},
        {"--zone", "SLOT", "time-zone table slot, 0 to " + std::to_string(kTimeZoneCount - 1),
         [](RawOptions& o, const std::string& v) { o.zone = v; }},
        {"--lat", "DEG:MIN{N|S}", "latitude, e.g. 51:30N", [](RawOptions& o, const std::string& v) { o.lat = v; }},
        {"--lon", "DEG:MIN{E|W}", "longitude, e.g. 0:7W", [](RawOptions& o, const std::string& v) { o.lon = v; }},
        {"--dst", "",
         "daylight saving time was in force: summer time, the clock an hour\n"
         "                          ahead of the place's winter time",
         [](RawOptions& o, const std::string&) { o.dst = true; }},
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
        {"--time-window", "",
         "add \"time_window\" to the JSON: the first and last minute of local\n"
         "                          clock time with the same chart; also with --batch",
         [](RawOptions& o, const std::string&) { o.timeWindow = true; }},
        {"--aspects", "",
         "with --batch: add \"aspects\" to every line, as a single chart's JSON\n"
         "                          always has them (the batch is faster without)",
         [](RawOptions& o, const std::string&) { o.aspects = true; }},
        {"--format", "json|text", "output: JSON (default) or the chart's text export",
         [](RawOptions& o, const std::string& v) { o.format = v; }},
        {"--reading", "FILE.qvn", "take the birth data from a saved reading instead",
         [](RawOptions& o, const std::string& v) { o.reading = v; }},
        {"--save-reading", "FILE.qvn", "also save the reading of the chart to FILE.qvn",
         [](RawOptions& o, const std::string& v) { o.saveReading = v; }},
        {"--picture", "FILE",
         "also draw the chart as a picture, as the chart window's Save As\n"
         "                          Picture does: FILE.png, FILE.svg or FILE.jpg",
         [](RawOptions& o, const std::string& v) { o.picture = v; }},
        {"--width", "N",
         "with --picture or --batch: the picture's width in pixels, " + std::to_string(kSmallestPictureWidth) +
             " to\n                          " + std::to_string(kLargestPictureWidth) + " (default " +
             std::to_string(kDefaultPictureWidth) + ")",
         [](RawOptions& o, const std::string& v) { o.width = v; }},
        {"--stations", "", "print the built-in retrograde station tables as JSON, nothing else",
         [](RawOptions& o, const std::string&) { o.stations = true; }},
        {"--batch", "FILE.csv", "one chart per CSV row (\"-\" reads standard input), one JSON line each",
         [](RawOptions& o, const std::string& v) { o.batch = v; }},
        {"--jobs", "N", "with --batch: rows computed in parallel, 1 to 64 (default 1)",
         [](RawOptions& o, const std::string& v) { o.jobs = v; }},
        {"--find-place", "TEXT",
         "print the atlas's places matching TEXT as JSON, best first, nothing else; "
         "coordinates (47:35N,11:04E): the places within 100 km, nearest first",
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

// A whole number of at most `maxDigits` digits, or -1, which no list holds.
int NumberOr(std::string_view text, std::size_t maxDigits) { return ParseDigits(text, maxDigits).value_or(-1); }

// YYYY-MM-DD into the form's date lists.
std::optional<std::string> ParseDate(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --date YYYY-MM-DD";
    const std::string_view t = *text;
    const bool dashes = t.size() == 10 && t[4] == '-' && t[7] == '-';
    const int year = dashes ? NumberOr(t.substr(0, 4), 4) : -1;
    const int month = dashes ? NumberOr(t.substr(5, 2), 2) : -1;
    const int day = dashes ? NumberOr(t.substr(8, 2), 2) : -1;
    if (year < 0 || month < 0 || day < 0) return "Malformed date " + QuoteUserText(*text) + " (expected YYYY-MM-DD)";
    if (auto refused = CheckBirthDate(year, month, day)) return refused;
    form.cboYear = YearItem(year);
    form.cboMonth = month - 1;
    form.cboDate = day - 1;
    return std::nullopt;
}

// H:MM or HH:MM into the form's time lists; "unknown" (any case) ticks the
// form's "Birth time unknown".
std::optional<std::string> ParseTime(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --time HH:MM";
    const std::string_view t = *text;
    if (t.size() == 7 && std::equal(t.begin(), t.end(), "unknown",
                                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; })) {
        form.chkTimeUnknown = true;
        form.cboHour = kUnknownTimeHour;
        form.cboMinute = 0;
        return std::nullopt;
    }
    const auto colon = t.find(':');
    const bool shaped = colon != std::string_view::npos && colon >= 1 && colon <= 2 && t.size() - colon - 1 == 2;
    const int hour = shaped ? NumberOr(t.substr(0, colon), 2) : -1;
    const int minute = shaped ? NumberOr(t.substr(colon + 1), 2) : -1;
    if (hour < 0 || minute < 0) return "Malformed time " + QuoteUserText(*text) + " (expected HH:MM)";
    if (auto refused = CheckBirthTime(hour, minute)) return refused;
    form.cboHour = hour;
    form.cboMinute = minute;
    return std::nullopt;
}

std::optional<std::string> ParseZone(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --zone SLOT (a time-zone slot from 0 to " + std::to_string(kTimeZoneCount - 1) + ")";
    // Anything but one or two digits is no slot at all.
    const int slot = NumberOr(*text, 2);
    if (auto refused = CheckZoneSlot(slot)) return refused;
    form.cboTimeZone = slot;
    return std::nullopt;
}

// DEG:MIN followed by a direction letter into two boxes and an option pair.
// Missing parts are left empty for the form's own checks to name.
std::optional<std::string> ParseAngle(const std::optional<std::string>& text, std::string_view what,
                                      std::string_view letters, std::optional<std::string> (*directionOf)(char, int&),
                                      std::string& degrees, std::string& minutes, int& option) {
    if (!text) return std::nullopt;  // the form reports the empty degree box
    std::string_view t = *text;
    if (!t.empty()) {
        const char last = t.back();
        if ((last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z')) {
            if (auto refused = directionOf(last, option)) return refused;
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

// The arguments into their texts, each option once; an unknown option, a
// value missing or a value given to a flag refuses the line.
std::optional<OptionError> ReadArguments(const std::vector<std::string>& args, RawOptions& raw,
                                         std::set<std::string_view>& given) {
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
    return std::nullopt;
}

// --find-place with its --limit, alone.
std::optional<OptionError> FindPlaceOptions(const RawOptions& raw, const std::set<std::string_view>& given,
                                            ReportOptions& options) {
    if (given.size() != (raw.limit ? 2u : 1u))
        return OptionError{"--find-place prints the atlas's places only; leave out the other options but --limit"};
    if (raw.findPlace->empty()) return OptionError{"Option --find-place needs a place name"};
    if (auto refused = CheckFindPlaceText(*raw.findPlace)) return OptionError{*refused};
    if (raw.limit) {
        const int n = NumberOr(*raw.limit, 3);
        if (n < 1 || n > kMaxFindLimit)
            return OptionError{"The limit must be from 1 to " + std::to_string(kMaxFindLimit)};
        options.findLimit = static_cast<std::size_t>(n);
    }
    options.findPlace = *raw.findPlace;
    return std::nullopt;
}

// --picture and --width: a file name of a kind the program draws, a width
// in the range; with --batch each row names its own file.
std::optional<OptionError> PictureOptions(const RawOptions& raw, ReportOptions& options) {
    if (raw.picture && raw.batch)
        return OptionError{"--batch takes each row's picture file from its picture column; leave out --picture"};
    if (raw.width && !raw.picture && !raw.batch) return OptionError{"--width works with --picture or --batch only"};
    if (raw.width) {
        const int n = NumberOr(*raw.width, 5);
        if (n < 0)
            return OptionError{"Malformed width " + QuoteUserText(*raw.width) + " (expected a number of pixels)"};
        if (auto refused = PictureWidthRefusal(n)) return OptionError{*refused};
        options.pictureWidth = n;
    }
    if (!raw.picture) return std::nullopt;
    if (raw.picture->empty()) return OptionError{"Option --picture needs a file name"};
    if (!PictureFormatOfName(*raw.picture))
        return OptionError{"A picture's file name must end in .png, .svg or .jpg: " + QuoteUserText(*raw.picture)};
    options.pictureFile = *raw.picture;
    return std::nullopt;
}

// --batch with its --jobs, without birth data.
std::optional<OptionError> BatchOptions(const RawOptions& raw, bool birthData, ReportOptions& options) {
    if (birthData || raw.reading || raw.saveReading)
        return OptionError{"--batch takes the birth data from the file; leave out the other birth-data options"};
    if (raw.format != "json") return OptionError{"--batch writes JSON lines only; leave out --format text"};
    if (raw.batch->empty()) return OptionError{"Option --batch needs a file name"};
    options.batchFile = *raw.batch;
    if (raw.jobs) {
        const int n = NumberOr(*raw.jobs, 2);
        if (n < 1 || n > 64) return OptionError{"The number of jobs must be from 1 to 64"};
        options.jobs = n;
    }
    return std::nullopt;
}

// The birth data of the options into the form: what the form's lists
// guarantee by construction first, option by option; with a place, the
// atlas gives what is left out later, else the form's own checks follow,
// in the form's order and words.
std::optional<OptionError> BirthOptions(const RawOptions& raw, const std::set<std::string_view>& given,
                                        ReportOptions& options) {
    BirthFormData& form = options.form;
    if (auto e = ParseDate(raw.date, form)) return OptionError{*e};
    if (auto e = ParseTime(raw.time, form)) return OptionError{*e};
    if (raw.zone || !raw.place)
        if (auto e = ParseZone(raw.zone, form)) return OptionError{*e};
    if (auto e =
            ParseAngle(raw.lat, "latitude", "NS", LatitudeDirectionOf, form.txtLatD, form.txtLatM, form.optLatSouth))
        return OptionError{*e};
    if (auto e =
            ParseAngle(raw.lon, "longitude", "EW", LongitudeDirectionOf, form.txtLonD, form.txtLonM, form.optLongEast))
        return OptionError{*e};
    form.txtName = raw.name;
    form.txtCity = raw.city;
    form.txtState = raw.state;
    form.txtCountry = raw.country;
    form.chkDST = raw.dst;
    if (raw.place) {
        if (raw.place->empty()) return OptionError{"Option --place needs a place name"};
        options.place =
            PlaceRequest{*raw.place, raw.lat.has_value(),      raw.lon.has_value(),       raw.zone.has_value(),
                         raw.dst,    given.contains("--city"), given.contains("--state"), given.contains("--country")};
        return std::nullopt;
    }
    if (auto failure = ValidateInput(form)) return OptionError{failure->message};
    if (auto failure = CheckPersonalTexts(form)) return OptionError{failure->message};
    return std::nullopt;
}

}  // namespace

std::string ReportUsage() {
    std::string usage =
        "Usage: quorvane-report --name TEXT --date YYYY-MM-DD --time HH:MM|unknown --zone SLOT\n"
        "                       --lat DEG:MIN{N|S} --lon DEG:MIN{E|W} [--dst]\n"
        "                       --city TEXT --state TEXT --country TEXT [--format json|text]\n"
        "                       [--save-reading FILE.qvn] [--precise] [--time-window]\n"
        "                       [--picture FILE.png|FILE.svg|FILE.jpg [--width N]]\n"
        "       quorvane-report --name TEXT --date YYYY-MM-DD --time HH:MM --place TEXT\n"
        "                       [any option above, which wins over the atlas]\n"
        "       quorvane-report --reading FILE.qvn [--format json|text] [--save-reading FILE.qvn]\n"
        "                       [--precise] [--time-window]\n"
        "       quorvane-report --stations\n"
        "       quorvane-report --batch FILE.csv [--jobs N] [--precise] [--time-window] [--aspects]\n"
        "                       [--width N]\n"
        "       quorvane-report --find-place TEXT [--limit N]\n"
        "\n"
        "Computes a natal chart and prints it on standard output.\n"
        "\n";
    for (const OptionRow& row : OptionTable()) {
        // The option and its value, then its help from column 26.
        const std::size_t start = usage.size();
        usage.append("  ").append(row.name);
        if (!row.value.empty()) usage.append(" ").append(row.value);
        const std::size_t width = usage.size() - start;
        usage.append(width < 26 ? 26 - width : 2, ' ');
        usage.append(row.help).append("\n");
    }
    usage +=
        "  --help                  print this text\n"
        "  --version               print the version\n"
        "\n"
        "Refused input is reported on standard error with exit status 2; output that\n"
        "cannot be written (standard output, --save-reading, --picture) gives\n"
        "exit status 1.\n"
        "\n"
        "The JSON's \"positions_from\" says where the positions come from: \"formulas\"\n"
        "(the default) or \"ephemeris\" (--precise). Without the ephemeris files\n"
        "--precise refuses the chart with exit status 2.\n"
        "\n"
        "The JSON's \"aspects\" lists the pairs of the Sun, the Moon, Mercury to Pluto\n"
        "and the ascendant within an orb of 0 or 180 degrees (orb 8), 120 or 90 (7)\n"
        "or 60 (5), 2 more with the Sun or the Moon: {\"a\", \"b\", \"aspect\",\n"
        "\"angle\", \"orb\", \"applying\", \"rests_on_time\"}; applying when the orb is\n"
        "smaller one minute later.\n"
        "\n"
        "--batch reads a CSV file (RFC 4180, UTF-8) whose first line names its columns,\n"
        "in any order:\n"
        "  name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,\n"
        "  lon_dir,dst,city,state,country\n"
        "(lat_dir N or S, lon_dir E or W, dst 0 or 1; hour and minute both empty: birth\n"
        "time unknown, as --time unknown). A place column may stand in place\n"
        "of zone, the six latitude and longitude columns and dst, and of city, state and\n"
        "country: the atlas fills what a row leaves out, as with --place. It prints one\n"
        "JSON object per row, in order: the chart with \"row\" in front, rows counted\n"
        "from 1 after the header, or {\"row\": n, \"error\": message} for a refused row.\n"
        "The status is 0 when every row gave a chart, 3 when any was refused, 2 when the\n"
        "header is refused.\n"
        "\n"
        "--picture draws the chart as the chart window shows it: personal data,\n"
        "positions, wheel and interpretation, without a display. A batch may have a\n"
        "picture column: each row with a file name there is drawn to that file (its\n"
        "rows are then worked one at a time); a picture that cannot be written refuses\n"
        "its row.\n";
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
    if (auto e = ReadArguments(args, raw, given)) return *e;

    ReportOptions options;
    options.precise = raw.precise;
    options.timeWindow = raw.timeWindow;
    options.aspects = raw.aspects;
    if (raw.stations) {
        if (args.size() != 1)
            return OptionError{"--stations prints the station tables only; leave out the other options"};
        options.stations = true;
        return options;
    }
    if (raw.findPlace && (raw.picture || raw.width))
        return OptionError{"--find-place prints places only; leave out --picture and --width"};
    if (raw.findPlace) {
        if (auto e = FindPlaceOptions(raw, given, options)) return *e;
        return options;
    }
    if (raw.limit) return OptionError{"--limit works with --find-place only"};
    if (raw.jobs && !raw.batch) return OptionError{"--jobs works with --batch only"};
    if (auto e = PictureOptions(raw, options)) return *e;
    const bool birthData = raw.date || raw.time || raw.zone || raw.lat || raw.lon || raw.dst || !raw.name.empty() ||
                           !raw.city.empty() || !raw.state.empty() || !raw.country.empty() || raw.place;
    if (raw.batch) {
        if (auto e = BatchOptions(raw, birthData, options)) return *e;
        return options;
    }
    if (raw.format == "json")
        options.format = OutputFormat::Json;
    else if (raw.format == "text" && !raw.timeWindow && !raw.aspects)
        options.format = OutputFormat::Text;
    else if (raw.format == "text")
        return OptionError{std::string(raw.timeWindow ? "--time-window" : "--aspects") +
                           " is written into the JSON; leave out --format text"};
    else
        return OptionError{"Unknown format " + QuoteUserText(raw.format) + " (expected json or text)"};
    if (raw.saveReading) {
        if (raw.saveReading->empty()) return OptionError{"Option --save-reading needs a file name"};
        // The desktop program's dialog gives every reading this ending, and
        // only such a name opens again (--reading, the Open dialog).
        if (!raw.saveReading->ends_with(".qvn"))
            return OptionError{"A reading's file name must end in .qvn, as only such files open as readings: " +
                               QuoteUserText(*raw.saveReading)};
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
    if (auto e = BirthOptions(raw, given, options)) return *e;
    return options;
}

}  // namespace qv::report
