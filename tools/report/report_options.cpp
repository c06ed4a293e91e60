#include "tools/report/report_options.h"

#include <charconv>
#include <functional>
#include <optional>
#include <set>

#include "app/user_text.h"

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
    std::optional<std::string> batch, jobs;
};

using Setter = std::function<void(RawOptions&, const std::string&)>;

// One row per option; an option with a value names it in `value`.
struct OptionRow {
    std::string_view name;
    std::string_view value;  // empty for a flag
    std::string_view help;
    Setter set;
};

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        {"--name", "TEXT", "the person's name", [](RawOptions& o, const std::string& v) { o.name = v; }},
        {"--date", "YYYY-MM-DD", "date of birth, 1901-01-01 to 2050-12-31",
         [](RawOptions& o, const std::string& v) { o.date = v; }},
        {"--time", "HH:MM", "local clock time of birth, 00:00 to 23:59",
         [](RawOptions& o, const std::string& v) { o.time = v; }},
        {"--zone", "SLOT", "time-zone table slot, 0 to 70", [](RawOptions& o, const std::string& v) { o.zone = v; }},
        {"--lat", "DEG:MIN{N|S}", "latitude, e.g. 51:30N", [](RawOptions& o, const std::string& v) { o.lat = v; }},
        {"--lon", "DEG:MIN{E|W}", "longitude, e.g. 0:7W", [](RawOptions& o, const std::string& v) { o.lon = v; }},
        {"--dst", "", "daylight saving time was in force", [](RawOptions& o, const std::string&) { o.dst = true; }},
        {"--city", "TEXT", "city of birth", [](RawOptions& o, const std::string& v) { o.city = v; }},
        {"--state", "TEXT", "state of birth", [](RawOptions& o, const std::string& v) { o.state = v; }},
        {"--country", "TEXT", "country of birth", [](RawOptions& o, const std::string& v) { o.country = v; }},
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

// YYYY-MM-DD into the form's month, day and year lists.
std::optional<std::string> CheckDate(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --date YYYY-MM-DD";
    const std::string_view t = *text;
    if (t.size() != 10 || t[4] != '-' || t[7] != '-' || !AllDigits(t.substr(0, 4)) || !AllDigits(t.substr(5, 2)) ||
        !AllDigits(t.substr(8, 2)))
        return "Malformed date " + QuoteUserText(*text) + " (expected YYYY-MM-DD)";
    const int year = ToInt(t.substr(0, 4));
    const int month = ToInt(t.substr(5, 2));
    const int day = ToInt(t.substr(8, 2));
    if (month < 1 || month > 12) return "The month must be from 1 to 12";
    if (day < 1 || day > 31) return "The day must be from 1 to 31";
    if (year < 1901 || year > 2050) return "The year must be from 1901 to 2050";
    form.cboMonth = month - 1;
    form.cboDate = day - 1;
    form.cboYear = year - 1901;
    return std::nullopt;
}

// H:MM or HH:MM into the form's hour and minute lists.
std::optional<std::string> CheckTime(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --time HH:MM";
    const std::string_view t = *text;
    const auto colon = t.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || t.size() - colon - 1 != 2 ||
        !AllDigits(t.substr(0, colon)) || !AllDigits(t.substr(colon + 1)))
        return "Malformed time " + QuoteUserText(*text) + " (expected HH:MM)";
    const int hour = ToInt(t.substr(0, colon));
    const int minute = ToInt(t.substr(colon + 1));
    if (hour > 23) return "The hour must be from 0 to 23";
    if (minute > 59) return "The minute must be from 0 to 59";
    form.cboHour = hour;
    form.cboMinute = minute;
    return std::nullopt;
}

std::optional<std::string> CheckZone(const std::optional<std::string>& text, BirthFormData& form) {
    if (!text) return "Missing --zone SLOT (a time-zone slot from 0 to 70)";
    if (!AllDigits(*text) || text->size() > 2 || ToInt(*text) > 70)
        return "The time-zone slot must be a number from 0 to 70";
    form.cboTimeZone = ToInt(*text);
    return std::nullopt;
}

// DEG:MIN followed by a direction letter into two boxes and an option pair.
// Missing parts are left empty for the form's own checks to name.
std::optional<std::string> CheckAngle(const std::optional<std::string>& text, std::string_view what, char first,
                                      char second, std::string& degrees, std::string& minutes, int& direction) {
    if (!text) return std::nullopt;  // the form reports the empty degree box
    std::string_view t = *text;
    if (!t.empty()) {
        const char last = t.back();
        const bool letter = (last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z');
        const char upper = (last >= 'a' && last <= 'z') ? static_cast<char>(last - 'a' + 'A') : last;
        if (letter) {
            if (upper != first && upper != second)
                return "The " + std::string(what) + " direction must be " + first + " or " + second;
            direction = upper == first ? 0 : 1;
            t.remove_suffix(1);
        }
    }
    const auto colon = t.find(':');
    if (colon == std::string_view::npos)
        return "Malformed " + std::string(what) + " " + QuoteUserText(*text) + " (expected DEG:MIN followed by " +
               first + " or " + second + ")";
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
        "                       [--save-reading FILE.qvn]\n"
        "       quorvane-report --reading FILE.qvn [--format json|text] [--save-reading FILE.qvn]\n"
        "       quorvane-report --stations\n"
        "       quorvane-report --batch FILE.csv [--jobs N]\n"
        "\n"
        "Computes a natal chart and prints it on standard output.\n"
        "\n";
    for (const OptionRow& row : OptionTable()) {
        std::string left = "  " + std::string(row.name);
        if (!row.value.empty()) left += " " + std::string(row.value);
        if (left.size() < 26) left.resize(26, ' ');
        else left += "  ";
        usage += left + std::string(row.help) + "\n";
    }
    usage +=
        "  --help                  print this text\n"
        "\n"
        "Refused input is reported on standard error with exit status 2.\n"
        "\n"
        "--batch reads a CSV file (RFC 4180, UTF-8) whose first line is the header\n"
        "  name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,\n"
        "  lon_dir,dst,city,state,country\n"
        "(lat_dir N or S, lon_dir E or W, dst 0 or 1) and prints one JSON object per row,\n"
        "in order: the chart with \"row\" in front, rows counted from 1 after the header,\n"
        "or {\"row\": n, \"error\": message} for a refused row. The status is 0 when every\n"
        "row gave a chart, 3 when any was refused, 2 when the file has no such header.\n";
    return usage;
}

std::variant<ReportOptions, OptionError> ParseReportOptions(const std::vector<std::string>& args) {
    // --help anywhere asks for the usage only (a value never starts with "--").
    for (const std::string& arg : args)
        if (arg == "--help") {
            ReportOptions help;
            help.help = true;
            return help;
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
    if (raw.stations) {
        if (args.size() != 1) return OptionError{"--stations prints the station tables only; leave out the other options"};
        options.stations = true;
        return options;
    }
    if (raw.jobs && !raw.batch) return OptionError{"--jobs works with --batch only"};
    if (raw.batch) {
        if (raw.date || raw.time || raw.zone || raw.lat || raw.lon || raw.dst || !raw.name.empty() ||
            !raw.city.empty() || !raw.state.empty() || !raw.country.empty() || raw.reading || raw.saveReading)
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
    BirthFormData& form = options.form;
    if (raw.format == "json") options.format = OutputFormat::Json;
    else if (raw.format == "text") options.format = OutputFormat::Text;
    else return OptionError{"Unknown format " + QuoteUserText(raw.format) + " (expected json or text)"};
    if (raw.saveReading) {
        if (raw.saveReading->empty()) return OptionError{"Option --save-reading needs a file name"};
        options.saveReadingFile = *raw.saveReading;
    }

    // A saved reading brings all the birth data; Run reads and checks it.
    if (raw.reading) {
        if (raw.date || raw.time || raw.zone || raw.lat || raw.lon || raw.dst || !raw.name.empty() ||
            !raw.city.empty() || !raw.state.empty() || !raw.country.empty())
            return OptionError{"--reading takes the birth data from the file; leave out the other birth-data options"};
        if (raw.reading->empty()) return OptionError{"Option --reading needs a file name"};
        options.readingFile = *raw.reading;
        return options;
    }

    // What the form's lists guarantee by construction comes first.
    if (auto e = CheckDate(raw.date, form)) return OptionError{*e};
    if (auto e = CheckTime(raw.time, form)) return OptionError{*e};
    if (auto e = CheckZone(raw.zone, form)) return OptionError{*e};
    if (auto e = CheckAngle(raw.lat, "latitude", 'N', 'S', form.txtLatD, form.txtLatM, form.optLatSouth))
        return OptionError{*e};
    if (auto e = CheckAngle(raw.lon, "longitude", 'E', 'W', form.txtLonD, form.txtLonM, form.optLongEast))
        return OptionError{*e};

    form.txtName = raw.name;
    form.txtCity = raw.city;
    form.txtState = raw.state;
    form.txtCountry = raw.country;
    form.chkDST = raw.dst;

    // Then the form's own checks, in the form's order and words.
    if (auto failure = ValidateInput(form)) return OptionError{failure->message};
    return options;
}

}  // namespace qv::report
