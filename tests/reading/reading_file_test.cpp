#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <random>
#include <string>

#include "app/atomic_file.h"
#include "app/reading_file.h"
#include "tests/reading/temp_folder.h"

namespace qv {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

ChartState SampleState() {
    ChartState s;
    s.BirthName = "Anna Maria";
    s.BirthMonth = 7;
    s.BirthDay = 14;
    s.BirthYear = 1987;
    s.BirthHour = 23;
    s.BirthMinute = 59;
    s.LonDegrees = 74;
    s.LonMinutes = 0;
    s.LatDegrees = 40;
    s.LatMinutes = 42;
    s.LonEast = false;
    s.LatSouth = false;
    s.DaylightSaving = true;
    s.BirthCity = "New York";
    s.BirthState = "NY";
    s.BirthCountry = "USA";
    return s;
}

// A form as the birth-data form leaves it after restoring a reading of `s`.
BirthFormData FormOf(const ChartState& s, int zone) {
    BirthFormData f;
    f.txtName = s.BirthName;
    f.cboMonth = s.BirthMonth - 1;
    f.cboDate = s.BirthDay - 1;
    f.cboYear = s.BirthYear - 1901;
    f.cboHour = s.BirthHour;
    f.cboMinute = s.BirthMinute;
    f.cboTimeZone = zone;
    f.txtLonD = std::to_string(s.LonDegrees);
    f.txtLonM = std::to_string(s.LonMinutes);
    f.txtLatD = std::to_string(s.LatDegrees);
    f.txtLatM = std::to_string(s.LatMinutes);
    f.optLongEast = s.LonEast ? 0 : 1;
    f.optLatSouth = s.LatSouth ? 1 : 0;
    f.chkDST = s.DaylightSaving;
    f.txtCity = s.BirthCity;
    f.txtState = s.BirthState;
    f.txtCountry = s.BirthCountry;
    return f;
}

TEST(ReadingKey, NoUtf8ByteBecomesALineEnd) {
    // Bytes 0xF8..0xFF never occur in UTF-8; every other byte may.
    for (int b = 0; b < 0xF8; ++b) {
        const std::string encoded = EncodeReadingText(std::string(1, static_cast<char>(b)));
        EXPECT_NE(encoded[0], '\n') << b;
        EXPECT_NE(encoded[0], '\r') << b;
    }
    EXPECT_GE(kReadingFileKey, 14);
    EXPECT_LE(kReadingFileKey, 21);
}

TEST(ReadingKey, EncodingIsAByteShiftThatDecodingUndoes) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(DecodeReadingText(EncodeReadingText(all)), all);
    EXPECT_EQ(EncodeReadingText(DecodeReadingText(all)), all);
    // Plain ASCII is shifted by the key, character by character.
    std::string expected;
    for (char c : std::string("Anna 5")) expected.push_back(static_cast<char>(c + kReadingFileKey));
    EXPECT_EQ(EncodeReadingText("Anna 5"), expected);
}

TEST(ReadingLines, TextsOfTheSeventeenLines) {
    ChartState s = SampleState();
    s.BirthName = "  Anna  Maria ";
    s.BirthHour = 0;
    s.BirthMinute = 5;
    const ReadingLines expected = {"Anna  Maria", "7", "14", "1987", "0", "5", "12", "74", "0",
                                   "40", "42", "False", "False", "True", "New York", "NY", "USA"};
    EXPECT_EQ(MakeReadingLines(s, 12), expected);
}

TEST(ReadingLines, NoTextCanBreakALine) {
    ChartState s = SampleState();
    s.BirthName = "Bad \xF9\xFC name";  // bytes that would shift to LF and CR
    s.BirthCity = "\xFC";
    const std::string bytes = ReadingFileBytes(MakeReadingLines(s, 0));
    std::size_t ends = 0;
    for (char c : bytes) ends += (c == '\n' || c == '\r');
    EXPECT_EQ(ends, 2u * 17u);
}

struct RoundTripCase {
    const char* name;
    void (*change)(ChartState&);
    int zone;
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, SavedReadingRestoresTheForm) {
    TempFolder dir;
    ChartState s = SampleState();
    GetParam().change(s);
    const auto file = dir / "reading.qvn";
    ASSERT_EQ(WriteReadingFile(file, s, GetParam().zone), std::nullopt);

    const ReadingFileRead read = ReadReadingFile(file);
    ASSERT_EQ(read.error, std::nullopt);
    EXPECT_EQ(read.linesFound, 17u);
    EXPECT_EQ(read.lines, MakeReadingLines(s, GetParam().zone));

    // Decoding and encoding again gives the file's bytes.
    EXPECT_EQ(ReadingFileBytes(read.lines), ReadBytes(file));

    BirthFormData form;
    RestoreFormFromReading(read.lines, form);
    ChartState trimmed = s;
    for (std::string* t : {&trimmed.BirthName, &trimmed.BirthCity, &trimmed.BirthState, &trimmed.BirthCountry}) {
        t->erase(0, t->find_first_not_of(' '));
        t->erase(t->find_last_not_of(' ') + 1);
    }
    EXPECT_EQ(form, FormOf(trimmed, GetParam().zone));
}

INSTANTIATE_TEST_SUITE_P(
    Readings, RoundTrip,
    testing::Values(
        RoundTripCase{"Ascii", [](ChartState&) {}, 0},
        RoundTripCase{"NonLatinNames",
                      [](ChartState& s) {
                          s.BirthName = "José Müller-Łukasiewicz";
                          s.BirthCity = "Zürich";
                          s.BirthState = "Москва 東京";
                          s.BirthCountry = "\xF0\x9F\x8C\x9F Ελλάδα";  // with a four-byte character
                      },
                      70},
        RoundTripCase{"BlanksAroundNames",
                      [](ChartState& s) {
                          s.BirthName = "   Anna   Maria  ";
                          s.BirthCity = " Rio de Janeiro ";
                      },
                      33},
        RoundTripCase{"FiveMinutesPastMidnightNewYear1950",
                      [](ChartState& s) {
                          s.BirthYear = 1950;
                          s.BirthMonth = 1;
                          s.BirthDay = 1;
                          s.BirthHour = 0;
                          s.BirthMinute = 5;
                      },
                      5},
        RoundTripCase{"LastDayOfRange",
                      [](ChartState& s) {
                          s.BirthYear = 2050;
                          s.BirthMonth = 12;
                          s.BirthDay = 31;
                          s.BirthHour = 23;
                          s.BirthMinute = 59;
                      },
                      1},
        RoundTripCase{"WestNorth",
                      [](ChartState& s) {
                          s.LonEast = false;
                          s.LatSouth = false;
                          s.DaylightSaving = false;
                      },
                      2},
        RoundTripCase{"EastSouth",
                      [](ChartState& s) {
                          s.LonEast = true;
                          s.LatSouth = true;
                          s.LonDegrees = 999;
                          s.LatMinutes = 999;
                      },
                      3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadingFile, MidnightAndDirectionsAreStoredAsPlainTexts) {
    TempFolder dir;
    ChartState s = SampleState();
    s.BirthYear = 1950;
    s.BirthMonth = 1;
    s.BirthDay = 1;
    s.BirthHour = 0;
    s.BirthMinute = 5;
    const auto file = dir / "midnight.qvn";
    ASSERT_EQ(WriteReadingFile(file, s, 0), std::nullopt);
    const ReadingFileRead read = ReadReadingFile(file);
    EXPECT_EQ(read.lines[4], "0");
    EXPECT_EQ(read.lines[5], "5");
    EXPECT_EQ(read.lines[11], "False");
    EXPECT_EQ(read.lines[12], "False");
    // 17 lines, each ended by CR LF, nothing else.
    const std::string bytes = ReadBytes(file);
    std::size_t crlf = 0;
    for (std::size_t pos = 0; (pos = bytes.find("\r\n", pos)) != std::string::npos; pos += 2) ++crlf;
    EXPECT_EQ(crlf, 17u);
    EXPECT_TRUE(bytes.ends_with(EncodeReadingText("USA") + "\r\n"));
}

TEST(ReadingFile, TenLinesLeaveTheRestEmpty) {
    TempFolder dir;
    ChartState s = SampleState();
    ReadingLines lines = MakeReadingLines(s, 9);
    std::string bytes;
    for (int i = 0; i < 10; ++i) bytes += EncodeReadingText(lines[i]) + "\r\n";
    const auto file = dir / "short.qvn";
    WriteBytes(file, bytes);

    const ReadingFileRead read = ReadReadingFile(file);
    EXPECT_EQ(read.error, std::nullopt);
    EXPECT_EQ(read.linesFound, 10u);
    BirthFormData form;
    form.txtLatM = "old";
    form.txtCity = "old";
    RestoreFormFromReading(read.lines, form);
    EXPECT_EQ(form.txtName, "Anna Maria");
    EXPECT_EQ(form.cboMonth, 6);
    EXPECT_EQ(form.cboTimeZone, 9);
    EXPECT_EQ(form.txtLonD, "74");
    EXPECT_EQ(form.txtLonM, "0");
    EXPECT_EQ(form.txtLatD, "40");
    EXPECT_EQ(form.txtLatM, "");
    EXPECT_EQ(form.txtCity, "");
    EXPECT_EQ(form.txtState, "");
    EXPECT_EQ(form.txtCountry, "");
    EXPECT_EQ(form.optLongEast, 1);  // anything but "True" selects West
    EXPECT_EQ(form.optLatSouth, 0);  // and North
    EXPECT_FALSE(form.chkDST);
}

TEST(ReadingFile, LineEndsOfOtherSystemsAreAccepted) {
    TempFolder dir;
    const ReadingLines lines = MakeReadingLines(SampleState(), 4);
    for (const std::string end : {"\n", "\r", "\r\n"}) {
        std::string bytes;
        for (const std::string& l : lines) bytes += EncodeReadingText(l) + end;
        WriteBytes(dir / "ends.qvn", bytes);
        const ReadingFileRead read = ReadReadingFile(dir / "ends.qvn");
        EXPECT_EQ(read.lines, lines);
        EXPECT_EQ(read.linesFound, 17u);
    }
}

struct DamagedLineCase {
    int line;
    std::string text;
    BirthFormData expected;  // applied over a form holding kBefore's selections
};

class DamagedNumbers : public testing::TestWithParam<DamagedLineCase> {};

BirthFormData FormBefore() {
    BirthFormData f;
    f.cboMonth = 4;
    f.cboDate = 9;
    f.cboYear = 50;
    f.cboHour = 11;
    f.cboMinute = 30;
    f.cboTimeZone = 20;
    return f;
}

BirthFormData With(void (*change)(BirthFormData&)) {
    BirthFormData f = FormBefore();
    change(f);
    return f;
}

TEST_P(DamagedNumbers, KeepTheSelectionThatWasThere) {
    ReadingLines lines = MakeReadingLines(SampleState(), 0);
    lines[GetParam().line] = GetParam().text;
    BirthFormData form = FormBefore();
    RestoreFormFromReading(lines, form);
    const BirthFormData& e = GetParam().expected;
    EXPECT_EQ(form.cboMonth, GetParam().line == 1 ? e.cboMonth : 6);
    EXPECT_EQ(form.cboDate, GetParam().line == 2 ? e.cboDate : 13);
    EXPECT_EQ(form.cboYear, GetParam().line == 3 ? e.cboYear : 86);
    EXPECT_EQ(form.cboHour, GetParam().line == 4 ? e.cboHour : 23);
    EXPECT_EQ(form.cboMinute, GetParam().line == 5 ? e.cboMinute : 59);
    EXPECT_EQ(form.cboTimeZone, GetParam().line == 6 ? e.cboTimeZone : 0);
}

const BirthFormData kUnchanged = FormBefore();

INSTANTIATE_TEST_SUITE_P(
    Lines, DamagedNumbers,
    testing::Values(DamagedLineCase{1, "abc", kUnchanged}, DamagedLineCase{1, "", kUnchanged},
                    DamagedLineCase{1, "13", kUnchanged}, DamagedLineCase{1, "0", kUnchanged},
                    DamagedLineCase{1, "1.5", kUnchanged}, DamagedLineCase{1, "99999999999999999999", kUnchanged},
                    DamagedLineCase{1, "12", With([](BirthFormData& f) { f.cboMonth = 11; })},
                    DamagedLineCase{1, " 1 ", With([](BirthFormData& f) { f.cboMonth = 0; })},
                    DamagedLineCase{2, "32", kUnchanged}, DamagedLineCase{2, "05", kUnchanged},
                    DamagedLineCase{2, "0", kUnchanged},
                    DamagedLineCase{2, "31", With([](BirthFormData& f) { f.cboDate = 30; })},
                    DamagedLineCase{3, "1900", kUnchanged}, DamagedLineCase{3, "2051", kUnchanged},
                    DamagedLineCase{3, "2050", With([](BirthFormData& f) { f.cboYear = 149; })},
                    DamagedLineCase{3, "1901", With([](BirthFormData& f) { f.cboYear = 0; })},
                    DamagedLineCase{4, "24", kUnchanged}, DamagedLineCase{4, "-1", kUnchanged},
                    DamagedLineCase{4, "0", With([](BirthFormData& f) { f.cboHour = 0; })},
                    DamagedLineCase{5, "60", kUnchanged}, DamagedLineCase{5, "", kUnchanged},
                    DamagedLineCase{5, "0", With([](BirthFormData& f) { f.cboMinute = 0; })},
                    DamagedLineCase{6, "71", kUnchanged}, DamagedLineCase{6, "-1", kUnchanged},
                    DamagedLineCase{6, "zone", kUnchanged},
                    DamagedLineCase{6, "70", With([](BirthFormData& f) { f.cboTimeZone = 70; })}));

TEST(ReadingFile, DamagedTextsBecomeValidUtf8) {
    ReadingLines lines = MakeReadingLines(SampleState(), 0);
    lines[0] = "Jos\xE9";            // a single-byte code page's é
    lines[14] = "Z\xC3";             // cut inside a character
    lines[15] = "\xED\xA0\x80x";     // an encoded surrogate
    lines[16] = "\xF4\x90\x80\x80";  // beyond U+10FFFF
    BirthFormData form;
    RestoreFormFromReading(lines, form);
    EXPECT_EQ(form.txtName, "Jos\xEF\xBF\xBD");
    EXPECT_EQ(form.txtCity, "Z\xEF\xBF\xBD");
    EXPECT_TRUE(form.txtState.ends_with("x"));
    EXPECT_EQ(form.txtState.find('\xED'), std::string::npos);
    EXPECT_EQ(form.txtCountry.find('\xF4'), std::string::npos);
}

TEST(ReadingExtension, OnlyLowerCaseQvnIsAccepted) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {{"/home/a/chart.qvn", true}, {"chart.QVN", false}, {"chart.Qvn", false},
                          {"chart.txt", false},        {"chartqvn", true},   {"", false}};
    for (const Case& c : cases) EXPECT_EQ(HasReadingExtension(c.name), c.accepted) << c.name;
}

TEST(ReadingFile, UnreadableFilesGiveTheirReason) {
    TempFolder dir;
    struct Case {
        std::filesystem::path file;
        const char* reason;
    };
    std::filesystem::create_directory(dir / "folder.qvn");
    const Case cases[] = {{dir / "missing.qvn", "No such file or directory"},
                          {dir / "folder.qvn", "Is a directory"}};
    for (const Case& c : cases) {
        const ReadingFileRead read = ReadReadingFile(c.file);
        ASSERT_TRUE(read.error.has_value()) << c.file;
        EXPECT_NE(read.error->find(c.reason), std::string::npos) << *read.error;
        EXPECT_NE(read.error->find(c.file.string()), std::string::npos) << *read.error;
        EXPECT_EQ(read.linesFound, 0u);
    }
}

// Writes about `size` bytes of a repeated pattern without holding them in memory.
void WriteLargeFile(const std::filesystem::path& file, std::size_t size, const std::string& pattern) {
    std::ofstream out(file, std::ios::binary);
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += pattern;
    for (std::size_t written = 0; written < size; written += chunk.size()) out.write(chunk.data(), chunk.size());
}

TEST(ReadingFile, HugeFilesAreReadWithinBounds) {
    TempFolder dir;
    struct Case {
        const char* name;
        std::string pattern;
        std::size_t expectLines;
    };
    const Case cases[] = {
        {"one endless line", "x", 1},
        // Over-long lines are cut, and the reader stops after its byte budget
        // of 17 × (64 KiB + 2): eleven whole lines of 100 002 bytes and a part.
        {"long lines", std::string(100000, 'y') + "\r\n", 12},
        {"many short lines", "abc\r\n", 17},
    };
    for (const Case& c : cases) {
        const auto file = dir / "huge.qvn";
        WriteLargeFile(file, 100u << 20, c.pattern);
        const ReadingFileRead read = ReadReadingFile(file);
        EXPECT_EQ(read.error, std::nullopt) << c.name;
        EXPECT_EQ(read.linesFound, c.expectLines) << c.name;
        for (const std::string& line : read.lines) EXPECT_LE(line.size(), kReadingMaxLineBytes) << c.name;
        BirthFormData form;
        RestoreFormFromReading(read.lines, form);  // must not throw or crash
    }
}

TEST(ReadingFile, RandomBytesNeverBreakTheReader) {
    TempFolder dir;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes) b = static_cast<char>(byte(random));
        if (round % 3 == 0) {  // some with line ends sprinkled in
            for (std::size_t i = 0; i < bytes.size(); i += 1 + byte(random) % 40) bytes[i] = '\n';
        }
        WriteBytes(dir / "random.qvn", bytes);
        const ReadingFileRead read = ReadReadingFile(dir / "random.qvn");
        ASSERT_EQ(read.error, std::nullopt);
        ASSERT_LE(read.linesFound, 17u);
        BirthFormData form;
        RestoreFormFromReading(read.lines, form);
        EXPECT_EQ(ValidUtf8(form.txtName), form.txtName);
        EXPECT_GE(form.cboMonth, 0);
        EXPECT_LT(form.cboMonth, 12);
        EXPECT_GE(form.cboTimeZone, 0);
        EXPECT_LT(form.cboTimeZone, 71);
    }
}

TEST(SafeWrite, ReplacesContentKeepsModeAndLeavesNoTemporaryFile) {
    TempFolder dir;
    const auto file = dir / "chart.qvn";
    WriteBytes(file, "old content");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    ASSERT_EQ(WriteFileAtomically(file, "new"), std::nullopt);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(dir.EntryCount(), 1u);
}

// Names in the folder with their kind and, for files, their content.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const auto kind = e.symlink_status().type();
        out[e.path().filename().string()] = kind == std::filesystem::file_type::regular ? ReadBytes(e.path())
                                            : kind == std::filesystem::file_type::symlink
                                                ? "-> " + std::filesystem::read_symlink(e.path()).string()
                                                : "kind " + std::to_string(static_cast<int>(kind));
    }
    return out;
}

TEST(SafeWrite, HostileTargetsAreRefusedAndNothingIsWritten) {
    TempFolder dir;
    const std::string d = dir.path().string();
    std::filesystem::create_directory(dir / "folder.qvn");
    ASSERT_EQ(::mkfifo((dir / "pipe.qvn").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/null", dir / "device.qvn");
    for (const auto& [name, mode] : {std::pair{"readonly.qvn", 0444}, {"nobits.qvn", 0}}) {
        WriteBytes(dir / name, "kept");
        std::filesystem::permissions(dir / name, std::filesystem::perms(mode));
    }
    std::filesystem::create_symlink("readonly.qvn", dir / "to-readonly.qvn");
    std::filesystem::create_symlink("folder.qvn", dir / "to-folder.qvn");
    std::filesystem::create_symlink("loop-b.qvn", dir / "loop-a.qvn");
    std::filesystem::create_symlink("loop-a.qvn", dir / "loop-b.qvn");
    const auto before = Snapshot(dir.path());

    const std::pair<const char*, std::string> cases[] = {
        {"folder.qvn", "\"" + d + "/folder.qvn\" is a folder, not a file."},
        {"pipe.qvn", "\"" + d + "/pipe.qvn\" is a pipe, not a file."},
        {"device.qvn", "\"" + d + "/device.qvn\" is a device, not a file."},
        // No write bit counts as read-only, also for root.
        {"readonly.qvn", "\"" + d + "/readonly.qvn\" is read-only."},
        {"nobits.qvn", "\"" + d + "/nobits.qvn\" is read-only."},
        {"to-readonly.qvn", "\"" + d + "/to-readonly.qvn\" is read-only."},
        {"to-folder.qvn", "\"" + d + "/to-folder.qvn\" is a folder, not a file."},
        {"loop-a.qvn", "Could not save \"" + d + "/loop-a.qvn\": Too many levels of symbolic links."},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_EQ(CheckSaveTarget(dir / name), message) << name;
        EXPECT_EQ(WriteFileAtomically(dir / name, "new"), message) << name;
        EXPECT_EQ(Snapshot(dir.path()), before) << name;
    }
}

TEST(SafeWrite, LinksAreWrittenThroughAndLongNamesFit) {
    TempFolder dir, other;
    const std::string longest = std::string(251, 'n') + ".qvn";  // 255 bytes, the most a name may have
    WriteBytes(dir / "real.qvn", "old");
    WriteBytes(dir / longest, "old");
    WriteBytes(other / "far.qvn", "old");
    std::filesystem::create_symlink("real.qvn", dir / "link.qvn");
    std::filesystem::create_symlink("link.qvn", dir / "chain.qvn");
    std::filesystem::create_symlink("made.qvn", dir / "dangling.qvn");
    std::filesystem::create_symlink(other / "far.qvn", dir / "far-link.qvn");
    struct Case {
        std::string target;
        std::filesystem::path written;
    };
    const Case cases[] = {
        {"link.qvn", dir / "real.qvn"},
        {"chain.qvn", dir / "real.qvn"},
        {"dangling.qvn", dir / "made.qvn"},
        {"far-link.qvn", other / "far.qvn"},
        {longest, dir / longest},
        {std::string(255, 'x'), dir / std::string(255, 'x')},
    };
    for (const Case& c : cases) {
        const bool link = std::filesystem::is_symlink(dir / c.target);
        ASSERT_EQ(WriteFileAtomically(dir / c.target, "new " + c.target), std::nullopt) << c.target;
        EXPECT_EQ(ReadBytes(c.written), "new " + c.target) << c.target;
        EXPECT_EQ(std::filesystem::is_symlink(dir / c.target), link) << c.target;
    }
    for (const auto& folder : {dir.path(), other.path()})
        for (const auto& e : std::filesystem::directory_iterator(folder))
            EXPECT_FALSE(e.path().filename().string().starts_with(".qv-")) << e.path();
}

TEST(SafeWrite, FailuresLeaveTheOldFileAndReportTheReason) {
    TempFolder dir;
    WriteBytes(dir / "file", "a file");
    struct Case {
        std::filesystem::path target;
        const char* reason;
    };
    const Case cases[] = {
        {dir / "no such folder" / "a.qvn", "No such file or directory"},
        {dir / "file" / "a.qvn", "Not a directory"},
        {dir / std::string(256, 'x'), "File name too long"},
    };
    for (const Case& c : cases) {
        const auto error = WriteFileAtomically(c.target, "data");
        ASSERT_TRUE(error.has_value()) << c.target;
        EXPECT_EQ(*error, "Could not save \"" + c.target.string() + "\": " + c.reason + ".");
    }
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(SafeWrite, AFullDiskLeavesTheOldFileWhole) {
    TempFolder dir;
    const auto file = dir / "chart.qvn";
    WriteBytes(file, "the old reading");
    // A file-size limit makes the write fail part-way, like a full disk.
    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = WriteFileAtomically(file, std::string(4096, 'n'));
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("File too large"), std::string::npos) << *error;
    EXPECT_EQ(ReadBytes(file), "the old reading");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

}  // namespace
}  // namespace qv
