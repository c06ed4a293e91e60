#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "formats/reading_file.h"
#include "formats/text_export.h"
#include "gui/chart/chart_outputs.h"
#include "gui/form/reading_commands.h"
#include "state/text.h"
#include "tests/gui_outputs/output_support.h"
#include "tests/support/births.h"
#include "tests/support/scripted_dialogs.h"

namespace qv {
namespace {

using test::DialogCall;
using test::Entries;
using test::ReadAll;
using test::ScriptedDialogs;
using test::WriteAll;

// New York, 14 July 1987 23:59, summer time.
BirthData SampleBirth() {
    return {.name = "Anna Maria",
            .local = {1987, 7, 14, 23, 59},
            .zoneSlot = 9,
            .daylightSaving = true,
            .latitude = {40, 42},
            .longitude = {74, 0, true},
            .city = "New York",
            .state = "NY",
            .country = "USA"};
}
BirthFormData SampleForm() { return test::FormOf(SampleBirth()); }

// Moves the birth to this date and clock time.
void SetMoment(BirthData& v, int year, int month, int day, int hour, int minute) {
    v.local = {year, month, day, hour, minute};
}

// The decoded lines of a saved reading.
std::vector<std::string> LinesOf(const QString& file) {
    const std::string bytes = ReadAll(file).toStdString();
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(DecodeReadingText(bytes.substr(start, end - start)));
    return lines;
}

struct Chart {
    ChartState state;
    ChartWheel wheel;
};

Chart Calculate(const BirthFormData& form) {
    Chart c;
    LoadFixedLists(c.state);
    EXPECT_EQ(CalculateChartOfForm(form, c.state, c.wheel), std::nullopt);
    return c;
}

// Everything a chart shows, in one comparable record.
void ExpectSameChart(const Chart& a, const Chart& b) {
    EXPECT_EQ(MakeTextExport(a.state), MakeTextExport(b.state));
    EXPECT_EQ(a.state.AscendantText, b.state.AscendantText);
    EXPECT_EQ(a.state.MoonText, b.state.MoonText);
    EXPECT_EQ(a.state.BodyLabel, b.state.BodyLabel);
    EXPECT_EQ(a.state.RetrogradeFlag, b.state.RetrogradeFlag);
    EXPECT_EQ(a.state.HouseSign, b.state.HouseSign);
    EXPECT_EQ(a.state.InterpretationRuns, b.state.InterpretationRuns);
    EXPECT_EQ(a.state.ZoneHoursText, b.state.ZoneHoursText);
    EXPECT_EQ(a.state.DaylightSaving, b.state.DaylightSaving);
    EXPECT_EQ(a.wheel.signBoxes, b.wheel.signBoxes);
    EXPECT_EQ(a.wheel.firstHouseSign, b.wheel.firstHouseSign);
    EXPECT_EQ(a.wheel.imgSign, b.wheel.imgSign);
}

QString Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(QString::fromUtf8(name)); }

void Save(ScriptedDialogs& dialogs, Chart& chart, const QString& path) {
    dialogs.fileAnswers.push_back(path);
    SaveReadingCommand(nullptr, chart.state, dialogs, chart.state.ReadingFileName);
}

std::optional<BirthFormData> Open(ScriptedDialogs& dialogs, const QString& path) {
    dialogs.fileAnswers.push_back(path);
    return OpenReadingCommand(nullptr, dialogs);
}

struct RoundTripCase {
    const char* name;
    void (*change)(BirthData&);
    void (*check)(const std::vector<std::string>& lines, const BirthFormData& restored);
};

class SaveThenOpen : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SaveThenOpen, GivesTheSameChart) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    BirthData birth = SampleBirth();
    GetParam().change(birth);
    const BirthFormData form = FormOfBirth(birth);
    Chart first = Calculate(form);

    const QString file = Path(dir, "reading.qvn");
    Save(dialogs, first, file);
    EXPECT_EQ(first.state.ReadingFileName, file.toStdString());
    const auto restored = Open(dialogs, file);
    ASSERT_TRUE(restored.has_value());
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(Entries(dir.path()), QStringList{"reading.qvn"});

    ASSERT_EQ(ValidateInput(*restored), std::nullopt);
    Chart second = Calculate(*restored);
    ExpectSameChart(first, second);
    EXPECT_EQ(restored->cboTimeZone, form.cboTimeZone);
    EXPECT_EQ(restored->chkDST, form.chkDST);

    const std::vector<std::string> lines = LinesOf(file);
    ASSERT_EQ(lines.size(), 17u);
    GetParam().check(lines, *restored);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, SaveThenOpen,
    testing::Values(RoundTripCase{"Sample", [](BirthData&) {},
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[0], "Anna Maria");
                                      EXPECT_EQ(r, SampleForm());
                                  }},
                    RoundTripCase{"FiveMinutesPastMidnightNewYear1950",
                                  [](BirthData& v) { SetMoment(v, 1950, 1, 1, 0, 5); },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[4], "0");
                                      EXPECT_EQ(l[5], "5");
                                      EXPECT_EQ(r.cboHour, 0);
                                      EXPECT_EQ(r.cboMinute, 5);
                                      EXPECT_EQ(r.cboYear, YearItem(1950));
                                  }},
                    RoundTripCase{"WestAndNorth",
                                  [](BirthData& v) {
                                      v.longitude.negative = true;
                                      v.latitude.negative = false;
                                  },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[11], "False");
                                      EXPECT_EQ(l[12], "False");
                                      EXPECT_EQ(r.optLongEast, 1);
                                      EXPECT_EQ(r.optLatSouth, 0);
                                  }},
                    RoundTripCase{"EastSouthLastZoneWithoutDst",
                                  [](BirthData& v) {
                                      v.longitude = {151, 0, false};
                                      v.latitude = {33, 42, true};
                                      v.zoneSlot = 70;
                                      v.daylightSaving = false;
                                  },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[6], "70");
                                      EXPECT_EQ(l[11], "True");
                                      EXPECT_EQ(l[12], "True");
                                      EXPECT_EQ(l[13], "False");
                                      EXPECT_EQ(r.optLongEast, 0);
                                      EXPECT_EQ(r.optLatSouth, 1);
                                  }},
                    RoundTripCase{"BlanksAroundNamesGoInsideStay",
                                  [](BirthData& v) {
                                      v.name = "  Anna   Maria ";
                                      v.city = " Rio de Janeiro  ";
                                  },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[0], "Anna   Maria");
                                      EXPECT_EQ(r.txtName, "Anna   Maria");
                                      EXPECT_EQ(r.txtCity, "Rio de Janeiro");
                                  }},
                    RoundTripCase{"LeapDay2000AtNoon", [](BirthData& v) { SetMoment(v, 2000, 2, 29, 12, 0); },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[1], "2");
                                      EXPECT_EQ(l[2], "29");
                                      EXPECT_EQ(r.cboDate, 28);
                                  }},
                    RoundTripCase{"LastMinuteOf2050", [](BirthData& v) { SetMoment(v, 2050, 12, 31, 23, 59); },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[3], "2050");
                                      EXPECT_EQ(r.cboYear, YearItem(2050));
                                  }},
                    RoundTripCase{"PastedNonLatinLetters",
                                  [](BirthData& v) {
                                      v.name = "José Müller";
                                      v.city = "Zürich";
                                  },
                                  [](const std::vector<std::string>& l, const BirthFormData& r) {
                                      EXPECT_EQ(l[0], "José Müller");
                                      EXPECT_EQ(r.txtCity, "Zürich");
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadingDialogs, SettingsAndSharedFileName) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    chart.state.ReadingFileName = Path(dir, "earlier.txt").toStdString();

    Save(dialogs, chart, Path(dir, "anna.qvn"));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    const FileDialogSettings save = dialogs.calls[0].settings;
    EXPECT_EQ(dialogs.calls[0].kind, DialogCall::Save);
    EXPECT_EQ(save.title, "Quorvane");
    EXPECT_EQ(save.filter, "Quorvane (*.qvn)");
    EXPECT_EQ(save.defaultSuffix, "qvn");
    EXPECT_EQ(save.initialName, Path(dir, "earlier.qvn"));
    EXPECT_TRUE(save.alwaysSuffix);
    EXPECT_TRUE(save.confirmOverwrite);

    Open(dialogs, Path(dir, "anna.qvn"));
    const FileDialogSettings open = dialogs.calls[1].settings;
    EXPECT_EQ(dialogs.calls[1].kind, DialogCall::Open);
    EXPECT_EQ(open.title, "Select the source file");
    EXPECT_EQ(open.filter, "Quorvane (*.qvn)");
    EXPECT_EQ(open.defaultSuffix, "qvn");
    EXPECT_TRUE(open.initialName.isEmpty());
    EXPECT_TRUE(open.mustExist);
    // Opening does not change the shared name.
    EXPECT_EQ(chart.state.ReadingFileName, Path(dir, "anna.qvn").toStdString());
}

TEST(ReadingDialogs, CancelWritesAndReadsNothing) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    chart.state.ReadingFileName = "kept.qvn";
    dialogs.fileAnswers = {std::nullopt, QString(), std::nullopt};
    SaveReadingCommand(nullptr, chart.state, dialogs, chart.state.ReadingFileName);
    SaveReadingCommand(nullptr, chart.state, dialogs, chart.state.ReadingFileName);
    EXPECT_EQ(chart.state.ReadingFileName, "kept.qvn");
    EXPECT_EQ(OpenReadingCommand(nullptr, dialogs), std::nullopt);
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

struct ExtensionCase {
    const char* name;
    const char* file;
    bool accepted;
};

class ReadingExtension : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ReadingExtension, OnlyAnExactLowerCaseEndingOpens) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    // A reading under this name, as another program or a rename leaves it.
    const QString file = Path(dir, GetParam().file);
    std::string reading;
    ASSERT_EQ(ReadingFileBytes(chart.state, reading), std::nullopt);
    WriteAll(file, QByteArray::fromStdString(reading));
    const auto restored = Open(dialogs, file);
    if (GetParam().accepted) {
        EXPECT_EQ(restored, SampleForm());
        EXPECT_TRUE(dialogs.messages().empty());
    } else {
        EXPECT_EQ(restored, std::nullopt);
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0], "Please Check The File.");
        EXPECT_EQ(dialogs.calls.back().icon, MessageIcon::Error);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ReadingExtension,
                         testing::Values(ExtensionCase{"LowerCase", "anna.qvn", true},
                                         ExtensionCase{"WithoutDot", "annaqvn", true},
                                         ExtensionCase{"UpperCase", "anna.QVN", false},
                                         ExtensionCase{"MixedCase", "anna.Qvn", false},
                                         ExtensionCase{"TextExportName", "anna.txt", false},
                                         ExtensionCase{"QvnThenMore", "anna.qvn.bak", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// One command of a sequence: "Save As" or "Export Chart As Text", the name
// the user then chooses (nullptr: Cancel) and the answer to a question.
struct SaveStep {
    enum Kind { Save, Export } kind;
    const char* chosen;
    const char* offered;  // the name the dialog must offer ("" for none)
    bool yes = false;     // the answer if the program asks before replacing a file
};

struct SaveSequence {
    const char* name;
    std::vector<SaveStep> steps;
    QStringList files;      // the folder afterwards, each file and what it holds
    QStringList questions;  // asked on the way
};

class SharedFileName : public testing::TestWithParam<SaveSequence> {};

// Each dialog offers the remembered name with its own extension, a reading
// always ends in ".qvn", and nothing is replaced without a question.
TEST_P(SharedFileName, EachDialogOffersItsOwnExtension) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    std::string readingBytes;
    ASSERT_EQ(ReadingFileBytes(chart.state, readingBytes), std::nullopt);
    const QByteArray reading = QByteArray::fromStdString(readingBytes);
    const QByteArray text = QByteArray::fromStdString(MakeTextExport(chart.state));
    for (const SaveStep& step : GetParam().steps) {
        dialogs.fileAnswers.push_back(step.chosen ? std::optional(Path(dir, step.chosen)) : std::nullopt);
        dialogs.questionAnswers.push_back(step.yes);
        const std::size_t call = dialogs.calls.size();
        if (step.kind == SaveStep::Save)
            SaveReadingCommand(nullptr, chart.state, dialogs, chart.state.ReadingFileName);
        else
            ExportTextCommand(nullptr, chart.state, dialogs, chart.state.ReadingFileName);
        dialogs.questionAnswers.clear();
        ASSERT_GT(dialogs.calls.size(), call);
        const QString offered = *step.offered ? Path(dir, step.offered) : QString();
        EXPECT_EQ(dialogs.calls[call].settings.initialName, offered) << step.chosen;
    }
    QStringList files;
    for (const QString& file : Entries(dir.path())) {
        const QByteArray bytes = ReadAll(Path(dir, file.toUtf8().constData()));
        files << file + (bytes == reading ? ": reading" : bytes == text ? ": text" : ": other");
    }
    EXPECT_EQ(files, GetParam().files);
    QStringList questions;
    for (const DialogCall& c : dialogs.calls)
        if (c.kind == DialogCall::Question) questions << c.text;
    EXPECT_EQ(questions, GetParam().questions);
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages()[0].toStdString();
    // Every reading written opens again.
    for (const QString& file : files)
        if (file.endsWith(": reading"))
            EXPECT_NE(Open(dialogs, Path(dir, file.section(':', 0, 0).toUtf8().constData())), std::nullopt)
                << file.toStdString();
}

constexpr SaveStep::Kind kSave = SaveStep::Save;
constexpr SaveStep::Kind kExport = SaveStep::Export;
const QString kReplaceVictim = QStringLiteral("victim.qvn already exists.\nDo you want to replace it?");

INSTANTIATE_TEST_SUITE_P(
    Sequences, SharedFileName,
    testing::Values(SaveSequence{"SaveThenExport",
                                 {{kSave, "victim.qvn", ""}, {kExport, nullptr, "victim.txt"}},
                                 {"victim.qvn: reading"},
                                 {}},
                    SaveSequence{"ExportThenSave",
                                 {{kExport, "victim.txt", ""}, {kSave, "victim.qvn", "victim.qvn"}},
                                 {"victim.qvn: reading", "victim.txt: text"},
                                 {}},
                    SaveSequence{"ReadingTypedAsTextIsSavedAsQvn",
                                 {{kSave, "victim.txt", ""}, {kExport, nullptr, "victim.txt"}},
                                 {"victim.qvn: reading"},
                                 {}},
                    SaveSequence{"ReadingTypedAsTextOverAReadingAsksNo",
                                 {{kExport, "victim.qvn", ""}, {kSave, "victim.txt", "victim.qvn", false}},
                                 {"victim.qvn: text"},
                                 {kReplaceVictim}},
                    SaveSequence{"ReadingTypedAsTextOverAReadingAsksYes",
                                 {{kExport, "victim.qvn", ""}, {kSave, "victim.txt", "victim.qvn", true}},
                                 {"victim.qvn: reading"},
                                 {kReplaceVictim}},
                    SaveSequence{"NameWithADotButNoExtension",
                                 {{kSave, "Dr. Who", ""}, {kExport, "Dr. Who.txt", "Dr. Who.txt"}},
                                 {"Dr. Who.qvn: reading", "Dr. Who.txt: text"},
                                 {}},
                    SaveSequence{"ExtensionInCapitals",
                                 {{kExport, "VICTIM.TXT", ""}, {kSave, "VICTIM.QVN", "VICTIM.qvn"}},
                                 {"VICTIM.TXT: text", "VICTIM.qvn: reading"},
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenReading, APartReadingIsRefusedAndNamesTheMissingLine) {
    QTemporaryDir dir;
    Chart chart = Calculate(SampleForm());
    const ReadingLines lines = MakeReadingLines(chart.state);
    std::string bytes;
    for (std::size_t i = 0; i < 10; ++i) bytes += EncodeReadingText(lines[i]) + "\r\n";
    WriteAll(Path(dir, "short.qvn"), QByteArray::fromStdString(bytes));

    ScriptedDialogs dialogs;
    EXPECT_EQ(Open(dialogs, Path(dir, "short.qvn")), std::nullopt);
    EXPECT_EQ(dialogs.messages(),
              std::vector<QString>{"The reading \"short.qvn\" is incomplete: line 11 (latitude minutes) is missing."});
}

struct SaveFailure {
    const char* name;
    const char* chosen;
    void (*prepare)(const QString& folder);
};

class SaveReadingFailures : public testing::TestWithParam<SaveFailure> {};

TEST_P(SaveReadingFailures, ShowFileAndReasonAndChangeNothing) {
    QTemporaryDir dir;
    GetParam().prepare(dir.path());
    const QStringList before = Entries(dir.path());
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    const QString file = Path(dir, GetParam().chosen);
    Save(dialogs, chart, file);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(file)) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(dialogs.calls.back().icon, MessageIcon::Error);
    EXPECT_EQ(Entries(dir.path()), before);
    // The name stays offered for the next try.
    EXPECT_EQ(chart.state.ReadingFileName, file.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SaveReadingFailures,
    testing::Values(
        SaveFailure{"MissingFolder", "no/such/folder/anna.qvn", [](const QString&) {}},
        SaveFailure{"FolderInPlaceOfTheFile", "anna.qvn", [](const QString& d) { QDir(d).mkdir("anna.qvn"); }},
        SaveFailure{"FileInPlaceOfTheFolder", "notes/anna.qvn",
                    [](const QString& d) { WriteAll(d + "/notes", "a file"); }},
        SaveFailure{"ReadOnly", "anna.qvn", [](const QString& d) { test::WriteReadOnly(d + "/anna.qvn", "old"); }},
        SaveFailure{"Pipe", "anna.qvn", [](const QString& d) { test::MakePipe(d + "/anna.qvn"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveReadingFailures, AFullDiskKeepsTheEarlierReading) {
    QTemporaryDir dir;
    const QString file = Path(dir, "anna.qvn");
    WriteAll(file, "the earlier reading");
    ScriptedDialogs dialogs;
    Chart chart = Calculate(SampleForm());
    {
        test::FileSizeLimit limit(16);
        Save(dialogs, chart, file);
    }
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(file));
    EXPECT_EQ(ReadAll(file), "the earlier reading");
    EXPECT_EQ(Entries(dir.path()), QStringList{"anna.qvn"});
}

struct OpenFailure {
    const char* name;
    void (*prepare)(const QString& file);
};

class OpenReadingFailures : public testing::TestWithParam<OpenFailure> {};

TEST_P(OpenReadingFailures, ShowFileAndReasonAndKeepTheForm) {
    QTemporaryDir dir;
    const QString file = Path(dir, "anna.qvn");
    GetParam().prepare(file);
    ScriptedDialogs dialogs;
    EXPECT_EQ(Open(dialogs, file), std::nullopt);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(file)) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(dialogs.calls.back().icon, MessageIcon::Error);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenReadingFailures,
                         testing::Values(OpenFailure{"Missing", [](const QString&) {}},
                                         OpenFailure{"Folder", [](const QString& f) { QDir().mkdir(f); }}),
                         [](const auto& info) { return std::string(info.param.name); });

bool IsValidUtf8(const std::string& s) { return ValidUtf8(s) == s; }

TEST(OpenReading, DamagedFilesNeverBreakTheForm) {
    QTemporaryDir dir;
    std::mt19937 random(20261207);
    std::vector<QByteArray> files = {QByteArray(3 * 1024 * 1024, 'x'), QByteArray("\r\r\r\n\n\0\0\xff", 8),
                                     QByteArray::fromStdString(std::string(17, '\n'))};
    for (int n = 0; n < 20; ++n) {
        QByteArray bytes(static_cast<int>(random() % 4096), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        files.push_back(bytes);
    }
    for (const QByteArray& bytes : files) {
        WriteAll(Path(dir, "damaged.qvn"), bytes);
        ScriptedDialogs dialogs;
        const auto restored = Open(dialogs, Path(dir, "damaged.qvn"));
        if (!restored) {  // refused as a whole, with one message
            ASSERT_EQ(dialogs.messages().size(), 1u);
            EXPECT_TRUE(dialogs.messages()[0].startsWith("The reading \"damaged.qvn\" is ") ||
                        dialogs.messages()[0].startsWith("Could not read "))
                << dialogs.messages()[0].toStdString();
            continue;
        }
        for (const std::string* t : {&restored->txtName, &restored->txtCity, &restored->txtState, &restored->txtCountry,
                                     &restored->txtLatD, &restored->txtLonM})
            EXPECT_TRUE(IsValidUtf8(*t));
        EXPECT_GE(restored->cboTimeZone, 0);
        EXPECT_LE(restored->cboTimeZone, 70);
        EXPECT_GE(restored->cboYear, 0);
        EXPECT_LE(restored->cboYear, YearItem(kLastBirthYear));
    }
}

// A chart filled by hand, and its export as the file format lays it out.
ChartState ExportState() {
    ChartState s;
    s.BirthName = "Anna Maria";
    s.BirthMonth = 1;
    s.BirthDay = 1;
    s.BirthYear = 1950;
    s.BirthHour = 0;
    s.BirthMinute = 5;
    s.LatDegrees = 47;
    s.LatMinutes = 0;
    s.LonDegrees = 8;
    s.LonMinutes = 32;
    s.BirthCity = "Zurich";
    s.BirthState = "ZH";
    s.BirthCountry = "Switzerland";
    const char* names[11] = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                             "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};
    for (int i = 0; i < 11; ++i) {
        s.PositionName[i] = names[i];
        s.PlanetPosition[i] = (i < 10 ? "1" : "2") + std::to_string(i % 10) + " Cap 0" + std::to_string(i % 10);
    }
    s.PlanetPosition[2] += " (R) ";
    s.ElementResult = {"Fire is present", "Earth is present", "Air is present",
                       "M-Water is missing\r\nFeelings are kept at a distance.", ""};
    s.QualityResult = {"Cardinal is present", "Fixed is present", "Mutable is present", ""};
    s.HouseTypeResult = {"Angular is present", "M-Succedent is missing\r\nSecurity comes late.", "Cadent is present",
                         ""};
    return s;
}

constexpr char kExpectedExport[] =
    "Name: Anna Maria\r\n"
    "Date of Birth: January 1, 1950\r\n"
    "Time of Birth: 0 Hour 5 Minute \r\n"
    "Latitude: 47 Degree 0 Minute \r\n"
    "Longitude: 8 Degree 32 Minute \r\n"
    "City: Zurich\r\n"
    "State: ZH\r\n"
    "Country: Switzerland\r\n"
    "\r\r\n"
    "Planetary Position\r\n"
    "Sun 10 Cap 00\r\n"
    "Moon 11 Cap 01\r\n"
    "Mercury 12 Cap 02 (R) \r\n"
    "Venus 13 Cap 03\r\n"
    "Mars 14 Cap 04\r\n"
    "Jupiter 15 Cap 05\r\n"
    "Saturn 16 Cap 06\r\n"
    "Uranus 17 Cap 07\r\n"
    "Neptune 18 Cap 08\r\n"
    "Pluto 19 Cap 09\r\n"
    "Asc 20 Cap 00\r\n"
    " \r\n"
    "\r\r\n"
    "Element\r\n"
    "Fire is present\r\n"
    "Earth is present\r\n"
    "Air is present\r\n"
    "M-Water is missing\r\nFeelings are kept at a distance.\r\n"
    "\r\n"
    "\r\r\n"
    "Quality\r\n"
    "Cardinal is present\r\n"
    "Fixed is present\r\n"
    "Mutable is present\r\n"
    "\r\n"
    "\r\r\n"
    "House\r\n"
    "Angular is present\r\n"
    "M-Succedent is missing\r\nSecurity comes late.\r\n"
    "Cadent is present\r\n"
    "\r\n";

TEST(ExportText, DialogAndFileByteForByte) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ChartState state = ExportState();
    state.ReadingFileName = Path(dir, "anna.qvn").toStdString();
    WriteAll(Path(dir, "anna.txt"), "an older export that is longer than nothing");
    dialogs.fileAnswers.push_back(Path(dir, "anna.txt"));
    ExportTextCommand(nullptr, state, dialogs, state.ReadingFileName);

    ASSERT_EQ(dialogs.calls.size(), 1u);
    const FileDialogSettings s = dialogs.calls[0].settings;
    EXPECT_EQ(s.title, "Select the destination text file ");
    EXPECT_EQ(s.filter, "Export Chart As Text (*.txt)");
    EXPECT_EQ(s.defaultSuffix, "txt");
    EXPECT_EQ(s.initialName, Path(dir, "anna.txt"));  // the reading's name, as a text file
    EXPECT_TRUE(s.confirmOverwrite);
    EXPECT_FALSE(s.alwaysSuffix);
    EXPECT_TRUE(dialogs.messages().empty());

    EXPECT_EQ(ReadAll(Path(dir, "anna.txt")), QByteArray(kExpectedExport));
    EXPECT_EQ(state.ReadingFileName, Path(dir, "anna.txt").toStdString());
    EXPECT_EQ(Entries(dir.path()), QStringList{"anna.txt"});
}

TEST(ExportText, CancelLeavesAnEarlierExport) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ChartState state = ExportState();
    state.ReadingFileName = "kept.txt";
    WriteAll(Path(dir, "anna.txt"), "earlier");
    dialogs.fileAnswers.push_back(std::nullopt);
    ExportTextCommand(nullptr, state, dialogs, state.ReadingFileName);
    EXPECT_EQ(ReadAll(Path(dir, "anna.txt")), "earlier");
    EXPECT_EQ(state.ReadingFileName, "kept.txt");
    EXPECT_TRUE(dialogs.messages().empty());
}

struct ExportFailure {
    const char* name;
    const char* chosen;
    void (*prepare)(const QString& folder);
    rlim_t sizeLimit;  // 0: none
};

class ExportFailures : public testing::TestWithParam<ExportFailure> {};

TEST_P(ExportFailures, ShowFileAndReasonAndKeepEarlierFiles) {
    QTemporaryDir dir;
    WriteAll(Path(dir, "kept.txt"), "earlier");
    GetParam().prepare(dir.path());
    const QStringList before = Entries(dir.path());
    ScriptedDialogs dialogs;
    ChartState state = ExportState();
    const QString file = Path(dir, GetParam().chosen);
    dialogs.fileAnswers.push_back(file);
    {
        std::optional<test::FileSizeLimit> limit;
        if (GetParam().sizeLimit) limit.emplace(GetParam().sizeLimit);
        ExportTextCommand(nullptr, state, dialogs, state.ReadingFileName);
    }
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(file)) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(Entries(dir.path()), before);
    EXPECT_EQ(ReadAll(Path(dir, "kept.txt")), "earlier");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExportFailures,
    testing::Values(
        ExportFailure{"MissingFolder", "no/such/folder/anna.txt", [](const QString&) {}, 0},
        ExportFailure{"FolderInPlaceOfTheFile", "anna.txt", [](const QString& d) { QDir(d).mkdir("anna.txt"); }, 0},
        ExportFailure{"FullDiskOverAnEarlierExport", "kept.txt", [](const QString&) {}, 64},
        ExportFailure{"ReadOnly", "anna.txt", [](const QString& d) { test::WriteReadOnly(d + "/anna.txt", "old"); }, 0},
        ExportFailure{"Pipe", "anna.txt", [](const QString& d) { test::MakePipe(d + "/anna.txt"); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
