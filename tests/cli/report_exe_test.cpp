// The built quorvane-report, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int status;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Result RunExe(const std::vector<std::string>& args) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("qv_cli_" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    std::string cmd = Quote(QV_REPORT_EXE);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote((dir / "out").string()) + " 2>" + Quote((dir / "err").string());
    const int raw = std::system(cmd.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    std::filesystem::remove_all(dir);
    return r;
}

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

TEST(ReportExecutable, HelpAndAChart) {
    const Result help = RunExe({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage:", 0), 0u);

    const Result chart = RunExe({"--name", "Asha", "--date", "1975-06-15", "--time", "14:30", "--zone", "34",
                                 "--lat", "28:37N", "--lon", "77:13E", "--city", "New Delhi", "--state", "Delhi",
                                 "--country", "India"});
    EXPECT_EQ(chart.status, 0);
    EXPECT_EQ(chart.err, "");
    EXPECT_NE(chart.out.find("\"ascendant_text\": \"22\u00B0 9' 39\\\" Lib\""), std::string::npos) << chart.out;
    EXPECT_NE(chart.out.find("\"universal_time\": \"1975-06-15T09:00:00Z\""), std::string::npos);
}

}  // namespace
