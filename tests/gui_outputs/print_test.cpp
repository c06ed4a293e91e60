#include <gtest/gtest.h>

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>

#include "app/birth_form.h"
#include "app/chart_run.h"
#include "chartview/ui/chart_outputs.h"
#include "chartview/ui/frm_display.h"
#include "tests/gui_outputs/output_support.h"
#include "tests/support/scripted_dialogs.h"

namespace qv {
namespace {

using test::Entries;
using test::ReadAll;
using test::ScriptedDialogs;
using test::WriteAll;

// A display form showing a calculated chart, as the chart window fills it.
struct ShownChart {
    ChartState state;
    ChartWheel wheel;
    std::unique_ptr<FrmDisplay> display;

    ShownChart() {
        BirthFormData f;
        f.txtName = "Anna Maria";
        f.cboMonth = 0;
        f.cboDate = 0;
        f.cboYear = 1950 - 1901;
        f.cboHour = 0;
        f.cboMinute = 5;
        f.cboTimeZone = 9;
        f.txtLatD = "47";
        f.txtLatM = "22";
        f.txtLonD = "8";
        f.txtLonM = "32";
        f.optLatSouth = 0;
        f.optLongEast = 0;
        f.txtCity = "Zurich";
        f.txtState = "ZH";
        f.txtCountry = "Switzerland";
        LoadFixedLists(state);
        RunChartCalculation(f, state, wheel);
        display = std::make_unique<FrmDisplay>(state);
        display->showPositions(state);
        display->showWheel(wheel);
        display->showInterpretation(state.InterpretationRuns);
    }
};

// The text of a PDF file as pdftotext extracts it; pages end in a form feed.
QString PdfText(const QString& pdf) {
    const QString tool = QStringLiteral(QV_PDFTOTEXT);
    if (tool.isEmpty() || tool.endsWith("NOTFOUND")) {
        ADD_FAILURE() << "pdftotext is missing (Debian package poppler-utils)";
        return {};
    }
    QProcess run;
    run.start(tool, {"-enc", "UTF-8", pdf, "-"});
    if (!run.waitForFinished(60000) || run.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString();
        return {};
    }
    return QString::fromUtf8(run.readAllStandardOutput());
}

TEST(PrintChart, APdfFileHoldsTheChartAsText) {
    QTemporaryDir dir;
    ShownChart chart;
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath("chart.pdf");
    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs);

    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages()[0].toStdString();
    ASSERT_EQ(Entries(dir.path()), QStringList{"chart.pdf"});
    EXPECT_TRUE(ReadAll(dir.filePath("chart.pdf")).startsWith("%PDF-"));

    const QString text = PdfText(dir.filePath("chart.pdf"));
    const QString firstPage = text.section(QChar('\f'), 0, 0).simplified();
    // Personal data, positions and the wheel on the first page.
    for (const char* expected : {"Name: Anna Maria", "Date of Birth: January 1, 1950", "City: Zurich",
                                 "Planetary Positions", "Personal Information", "Neptune"})
        EXPECT_TRUE(firstPage.contains(QString::fromUtf8(expected))) << expected << "\n" << firstPage.toStdString();
    for (int k = 0; k <= 10; ++k) {
        const QString position = QString::fromStdString(chart.state.PlanetPosition[k]).simplified();
        EXPECT_TRUE(firstPage.contains(position)) << position.toStdString();
    }
    // The whole interpretation, also the part the box has to scroll to.
    QString interpretation;
    for (const StyledRun& run : chart.state.InterpretationRuns) interpretation += QString::fromStdString(run.text);
    const QStringList paragraphs = interpretation.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(paragraphs.isEmpty());
    const QString all = text.simplified();
    // Letters stay letters: no ligature glyphs such as U+FB00 "ff".
    for (QChar c : all) EXPECT_FALSE(c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06) << all.toStdString();
    EXPECT_TRUE(all.contains("can affect your")) << all.toStdString();
    EXPECT_TRUE(all.contains(paragraphs.first().simplified())) << paragraphs.first().toStdString();
    EXPECT_TRUE(all.contains(paragraphs.last().simplified())) << paragraphs.last().toStdString();
}

TEST(PrintChart, CancelPrintsNothing) {
    QTemporaryDir dir;
    ShownChart chart;
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath("chart.pdf");
    dialogs.printAnswers.push_back(false);
    PrintCommand(nullptr, *chart.display, dialogs);
    EXPECT_EQ(dialogs.calls.size(), 1u);
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

struct PrintFailure {
    const char* name;
    const char* file;
    void (*prepare)(const QString& folder);
    rlim_t sizeLimit;  // 0: none
};

class PrintFailures : public testing::TestWithParam<PrintFailure> {};

TEST_P(PrintFailures, ShowTheFileAndKeepEarlierOnes) {
    QTemporaryDir dir;
    WriteAll(dir.filePath("earlier.pdf"), "an earlier print");
    GetParam().prepare(dir.path());
    const QStringList before = Entries(dir.path());
    ShownChart chart;
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath(GetParam().file);
    dialogs.printAnswers.push_back(true);
    {
        std::optional<test::FileSizeLimit> limit;
        if (GetParam().sizeLimit) limit.emplace(GetParam().sizeLimit);
        PrintCommand(nullptr, *chart.display, dialogs);
    }
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].contains(dir.filePath(GetParam().file))) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(dialogs.calls.back().icon, MessageIcon::Error);
    EXPECT_EQ(Entries(dir.path()), before);
    EXPECT_EQ(ReadAll(dir.filePath("earlier.pdf")), "an earlier print");
}

INSTANTIATE_TEST_SUITE_P(
    Files, PrintFailures,
    testing::Values(PrintFailure{"MissingFolder", "no/such/folder/chart.pdf", [](const QString&) {}, 0},
                    PrintFailure{"FolderInPlaceOfTheFile", "chart.pdf",
                                 [](const QString& d) { QDir(d).mkdir("chart.pdf"); }, 0},
                    PrintFailure{"FullDiskOverAnEarlierPrint", "earlier.pdf", [](const QString&) {}, 4096},
                    PrintFailure{"ReadOnlyEarlierPrint", "earlier.pdf",
                                 [](const QString& d) { test::WriteReadOnly(d + "/earlier.pdf", "an earlier print"); },
                                 0},
                    PrintFailure{"Pipe", "chart.pdf", [](const QString& d) { test::MakePipe(d + "/chart.pdf"); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegOfTheDisplayForm, DecodesToTheFormsSize) {
    QTemporaryDir dir, temp;
    test::TempFolderRedirect redirect(temp.path());
    ShownChart chart;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(dir.filePath("chart"));
    SaveJpegCommand(nullptr, *chart.display, dialogs);

    EXPECT_TRUE(dialogs.messages().empty());
    ASSERT_EQ(Entries(dir.path()), QStringList{"chart.jpg"});
    EXPECT_TRUE(Entries(temp.path()).isEmpty());
    QImageReader reader(dir.filePath("chart.jpg"));
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage picture = reader.read();
    const qreal ratio = chart.display->devicePixelRatioF();
    EXPECT_EQ(picture.size(), (QSizeF(FrmDisplay::clientSize()) * ratio).toSize());
    // The capture went into the hidden picture box, the names into the hidden boxes.
    EXPECT_FALSE(chart.display->picture().isNull());
    EXPECT_EQ(chart.display->txtFile()->text(), "chart.jpg");
    EXPECT_EQ(chart.display->txtFolder()->text(), dir.path());
}

}  // namespace
}  // namespace qv
