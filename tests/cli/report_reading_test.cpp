#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/report_run.h"
#include "formats/reading_file.h"
#include "state/text.h"
#include "state/time_zones.h"
#include "tests/reading/temp_folder.h"

namespace qv::report {
namespace {

using Args = std::vector<std::string>;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

struct Result {
    int status;
    std::string out, err;
};

Result RunWith(const Args& args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

const Args kBirth = {"--name", "Ana Lucía", "--date",  "1950-01-01", "--time",    "0:05",
                     "--zone", "5",         "--lat",   "40:42N",     "--lon",     "74:0W",
                     "--city", "New York",  "--state", "NY",         "--country", "USA"};

// The decoded lines of a reading whose lines end in CR LF.
ReadingLines LinesOfFile(const std::string& file) {
    const std::string bytes = ReadBytes(file);
    ReadingLines lines;
    std::size_t start = 0;
    for (std::string& line : lines) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) break;
        line = DecodeReadingText(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A file of these lines, each encoded and ended by CR LF.
std::string BytesOf(const ReadingLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += EncodeReadingText(line) + "\r\n";
    return bytes;
}

Args Plus(Args args, const Args& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(ReportReading, SavedReadingGivesTheSameChart) {
    TempFolder dir;
    const std::string file = (dir / "ana.qvn").string();
    for (const char* format : {"json", "text"}) {
        const Result direct = RunWith(Plus(kBirth, {"--format", format, "--save-reading", file}));
        ASSERT_EQ(direct.status, kExitOk) << direct.err;
        const Result reopened = RunWith({"--reading", file, "--format", format});
        ASSERT_EQ(reopened.status, kExitOk) << reopened.err;
        EXPECT_EQ(reopened.out, direct.out) << format;
    }
    const ReadingLines lines = LinesOfFile(file);
    EXPECT_EQ(lines[0], "Ana Lucía");
    EXPECT_EQ(lines[4], "0");
    EXPECT_EQ(lines[5], "5");
    EXPECT_EQ(lines[6], "5");
    EXPECT_EQ(lines[11], "False");
    EXPECT_EQ(lines[12], "False");
}

// An unknown birth time is the reading of 12:00 with one added line; a
// reading of a known time has none.
TEST(ReportReading, UnknownTimeRoundTripsInAnAddedLine) {
    TempFolder dir;
    const std::string noon = (dir / "noon.qvn").string(), unknown = (dir / "unknown.qvn").string();
    Args atNoon = kBirth, timeUnknown = kBirth;
    atNoon[5] = "12:00";
    timeUnknown[5] = "unknown";
    ASSERT_EQ(RunWith(Plus(atNoon, {"--save-reading", noon})).status, kExitOk);
    const Result direct = RunWith(Plus(timeUnknown, {"--save-reading", unknown}));
    ASSERT_EQ(direct.status, kExitOk) << direct.err;
    EXPECT_EQ(ReadBytes(unknown), ReadBytes(noon) + EncodeReadingText("BirthTime=Unknown") + "\r\n");
    const Result reopened = RunWith({"--reading", unknown});
    ASSERT_EQ(reopened.status, kExitOk) << reopened.err;
    EXPECT_EQ(reopened.out, direct.out);
    EXPECT_EQ(nlohmann::json::parse(reopened.out)["input"]["time_known"], false);

    WriteBytes(dir / "maybe.qvn", ReadBytes(noon) + EncodeReadingText("BirthTime=Maybe") + "\r\n");
    const Result maybe = RunWith({"--reading", (dir / "maybe.qvn").string()});
    EXPECT_EQ(maybe.status, kExitRefused);
    EXPECT_EQ(maybe.out, "");
}

TEST(ReportReading, RefusedReadingsGiveTheirMessageAndStatus2) {
    TempFolder dir;
    const std::string good = (dir / "good.qvn").string();
    ASSERT_EQ(RunWith(Plus(kBirth, {"--save-reading", good})).status, kExitOk);
    const std::string bytes = ReadBytes(good);
    std::string tenLines;
    for (std::size_t pos = 0, n = 0; n < 10; ++n) {
        const std::size_t end = bytes.find("\r\n", pos) + 2;
        tenLines += bytes.substr(pos, end - pos);
        pos = end;
    }
    WriteBytes(dir / "ten.qvn", tenLines);
    WriteBytes(dir / "upper.QVN", bytes);
    WriteBytes(dir / "empty.qvn", "");
    std::filesystem::create_directory(dir / "folder.qvn");

    struct Case {
        std::string file;
        std::string err;
    };
    const Case cases[] = {
        {(dir / "ten.qvn").string(), "The reading \"ten.qvn\" is incomplete: line 11 (latitude minutes) is missing.\n"},
        {(dir / "empty.qvn").string(), "The reading \"empty.qvn\" is empty: it holds no birth data.\n"},
        {(dir / "upper.QVN").string(), "Please Check The File.\n"},
        {(dir / "missing.qvn").string(),
         "Could not read \"" + (dir / "missing.qvn").string() + "\": No such file or directory.\n"},
        {(dir / "folder.qvn").string(),
         "Could not read \"" + (dir / "folder.qvn").string() + "\": it is a folder, not an ordinary file.\n"},
    };
    for (const Case& c : cases) {
        const Result r = RunWith({"--reading", c.file});
        EXPECT_EQ(r.status, kExitRefused) << c.file;
        EXPECT_EQ(r.out, "") << c.file;
        EXPECT_EQ(r.err, c.err) << c.file;
    }
}

// The input object of the chart a reading's decoded lines describe.
nlohmann::ordered_json InputOfLines(const ReadingLines& l) {
    const auto text = [](const std::string& t) {
        const std::string valid = ValidUtf8(t);
        const auto first = valid.find_first_not_of(' ');
        return first == std::string::npos ? std::string()
                                          : valid.substr(first, valid.find_last_not_of(' ') - first + 1);
    };
    const auto twoDigits = [](const std::string& t) { return t.size() == 1 ? "0" + t : t; };
    const auto degrees = [](const std::string& d, const std::string& m) { return std::stoi(d) + std::stoi(m) / 60.0; };
    ChartState table;
    LoadTimeZones(table);
    nlohmann::ordered_json input;
    input["name"] = text(l[0]);
    input["date"] = l[3] + "-" + twoDigits(l[1]) + "-" + twoDigits(l[2]);
    input["time"] = twoDigits(l[4]) + ":" + twoDigits(l[5]);
    input["time_known"] = true;
    input["zone"] = std::stoi(l[6]);
    input["zone_text"] = table.TimeZoneName[static_cast<std::size_t>(std::stoi(l[6]))];
    input["dst"] = l[13] == "True";
    input["latitude"] = (l[12] == "True" ? -1 : 1) * degrees(l[9], l[10]);
    input["longitude"] = (l[11] == "True" ? 1 : -1) * degrees(l[7], l[8]);
    input["city"] = text(l[14]);
    input["state"] = text(l[15]);
    input["country"] = text(l[16]);
    input["place"] = nullptr;
    input["zone_id"] = nullptr;
    const std::size_t row = static_cast<std::size_t>(std::stoi(l[6]));
    const int east = -(std::stoi(table.TimeZoneHours[row]) * 60 + std::stoi(table.TimeZoneMinutes[row])) +
                     (l[13] == "True" ? 60 : 0);
    char offset[8];
    std::snprintf(offset, sizeof offset, "%c%02d:%02d", east < 0 ? '-' : '+', std::abs(east) / 60, std::abs(east) % 60);
    input["utc_offset"] = offset;
    return input;
}

// Every single-byte damage of a saved reading either opens the chart the
// damaged file still says (the original one when its lines did not change)
// or is refused with status 2: never a chart of values the file does not
// hold, such as a default kept in place of a line that did not convert.
TEST(ReportReading, EveryByteDamagedOpensWhatTheFileSaysOrIsRefused) {
    TempFolder dir;
    const std::string good = (dir / "good.qvn").string();
    ASSERT_EQ(RunWith(Plus(kBirth, {"--save-reading", good})).status, kExitOk);
    const std::string original = ReadBytes(good);
    const ReadingLines originalLines = LinesOfFile(good);
    const Result originalChart = RunWith({"--reading", good});

    std::vector<std::string> damaged;
    for (std::size_t i = 0; i < original.size(); ++i) {
        for (const int delta : {1, -1}) {
            damaged.push_back(original);
            damaged.back()[i] = static_cast<char>(original[i] + delta);
        }
        // A digit and a letter, as stored and as the scrambling stores them.
        for (const char c : {'5', 'k', EncodeReadingText("5")[0], EncodeReadingText("k")[0]}) {
            damaged.push_back(original);
            damaged.back()[i] = c;
        }
        damaged.push_back(original);
        damaged.back().erase(i, 1);
    }
    const std::string file = (dir / "damaged.qvn").string();
    std::size_t refused = 0, unchanged = 0, changed = 0;
    for (const std::string& bytes : damaged) {
        WriteBytes(file, bytes);
        const Result r = RunWith({"--reading", file});
        if (r.status == kExitRefused) {
            EXPECT_EQ(r.out, "");
            ++refused;
            continue;
        }
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const ReadingLines lines = LinesOfFile(file);
        if (lines == originalLines) {
            EXPECT_EQ(r.out, originalChart.out);
            ++unchanged;
        } else {
            EXPECT_EQ(nlohmann::ordered_json::parse(r.out).at("input"), InputOfLines(lines))
                << nlohmann::json(lines).dump();
            ++changed;
        }
    }
    EXPECT_EQ(refused + unchanged + changed, damaged.size());
    EXPECT_GT(refused, damaged.size() / 2);
    EXPECT_GT(unchanged, 0u);
}

TEST(ReportReading, ReadingExcludesTheBirthOptions) {
    const Result r = RunWith({"--reading", "x.qvn", "--name", "Ana"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("--reading"), std::string::npos);
}

TEST(ReportReading, ASaveThatMayNotReplaceItsTargetIsRefused) {
    TempFolder dir;
    const std::string d = dir.path().string();
    std::filesystem::create_directory(dir / "taken.qvn");
    ASSERT_EQ(::mkfifo((dir / "pipe.qvn").c_str(), 0644), 0);
    WriteBytes(dir / "kept.qvn", "kept");
    std::filesystem::permissions(dir / "kept.qvn", std::filesystem::perms(0444));
    const std::pair<const char*, std::string> cases[] = {
        {"taken.qvn", "\"" + d + "/taken.qvn\" is a folder, not a file.\n"},
        {"pipe.qvn", "\"" + d + "/pipe.qvn\" is a pipe, not a file.\n"},
        {"kept.qvn", "\"" + d + "/kept.qvn\" is read-only.\n"},
    };
    for (const auto& [name, err] : cases) {
        const Result r = RunWith(Plus(kBirth, {"--save-reading", (dir / name).string()}));
        EXPECT_EQ(r.status, kExitFailed) << name;
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.qvn"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.qvn"));
    EXPECT_EQ(ReadBytes(dir / "kept.qvn"), "kept");
    EXPECT_EQ(dir.EntryCount(), 3u);
}

// Coordinates out of range: the same words from the command, a batch row and
// a saved reading.
TEST(CoordinateRanges, RefusedInTheSameWordsEverywhere) {
    TempFolder dir;
    const std::string good = (dir / "good.qvn").string();
    ASSERT_EQ(RunWith(Plus(kBirth, {"--save-reading", good})).status, kExitOk);
    const ReadingLines saved = LinesOfFile(good);

    const std::string lat = "Latitude must be from 0 to 90 degrees";
    const std::string lon = "Longitude must be from 0 to 180 degrees";
    const std::string min = "Minutes must be from 0 to 59";
    struct Case {
        std::string latD, latM, lonD, lonM, message;
    };
    const Case cases[] = {
        {"999", "999", "74", "0", lat}, {"91", "0", "74", "0", lat},   {"90", "1", "74", "0", lat},
        {"40", "60", "74", "0", min},   {"40", "42", "181", "0", lon}, {"40", "42", "180", "30", lon},
        {"40", "42", "74", "075", min},
    };
    for (const Case& c : cases) {
        const Result command = RunWith({"--name", "Ana", "--date", "1950-01-01", "--time", "0:05", "--zone", "5",
                                        "--lat", c.latD + ":" + c.latM + "N", "--lon", c.lonD + ":" + c.lonM + "W",
                                        "--city", "New York", "--state", "NY", "--country", "USA"});
        EXPECT_EQ(command.status, kExitRefused);
        EXPECT_EQ(command.err, c.message + "\n");

        std::istringstream csv(std::string(kBatchHeader) + "\nAna,1950,1,1,0,5,5," + c.latD + "," + c.latM + ",N," +
                               c.lonD + "," + c.lonM + ",W,0,New York,NY,USA\n");
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch(csv, out, err, {}), kExitSomeRowsRefused);
        EXPECT_EQ(nlohmann::json::parse(out.str()), (nlohmann::json{{"row", 1}, {"error", c.message}}));

        ReadingLines lines = saved;
        lines[7] = c.lonD, lines[8] = c.lonM, lines[9] = c.latD, lines[10] = c.latM;
        WriteBytes(dir / "far.qvn", BytesOf(lines));
        const Result reading = RunWith({"--reading", (dir / "far.qvn").string()});
        EXPECT_EQ(reading.status, kExitRefused);
        EXPECT_EQ(reading.err, c.message + "\n");
    }
}

// Bytes of the name and the place that are not UTF-8 are exported as U+FFFD,
// and nothing else of the export changes.
TEST(TextExport, InvalidUtf8BecomesTheReplacementCharacter) {
    for (const char* option : {"--name", "--city", "--state", "--country"}) {
        Args broken = Plus(kBirth, {"--format", "text"});
        Args replaced = broken;
        for (std::size_t k = 0; k + 1 < broken.size(); ++k)
            if (broken[k] == option) {
                broken[k + 1] = "A\xff\xc3 B\xed\xa0\x80";
                replaced[k + 1] = "A\uFFFD\uFFFD B\uFFFD\uFFFD\uFFFD";
            }
        const Result a = RunWith(broken), b = RunWith(replaced);
        ASSERT_EQ(a.status, kExitOk) << option;
        EXPECT_EQ(a.out, b.out) << option;
    }
}

TEST(ReportJson, HousesAndFindings) {
    const Result r = RunWith(kBirth);
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto chart = nlohmann::json::parse(r.out);

    // Houses follow the signs from the ascendant's; every body sits in exactly one.
    const auto& houses = chart.at("houses");
    ASSERT_EQ(houses.size(), 12u);
    const std::string asc = chart.at("positions").at(10).at("position").get<std::string>().substr(3, 3);
    EXPECT_EQ(houses.at(0).at("sign"), asc);
    EXPECT_EQ(houses.at(0).at("bodies").back(), "Asc");
    std::size_t bodies = 0;
    for (std::size_t h = 0; h < 12; ++h) {
        EXPECT_EQ(houses.at(h).at("house"), h + 1);
        bodies += houses.at(h).at("bodies").size();
    }
    EXPECT_EQ(bodies, 11u);

    struct Family {
        const char* key;
        std::vector<std::string> names;
    };
    const Family families[] = {{"elements", {"Fire", "Earth", "Air", "Water"}},
                               {"qualities", {"Cardinal", "Mutable", "Fixed"}},
                               {"house_types", {"Angular", "Succedent", "Cadent"}}};
    for (const Family& f : families) {
        const auto& list = chart.at(f.key);
        ASSERT_EQ(list.size(), f.names.size()) << f.key;
        for (std::size_t i = 0; i < f.names.size(); ++i) {
            EXPECT_EQ(list.at(i).at("name"), f.names[i]);
            const std::string message = list.at(i).at("message");
            EXPECT_EQ(list.at(i).at("present").get<bool>(), !message.starts_with("M-")) << message;
            EXPECT_NE(message.find(f.names[i]), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace qv::report
