#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

#include "gui/chart/chart_outputs.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/picture.h"
#include "gui/common/user_dialogs.h"
#include "tests/gui_outputs/output_support.h"
#include "tests/support/scripted_dialogs.h"

namespace qv {
namespace {

using test::Entries;
using test::ReadAll;
using test::WriteAll;

// A display form with a name in its personal data and the name the JPEG
// dialog offers, as the chart window keeps them.
struct SampleForm {
    ChartState state;
    std::unique_ptr<FrmDisplay> display;
    QString lastJpegName;
    SampleForm() {
        state.BirthName = "Anna Maria";
        display = std::make_unique<FrmDisplay>(state);
    }
    void save(test::ScriptedDialogs& dialogs) { SaveJpegCommand(nullptr, *display, dialogs, lastJpegName); }
};

struct SplitCase {
    const char* name;
    QString path;
    QString folder, file;  // expected; "keep" when left as they were
};

class SplitPathRules : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathRules, SplitsAtTheLastSeparator) {
    QString folder = "keep", file = "keep";
    SplitPath(GetParam().path, folder, file);
    EXPECT_EQ(folder, GetParam().folder);
    EXPECT_EQ(file, GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitPathRules,
                         testing::Values(SplitCase{"Plain", "/home/a/chart.jpg", "/home/a", "chart.jpg"},
                                         SplitCase{"DottedFolder", "/home/a.b/chart.jpg", "/home/a.b", "chart.jpg"},
                                         SplitCase{"Root", "/chart.jpg", "", "chart.jpg"},
                                         SplitCase{"TrailingSeparator", "/home/a/", "/home/a", ""},
                                         SplitCase{"NoSeparatorLeavesBoth", "chart.jpg", "keep", "keep"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CutCase {
    const char* name;
    QString chosen, expected;
};

class CutAtFirstDot : public testing::TestWithParam<CutCase> {};

TEST_P(CutAtFirstDot, OnlyTheFileNameIsCut) { EXPECT_EQ(JpegPathFromChosen(GetParam().chosen), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Names, CutAtFirstDot,
                         testing::Values(CutCase{"NoExtension", "/w/chart", "/w/chart.jpg"},
                                         CutCase{"Jpg", "/w/chart.jpg", "/w/chart.jpg"},
                                         CutCase{"UpperCaseFromTheDialog", "/w/chart.JPG", "/w/chart.jpg"},
                                         CutCase{"SeveralDots", "/w/my.chart.jpg", "/w/my.jpg"},
                                         CutCase{"DottedFolder", "/w/v1.2/chart", "/w/v1.2/chart.jpg"},
                                         CutCase{"DottedFolderAndName", "/w/v1.2/my.chart.png", "/w/v1.2/my.jpg"},
                                         CutCase{"TrailingDot", "/w/chart.", "/w/chart.jpg"},
                                         CutCase{"NoFolder", "chart.bmp", "chart.jpg"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DateStamp, SeventeenDigitsOrTheDateAlone) {
    const QString full = DateStampName(false);
    const QString date = DateStampName(true);
    EXPECT_TRUE(QRegularExpression("^\\d{17}$").match(full).hasMatch()) << full.toStdString();
    EXPECT_TRUE(QRegularExpression("^(19|20)\\d{2}(0[1-9]|1[0-2])(0[1-9]|[12]\\d|3[01])$").match(date).hasMatch())
        << date.toStdString();
}

TEST(FileExists, OnlyRegularFilesCount) {
    QTemporaryDir dir;
    WriteAll(dir.filePath("a.jpg"), "x");
    QDir(dir.path()).mkdir("folder.jpg");
    EXPECT_TRUE(FileExists(dir.filePath("a.jpg")));
    EXPECT_FALSE(FileExists(dir.filePath("folder.jpg")));
    EXPECT_FALSE(FileExists(dir.filePath("missing.jpg")));
}

struct UniqueCase {
    const char* name;
    QStringList existing;  // files present before
    QString file;          // file name handed in
    QString expected;      // name chosen; empty = refused
};

class UniqueNames : public testing::TestWithParam<UniqueCase> {};

TEST_P(UniqueNames, FirstFreeNumberedCopy) {
    QTemporaryDir dir;
    for (const QString& name : GetParam().existing) WriteAll(dir.filePath(name), "old");
    test::ScriptedDialogs dialogs;
    const QString got = UniqueJpegPath(dir.path(), GetParam().file, nullptr, dialogs);
    if (GetParam().expected.isEmpty()) {
        EXPECT_TRUE(got.isEmpty()) << got.toStdString();
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0], "There are too many Copies of this file  " + GetParam().file);
        EXPECT_EQ(dialogs.calls[0].icon, MessageIcon::Error);
    } else {
        EXPECT_EQ(got, dir.path() + "/" + GetParam().expected);
        EXPECT_TRUE(dialogs.messages().empty());
    }
}

QStringList AllCopies(const QString& stem, int upTo, int skip = 0) {
    QStringList names{stem + ".jpg"};
    for (int n = 1; n <= upTo; ++n)
        if (n != skip) names << QStringLiteral("%1_%2.jpg").arg(stem).arg(n, 3, 10, QChar('0'));
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Copies, UniqueNames,
    testing::Values(UniqueCase{"Free", {}, "chart.jpg", "chart.jpg"},
                    UniqueCase{"NoDotGetsJpg", {}, "chart", "chart.jpg"},
                    UniqueCase{"BmpBecomesJpg", {}, "chart.bmp", "chart.jpg"},
                    UniqueCase{"Existing", {"chart.jpg"}, "chart.jpg", "chart_001.jpg"},
                    UniqueCase{"TwoExisting", {"chart.jpg", "chart_001.jpg"}, "chart.jpg", "chart_002.jpg"},
                    UniqueCase{"GapIsFilled", {"chart.jpg", "chart_002.jpg"}, "chart.jpg", "chart_001.jpg"},
                    UniqueCase{"OnlyLastFree", AllCopies("chart", 999, 999), "chart.jpg", "chart_999.jpg"},
                    UniqueCase{"AllTaken", AllCopies("chart", 999), "chart.jpg", ""},
                    UniqueCase{"OtherNamesDoNotCount", {"chart.jpeg", "Chart_x.jpg"}, "chart.jpg", "chart.jpg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UniqueNames, TooManyCopiesMessageCarriesItsTitle) {
    QTemporaryDir dir;
    for (const QString& name : AllCopies("my", 999)) WriteAll(dir.filePath(name), "old");
    test::TitleRecorder dialogs;
    EXPECT_TRUE(UniqueJpegPath(dir.path(), "my.jpg", nullptr, dialogs).isEmpty());
    EXPECT_EQ(dialogs.titles, QStringList{" UNABLE  TO  CREATE  NEW  FILEmy.jpg"});
    EXPECT_EQ(dialogs.texts, QStringList{"There are too many Copies of this file  my.jpg"});
}

TEST(UniqueNames, FolderIsNormalised) {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(UniqueJpegPath(dir.path() + "//", "a.jpg", nullptr, dialogs), dir.path() + "/a.jpg");
    EXPECT_EQ(UniqueJpegPath(dir.path(), "a.jpg", nullptr, dialogs), dir.path() + "/a.jpg");
    // No folder: the program's own.
    EXPECT_EQ(UniqueJpegPath("", "a.jpg", nullptr, dialogs), QCoreApplication::applicationDirPath() + "/a.jpg");
    // No name: today's date.
    EXPECT_EQ(UniqueJpegPath(dir.path(), "", nullptr, dialogs), dir.path() + "/" + DateStampName(true) + ".jpg");
}

TEST(BmpToJpeg, ConvertsAndReportsFailures) {
    QTemporaryDir dir;
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("in.bmp"), "BMP"));

    QString error;
    EXPECT_TRUE(BmpToJpeg(dir.filePath("in.bmp"), dir.filePath("out.jpg"), 100, &error)) << error.toStdString();
    QImageReader reader(dir.filePath("out.jpg"));
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.read().size(), QSize(40, 30));

    EXPECT_FALSE(BmpToJpeg(dir.filePath("missing.bmp"), dir.filePath("none.jpg"), 100, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(BmpToJpeg(dir.filePath("in.bmp"), dir.filePath("no/such/folder/x.jpg"), 100, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Entries(dir.path()), QStringList({"in.bmp", "out.jpg"}));
}

// The JPEG command on a chart-like form, with the temporary folder watched.
class JpegCommand : public testing::Test {
protected:
    QTemporaryDir dir;
    QTemporaryDir temp;
    test::TempFolderRedirect redirect{temp.path()};
    test::ScriptedDialogs dialogs;
    SampleForm form;

    void Save(const QString& chosen) {
        dialogs.fileAnswers.push_back(chosen);
        form.save(dialogs);
    }
    QString At(const QString& name) const { return dir.path() + "/" + name; }
};

TEST_F(JpegCommand, DialogAndNumberedCopies) {
    Save(At("chart"));
    Save(At("chart"));
    Save(At("chart.jpg"));
    EXPECT_EQ(Entries(dir.path()), QStringList({"chart.jpg", "chart_001.jpg", "chart_002.jpg"}));
    EXPECT_TRUE(dialogs.messages().empty());

    ASSERT_EQ(dialogs.calls.size(), 3u);
    const FileDialogSettings& s = dialogs.calls[0].settings;
    EXPECT_EQ(s.filter, "JPEG Image (*.jpg)");
    EXPECT_EQ(s.defaultSuffix.toLower(), "jpg");
    EXPECT_FALSE(s.confirmOverwrite);  // never overwrites
    // The dialog offers the name of the picture the last choice made.
    EXPECT_TRUE(dialogs.calls[0].settings.initialName.isEmpty());
    EXPECT_EQ(dialogs.calls[2].settings.initialName, At("chart.jpg"));

    EXPECT_EQ(form.display->txtFile()->text(), "chart.jpg");
    EXPECT_EQ(form.display->txtFolder()->text(), dir.path());
    EXPECT_TRUE(Entries(temp.path()).isEmpty()) << Entries(temp.path()).join(' ').toStdString();
}

TEST_F(JpegCommand, PictureHasTheFormsSizeAndLook) {
    Save(At("my.chart.jpg"));
    ASSERT_EQ(Entries(dir.path()), QStringList({"my.jpg"}));
    QImageReader reader(At("my.jpg"));
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage picture = reader.read();
    const qreal ratio = form.display->devicePixelRatioF();
    EXPECT_EQ(picture.size(), (QSizeF(form.display->size()) * ratio).toSize());
    // White background, the dark name in the personal data at the top.
    EXPECT_GT(qGray(picture.pixel(picture.width() - 5, picture.height() - 5)), 240);
    int darkest = 255;
    for (int y = 14; y < 32; ++y)
        for (int x = 184; x < 300; ++x) darkest = std::min(darkest, qGray(picture.pixel(x, y)));
    EXPECT_LT(darkest, 128);
}

TEST_F(JpegCommand, DottedFolderIsKept) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("charts.2026"));
    Save(At("charts.2026/chart"));
    EXPECT_EQ(Entries(At("charts.2026")), QStringList({"chart.jpg"}));
}

TEST_F(JpegCommand, CancelWritesNothing) {
    Save(At("chart"));
    dialogs.fileAnswers.push_back(std::nullopt);
    form.save(dialogs);
    EXPECT_EQ(Entries(dir.path()), QStringList({"chart.jpg"}));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(JpegCommand, TooManyCopiesWritesNothing) {
    for (const QString& name : AllCopies("chart", 999)) WriteAll(At(name), "old");
    Save(At("chart.jpg"));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], "There are too many Copies of this file  chart.jpg");
    EXPECT_EQ(Entries(dir.path()).size(), 1000);
    EXPECT_EQ(ReadAll(At("chart_999.jpg")), "old");
    EXPECT_TRUE(Entries(temp.path()).isEmpty());
}

struct JpegFailure {
    const char* name;
    QString chosen;                   // below the scratch folder
    void (*prepare)(const QString&);  // given the scratch folder
};

class JpegFailures : public testing::TestWithParam<JpegFailure> {};

TEST_P(JpegFailures, ShowAMessageAndLeaveNoFile) {
    QTemporaryDir dir, temp;
    test::TempFolderRedirect redirect(temp.path());
    GetParam().prepare(dir.path());
    const QStringList before = Entries(dir.path());
    test::ScriptedDialogs dialogs;
    SampleForm form;
    dialogs.fileAnswers.push_back(dir.path() + "/" + GetParam().chosen);
    form.save(dialogs);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.calls.back().icon, MessageIcon::Error);
    EXPECT_TRUE(dialogs.messages()[0].contains(dir.path())) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(Entries(dir.path()), before);
    EXPECT_TRUE(Entries(temp.path()).isEmpty()) << Entries(temp.path()).join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JpegFailures,
    testing::Values(JpegFailure{"MissingFolder", "no/such/folder/chart.jpg", [](const QString&) {}},
                    JpegFailure{"FolderInPlaceOfTheFile", "chart.jpg",
                                [](const QString& d) { QDir(d).mkdir("chart.jpg"); }},
                    JpegFailure{"FileInPlaceOfTheFolder", "notes/chart.jpg",
                                [](const QString& d) { WriteAll(d + "/notes", "a file"); }},
                    JpegFailure{"Pipe", "chart.jpg", [](const QString& d) { test::MakePipe(d + "/chart.jpg"); }},
                    JpegFailure{"LinkToADevice", "chart.jpg",
                                [](const QString& d) { QFile::link("/dev/null", d + "/chart.jpg"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegFailures, AFullDiskLeavesNeitherPictureNorTemporaryFile) {
    QTemporaryDir dir, temp;
    test::TempFolderRedirect redirect(temp.path());
    test::ScriptedDialogs dialogs;
    SampleForm form;
    dialogs.fileAnswers.push_back(dir.path() + "/chart.jpg");
    {
        test::FileSizeLimit limit(1000);
        form.save(dialogs);
    }
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(Entries(dir.path()).isEmpty()) << Entries(dir.path()).join(' ').toStdString();
    EXPECT_TRUE(Entries(temp.path()).isEmpty());
}

}  // namespace
}  // namespace qv
