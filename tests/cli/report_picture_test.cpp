// --picture and --width of quorvane-report: their refusals, and pictures
// drawn by the built command, alone and per row of a batch.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "cli/report_options.h"

namespace qv::report {
namespace {

using Args = std::vector<std::string>;

const Args kAsha = {"--name", "Asha",  "--date", "1975-06-15", "--time",    "14:30",   "--zone", "34",        "--lat",
                    "28:37N", "--lon", "77:13E", "--city",     "New Delhi", "--state", "Delhi",  "--country", "India"};

Args Plus(Args a, std::initializer_list<std::string> more) {
    a.insert(a.end(), more);
    return a;
}

std::string ErrorOf(const Args& args) {
    const auto r = ParseReportOptions(args);
    const auto* e = std::get_if<OptionError>(&r);
    return e ? e->message : std::string("(accepted)");
}

TEST(PictureOptions, Refusals) {
    const std::string kEnding = "A picture's file name must end in .png, .svg or .jpg: ";
    const std::string kRange = "The picture's width must be from 200 to 8000 pixels";
    struct Case {
        Args args;
        std::string message;
    };
    const Case cases[] = {
        {Plus(kAsha, {"--picture", "chart.gif"}), kEnding + "\"chart.gif\""},
        {Plus(kAsha, {"--picture", "chart"}), kEnding + "\"chart\""},
        {Plus(kAsha, {"--picture", "png/chart"}), kEnding + "\"png/chart\""},
        {Plus(kAsha, {"--picture", ""}), "Option --picture needs a file name"},
        {Plus(kAsha, {"--picture", "c.png", "--width", "199"}), kRange},
        {Plus(kAsha, {"--picture", "c.png", "--width", "8001"}), kRange},
        {Plus(kAsha, {"--picture", "c.png", "--width", "0"}), kRange},
        {Plus(kAsha, {"--picture", "c.png", "--width", "wide"}),
         "Malformed width \"wide\" (expected a number of pixels)"},
        {Plus(kAsha, {"--picture", "c.png", "--width", "-300"}),
         "Malformed width \"-300\" (expected a number of pixels)"},
        {Plus(kAsha, {"--picture", "c.png", "--width", "123456"}),
         "Malformed width \"123456\" (expected a number of pixels)"},
        {Plus(kAsha, {"--width", "800"}), "--width works with --picture or --batch only"},
        {{"--batch", "rows.csv", "--picture", "c.png"},
         "--batch takes each row's picture file from its picture column; leave out --picture"},
        {{"--find-place", "Delhi", "--picture", "c.png"},
         "--find-place prints places only; leave out --picture and --width"},
        {{"--stations", "--picture", "c.png"},
         "--stations prints the station tables only; leave out the other options"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) joined += a + " ";
        EXPECT_EQ(ErrorOf(c.args), c.message) << joined;
    }
}

TEST(PictureOptions, AcceptedWithTheirWidth) {
    const std::pair<Args, int> accepted[] = {
        {Plus(kAsha, {"--picture", "chart.PNG"}), 1272},
        {Plus(kAsha, {"--picture", "chart.svg", "--width", "200"}), 200},
        {Plus(kAsha, {"--picture", "/tmp/a.b/chart.jpeg", "--width", "8000"}), 8000},
        {{"--batch", "rows.csv", "--width", "900"}, 900},
    };
    for (const auto& [args, width] : accepted) {
        const auto r = ParseReportOptions(args);
        ASSERT_TRUE(std::holds_alternative<ReportOptions>(r)) << std::get<OptionError>(r).message;
        EXPECT_EQ(std::get<ReportOptions>(r).pictureWidth, width);
    }
}

// ------------------------------------------------------ the built command

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Result {
    int status;
    std::string out, err;
};

#ifdef QV_PICTURE_LIBRARY_BUILT
constexpr bool kPictureLibraryBuilt = true;
#else
constexpr bool kPictureLibraryBuilt = false;
#endif
constexpr const char* kNoPictureLibrary = "built without the windows, so without the picture library";

class PictureCommand : public testing::Test {
protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qv_picture_" + std::to_string(::getpid()) + "_" +
                                                  testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string At(const std::string& name) const { return (dir / name).string(); }

    // Without a display: the command needs none.
    Result Run(const Args& args) const {
        std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Quote(QV_REPORT_EXE);
        for (const std::string& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote(At("out")) + " 2>" + Quote(At("err"));
        const int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    }
};

// Width and height of a PNG file from its header, or {0, 0}.
std::pair<unsigned, unsigned> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto at = [&](std::size_t k) {
        return (unsigned(std::uint8_t(bytes[k])) << 24) | (unsigned(std::uint8_t(bytes[k + 1])) << 16) |
               (unsigned(std::uint8_t(bytes[k + 2])) << 8) | unsigned(std::uint8_t(bytes[k + 3]));
    };
    return {at(16), at(20)};
}

TEST_F(PictureCommand, DrawsEachKindBesideTheJsonOrText) {
    if (!kPictureLibraryBuilt) GTEST_SKIP() << kNoPictureLibrary;
    const Result plain = Run(kAsha);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Result png = Run(Plus(kAsha, {"--picture", At("chart.png"), "--width", "700"}));
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out, plain.out);
    EXPECT_EQ(png.err, "");
    EXPECT_EQ(PngSize(Slurp(dir / "chart.png")), (std::pair<unsigned, unsigned>{700, 588}));

    const Result svg = Run(Plus(kAsha, {"--format", "text", "--picture", At("chart.svg")}));
    EXPECT_EQ(svg.status, 0) << svg.err;
    EXPECT_NE(svg.out.find("Sun"), std::string::npos);
    const std::string svgText = Slurp(dir / "chart.svg");
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("width=\"1272\""), std::string::npos);
    EXPECT_NE(svgText.find("<path"), std::string::npos);

    const Result jpeg = Run(Plus(kAsha, {"--picture", At("chart.jpg"), "--width", "300"}));
    EXPECT_EQ(jpeg.status, 0) << jpeg.err;
    EXPECT_EQ(Slurp(dir / "chart.jpg").substr(0, 2), "\xFF\xD8");
}

TEST_F(PictureCommand, AFileThatCannotBeWrittenFailsWithStatus1) {
    if (!kPictureLibraryBuilt) GTEST_SKIP() << kNoPictureLibrary;
    const Result r = Run(Plus(kAsha, {"--picture", At("missing/chart.png")}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("chart.png"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(PictureCommand, RefusedBeforeAnythingIsDrawn) {
    const Result r = Run(Plus(kAsha, {"--picture", At("chart.bmp")}));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "chart.bmp"));
}

TEST_F(PictureCommand, ABatchDrawsTheRowsThatNameAPicture) {
    if (!kPictureLibraryBuilt) GTEST_SKIP() << kNoPictureLibrary;
    std::ofstream(dir / "rows.csv")
        << "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,"
           "country,picture\n"
        << "Asha,1975,6,15,14,30,34,28,37,N,77,13,E,0,Delhi,Delhi,India," << At("asha.png") << "\n"
        << "Ben,1980,1,2,3,4,34,28,37,N,77,13,E,0,Delhi,Delhi,India,\n"
        << "Cy,1980,1,2,3,4,34,28,37,N,77,13,E,0,Delhi,Delhi,India," << At("cy.gif") << "\n";
    const Result r = Run({"--batch", At("rows.csv"), "--width", "400", "--jobs", "2"});
    EXPECT_EQ(r.status, 3) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 3u) << r.out;
    EXPECT_EQ(rows[0].find("\"error\""), std::string::npos) << rows[0];
    EXPECT_EQ(rows[1].find("\"error\""), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find("A picture's file name must end in .png, .svg or .jpg"), std::string::npos) << rows[2];
    EXPECT_EQ(PngSize(Slurp(dir / "asha.png")).first, 400u);
    EXPECT_FALSE(std::filesystem::exists(dir / "cy.gif"));
}

// A chart without a picture starts without Qt: the command itself links none
// of it, only the picture library does.
TEST(PictureLibrary, OnlyThePictureLibraryLinksQt) {
    if (!kPictureLibraryBuilt) GTEST_SKIP() << kNoPictureLibrary;
    const auto needed = [](const std::string& file) {
        std::string text;
        if (FILE* pipe = ::popen(("objdump -p " + Quote(file) + " 2>/dev/null").c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    };
    const std::string command = needed(QV_REPORT_EXE);
    ASSERT_NE(command.find("NEEDED"), std::string::npos);
    EXPECT_EQ(command.find("libQt6"), std::string::npos);
    const std::string library =
        needed((std::filesystem::path(QV_REPORT_EXE).parent_path() / "libquorvane-picture.so").string());
    EXPECT_NE(library.find("libQt6Widgets"), std::string::npos);
}

}  // namespace
}  // namespace qv::report
