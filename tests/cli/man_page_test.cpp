// The manual page of quorvane-report against the command itself: the same
// options with the same values as --help, every exit status the command
// gives, and the version that --version prints.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/batch.h"
#include "cli/report_options.h"
#include "cli/report_run.h"

namespace qv::report {
namespace {

using Options = std::map<std::string, std::string>;  // option -> its value's name ("" for a flag)

std::string ManPage() {
    std::ifstream in(QV_SOURCE_DIR "/packaging/man/quorvane-report.1.in");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "  --name TEXT   the person's name" -> {"--name", "TEXT"}. A value is
// written in capitals or as choices ("json|text"); a long one may leave a
// single blank before the help.
Options HelpOptions() {
    static const std::regex kRow(R"(^  (--[a-z-]+)(?: ([A-Z][^ ]*|[a-z]+\|[a-z]+))?(?: |$))");
    Options options;
    std::istringstream usage(ReportUsage());
    for (std::string line; std::getline(usage, line);) {
        std::smatch m;
        if (std::regex_search(line, m, kRow)) options[m[1]] = m[2];
    }
    return options;
}

// The man page's own form of the same: ".BI \-\-name " TEXT"" or ".B \-\-dst"
// on the line after ".TP" in the OPTIONS section.
Options ManOptions(const std::string& page) {
    static const std::regex kTag(R"re(^\.BI? ((?:\\-|[a-z])+)(?: " ([^"]+)")?$)re");
    Options options;
    std::istringstream in(
        page.substr(page.find(".SH OPTIONS"), page.find(".SH EXIT STATUS") - page.find(".SH OPTIONS")));
    bool afterTp = false;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (afterTp && std::regex_match(line, m, kTag))
            options[std::regex_replace(m[1].str(), std::regex(R"(\\-)"), "-")] =
                std::regex_replace(m[2].str(), std::regex(R"(\\-)"), "-");
        afterTp = line == ".TP";
    }
    return options;
}

// ".TP\n.B 2" entries of the EXIT STATUS section.
std::set<int> ManExitStatuses(const std::string& page) {
    std::set<int> statuses;
    std::istringstream in(page.substr(page.find(".SH EXIT STATUS")));
    std::string previous;
    for (std::string line; std::getline(in, line); previous = line) {
        if (line.starts_with(".SH ") && previous.size()) {
            if (line != ".SH EXIT STATUS") break;
        }
        if (previous == ".TP" && line.starts_with(".B ")) statuses.insert(std::stoi(line.substr(3)));
    }
    return statuses;
}

TEST(ManPage, NamesEveryOptionOfHelpWithItsValueAndNoOther) {
    const Options help = HelpOptions();
    const Options man = ManOptions(ManPage());
    EXPECT_GE(help.size(), 20u);  // the parse found the table
    EXPECT_TRUE(help.contains("--help") && help.contains("--version"));
    for (const auto& [option, value] : help) {
        ASSERT_TRUE(man.contains(option)) << option << " is missing from the manual page";
        EXPECT_EQ(man.at(option), value) << option;
    }
    for (const auto& [option, value] : man) EXPECT_TRUE(help.contains(option)) << option << " is not in --help";
}

TEST(ManPage, NamesEveryExitStatusTheCommandGives) {
    const std::set<int> statuses{kExitOk, kExitFailed, kExitRefused, kExitSomeRowsRefused};
    EXPECT_EQ(ManExitStatuses(ManPage()), statuses);
    // --help speaks of each of them too.
    const std::string usage = ReportUsage();
    for (const std::string said : {"exit status 2", "exit status 1", "status is 0", "3 when"})
        EXPECT_NE(usage.find(said), std::string::npos) << said;
}

TEST(Version, IsTheProjectVersionAndStandsAlone) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"--name", "x", "--version"}, {"--bogus", "--version"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(report::Run(args, out, err), kExitOk);
        EXPECT_EQ(out.str(), "quorvane-report " QV_PROJECT_VERSION "\n");
        EXPECT_EQ(err.str(), "");
    }
    EXPECT_NE(ReportUsage().find("  --version "), std::string::npos);
}

}  // namespace
}  // namespace qv::report
