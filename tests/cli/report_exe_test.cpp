// The built quorvane-report, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ephemeris/ephemeris.h"

namespace {

struct Result {
    int status;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// `before` is shell text put before the command: a limit, an input, a timeout.
Result RunExe(const std::vector<std::string>& args, const std::string& before = "") {
    const auto dir =
        std::filesystem::temp_directory_path() / ("qv_cli_" + std::to_string(::getpid()) + "_" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    std::string cmd = before + Quote(QV_REPORT_EXE);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote((dir / "out").string()) + " 2>" + Quote((dir / "err").string());
    const int raw = std::system(cmd.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    std::filesystem::remove_all(dir);
    return r;
}

// clang-format off
TEST(ReportExecutable, RefusesWithStatus2AndNothingOnStdout) {
    struct Case { std::vector<std::string> args; std::string err; };
    const Case cases[] = {
        {{"--date", "1975-06-15", "--time", "25:00"}, "The hour must be from 0 to 23\n"},
        {{"--date", "1975-06-15", "--time", "10:00", "--zone", "5", "--lat", "1:1N", "--lon", "1:1E"},
         "Please Enter Your Name\n"},
        {{"--bogus"}, "Unknown option \"--bogus\" (see --help)\n"},
    };
    for (const auto& c : cases) {
        const Result r = RunExe(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}
// clang-format on

const std::vector<std::string> kAsha = {"--name", "Asha",      "--date",  "1975-06-15", "--time",    "14:30",
                                        "--zone", "34",        "--lat",   "28:37N",     "--lon",     "77:13E",
                                        "--city", "New Delhi", "--state", "Delhi",      "--country", "India"};

// A file-size limit is a write error like any other, not a kill signal, and
// leaves no temporary file behind.
TEST(ReportExecutable, AFileSizeLimitIsReportedAsAnError) {
    const auto dir = std::filesystem::temp_directory_path() / ("qv_fsize_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // Only the saved reading meets the limit: the messages go through a pipe.
    std::string cmd = "ulimit -f 0; " + Quote(QV_REPORT_EXE);
    for (const auto& a : kAsha) cmd += " " + Quote(a);
    cmd += " --save-reading " + Quote((dir / "asha.qvn").string()) + " 2>&1 >/dev/null; echo \"status $?\"";
    FILE* pipe = ::popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string got;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) got.append(buffer, n);
    ::pclose(pipe);
    EXPECT_EQ(got, "Could not save \"" + (dir / "asha.qvn").string() + "\": File too large.\nstatus 1\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}

// Input without end stops at the first over-long line; the timeout only
// keeps a broken build from hanging the suite.
TEST(ReportExecutable, EndlessBatchInputEnds) {
    const std::string header =
        "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,country";
    const std::string row = "Asha,1975,6,15,14,30,34,28,37,N,77,13,E,0,New Delhi,Delhi,India";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::size_t lines;
    };
    // clang-format off
    const Case cases[] = {
        {"--batch /dev/zero", {"--batch", "/dev/zero"}, "", 2, 0},
        {"zeros on standard input", {"--batch", "-"}, "</dev/zero ", 2, 0},
        {"an endless line after a row", {"--batch", "-", "--jobs", "2"},
         "{ printf '%s\\n%s\\n' '" + header + "' '" + row + "'; tr '\\0' x </dev/zero; } | ", 3, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Result r = RunExe(c.args, c.input + "timeout 10 ");
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), c.lines) << c.what;
    }
}

TEST(ReportExecutable, HelpAndAChart) {
    const Result help = RunExe({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage:", 0), 0u);

    const Result chart =
        RunExe({"--name", "Asha", "--date", "1975-06-15", "--time", "14:30", "--zone", "34", "--lat", "28:37N", "--lon",
                "77:13E", "--city", "New Delhi", "--state", "Delhi", "--country", "India"});
    EXPECT_EQ(chart.status, 0);
    EXPECT_EQ(chart.err, "");
    EXPECT_NE(chart.out.find("\"ascendant_text\": \"22\u00B0 9' 39\\\" Lib\""), std::string::npos) << chart.out;
    EXPECT_NE(chart.out.find("\"universal_time\": \"1975-06-15T09:00:00Z\""), std::string::npos);
}

// clang-format off
TEST(ReportExecutable, PreciseChartsSayWhereTheirPositionsComeFrom) {
    const std::vector<std::string> asha = {"--name", "Asha", "--date", "1975-06-15", "--time", "14:30", "--zone",
                                           "34", "--lat", "28:37N", "--lon", "77:13E", "--city", "New Delhi",
                                           "--state", "Delhi", "--country", "India"};
    const auto empty = std::filesystem::temp_directory_path() / ("qv_no_ephemeris_" + std::to_string(::getpid()));
    std::filesystem::create_directories(empty);
    const std::string noFiles = "SE_EPHE_PATH=" + Quote(empty.string()) + " ";
    const std::filesystem::path installed{std::string(qv::DefaultEphemerisFolder())};
    const auto damaged = empty.parent_path() / ("qv_damaged_ephemeris_" + std::to_string(::getpid()));
    const auto piped = empty.parent_path() / ("qv_piped_ephemeris_" + std::to_string(::getpid()));
    for (const auto& folder : {damaged, piped}) {
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(installed / "semo_18.se1", folder / "semo_18.se1");
    }
    std::string planets = Slurp(installed / "sepl_18.se1");
    planets[17834] = static_cast<char>(planets[17834] - 1);
    std::ofstream(damaged / "sepl_18.se1", std::ios::binary) << planets;
    ASSERT_EQ(::mkfifo((piped / "sepl_18.se1").c_str(), 0600), 0);
    const std::string damagedFiles = "SE_EPHE_PATH=" + Quote(damaged.string()) + " ";
    const std::string pipeFiles = "SE_EPHE_PATH=" + Quote(piped.string()) + " ";
    const std::vector<std::string> kMarch = {"--name", "B", "--date", "1975-03-05", "--time", "12:00", "--zone", "0",
                                             "--lat", "0:0N", "--lon", "0:0E", "--city", "C", "--state", "S",
                                             "--country", "K", "--precise"};
    const std::string batch = "printf 'name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,"
                              "lon_min,lon_dir,dst,city,state,country\\nA,1975,6,15,14,30,34,28,37,N,77,13,E,0,C,S,K\\n' | ";
    auto plus = [&](std::vector<std::string> more) {
        std::vector<std::string> args = asha;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    struct Case { const char* what; std::vector<std::string> args; std::string before; int status; std::string out; std::string err; };
    const Case cases[] = {
        {"formulas", asha, "", 0, "\"positions_from\": \"formulas\",\n  \"ascendant_text\"", ""},
        {"ephemeris", plus({"--precise"}), "", 0, "\"positions_from\": \"ephemeris\",\n  \"ascendant_text\"", ""},
        {"export's last line", plus({"--precise", "--format", "text"}), "", 0,
         "Positions: Swiss Ephemeris (apparent geocentric, true equinox and ecliptic of date)\r\n", ""},
        {"batch", {"--batch", "-", "--precise"}, batch, 0, "},\"positions_from\":\"ephemeris\",", ""},
        {"no files", plus({"--precise"}), noFiles, 2, "", "Install swe-standard-data"},
        {"no files in the batch", {"--batch", "-", "--precise"}, batch + noFiles, 3,
         "{\"row\":1,\"error\":\"Precise positions need the ephemeris files of the Debian package swe-standard-data", ""},
        {"no files, no --precise", asha, noFiles, 0, "\"positions_from\": \"formulas\"", ""},
        // One byte changed that the library does not notice moves this Sun
        // by 92°; a named pipe among the files is not waited on.
        {"damaged files", kMarch, damagedFiles, 2, "",
         "The ephemeris files in the folder " + damaged.string() + " (from SE_EPHE_PATH) look damaged: they put the Sun"},
        {"damaged files, Asha", plus({"--precise"}), damagedFiles, 2, "", "look damaged: they put the Sun 17.6"},
        {"a named pipe", plus({"--precise"}), pipeFiles + "timeout 20 ", 2, "", "is a named pipe, not an ordinary file"},
    };
    for (const Case& c : cases) {
        const Result r = RunExe(c.args, c.before);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        if (c.out.empty()) EXPECT_EQ(r.out, "") << c.what;
        else EXPECT_NE(r.out.find(c.out), std::string::npos) << c.what << "\n" << r.out;
        if (c.err.empty()) EXPECT_EQ(r.err, "") << c.what;
        else EXPECT_NE(r.err.find(c.err), std::string::npos) << c.what << "\n" << r.err;
    }
    for (const auto& folder : {empty, damaged, piped}) std::filesystem::remove_all(folder);
}
// clang-format on

// A zone folder ($TZDIR) like the system's, but without America/Chicago and
// with a FIFO for America/Denver: Chicago has no zone and the user chooses
// one; Denver's file is named with what is wrong with it, without waiting on it.
TEST(ReportExecutable, PlacesWithoutAZoneOrWithAZoneFileThatCannotBeUsed) {
    namespace fs = std::filesystem;
    const fs::path system = "/usr/share/zoneinfo";
    const fs::path dir = fs::temp_directory_path() / ("qv_cli_tzdir_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "America");
    for (const auto& entry : fs::directory_iterator(system))
        if (entry.path().filename() != "America") fs::create_symlink(entry.path(), dir / entry.path().filename());
    for (const auto& entry : fs::directory_iterator(system / "America"))
        if (entry.path().filename() != "Chicago" && entry.path().filename() != "Denver")
            fs::create_symlink(entry.path(), dir / "America" / entry.path().filename());
    ASSERT_EQ(::mkfifo((dir / "America/Denver").c_str(), 0600), 0);

    const std::vector<std::string> birth = {"--name", "Ada", "--date", "1962-01-15", "--time", "14:30"};
    struct Case {
        std::vector<std::string> more;
        int status;
        std::string err;         // when refused
        std::string zoneAndDst;  // "zone dst utc_offset" when not
    };
    const Case cases[] = {
        {{"--place", "Chicago, Illinois"},
         2,
         "The atlas knows no time zone for this place. Please choose the time zone and daylight saving.\n",
         ""},
        {{"--place", "Chicago, Illinois", "--dst"},
         2,
         "The atlas knows no time zone for this place. Please choose the time zone and daylight saving.\n",
         ""},
        {{"--place", "Chicago, Illinois", "--zone", "21"}, 0, "", "21 false -06:00"},
        {{"--place", "Chicago, Illinois", "--zone", "21", "--dst"}, 0, "", "21 true -05:00"},
        {{"--place", "Denver, Colorado"},
         2,
         "The time-zone file \"" + (dir / "America/Denver").string() +
             "\" cannot be used: it is a named pipe (FIFO), not an ordinary file.\n",
         ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = birth;
        args.insert(args.end(), c.more.begin(), c.more.end());
        // Another zone folder makes the atlas file stale: the index is built
        // for it and kept in a cache folder of the test's own.
        const Result r = RunExe(args, "TZDIR=" + Quote(dir.string()) +
                                          " XDG_CACHE_HOME=" + Quote((dir / "cache").string()) + " timeout 20 ");
        ASSERT_EQ(r.status, c.status) << c.more[1] << " " << r.err;
        EXPECT_EQ(r.err, c.err) << c.more[1];
        if (c.status != 0) continue;
        const auto input = nlohmann::json::parse(r.out).at("input");
        EXPECT_EQ(std::to_string(input.at("zone").get<int>()) + " " + (input.at("dst").get<bool>() ? "true" : "false") +
                      " " + input.at("utc_offset").get<std::string>(),
                  c.zoneAndDst);
        EXPECT_TRUE(input.at("zone_id").is_null());
        EXPECT_EQ(input.at("place"), "Chicago, Illinois, United States of America");
    }
    fs::remove_all(dir);
}

}  // namespace
