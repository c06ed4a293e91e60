#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <random>
#include <string>
#include <variant>

#include "app/atomic_file.h"
#include "app/reading_file.h"
#include "state/time_zones.h"
#include "tests/reading/temp_folder.h"
#include "state/text.h"

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
    f.cboYear = YearItem(s.BirthYear);
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
    const ReadingLines expected = {"Anna  Maria", "7",  "14",    "1987",  "0",    "5",        "12", "74", "0",
                                   "40",          "42", "False", "False", "True", "New York", "NY", "USA"};
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

    const auto loaded = LoadReading(file);
    ASSERT_TRUE(std::holds_alternative<ReadingValues>(loaded));
    BirthFormData form;
    RestoreFormFromReading(std::get<ReadingValues>(loaded), form);
    ChartState trimmed = s;
    for (std::string* t : {&trimmed.BirthName, &trimmed.BirthCity, &trimmed.BirthState, &trimmed.BirthCountry}) {
        t->erase(0, t->find_first_not_of(' '));
        t->erase(t->find_last_not_of(' ') + 1);
    }
    EXPECT_EQ(form, FormOf(trimmed, GetParam().zone));
}

INSTANTIATE_TEST_SUITE_P(Readings, RoundTrip,
                         testing::Values(RoundTripCase{"Ascii", [](ChartState&) {}, 0},
                                         RoundTripCase{"NonLatinNames",
                                                       [](ChartState& s) {
                                                           s.BirthName = "José Müller-Łukasiewicz";
                                                           s.BirthCity = "Zürich";
                                                           s.BirthState = "Москва 東京";
                                                           s.BirthCountry =
                                                               "\xF0\x9F\x8C\x9F Ελλάδα";  // with a four-byte character
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

TEST(LoadReading, TenLinesRestoreWhatTheyHoldAndEmptyTheRest) {
    TempFolder dir;
    ReadingLines lines = MakeReadingLines(SampleState(), 9);
    std::string bytes;
    for (int i = 0; i < 10; ++i) bytes += EncodeReadingText(lines[i]) + "\r\n";
    WriteBytes(dir / "short.qvn", bytes);

    const auto loaded = LoadReading(dir / "short.qvn");
    ASSERT_TRUE(std::holds_alternative<ReadingValues>(loaded));
    BirthFormData form;
    form.txtLatM = "old";
    form.txtCity = "old";
    RestoreFormFromReading(std::get<ReadingValues>(loaded), form);
    BirthFormData expected = FormOf(SampleState(), 9);
    expected.txtLatM = expected.txtCity = expected.txtState = expected.txtCountry = "";
    expected.optLongEast = 1;  // missing flags read "False": West, North, no daylight saving
    expected.optLatSouth = 0;
    expected.chkDST = false;
    EXPECT_EQ(form, expected);

    // Lines missing from a very short file leave the selections as they were.
    WriteBytes(dir / "name.qvn", EncodeReadingText("Anna") + "\r\n");
    const auto nameOnly = LoadReading(dir / "name.qvn");
    ASSERT_TRUE(std::holds_alternative<ReadingValues>(nameOnly));
    BirthFormData before;
    before.cboYear = 50;
    before.cboTimeZone = 20;
    BirthFormData after = before;
    RestoreFormFromReading(std::get<ReadingValues>(nameOnly), after);
    EXPECT_EQ(after.txtName, "Anna");
    EXPECT_EQ(after.cboYear, 50);
    EXPECT_EQ(after.cboTimeZone, 20);
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

struct LineCase {
    int line;  // 0-based
    std::string text;
    bool accepted;
};

// Which texts each number and True/False line takes: a number of its list as
// the writer writes it, "True" or "False"; anything else refuses the file.
TEST(LoadReading, NumberAndFlagLinesTakeOnlyWhatTheWriterWrites) {
    TempFolder dir;
    const LineCase cases[] = {
        {1, "12", true},
        {1, "1", true},
        {1, "13", false},
        {1, "0", false},
        {1, "", false},
        {1, " 1 ", false},
        {1, "+1", false},
        {1, "01", false},
        {1, "1.5", false},
        {1, "abc", false},
        {1, "99999999999999999999", false},
        {2, "31", true},
        {2, "32", false},
        {2, "05", false},
        {3, "1901", true},
        {3, "2050", true},
        {3, "1900", false},
        {3, "2051", false},
        {4, "0", true},
        {4, "23", true},
        {4, "24", false},
        {4, "-1", false},
        {4, "00", false},
        {5, "59", true},
        {5, "60", false},
        {6, "0", true},
        {6, "70", true},
        {6, "71", false},
        {6, "zone", false},
        {11, "True", true},
        {11, "False", true},
        {11, "true", false},
        {12, "", false},
        {13, "False ", false},
        {0, "", true},
        {7, "abc", true},
        {14, " ", true},  // texts stand as they are
    };
    for (const LineCase& c : cases) {
        ReadingLines lines = MakeReadingLines(SampleState(), 0);
        lines[static_cast<std::size_t>(c.line)] = c.text;
        WriteBytes(dir / "x.qvn", ReadingFileBytes(lines));
        const auto loaded = LoadReading(dir / "x.qvn");
        EXPECT_EQ(std::holds_alternative<ReadingValues>(loaded), c.accepted) << c.line << " \"" << c.text << '"';
    }
}

TEST(LoadReading, RefusalsNameTheFileTheLineAndWhatItHolds) {
    TempFolder dir;
    struct Case {
        const char* file;
        int line;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"x.qvn", 3, "1850", "The reading \"x.qvn\" is damaged: line 4 (year) holds \"1850\"."},
        {"x.qvn", 6, "71", "The reading \"x.qvn\" is damaged: line 7 (time zone) holds \"71\"."},
        {"x.qvn", 13, "Yes", "The reading \"x.qvn\" is damaged: line 14 (daylight saving) holds \"Yes\"."},
        {"x.qvn", 1, "7\x1b[2J", "The reading \"x.qvn\" is damaged: line 2 (month) holds \"7\\x1b[2J\"."},
        {"a\nb.qvn", 2, "\xff", "The reading \"a\\x0ab.qvn\" is damaged: line 3 (day) holds \"\\xff\"."},
        {"x.qvn", 4, std::string(1000, '9'),
         "The reading \"x.qvn\" is damaged: line 5 (hour) holds \"" + std::string(40, '9') + "\"\u2026."},
    };
    for (const Case& c : cases) {
        ReadingLines lines = MakeReadingLines(SampleState(), 0);
        lines[static_cast<std::size_t>(c.line)] = c.text;
        WriteBytes(dir / c.file, ReadingFileBytes(lines));
        const auto loaded = LoadReading(dir / c.file);
        ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded)) << c.message;
        EXPECT_EQ(std::get<ReadingRefusal>(loaded).message, c.message);
    }
}

TEST(LoadReading, DamagedTextsBecomeValidUtf8) {
    TempFolder dir;
    ReadingLines lines = MakeReadingLines(SampleState(), 0);
    lines[0] = "Jos\xE9";            // a single-byte code page's é
    lines[14] = "Z\xC3";             // cut inside a character
    lines[15] = "\xED\xA0\x80x";     // an encoded surrogate
    lines[16] = "\xF4\x90\x80\x80";  // beyond U+10FFFF
    WriteBytes(dir / "x.qvn", ReadingFileBytes(lines));
    const auto loaded = LoadReading(dir / "x.qvn");
    ASSERT_TRUE(std::holds_alternative<ReadingValues>(loaded));
    const ReadingValues& v = std::get<ReadingValues>(loaded);
    EXPECT_EQ(v.name, "Jos\xEF\xBF\xBD");
    EXPECT_EQ(v.city, "Z\xEF\xBF\xBD");
    EXPECT_TRUE(v.state.ends_with("x"));
    EXPECT_EQ(v.state.find('\xED'), std::string::npos);
    EXPECT_EQ(v.country.find('\xF4'), std::string::npos);
}

TEST(ReadingExtension, OnlyLowerCaseQvnIsAccepted) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {{"/home/a/chart.qvn", true}, {"chart.QVN", false}, {"chart.Qvn", false},
                          {"chart.txt", false},        {"chartqvn", true},   {"", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(HasReadingExtension(c.name), c.accepted) << c.name;
        const auto loaded = LoadReading(c.name);
        if (!c.accepted) EXPECT_EQ(std::get<ReadingRefusal>(loaded).message, "Please Check The File.") << c.name;
    }
}

TEST(ReadingFile, UnreadableFilesGiveTheirReason) {
    TempFolder dir;
    struct Case {
        std::filesystem::path file;
        const char* reason;
    };
    std::filesystem::create_directory(dir / "folder.qvn");
    const Case cases[] = {{dir / "missing.qvn", "No such file or directory"}, {dir / "folder.qvn", "Is a directory"}};
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
        bool accepted;  // a name alone is a short reading; "yyy…" is no month
    };
    const Case cases[] = {
        {"one endless line", "x", 1, true},
        // Over-long lines are cut, and the reader stops after its byte budget
        // of 17 × (64 KiB + 2): eleven whole lines of 100 002 bytes and a part.
        {"long lines", std::string(100000, 'y') + "\r\n", 12, false},
        {"many short lines", "abc\r\n", 17, false},
    };
    for (const Case& c : cases) {
        const auto file = dir / "huge.qvn";
        WriteLargeFile(file, 100u << 20, c.pattern);
        const ReadingFileRead read = ReadReadingFile(file);
        EXPECT_EQ(read.error, std::nullopt) << c.name;
        EXPECT_EQ(read.linesFound, c.expectLines) << c.name;
        for (const std::string& line : read.lines) EXPECT_LE(line.size(), kReadingMaxLineBytes) << c.name;
        const auto loaded = LoadReading(file);
        EXPECT_EQ(std::holds_alternative<ReadingValues>(loaded), c.accepted) << c.name;
        if (const auto* refused = std::get_if<ReadingRefusal>(&loaded))
            EXPECT_LT(refused->message.size(), 200u) << refused->message;
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
        const auto loaded = LoadReading(dir / "random.qvn");
        if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) {
            EXPECT_TRUE(refused->message.starts_with("The reading \"random.qvn\" is ")) << refused->message;
            continue;
        }
        BirthFormData form;
        RestoreFormFromReading(std::get<ReadingValues>(loaded), form);
        EXPECT_EQ(ValidUtf8(form.txtName), form.txtName);
        EXPECT_GE(form.cboMonth, 0);
        EXPECT_LT(form.cboMonth, 12);
        EXPECT_GE(form.cboTimeZone, 0);
        EXPECT_LT(form.cboTimeZone, kTimeZoneCount);
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
        {"link.qvn", dir / "real.qvn"},     {"chain.qvn", dir / "real.qvn"},
        {"dangling.qvn", dir / "made.qvn"}, {"far-link.qvn", other / "far.qvn"},
        {longest, dir / longest},           {std::string(255, 'x'), dir / std::string(255, 'x')},
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
