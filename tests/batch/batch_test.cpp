#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <variant>
#include <vector>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "cli/batch.h"
#include "cli/csv_reader.h"
#include "cli/report_options.h"
#include "cli/report_run.h"
#include "ephemeris/chart_engine.h"
#include "formats/chart_json.h"
#include "state/time_zones.h"

namespace qv::report {
namespace {

using Json = nlohmann::ordered_json;
using Args = std::vector<std::string>;
using Fields = std::vector<std::string>;

const std::string kHeader(kBatchHeader);

// One birth, as a CSV row and as the single-chart command's options.
struct Birth {
    Fields fields;
    Args args;
};

Birth Asha() {
    return {{"Asha", "1975", "6", "15", "14", "30", "34", "28", "37", "N", "77", "13", "E", "0", "New Delhi", "Delhi",
             "India"},
            {"--name", "Asha", "--date", "1975-06-15", "--time", "14:30", "--zone", "34", "--lat", "28:37N", "--lon",
             "77:13E", "--city", "New Delhi", "--state", "Delhi", "--country", "India"}};
}

// The CSV text of fields: quoted when they need it.
std::string CsvLine(const Fields& fields) {
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k) line += ',';
        const std::string& f = fields[k];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

std::string Csv(const std::vector<Fields>& rows) {
    std::string text = kHeader + "\r\n";
    for (const Fields& r : rows) text += CsvLine(r) + "\r\n";
    return text;
}

struct BatchResult {
    int status;
    std::vector<Json> lines;
    std::string out, err;
};

BatchResult RunOn(std::istream& in, int jobs, const PreciseEngine& precise = {}, bool timeWindow = false,
                  bool aspects = false) {
    std::ostringstream out, err;
    BatchSettings settings;
    settings.jobs = jobs;
    settings.precise = precise;
    settings.timeWindow = timeWindow;
    settings.aspects = aspects;
    const int status = RunBatch(in, out, err, settings);
    BatchResult r{status, {}, out.str(), err.str()};
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(Json::parse(line));
    return r;
}

BatchResult RunCsv(const std::string& csv, int jobs = 1, const PreciseEngine& precise = {}, bool timeWindow = false,
                   bool aspects = false) {
    std::istringstream in(csv);
    return RunOn(in, jobs, precise, timeWindow, aspects);
}

// The single-chart command: its JSON object, or its message without the line
// break. The object without "aspects", as the batch writes it without
// --aspects, unless `aspects`.
std::variant<Json, std::string> Single(const Args& args, bool aspects = false) {
    std::ostringstream out, err;
    if (Run(args, out, err) != kExitOk) {
        std::string message = err.str();
        if (!message.empty() && message.back() == '\n') message.pop_back();
        return message;
    }
    Json chart = Json::parse(out.str());
    if (!aspects) chart.erase("aspects");
    return chart;
}

Json WithoutRow(Json line) {
    line.erase("row");
    return line;
}

// An empty hour and minute are an unknown birth time, as --time unknown;
// "time_window" only when asked for, as the single chart's.
TEST(Batch, UnknownTimeAndTimeWindowAsTheSingleChart) {
    Birth unknown = Asha();
    unknown.fields[4] = unknown.fields[5] = "";
    unknown.args[5] = "unknown";
    Birth hourOnly = Asha();
    hourOnly.fields[5] = "";
    const std::string csv = Csv({Asha().fields, unknown.fields, hourOnly.fields});
    for (bool window : {false, true}) {
        const BatchResult r = RunCsv(csv, 1, {}, window);
        ASSERT_EQ(r.lines.size(), 3u);
        for (std::size_t k = 0; k < 2; ++k) {
            Args args = k == 0 ? Asha().args : unknown.args;
            if (window) args.push_back("--time-window");
            const auto single = Single(args);
            ASSERT_TRUE(std::holds_alternative<Json>(single)) << std::get<std::string>(single);
            EXPECT_EQ(WithoutRow(r.lines[k]), std::get<Json>(single)) << k;
            EXPECT_EQ(r.lines[k].contains("time_window"), window);
        }
        EXPECT_EQ(r.lines[0]["input"]["time_known"], true);
        EXPECT_EQ(r.lines[1]["input"]["time_known"], false);
        EXPECT_EQ(r.lines[1]["input"]["time"], "12:00");
        EXPECT_TRUE(r.lines[2].contains("error")) << "a minute without its hour is refused";
    }
}

// "aspects" only with --aspects, then as the single chart has them, on any
// number of jobs; the rest of the line is the same either way.
TEST(Batch, AspectsOnlyWhenAsked) {
    Birth unknown = Asha();
    unknown.fields[4] = unknown.fields[5] = "";
    unknown.args[5] = "unknown";
    const std::string csv = Csv({Asha().fields, unknown.fields});
    const BatchResult plain = RunCsv(csv);
    for (int jobs : {1, 2}) {
        const BatchResult with = RunCsv(csv, jobs, {}, false, true);
        ASSERT_EQ(with.lines.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
            const auto single = Single(k == 0 ? Asha().args : unknown.args, true);
            ASSERT_TRUE(std::holds_alternative<Json>(single)) << std::get<std::string>(single);
            EXPECT_EQ(WithoutRow(with.lines[k]), std::get<Json>(single)) << k;
            ASSERT_GT(with.lines[k]["aspects"].size(), 0u);
            EXPECT_FALSE(plain.lines[k].contains("aspects"));
            Json without = with.lines[k];
            without.erase("aspects");
            EXPECT_EQ(without, plain.lines[k]);
        }
    }
}

TEST(Batch, RefusedRowsCarryTheSingleChartCommandsMessages) {
    struct Case {
        const char* what;
        std::vector<std::pair<BatchColumn, std::string>> fields;
        std::vector<std::pair<std::string, std::string>> options;
    };
    const Case cases[] = {
        {"month", {{kColMonth, "13"}}, {{"--date", "1975-13-15"}}},
        {"day 0", {{kColDay, "0"}}, {{"--date", "1975-06-00"}}},
        {"day 32", {{kColDay, "32"}}, {{"--date", "1975-06-32"}}},
        {"year before", {{kColYear, "1900"}}, {{"--date", "1900-06-15"}}},
        {"year after", {{kColYear, "2051"}}, {{"--date", "2051-06-15"}}},
        {"hour", {{kColHour, "24"}}, {{"--time", "24:30"}}},
        {"minute", {{kColMinute, "60"}}, {{"--time", "14:60"}}},
        {"zone", {{kColZone, "71"}}, {{"--zone", "71"}}},
        {"latitude letter", {{kColLatDir, "X"}}, {{"--lat", "28:37X"}}},
        {"longitude letter", {{kColLonDir, "N"}}, {{"--lon", "77:13N"}}},
        {"no latitude letter", {{kColLatDir, ""}}, {{"--lat", "28:37"}}},
        {"no longitude letter", {{kColLonDir, ""}}, {{"--lon", "77:13"}}},
        {"no name", {{kColName, ""}}, {{"--name", ""}}},
        {"no latitude degrees", {{kColLatDeg, ""}}, {{"--lat", ":37N"}}},
        {"no latitude minutes", {{kColLatMin, ""}}, {{"--lat", "28:N"}}},
        {"no longitude degrees", {{kColLonDeg, ""}}, {{"--lon", ":13E"}}},
        {"no longitude minutes", {{kColLonMin, ""}}, {{"--lon", "77:E"}}},
        {"negative degrees", {{kColLonDeg, "-5"}}, {{"--lon", "-5:13E"}}},
        {"four digits", {{kColLatDeg, "1000"}}, {{"--lat", "1000:37N"}}},
        {"fraction", {{kColLatMin, "3.5"}}, {{"--lat", "28:3.5N"}}},
        {"no city", {{kColCity, ""}}, {{"--city", ""}}},
        {"no state", {{kColState, ""}}, {{"--state", ""}}},
        {"no country", {{kColCountry, ""}}, {{"--country", ""}}},
        {"29 February 2001", {{kColYear, "2001"}, {kColMonth, "2"}, {kColDay, "29"}}, {{"--date", "2001-02-29"}}},
        {"30 February 2000", {{kColYear, "2000"}, {kColMonth, "2"}, {kColDay, "30"}}, {{"--date", "2000-02-30"}}},
        {"31 April", {{kColMonth, "4"}, {kColDay, "31"}}, {{"--date", "1975-04-31"}}},
        {"31 November", {{kColMonth, "11"}, {kColDay, "31"}}, {{"--date", "1975-11-31"}}},
        // The first failing check speaks, in the command's order.
        {"month before year", {{kColMonth, "0"}, {kColYear, "1800"}}, {{"--date", "1800-00-15"}}},
        {"time before zone", {{kColHour, "99"}, {kColZone, "99"}}, {{"--time", "99:30"}, {"--zone", "99"}}},
        {"zone before directions", {{kColZone, "80"}, {kColLatDir, "Q"}}, {{"--zone", "80"}, {"--lat", "28:37Q"}}},
        {"name before city", {{kColName, ""}, {kColCity, ""}}, {{"--name", ""}, {"--city", ""}}},
    };
    std::vector<Fields> rows;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        Birth b = Asha();
        for (const auto& [col, value] : c.fields) b.fields[col] = value;
        for (const auto& [option, value] : c.options)
            for (std::size_t k = 0; k + 1 < b.args.size(); k += 2)
                if (b.args[k] == option) b.args[k + 1] = value;
        const auto single = Single(b.args);
        ASSERT_TRUE(std::holds_alternative<std::string>(single)) << c.what;
        rows.push_back(b.fields);
        expected.push_back(std::get<std::string>(single));
    }
    const BatchResult r = RunCsv(Csv(rows));
    EXPECT_EQ(r.status, kExitSomeRowsRefused);
    ASSERT_EQ(r.lines.size(), rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(r.lines[k], (Json{{"row", k + 1}, {"error", expected[k]}})) << cases[k].what;
    }
}

std::string ControlCharacterIn(const std::string& field) {
    return "The " + field +
           " holds a control character (a tab, a line break or an escape, for example); please remove it";
}

TEST(Batch, RowsTheSingleChartCommandCannotExpress) {
    struct Case {
        const char* what;
        std::string line;
        std::string error;
    };
    const Fields good = Asha().fields;
    auto with = [&](BatchColumn col, const std::string& value) {
        Fields f = good;
        f[col] = value;
        return CsvLine(f);
    };
    Fields shorter = good;
    shorter.pop_back();
    Fields longer = good;
    longer.push_back("x");
    const Case cases[] = {
        {"dst 2", with(kColDst, "2"), "The dst field must be 0 or 1"},
        {"dst empty", with(kColDst, ""), "The dst field must be 0 or 1"},
        // A number field that is no plain number says so, naming its column.
        {"month with a decimal point", with(kColMonth, "6.0"),
         "The month field is not a plain number of at most 9 digits: \"6.0\""},
        {"year in words", with(kColYear, "nineteen"),
         "The year field is not a plain number of at most 9 digits: \"nineteen\""},
        {"signed year", with(kColYear, "+1975"), "The year field is not a plain number of at most 9 digits: \"+1975\""},
        {"ten-digit year", with(kColYear, "0000001975"),
         "The year field is not a plain number of at most 9 digits: \"0000001975\""},
        {"huge year", with(kColYear, "99999999999999999999"),
         "The year field is not a plain number of at most 9 digits: \"99999999999999999999\""},
        {"negative day", with(kColDay, "-1"), "The day field is not a plain number of at most 9 digits: \"-1\""},
        {"signed hour", with(kColHour, "+1"), "The hour field is not a plain number of at most 9 digits: \"+1\""},
        {"minute with a blank inside", with(kColMinute, "3 0"),
         "The minute field is not a plain number of at most 9 digits: \"3 0\""},
        {"zone with an escape", with(kColZone, "3\x1b"),
         "The zone field is not a plain number of at most 9 digits: \"3\\x1b\""},
        {"year empty", with(kColYear, ""), "The year field is empty"},
        {"zone empty", with(kColZone, " "), "The zone field is empty"},
        {"nine digits with zeros are a plain number", with(kColYear, "000002051"),
         "The year must be from 1901 to 2050"},
        // Texts that would reach a terminal or break the export's lines.
        {"escape in the name", with(kColName, "Asha\x1b]0;owned\x07"), ControlCharacterIn("name")},
        {"line break in the city", with(kColCity, "New\r\nDelhi"), ControlCharacterIn("city")},
        {"tab in the state", with(kColState, "Del\thi"), ControlCharacterIn("state")},
        {"C1 control in the country",
         with(kColCountry,
              "In\xc2\x9b"
              "dia"),
         ControlCharacterIn("country")},
        {"two letters", with(kColLatDir, "NS"), "The latitude direction must be N or S"},
        {"a field missing", CsvLine(shorter), "The row has 16 fields; 17 are expected"},
        {"a field too many", CsvLine(longer), "The row has 18 fields; 17 are expected"},
        {"stray quote", "As\"ha" + CsvLine(good).substr(4),
         "A quote stands inside a field that does not start with one"},
    };
    std::string csv = kHeader + "\n";
    for (const Case& c : cases) csv += c.line + "\n";
    const BatchResult r = RunCsv(csv);
    EXPECT_EQ(r.status, kExitSomeRowsRefused);
    ASSERT_EQ(r.lines.size(), std::size(cases));
    for (std::size_t k = 0; k < std::size(cases); ++k)
        EXPECT_EQ(r.lines[k], (Json{{"row", k + 1}, {"error", cases[k].error}})) << cases[k].what;
}

TEST(Batch, FieldsAreReadAsAUserMeansThem) {
    // Blanks around numbers and lower-case letters are accepted; the chart is
    // the one of the plain row.
    Fields loose = Asha().fields;
    loose[kColYear] = " 1975 ";
    loose[kColMonth] = "06";
    loose[kColLatDeg] = "\t28";
    loose[kColLatDir] = "n";
    loose[kColLonDir] = " e";
    const BatchResult r = RunCsv(Csv({loose, Asha().fields}));
    ASSERT_EQ(r.status, kExitOk) << r.out;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(WithoutRow(r.lines[0]), WithoutRow(r.lines[1]));
}

// Good rows, including the carries of Universal Time across midnight, month
// and year ends, both hemispheres and daylight saving.
// clang-format off
std::vector<Birth> GoodBirths() {
    std::vector<Birth> births;
    auto add = [&](const std::string& date, const std::string& time, const std::string& zone, const std::string& lat,
                   const std::string& lon, bool dst) {
        Birth b;
        const std::string y = date.substr(0, 4), m = date.substr(5, 2), d = date.substr(8, 2);
        const auto colon = time.find(':');
        auto split = [](const std::string& angle) {
            const auto c = angle.find(':');
            return std::array<std::string, 3>{angle.substr(0, c), angle.substr(c + 1, angle.size() - c - 2),
                                              angle.substr(angle.size() - 1)};
        };
        const auto la = split(lat), lo = split(lon);
        b.fields = {"Zoë \"Z\", Ray", y, std::to_string(std::stoi(m)), std::to_string(std::stoi(d)),
                    time.substr(0, colon), time.substr(colon + 1), zone, la[0], la[1], la[2], lo[0], lo[1], lo[2],
                    dst ? "1" : "0", "Rio de Janeiro", "RJ", "Brazil"};
        b.args = {"--name", "Zoë \"Z\", Ray", "--date", date, "--time", time, "--zone", zone, "--lat", lat, "--lon", lon,
                  "--city", "Rio de Janeiro", "--state", "RJ", "--country", "Brazil"};
        if (dst) b.args.push_back("--dst");
        births.push_back(b);
    };
    add("1975-06-15", "14:30", "34", "28:37N", "77:13E", false);
    add("2050-12-31", "23:59", "27", "40:43N", "74:0W", false);  // EST: UT in 2051
    add("1901-01-01", "00:00", "10", "31:57S", "115:51E", false);  // AWST: UT in 1900
    add("2000-02-29", "22:15", "21", "41:52N", "87:37W", true);   // leap day, CST with DST
    add("1999-12-31", "20:00", "5", "34:55S", "138:36E", false);  // half-hour zone
    add("1980-03-01", "00:30", "29", "0:0N", "0:0E", true);       // DST back into February
    add("1944-10-16", "05:05", "45", "89:59S", "179:59W", false);
    return births;
}
// clang-format on

TEST(Batch, GoodRowsGiveTheSingleChartObjectWithTheirRow) {
    const std::vector<Birth> births = GoodBirths();
    std::vector<Fields> rows;
    for (const Birth& b : births) rows.push_back(b.fields);
    for (int jobs : {1, 3}) {
        const BatchResult r = RunCsv(Csv(rows), jobs);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        ASSERT_EQ(r.lines.size(), births.size());
        for (std::size_t k = 0; k < births.size(); ++k) {
            const auto single = Single(births[k].args);
            ASSERT_TRUE(std::holds_alternative<Json>(single)) << std::get<std::string>(single);
            EXPECT_EQ(r.lines[k].begin().key(), "row");
            EXPECT_EQ(r.lines[k]["row"], k + 1);
            EXPECT_EQ(WithoutRow(r.lines[k]), std::get<Json>(single)) << "row " << k + 1 << ", jobs " << jobs;
        }
    }
}

// Deterministic rows, every seventh one refused for one of several reasons.
std::string MixedCsv(std::size_t count) {
    std::mt19937 rng(20261207);
    std::vector<Fields> rows;
    for (std::size_t n = 1; n <= count; ++n) {
        Fields f = Asha().fields;
        f[kColYear] = std::to_string(kFirstBirthYear + static_cast<int>(rng() % kBirthYearCount));
        f[kColMonth] = std::to_string(1 + rng() % 12);
        f[kColDay] = std::to_string(1 + rng() % 28);
        f[kColHour] = std::to_string(rng() % 24);
        f[kColMinute] = std::to_string(rng() % 60);
        f[kColZone] = std::to_string(rng() % kTimeZoneCount);
        f[kColLatDeg] = std::to_string(rng() % 90);
        f[kColLonDeg] = std::to_string(rng() % 180);
        f[kColLatDir] = rng() % 2 ? "N" : "S";
        f[kColLonDir] = rng() % 2 ? "E" : "W";
        f[kColDst] = rng() % 2 ? "1" : "0";
        if (n % 7 == 0) {
            // clang-format off
            switch (rng() % 4) {
                case 0: f[kColMonth] = "13"; break;
                case 1: f.pop_back(); break;
                case 2: f[kColName] = ""; break;
                default: f[kColCity] = "multi\nline"; f[kColLatDir] = "?"; break;
            }
            // clang-format on
        }
        rows.push_back(f);
    }
    return Csv(rows);
}

// The single-chart command's options for a valid row of plain numbers.
// clang-format off
Args ArgsOf(const Fields& f) {
    auto two = [](const std::string& n) { return n.size() < 2 ? "0" + n : n; };
    Args args = {"--name", f[kColName], "--date", f[kColYear] + "-" + two(f[kColMonth]) + "-" + two(f[kColDay]),
                 "--time", f[kColHour] + ":" + two(f[kColMinute]), "--zone", f[kColZone],
                 "--lat", f[kColLatDeg] + ":" + f[kColLatMin] + f[kColLatDir],
                 "--lon", f[kColLonDeg] + ":" + f[kColLonMin] + f[kColLonDir],
                 "--city", f[kColCity], "--state", f[kColState], "--country", f[kColCountry]};
    if (f[kColDst] == "1") args.push_back("--dst");
    return args;
}
// clang-format on

// Rows are calculated one after another on the same chart state; each must
// still come out as a fresh single-chart run gives it.
TEST(Batch, EveryGoodRowIsAFreshSingleChart) {
    const std::string csv = MixedCsv(350);
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord record;
    ASSERT_TRUE(reader.Next(record));  // the header
    std::vector<Fields> rows;
    while (reader.Next(record))
        rows.emplace_back(record.fields.begin(), record.fields.begin() + static_cast<long>(record.count));
    const BatchResult r = RunCsv(csv, 2);
    ASSERT_EQ(r.lines.size(), rows.size());
    std::size_t compared = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (r.lines[k].contains("error")) continue;
        const auto single = Single(ArgsOf(rows[k]));
        ASSERT_TRUE(std::holds_alternative<Json>(single)) << std::get<std::string>(single);
        EXPECT_EQ(WithoutRow(r.lines[k]), std::get<Json>(single)) << "row " << k + 1;
        ++compared;
    }
    EXPECT_EQ(compared, 300u);
}

// The tests of the threaded pipeline, which scripts/test --sanitize runs
// under ThreadSanitizer too.
TEST(BatchThreads, OrderAndRowNumbersDoNotDependOnTheJobs) {
    // Several chunks' worth, so that workers finish out of order.
    const std::string csv = MixedCsv(3000);
    const BatchResult one = RunCsv(csv, 1);
    EXPECT_EQ(one.status, kExitSomeRowsRefused);
    ASSERT_EQ(one.lines.size(), 3000u);
    std::size_t refused = 0;
    for (std::size_t k = 0; k < one.lines.size(); ++k) {
        EXPECT_EQ(one.lines[k]["row"], k + 1);
        refused += one.lines[k].contains("error");
        EXPECT_EQ(one.lines[k].contains("error"), (k + 1) % 7 == 0) << "row " << k + 1;
    }
    EXPECT_EQ(refused, 3000u / 7);
    for (int jobs : {2, 4, 7}) {
        const BatchResult many = RunCsv(csv, jobs);
        EXPECT_EQ(many.status, kExitSomeRowsRefused);
        EXPECT_EQ(many.out, one.out) << "jobs " << jobs;
    }
}

TEST(Batch, PreciseRowsAreSingleChartsWhateverTheJobs) {
    const std::string csv = MixedCsv(3000);
    const PreciseEngine engine = EphemerisEngine();
    const BatchResult one = RunCsv(csv, 1, engine);
    EXPECT_EQ(one.status, kExitSomeRowsRefused);
    ASSERT_EQ(one.lines.size(), 3000u);
    const BatchResult formulas = RunCsv(csv, 1);
    std::size_t moved = 0;
    for (std::size_t k = 0; k < one.lines.size(); ++k) {
        const Json& line = one.lines[k];
        ASSERT_EQ(line.contains("error"), formulas.lines[k].contains("error")) << "row " << k + 1;
        if (line.contains("error")) continue;
        EXPECT_EQ(line["positions_from"], "ephemeris") << "row " << k + 1;
        moved += line["positions"] != formulas.lines[k]["positions"];
    }
    EXPECT_GT(moved, 2000u);
    // The first rows as the single-chart command gives them.
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord record;
    ASSERT_TRUE(reader.Next(record));  // the header
    for (std::size_t k = 0; k < 40 && reader.Next(record); ++k) {
        if (one.lines[k].contains("error")) continue;
        Args args = ArgsOf(Fields(record.fields.begin(), record.fields.begin() + static_cast<long>(record.count)));
        args.push_back("--precise");
        std::ostringstream out, err;
        ASSERT_EQ(report::Run(args, out, err, engine), kExitOk) << err.str();
        Json single = Json::parse(out.str());
        single.erase("aspects");  // the batch's only with --aspects
        EXPECT_EQ(WithoutRow(one.lines[k]), single) << "row " << k + 1;
    }
    for (int jobs : {2, 4}) EXPECT_EQ(RunCsv(csv, jobs, engine).out, one.out) << "jobs " << jobs;
}

TEST(Batch, HeaderAndExitStatus) {
    const std::string good = CsvLine(Asha().fields);
    Fields bad = Asha().fields;
    bad[kColZone] = "71";
    std::string quotedHeader;
    for (std::size_t k = 0, start = 0; k < kBatchFieldCount; ++k) {
        const std::size_t comma = kHeader.find(',', start);
        quotedHeader += (k ? ",\"" : "\"") + kHeader.substr(start, comma - start) + "\"";
        start = comma + 1;
    }
    const std::string refusedHeader = "The first line must be the header " + kHeader + "\n";
    struct Case {
        const char* what;
        std::string csv;
        int status;
        std::size_t lines;
        std::string err;
    };
    const Case cases[] = {
        {"header only", kHeader + "\n", kExitOk, 0, ""},
        {"header without line break", kHeader, kExitOk, 0, ""},
        {"good rows", kHeader + "\n" + good + "\n" + good, kExitOk, 2, ""},
        {"one refused", kHeader + "\n" + good + "\n" + CsvLine(bad) + "\n" + good + "\n", kExitSomeRowsRefused, 3, ""},
        {"byte-order mark and CR LF", "\xEF\xBB\xBF" + kHeader + "\r\n" + good + "\r\n", kExitOk, 1, ""},
        {"quoted header", quotedHeader + "\n" + good + "\n", kExitOk, 1, ""},
        {"empty file", "", kExitRefused, 0, "The file is empty. " + refusedHeader},
        {"no header", good + "\n", kExitRefused, 0, "The header names an unknown column \"Asha\". " + refusedHeader},
        {"header in capitals", "NAME" + kHeader.substr(4) + "\n" + good + "\n", kExitRefused, 0,
         "The header names an unknown column \"NAME\". " + refusedHeader},
        {"a column missing", kHeader.substr(0, kHeader.rfind(',')) + "\n", kExitRefused, 0,
         "The header has no country column. " + refusedHeader},
        {"a column twice", kHeader + ",city\n", kExitRefused, 0, "The header names the column city twice\n"},
        {"columns in another order", "year,name" + kHeader.substr(9) + "\n", kExitOk, 0, ""},
        {"blank line first", "\n" + kHeader + "\n", kExitRefused, 0, refusedHeader},
    };
    for (const Case& c : cases) {
        const BatchResult r = RunCsv(c.csv);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.lines.size(), c.lines) << c.what;
        EXPECT_EQ(r.err, c.err) << c.what;
    }
}

// Rows as the tests spell them: "chart" or the error text.
std::vector<std::string> Outcomes(const BatchResult& r) {
    std::vector<std::string> out;
    for (std::size_t k = 0; k < r.lines.size(); ++k) {
        EXPECT_EQ(r.lines[k]["row"], k + 1);
        out.push_back(r.lines[k].contains("error") ? r.lines[k]["error"].get<std::string>() : "chart");
    }
    return out;
}

const std::string kStop = "The row is longer than 65536 bytes; the rest of the input is not read";

TEST(Batch, BlankLinesAreSkippedAndOverLongLinesEndTheBatch) {
    const std::string good = CsvLine(Asha().fields);
    Fields badFields = Asha().fields;
    badFields[kColHour] = "24";
    const std::string bad = CsvLine(badFields);
    const std::string huge(70000, 'x');
    struct Case {
        const char* what;
        std::string csv;
        int status;
        std::vector<std::string> rows;
        std::string err;
    };
    // clang-format off
    const Case cases[] = {
        {"empty line between rows", kHeader + "\n" + good + "\n\n" + good + "\n", kExitOk, {"chart", "chart"}, ""},
        {"CR LF empty lines", kHeader + "\r\n\r\n" + good + "\r\n\r\n\r\n" + good + "\r\n", kExitOk,
         {"chart", "chart"}, ""},
        {"ends with an empty line", kHeader + "\n" + good + "\n\n", kExitOk, {"chart"}, ""},
        {"nothing but empty lines", kHeader + "\n\n\r\n\r", kExitOk, {}, ""},
        {"empty lines take no number", kHeader + "\n\n\n" + bad + "\n", kExitSomeRowsRefused,
         {"The hour must be from 0 to 23"}, ""},
        {"a blank is no empty line", kHeader + "\n \n", kExitSomeRowsRefused,
         {"The row has 1 fields; 17 are expected"}, ""},
        {"over-long row", kHeader + "\n" + good + "\n" + huge + "\n" + good + "\n", kExitSomeRowsRefused,
         {"chart", kStop}, ""},
        {"over-long header", huge + "\n" + good + "\n", kExitRefused, {},
         "The first line is longer than 65536 bytes. The first line must be the header " + kHeader + "\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        for (int jobs : {1, 2}) {
            const BatchResult r = RunCsv(c.csv, jobs);
            EXPECT_EQ(r.status, c.status) << c.what;
            EXPECT_EQ(Outcomes(r), c.rows) << c.what;
            EXPECT_EQ(r.err, c.err) << c.what;
        }
    }
}

// `prefix`, then one byte for ever; after `cap` bytes it ends all the same,
// so that a reader that does not stop fails the test instead of hanging it.
class EndlessInput : public std::streambuf {
public:
    EndlessInput(std::string prefix, char fill) : prefix_(std::move(prefix)), fill_(fill) {}
    std::size_t given() const { return given_; }

protected:
    int_type underflow() override {
        if (given_ >= kCap) return traits_type::eof();
        for (std::size_t k = 0; k < block_.size(); ++k)
            block_[k] = given_ + k < prefix_.size() ? prefix_[given_ + k] : fill_;
        given_ += block_.size();
        setg(block_.data(), block_.data(), block_.data() + block_.size());
        return traits_type::to_int_type(block_[0]);
    }

private:
    static constexpr std::size_t kCap = 256u << 20;
    std::string prefix_;
    char fill_;
    std::array<char, 4096> block_{};
    std::size_t given_ = 0;
};

TEST(Batch, EndlessInputEndsSoonAfterTheLimit) {
    const std::string rows = kHeader + "\n" + CsvLine(Asha().fields) + "\n";
    struct Case {
        const char* what;
        std::string prefix;
        char fill;
        int status;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"zero bytes from the start", "", '\0', kExitRefused, {}},
        {"an endless line after a row", rows, 'x', kExitSomeRowsRefused, {"chart", kStop}},
        {"an endless quoted field", rows + "\"", ',', kExitSomeRowsRefused, {"chart", kStop}},
        {"an endless run of commas", rows, ',', kExitSomeRowsRefused, {"chart", kStop}},
    };
    for (const Case& c : cases) {
        for (int jobs : {1, 2}) {
            EndlessInput source(c.prefix, c.fill);
            std::istream in(&source);
            const BatchResult r = RunOn(in, jobs);
            EXPECT_EQ(r.status, c.status) << c.what;
            EXPECT_EQ(Outcomes(r), c.rows) << c.what;
            EXPECT_LT(source.given(), 1u << 20) << c.what;
        }
    }
}

TEST(Batch, AQuotedLineBreakKeepsTheRowCount) {
    Fields multi = Asha().fields;
    multi[kColCity] = "New\r\nDelhi";
    Fields bad = Asha().fields;
    bad[kColHour] = "x";
    const BatchResult r = RunCsv(Csv({multi, bad, Asha().fields}));
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], (Json{{"row", 1}, {"error", ControlCharacterIn("city")}}));
    EXPECT_EQ(r.lines[1],
              (Json{{"row", 2}, {"error", "The hour field is not a plain number of at most 9 digits: \"x\""}}));
    EXPECT_EQ(r.lines[2]["row"], 3);
}

TEST(Batch, AnOutputThatFailsIsReported) {
    for (int jobs : {1, 2}) {
        std::istringstream in(MixedCsv(600));
        std::ostringstream out, err;
        out.setstate(std::ios::badbit);
        BatchSettings settings;
        settings.jobs = jobs;
        EXPECT_EQ(RunBatch(in, out, err, settings), kExitFailed);
        EXPECT_EQ(err.str(), "The charts could not be written to standard output\n");
    }
}

// Accepts `room` bytes, then fails every write.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t room) : room_(room) {}

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        if (static_cast<std::size_t>(n) > room_) return 0;
        room_ -= static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        return xsputn(nullptr, 1) == 1 ? traits_type::not_eof(c) : traits_type::eof();
    }

private:
    std::size_t room_;
};

// An output that fails midway stops every worker: the batch ends and says so.
TEST(BatchThreads, AnOutputThatFailsMidwayStopsEveryJob) {
    const std::string csv = MixedCsv(3000);
    for (int jobs : {2, 4}) {
        std::istringstream in(csv);
        FailingBuffer sink(200 * 1024);
        std::ostream out(&sink);
        std::ostringstream err;
        BatchSettings settings;
        settings.jobs = jobs;
        EXPECT_EQ(RunBatch(in, out, err, settings), kExitFailed) << jobs;
        EXPECT_EQ(err.str(), "The charts could not be written to standard output\n") << jobs;
    }
}

TEST(Batch, MissingFileIsRefused) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchFile("/nonexistent/dir/rows.csv", out, err, {}), kExitRefused);
    EXPECT_EQ(err.str(), "The batch file \"/nonexistent/dir/rows.csv\" could not be opened\n");
    EXPECT_TRUE(out.str().empty());
}

// The whole command: options, the file, the lines and the status.
TEST(Batch, TheCommandRunsAFile) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("qv_batch_" + std::to_string(::getpid()) + ".csv");
    Fields bad = Asha().fields;
    bad[kColDst] = "yes";
    {
        std::ofstream out(file, std::ios::binary);
        out << Csv({Asha().fields, bad});
    }
    for (const char* jobs : {"1", "2"}) {
        std::ostringstream out, err;
        EXPECT_EQ(report::Run({"--batch", file.string(), "--jobs", jobs}, out, err), kExitSomeRowsRefused);
        std::istringstream lines(out.str());
        std::string first, second, more;
        ASSERT_TRUE(std::getline(lines, first));
        ASSERT_TRUE(std::getline(lines, second));
        EXPECT_FALSE(std::getline(lines, more));
        EXPECT_EQ(WithoutRow(Json::parse(first)), std::get<Json>(Single(Asha().args)));
        EXPECT_EQ(second, "{\"row\":2,\"error\":\"The dst field must be 0 or 1\"}");
        EXPECT_EQ(err.str(), "");  // no progress: the error stream is no terminal
    }
    std::filesystem::remove(file);
}

TEST(BatchOptions, BatchAndJobs) {
    struct Case {
        Args args;
        std::string error;  // empty: accepted
        int jobs;
    };
    const Case cases[] = {
        {{"--batch", "rows.csv"}, "", 1},
        {{"--batch", "-", "--jobs", "4"}, "", 4},
        {{"--batch=rows.csv", "--jobs=64"}, "", 64},
        {{"--batch", "rows.csv", "--format", "json"}, "", 1},
        {{"--jobs", "2"}, "--jobs works with --batch only", 0},
        {{"--batch", "rows.csv", "--jobs", "0"}, "The number of jobs must be from 1 to 64", 0},
        {{"--batch", "rows.csv", "--jobs", "65"}, "The number of jobs must be from 1 to 64", 0},
        {{"--batch", "rows.csv", "--jobs", "two"}, "The number of jobs must be from 1 to 64", 0},
        {{"--batch", "rows.csv", "--jobs", "-1"}, "The number of jobs must be from 1 to 64", 0},
        {{"--batch", "rows.csv", "--name", "X"},
         "--batch takes the birth data from the file; leave out the other birth-data options",
         0},
        {{"--batch", "rows.csv", "--reading", "a.qvn"},
         "--batch takes the birth data from the file; leave out the other birth-data options",
         0},
        {{"--batch", "rows.csv", "--format", "text"}, "--batch writes JSON lines only; leave out --format text", 0},
        {{"--batch", ""}, "Option --batch needs a file name", 0},
        {{"--batch"}, "Option --batch needs a value: FILE.csv", 0},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseReportOptions(c.args);
        if (c.error.empty()) {
            ASSERT_TRUE(std::holds_alternative<ReportOptions>(parsed)) << std::get<OptionError>(parsed).message;
            EXPECT_EQ(std::get<ReportOptions>(parsed).jobs, c.jobs);
            EXPECT_FALSE(std::get<ReportOptions>(parsed).batchFile.empty());
        } else {
            ASSERT_TRUE(std::holds_alternative<OptionError>(parsed)) << c.args[0];
            EXPECT_EQ(std::get<OptionError>(parsed).message, c.error);
        }
    }
}

// The line writer, reused from chart to chart, writes byte for byte
// the JSON of a fresh chart with "row" in front, over many unlike charts.
TEST(ChartJsonLineWriter, ReusedWriterWritesWhatAFreshChartGives) {
    ChartJsonLineWriter writer;
    std::mt19937 rng(7);
    ChartState state;
    ChartWheel wheel;
    // clang-format off
    for (std::size_t row = 1; row <= 400; ++row) {
        BirthData birth{.name = std::string(1 + rng() % 40, 'x'),
                        .local = {kFirstBirthYear + static_cast<int>(rng() % kBirthYearCount), 1 + static_cast<int>(rng() % 12),
                                  1 + static_cast<int>(rng() % 28), static_cast<int>(rng() % 24), static_cast<int>(rng() % 60)},
                        .zoneSlot = static_cast<int>(rng() % kTimeZoneCount), .daylightSaving = rng() % 2 == 0,
                        .city = "x", .state = "", .country = "\xff"};
        birth.state.assign(1 + rng() % 30, 'y');
        birth.latitude = CoordinateFromArcMinutes(static_cast<int>(rng() % 10801) - 5400);
        birth.longitude = CoordinateFromArcMinutes(static_cast<int>(rng() % 21599) - 10799);
        state.MoonSignName = {};
        ASSERT_EQ(CalculateChartOf(birth, state, wheel), std::nullopt);

        ChartJsonLineWriter fresh;
        std::string line, freshLine;
        writer.AppendChart(line, row, state, wheel);
        fresh.AppendChart(freshLine, row, state, wheel);
        ASSERT_EQ(line, freshLine) << "row " << row;
        // The line and the single chart's text come from one mapping.
        Json single = Json::parse(ChartJsonText(state, wheel));
        Json parsed = Json::parse(line);
        ASSERT_EQ(parsed.begin().key(), "row");
        parsed.erase("row");
        ASSERT_EQ(parsed, single) << "row " << row;
    }
    // clang-format on
    std::string error;
    writer.AppendError(error, 12, "Please Enter Your Name");
    EXPECT_EQ(error, "{\"row\":12,\"error\":\"Please Enter Your Name\"}\n");
}

}  // namespace
}  // namespace qv::report
