#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <random>
#include <string>
#include <variant>

#include "formats/reading_file.h"
#include "state/atomic_file.h"
#include "state/text.h"
#include "state/time_zones.h"
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
BirthFormData FormOf(const ChartState& s) {
    BirthFormData f;
    f.txtName = s.BirthName;
    f.cboMonth = s.BirthMonth - 1;
    f.cboDate = s.BirthDay - 1;
    f.cboYear = YearItem(s.BirthYear);
    f.cboHour = s.BirthHour;
    f.cboMinute = s.BirthMinute;
    f.cboTimeZone = s.ZoneSlot;
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

// A file of these lines, each encoded and ended by CR LF.
std::string BytesOf(const ReadingLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += EncodeReadingText(line) + "\r\n";
    return bytes;
}

// The bytes the writer writes for `s`.
std::string FileBytes(const ChartState& s) {
    std::string bytes;
    EXPECT_EQ(ReadingFileBytes(s, bytes), std::nullopt);
    return bytes;
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
    s.ZoneSlot = 12;
    const ReadingLines expected = {"Anna  Maria", "7",  "14",    "1987",  "0",    "5",        "12", "74", "0",
                                   "40",          "42", "False", "False", "True", "New York", "NY", "USA"};
    EXPECT_EQ(MakeReadingLines(s), expected);
    EXPECT_EQ(FileBytes(s), BytesOf(expected));
}

TEST(ReadingLines, NoTextCanBreakALine) {
    ChartState s = SampleState();
    s.BirthName = "Bad \xF9\xFC name";  // bytes that would shift to LF and CR
    s.BirthCity = "\xFC";
    const std::string bytes = FileBytes(s);
    std::size_t ends = 0;
    for (char c : bytes) ends += (c == '\n' || c == '\r');
    EXPECT_EQ(ends, 2u * 17u);
}

TEST(ReadingLines, TextsTooLongToReadBackAreNotSaved) {
    TempFolder dir;
    WriteBytes(dir / "kept.qvn", "old");
    ChartState s = SampleState();
    s.BirthCity = std::string(kReadingMaxLineBytes, 'c');  // the longest a line may be
    EXPECT_EQ(WriteReadingFile(dir / "city.qvn", s), std::nullopt);
    EXPECT_TRUE(std::holds_alternative<BirthFormData>(LoadReading(dir / "city.qvn")));
    s.BirthName = std::string(kReadingMaxLineBytes + 1, 'n');
    EXPECT_EQ(WriteReadingFile(dir / "kept.qvn", s),
              "The name is too long to be saved in a reading (at most 65536 bytes).");
    EXPECT_EQ(ReadBytes(dir / "kept.qvn"), "old");
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
    s.ZoneSlot = static_cast<std::int16_t>(GetParam().zone);
    const auto file = dir / "reading.qvn";
    ASSERT_EQ(WriteReadingFile(file, s), std::nullopt);
    EXPECT_EQ(ReadBytes(file), BytesOf(MakeReadingLines(s)));

    const auto loaded = LoadReading(file);
    ASSERT_TRUE(std::holds_alternative<BirthFormData>(loaded));
    ChartState trimmed = s;
    for (std::string* t : {&trimmed.BirthName, &trimmed.BirthCity, &trimmed.BirthState, &trimmed.BirthCountry}) {
        t->erase(0, t->find_first_not_of(' '));
        t->erase(t->find_last_not_of(' ') + 1);
    }
    EXPECT_EQ(std::get<BirthFormData>(loaded), FormOf(trimmed));
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

struct LineCase {
    int line;  // 0-based
    std::string text;
    bool accepted;
};

// Which texts each line takes: a number of its list as the writer writes
// it, "True" or "False", a name without control characters; anything else
// refuses the file.
TEST(LoadReading, EachLineTakesOnlyWhatTheWriterWrites) {
    TempFolder dir;
    // clang-format off
    const LineCase cases[] = {
        {1, "12", true}, {1, "1", true}, {1, "13", false}, {1, "0", false}, {1, "", false}, {1, " 1 ", false},
        {1, "+1", false}, {1, "01", false}, {1, "1.5", false}, {1, "abc", false},
        {1, "99999999999999999999", false}, {2, "31", true}, {2, "32", false}, {2, "05", false},
        {3, "1901", true}, {3, "2050", true}, {3, "1900", false}, {3, "2051", false}, {4, "0", true},
        {4, "23", true}, {4, "24", false}, {4, "-1", false}, {4, "00", false}, {5, "59", true}, {5, "60", false},
        {6, "0", true}, {6, "70", true}, {6, "71", false}, {6, "zone", false}, {11, "True", true},
        {11, "False", true}, {11, "true", false}, {12, "", false}, {13, "False ", false},
        {0, "", true}, {7, "abc", true}, {14, " ", true},  // texts stand as they are
        {0, "Ann\ta", false}, {0, "\x1b]0;title\x07", false}, {14, "Rio\r", false}, {16, "In\xC2\x85" "dia", false},
        {15, "\xC2\xA0NY", true},  // a no-break space is no control character
    };
    // clang-format on
    for (const LineCase& c : cases) {
        ReadingLines lines = MakeReadingLines(SampleState());
        lines[static_cast<std::size_t>(c.line)] = c.text;
        WriteBytes(dir / "x.qvn", BytesOf(lines));
        const auto loaded = LoadReading(dir / "x.qvn");
        EXPECT_EQ(std::holds_alternative<BirthFormData>(loaded), c.accepted) << c.line << " \"" << c.text << '"';
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
        {"x.qvn", 0, "Ann\x1b]0;x\x07", "The reading \"x.qvn\" is damaged: line 1 (name) holds a control character."},
        {"x.qvn", 16, std::string(kReadingMaxLineBytes + 1, 'c'),
         "The reading \"x.qvn\" is damaged: line 17 (country) is longer than 65536 bytes."},
    };
    for (const Case& c : cases) {
        ReadingLines lines = MakeReadingLines(SampleState());
        lines[static_cast<std::size_t>(c.line)] = c.text;
        WriteBytes(dir / c.file, BytesOf(lines));
        const auto loaded = LoadReading(dir / c.file);
        ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded)) << c.message;
        EXPECT_EQ(std::get<ReadingRefusal>(loaded).message, c.message);
    }
}

// A reading is whole or refused: every line ends in CR LF, none is missing
// and nothing follows the last.
TEST(LoadReading, PartFilesAreRefusedWithTheLineThatIsMissing) {
    TempFolder dir;
    const std::string whole = BytesOf(MakeReadingLines(SampleState()));
    const std::string lastLine = EncodeReadingText("USA") + "\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;  // after 'The reading "x.qvn" is '
    };
    const Case cases[] = {
        {"ten lines", whole.substr(0, whole.find(EncodeReadingText("42") + "\r\n")),
         "incomplete: line 11 (latitude minutes) is missing."},
        {"a name alone", EncodeReadingText("Anna") + "\r\n", "incomplete: line 2 (month) is missing."},
        {"cut in the last line", whole.substr(0, whole.size() - 3), "incomplete: line 17 (country) is cut short."},
        {"no last line end", whole.substr(0, whole.size() - 2), "incomplete: line 17 (country) is cut short."},
        {"LF line ends", std::string(whole).replace(whole.find("\r\n"), 2, "\n"),
         "damaged: line 1 (name) does not end in CR LF."},
        {"a CR alone", std::string(whole).insert(whole.size() - lastLine.size() + 1, "\r"),
         "damaged: line 17 (country) does not end in CR LF."},
        {"a line after the last", whole + EncodeReadingText("more") + "\r\n",
         "damaged: line 18 is not understood: it holds \"more\"."},
        {"an empty line after the last", whole + "\r\n", "damaged: line 18 is not understood: it holds \"\"."},
        {"nothing at all", "", "empty: it holds no birth data."},
        {"line ends only", "\r\n\r\n\r\n", "empty: it holds no birth data."},
        {"seventeen empty lines", BytesOf(ReadingLines{}), "empty: it holds no birth data."},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / "x.qvn", c.bytes);
        const auto loaded = LoadReading(dir / "x.qvn");
        ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded)) << c.what;
        EXPECT_EQ(std::get<ReadingRefusal>(loaded).message, "The reading \"x.qvn\" is " + c.message) << c.what;
    }
    WriteBytes(dir / "x.qvn", whole);
    EXPECT_TRUE(std::holds_alternative<BirthFormData>(LoadReading(dir / "x.qvn")));
}

TEST(LoadReading, DamagedTextsBecomeValidUtf8) {
    TempFolder dir;
    ReadingLines lines = MakeReadingLines(SampleState());
    lines[0] = "Jos\xE9";            // a single-byte code page's é
    lines[14] = "Z\xC3";             // cut inside a character
    lines[15] = "\xED\xA0\x80x";     // an encoded surrogate
    lines[16] = "\xF4\x90\x80\x80";  // beyond U+10FFFF
    WriteBytes(dir / "x.qvn", BytesOf(lines));
    const auto loaded = LoadReading(dir / "x.qvn");
    ASSERT_TRUE(std::holds_alternative<BirthFormData>(loaded));
    const BirthFormData& f = std::get<BirthFormData>(loaded);
    EXPECT_EQ(f.txtName, "Jos\xEF\xBF\xBD");
    EXPECT_EQ(f.txtCity, "Z\xEF\xBF\xBD");
    EXPECT_TRUE(f.txtState.ends_with("x"));
    EXPECT_EQ(f.txtState.find('\xED'), std::string::npos);
    EXPECT_EQ(f.txtCountry.find('\xF4'), std::string::npos);
}

// A clock no row gives goes into one added line after the seventeen; the
// reading comes back to the same birth and the same bytes. The zone line
// holds the nearest row.
TEST(ExactClockLine, ReadingsRoundTripToTheSecond) {
    TempFolder dir;
    struct Case {
        ExactClock clock;
        bool dst;
        const char* line;
    };
    const Case cases[] = {
        {{9017, ClockKind::MeanTime}, false, "ExactClock=+02:30:17 mean"},            // Moscow 1915
        {{-1521, ClockKind::MeanTime}, false, "ExactClock=-00:25:21 mean"},           // Dublin 1910
        {{-19931, ClockKind::MeanTime}, true, "ExactClock=-05:32:11 mean"},           // Detroit 1901, box ticked
        {{20700, ClockKind::StandardTime}, false, "ExactClock=+05:45 standard"},      // Kathmandu
        {{4772, ClockKind::SummerTime}, false, "ExactClock=+01:19:32 summer"},        // Amsterdam 1930
        {{15 * 3600, ClockKind::StandardTime}, false, "ExactClock=+15:00 standard"},  // the most either way
    };
    for (const Case& c : cases) {
        ChartState s = SampleState();
        s.BirthExactClock = c.clock;
        s.DaylightSaving = c.dst;
        s.ZoneSlot = static_cast<std::int16_t>(NearestZoneSlot(c.clock.utcOffsetSeconds));
        ReadingLines lines = MakeReadingLines(s);
        const std::string bytes = FileBytes(s);
        EXPECT_EQ(bytes, BytesOf(lines) + EncodeReadingText(c.line) + "\r\n") << c.line;
        WriteBytes(dir / "x.qvn", bytes);
        const auto loaded = LoadReading(dir / "x.qvn");
        ASSERT_TRUE(std::holds_alternative<BirthFormData>(loaded)) << c.line;
        const BirthFormData& form = std::get<BirthFormData>(loaded);
        EXPECT_EQ(form.cboTimeZone, kExactClockItem);
        EXPECT_EQ(form.exactClock, c.clock);
        BirthData birth;
        ASSERT_EQ(CheckBirthForm(form, birth), std::nullopt) << c.line;
        EXPECT_EQ(birth.zoneSlot, s.ZoneSlot);
        ChartState again = SampleState();
        WriteBirthFields(birth, again);
        EXPECT_EQ(FileBytes(again), bytes) << c.line;
    }
    // Without one, the seventeen lines alone, as every reading before.
    EXPECT_EQ(FileBytes(SampleState()), BytesOf(MakeReadingLines(SampleState())));
}

// The added line is taken only as the writer writes it; anything else
// refuses the whole reading with the line's number.
TEST(ExactClockLine, LinesNotUnderstoodAreRefused) {
    TempFolder dir;
    const std::string seventeen = BytesOf(MakeReadingLines(SampleState()));
    const std::string refused[] = {
        "ExactClock=+02:30:17",       "ExactClock=+02:30:17 lunar",
        "ExactClock=+2:30:17 mean",   "ExactClock=+02:30:00 mean",
        "ExactClock=+02:60 mean",     "ExactClock=+02:30:60 mean",
        "ExactClock=+15:00:01 mean",  "ExactClock=-00:00 mean",
        "ExactClock=02:30 mean",      "ExactClock=+02:30:17  mean",
        "ExactClock=+02:30:17 mean ", "ExactClock= +02:30 mean",
        "ExactClock=+0a:30 mean",     "ExactClock=",
        "Exactclock=+02:30:17 mean",
    };
    for (const std::string& line : refused) {
        WriteBytes(dir / "x.qvn", seventeen + EncodeReadingText(line) + "\r\n");
        const auto loaded = LoadReading(dir / "x.qvn");
        ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded)) << line;
        EXPECT_TRUE(std::get<ReadingRefusal>(loaded).message.starts_with("The reading \"x.qvn\" is damaged: line 18 "))
            << std::get<ReadingRefusal>(loaded).message;
    }
    const std::string twice = EncodeReadingText("ExactClock=+02:30:17 mean") + "\r\n";
    WriteBytes(dir / "x.qvn", seventeen + twice + twice);
    EXPECT_TRUE(std::holds_alternative<ReadingRefusal>(LoadReading(dir / "x.qvn")));
    WriteBytes(dir / "x.qvn", seventeen + twice);
    EXPECT_TRUE(std::holds_alternative<BirthFormData>(LoadReading(dir / "x.qvn")));
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
    ASSERT_EQ(::mkfifo((dir / "pipe.qvn").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/null", dir / "device.qvn");
    const Case cases[] = {
        {dir / "missing.qvn", "No such file or directory"},
        {dir / "folder.qvn", "it is a folder, not an ordinary file"},
        {dir / "pipe.qvn", "it is a pipe, not an ordinary file"},
        {dir / "device.qvn", "it is a device, not an ordinary file"},
    };
    for (const Case& c : cases) {
        const auto loaded = LoadReading(c.file);
        ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded)) << c.file;
        EXPECT_EQ(std::get<ReadingRefusal>(loaded).message,
                  "Could not read \"" + c.file.string() + "\": " + c.reason + ".");
    }
}

// Writes about `size` bytes of a repeated pattern without holding them in memory.
void WriteLargeFile(const std::filesystem::path& file, std::size_t size, const std::string& pattern) {
    std::ofstream out(file, std::ios::binary);
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += pattern;
    for (std::size_t written = 0; written < size; written += chunk.size()) out.write(chunk.data(), chunk.size());
}

TEST(ReadingFile, HugeFilesAreRefusedBeforeTheyAreRead) {
    TempFolder dir;
    const auto file = dir / "huge.qvn";
    WriteLargeFile(file, 100u << 20, "abc\r\n");
    const auto loaded = LoadReading(file);
    ASSERT_TRUE(std::holds_alternative<ReadingRefusal>(loaded));
    const std::string& message = std::get<ReadingRefusal>(loaded).message;
    EXPECT_NE(message.find("it is larger than"), std::string::npos) << message;
    EXPECT_LT(message.size(), 200u) << message;
}

TEST(ReadingFile, RandomBytesNeverBreakTheReader) {
    TempFolder dir;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    const std::string whole = BytesOf(MakeReadingLines(SampleState()));
    for (int round = 0; round < 300; ++round) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes) b = static_cast<char>(byte(random));
        if (round % 3 == 0) {  // some with line ends sprinkled in
            for (std::size_t i = 0; i < bytes.size(); i += 1 + byte(random) % 40) bytes.replace(i, 1, "\r\n");
        } else if (round % 3 == 1) {  // some a good reading with one byte changed
            bytes = whole;
            bytes[static_cast<std::size_t>(byte(random)) % bytes.size()] = static_cast<char>(byte(random));
        }
        WriteBytes(dir / "random.qvn", bytes);
        const auto loaded = LoadReading(dir / "random.qvn");
        if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) {
            EXPECT_TRUE(refused->message.starts_with("The reading \"random.qvn\" is ")) << refused->message;
            continue;
        }
        const BirthFormData& form = std::get<BirthFormData>(loaded);
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
