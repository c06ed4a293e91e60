// The tree reads bottom-up: a file may include headers of its own folder and
// of the floors below it, never of a floor above or of another folder on its
// own floor. This test reads every source file's includes and holds the tree
// to the table in the README.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Folder and floor, lowest first. Folders on one floor share a number.
const std::map<std::string, int> kFloors = {
    {"state", 0},    {"astro", 1},     {"retro", 2},        {"analysis", 3},     {"ephemeris", 4},
    {"atlas", 5},    {"chart", 6},     {"formats", 7},      {"gui/common", 8},   {"cli", 8},
    {"gui/form", 9}, {"gui/chart", 9}, {"gui/startup", 10}, {"gui/picture", 10},
};

// The folder of a path relative to the tree ("gui/form/frm_main.cpp" -> "gui/form").
std::string FolderOf(const std::string& relative) {
    const auto slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

struct Include {
    std::string file;  // relative to the tree
    int line;
    std::string header;
};

std::vector<Include> IncludesOf(const fs::path& root, const std::string& relative) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<Include> out;
    std::ifstream in(root / relative);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        std::smatch m;
        if (std::regex_search(line, m, kInclude)) out.push_back({relative, n, m[1]});
    }
    return out;
}

// Whether `folder` may include a header of `target`; a folder the table does
// not name (tools, tests, benchmarks) may include anything.
bool MayInclude(const std::string& folder, const std::string& target) {
    if (folder == target) return true;
    const auto from = kFloors.find(folder);
    if (from == kFloors.end()) return true;
    const auto to = kFloors.find(target);
    if (to == kFloors.end()) return false;  // a header outside the floors
    return to->second < from->second;
}

TEST(Floors, NoIncludeRunsUpOrSideways) {
    const fs::path root = QV_SOURCE_DIR;
    std::vector<std::string> faults;
    std::size_t files = 0;
    for (const auto& [folder, floor] : kFloors) {
        if (!fs::is_directory(root / folder)) {
            faults.push_back("folder " + folder + " is missing");
            continue;
        }
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp") continue;
            ++files;
            const std::string relative = folder + "/" + entry.path().filename().string();
            for (const Include& inc : IncludesOf(root, relative))
                if (!MayInclude(folder, FolderOf(inc.header)))
                    faults.push_back(inc.file + ":" + std::to_string(inc.line) + " includes " + inc.header);
        }
    }
    EXPECT_GT(files, 50u);
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    EXPECT_TRUE(faults.empty()) << all;
}

// A folder of product code outside the table would escape the rule above.
TEST(Floors, EverySourceFolderHasAFloor) {
    const fs::path root = QV_SOURCE_DIR;
    const std::vector<std::string> kFree = {"tests", "tools", "bench", "build", "packaging", "docs", "scripts"};
    std::vector<std::string> unnamed;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = fs::relative(it->path(), root).generic_string();
        const std::string top = relative.substr(0, relative.find('/'));
        if (it->is_directory() && (top.starts_with('.') || top.starts_with("build") ||
                                   std::find(kFree.begin(), kFree.end(), top) != kFree.end())) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (it->is_regular_file() && (ext == ".h" || ext == ".cpp") && !kFloors.contains(FolderOf(relative)))
            unnamed.push_back(relative);
    }
    std::string all;
    for (const std::string& f : unnamed) all += f + "\n";
    EXPECT_TRUE(unnamed.empty()) << "source files in a folder without a floor:\n" << all;
}

TEST(Floors, TheRuleItself) {
    struct Case {
        const char* folder;
        const char* target;
        bool allowed;
    };
    const Case cases[] = {
        {"chart", "state", true},          {"chart", "atlas", true},         {"atlas", "chart", false},
        {"state", "astro", false},         {"formats", "chart", true},       {"chart", "formats", false},
        {"gui/common", "formats", true},   {"gui/form", "gui/chart", false}, {"gui/chart", "gui/form", false},
        {"gui/startup", "gui/form", true}, {"ephemeris", "chart", false},    {"chart", "cli", false},
        {"cli", "formats", true},          {"cli", "gui/common", false},     {"gui/common", "cli", false},
        {"tests/form", "gui/form", true},  {"astro", "somewhere", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MayInclude(c.folder, c.target), c.allowed) << c.folder << " -> " << c.target;
}

}  // namespace
