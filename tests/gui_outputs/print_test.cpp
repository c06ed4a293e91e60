#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include "chart/aspect_text.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "gui/chart/chart_outputs.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/print.h"
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

    ShownChart() : ShownChart("Anna Maria", "Zurich", "ZH", "Switzerland") {}
    ShownChart(std::string name, std::string city, std::string region, std::string country) {
        const auto refused = CalculateChartOf({.name = std::move(name),
                                               .local = {1950, 1, 1, 0, 5},
                                               .zoneSlot = 9,
                                               .latitude = {47, 22},
                                               .longitude = {8, 32},
                                               .city = std::move(city),
                                               .state = std::move(region),
                                               .country = std::move(country)},
                                              state, wheel);
        EXPECT_EQ(refused, std::nullopt);
        display = std::make_unique<FrmDisplay>(state);
        display->showPositions(state);
        display->showWheel(state, wheel);
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

// One word of a PDF file as pdftotext places it: page (from 1) and box in points.
struct PdfWord {
    int page;
    QRectF box;
    QString text;
};

// Every word of a PDF file with its box, and the size of its first page.
std::vector<PdfWord> PdfWords(const QString& pdf, QSizeF* pageSize) {
    QProcess run;
    run.start(QStringLiteral(QV_PDFTOTEXT), {"-bbox", pdf, "-"});
    if (!run.waitForFinished(60000) || run.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext -bbox failed on " << pdf.toStdString();
        return {};
    }
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    std::vector<PdfWord> words;
    int page = 0;
    static const QRegularExpression item(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            if (++page == 1) *pageSize = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
            continue;
        }
        words.push_back({page,
                         QRectF(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                                QPointF(m.captured(5).toDouble(), m.captured(6).toDouble())),
                         m.captured(7)});
    }
    return words;
}

TEST(PrintChart, APreciseChartsHeadingIsOnThePage) {
    QTemporaryDir dir;
    ShownChart chart;
    chart.state.PositionSource = PositionsFrom::Ephemeris;
    chart.display->showPositions(chart.state);
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath("chart.pdf");
    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs);
    const QString firstPage = PdfText(dir.filePath("chart.pdf")).section(QChar('\f'), 0, 0).simplified();
    EXPECT_TRUE(firstPage.contains("Planetary Positions (ephemeris)")) << firstPage.toStdString();
}

TEST(PrintChart, TheChartWindowsLinesAreUnderTheChart) {
    QTemporaryDir dir;
    ShownChart chart;
    chart.display->setChartNotes({QStringLiteral("14:30 IST (UTC+5:30) = 09:00 UT"),
                                  QStringLiteral("Same chart for births from 13:53 to 16:05 (ascendant in Libra).")});
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath("chart.pdf");
    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs);
    const QString firstPage = PdfText(dir.filePath("chart.pdf")).section(QChar('\f'), 0, 0).simplified();
    EXPECT_TRUE(firstPage.contains("09:00 UT")) << firstPage.toStdString();
    EXPECT_TRUE(firstPage.contains("Same chart for births from 13:53 to 16:05")) << firstPage.toStdString();
}

// The aspect grid goes under the chart on page 1, every orb of the chart's
// aspects in it, and the chart above it as before; without aspects, none.
TEST(PrintChart, ThePageCarriesTheAspectGrid) {
    QTemporaryDir dir;
    ShownChart chart;
    ASSERT_GT(chart.state.Aspects.count, 3);
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = dir.filePath("chart.pdf");
    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs, &chart.state.Aspects);
    QSizeF pageSize;
    const std::vector<PdfWord> words = PdfWords(dir.filePath("chart.pdf"), &pageSize);
    double tableTop = -1, legendTop = -1;
    QStringList firstPage;
    for (const PdfWord& w : words) {
        if (w.page != 1) continue;
        firstPage << w.text;
        if (w.text == "Positions") tableTop = w.box.top();
        if (w.text == "conjunction") legendTop = w.box.top();
    }
    for (const Aspect& x : chart.state.Aspects)
        EXPECT_TRUE(firstPage.contains(QString::fromStdString(AspectOrbText(x.orb)))) << AspectOrbText(x.orb);
    // The grid under the chart: its legend in the lower part of the page.
    EXPECT_GT(tableTop, 0);
    EXPECT_GT(legendTop, pageSize.height() / 3) << "the grid under the chart";

    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs);
    EXPECT_FALSE(PdfText(dir.filePath("chart.pdf")).section(QChar('\f'), 0, 0).contains("conjunction"));
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
    for (const StyledRun& run : chart.state.InterpretationRuns)
        interpretation += QString::fromStdString(run.text.str());
    const QStringList paragraphs = interpretation.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(paragraphs.isEmpty());
    const QString all = text.simplified();
    // Letters stay letters: no ligature glyphs such as U+FB00 "ff".
    for (QChar c : all) EXPECT_FALSE(c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06) << all.toStdString();
    EXPECT_TRUE(all.contains("can affect your")) << all.toStdString();
    EXPECT_TRUE(all.contains(paragraphs.first().simplified())) << paragraphs.first().toStdString();
    EXPECT_TRUE(all.contains(paragraphs.last().simplified())) << paragraphs.last().toStdString();
    // Page 1 is the chart alone: nothing of the interpretation box, which
    // would come clipped and with its scroll bar.
    for (const QString& p : paragraphs) EXPECT_FALSE(firstPage.contains(p.simplified().left(30))) << p.toStdString();

    // Page 1 inside the margins of 15 mm, the text pages in readable type.
    QSizeF page;
    const std::vector<PdfWord> words = PdfWords(dir.filePath("chart.pdf"), &page);
    ASSERT_FALSE(words.empty());
    const double margin = 15 / 25.4 * 72 - 0.5;  // points
    const QRectF printable(margin, margin, page.width() - 2 * margin, page.height() - 2 * margin);
    double smallestText = 1e9;
    for (const PdfWord& w : words) {
        if (w.page == 1)
            EXPECT_TRUE(printable.contains(w.box)) << w.text.toStdString();
        else
            smallestText = std::min(smallestText, w.box.height());
    }
    // A word's box is about 1.16 times its type size in this typeface.
    EXPECT_GE(smallestText, 1.1 * 10.0);
}

// Prints `chart` into `pdf` through the print command.
void PrintToPdf(ShownChart& chart, const QString& pdf) {
    ScriptedDialogs dialogs;
    dialogs.printerOutputFile = pdf;
    dialogs.printAnswers.push_back(true);
    PrintCommand(nullptr, *chart.display, dialogs);
    EXPECT_TRUE(dialogs.messages().empty());
}

// On paper there is room: the personal data are printed whole, wrapped in
// their columns, and no word on the page lies over another. On screen the
// lines are cut again.
TEST(PrintChart, LongPersonalDataArePrintedWholeAndWrapped) {
    QTemporaryDir dir;
    ShownChart chart("Maximiliana Alexandrina Fitzgerald Montgomery of Wessex",
                     "Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch",
                     "Saint Helena Ascension and Tristan da Cunha",
                     "United Kingdom of Great Britain and Northern Ireland");
    PrintToPdf(chart, dir.filePath("chart.pdf"));
    QSizeF page;
    std::vector<PdfWord> words = PdfWords(dir.filePath("chart.pdf"), &page);
    std::erase_if(words, [](const PdfWord& w) { return w.page != 1; });
    auto box = [&words](const QString& text) {
        auto it = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == text; });
        return it == words.end() ? QRectF() : it->box;
    };
    // The left column read line by line, from "Name:" down, left of "Date".
    std::vector<PdfWord> column;
    std::copy_if(words.begin(), words.end(), std::back_inserter(column), [&](const PdfWord& w) {
        return w.box.left() > box("Name:").left() - 0.5 && w.box.right() < box("Date").left() &&
               w.box.top() > box("Name:").top() - 0.5;
    });
    std::sort(column.begin(), column.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::pair(std::lround(a.box.top()), a.box.left()) < std::pair(std::lround(b.box.top()), b.box.left());
    });
    QString read;
    for (const PdfWord& w : column) read += w.text;
    for (const char* label : {"lblName", "lblCity", "lblState", "lblCountry"})
        EXPECT_TRUE(read.contains(chart.display->personalLabel(label)->text().remove(' '))) << read.toStdString();
    EXPECT_GT(box("Wessex").top(), box("Maximiliana").top() + 1);
    for (std::size_t a = 0; a < words.size(); ++a)
        for (std::size_t b = a + 1; b < words.size(); ++b)
            EXPECT_FALSE(words[a].box.adjusted(0.5, 0.5, -0.5, -0.5).intersects(words[b].box))
                << words[a].text.toStdString() << " over " << words[b].text.toStdString();
    EXPECT_TRUE(
        static_cast<ElidedLabel*>(chart.display->personalLabel("lblName"))->shownText().endsWith(QChar(0x2026)));
    EXPECT_EQ(chart.display->Frame1()->height(), 87);
}

// The page shows the form as designed, whatever size the window shows it at.
TEST(PrintChart, AFormShownLargerPrintsTheSamePage) {
    QTemporaryDir dir;
    ShownChart chart;
    PrintToPdf(chart, dir.filePath("designed.pdf"));
    chart.display->setScale(2.5);
    PrintToPdf(chart, dir.filePath("larger.pdf"));
    EXPECT_DOUBLE_EQ(chart.display->scale(), 2.5);
    EXPECT_EQ(chart.display->size(), FrmDisplay::clientSize(2.5));
    QSizeF page;
    const std::vector<PdfWord> designed = PdfWords(dir.filePath("designed.pdf"), &page);
    const std::vector<PdfWord> larger = PdfWords(dir.filePath("larger.pdf"), &page);
    ASSERT_EQ(designed.size(), larger.size());
    for (std::size_t i = 0; i < designed.size(); ++i) {
        EXPECT_EQ(larger[i].text, designed[i].text) << i;
        EXPECT_EQ(larger[i].page, designed[i].page) << i;
        EXPECT_NEAR(larger[i].box.left(), designed[i].box.left(), 0.01) << designed[i].text.toStdString();
        EXPECT_NEAR(larger[i].box.top(), designed[i].box.top(), 0.01) << designed[i].text.toStdString();
    }
}

TEST(PrintChart, PrintedInterpretationKeepsColoursAndBoldInReadableType) {
    ShownChart chart;
    const QTextDocument& box = *chart.display->RTB()->document();
    const std::unique_ptr<QTextDocument> printed = PrintedInterpretation(box);
    EXPECT_GE(printed->defaultFont().pointSizeF(), 10.0);
    EXPECT_EQ(printed->toPlainText(), box.toPlainText());
    // The same runs: each fragment's colour and weight as on screen.
    auto runs = [](const QTextDocument& d) {
        QStringList out;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                out << QStringLiteral("%1|%2|%3")
                           .arg(it.fragment().charFormat().foreground().color().name())
                           .arg(it.fragment().charFormat().fontWeight() >= QFont::Bold)
                           .arg(it.fragment().text());
        return out;
    };
    const QStringList shown = runs(box);
    EXPECT_EQ(runs(*printed), shown);
    EXPECT_GT(shown.filter(QStringLiteral("|1|")).size(), 0);
    EXPECT_GT(shown.filter(QStringLiteral("|0|")).size(), 0);
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
    testing::Values(
        PrintFailure{"MissingFolder", "no/such/folder/chart.pdf", [](const QString&) {}, 0},
        PrintFailure{"FolderInPlaceOfTheFile", "chart.pdf", [](const QString& d) { QDir(d).mkdir("chart.pdf"); }, 0},
        PrintFailure{"FullDiskOverAnEarlierPrint", "earlier.pdf", [](const QString&) {}, 4096},
        PrintFailure{"ReadOnlyEarlierPrint", "earlier.pdf",
                     [](const QString& d) { test::WriteReadOnly(d + "/earlier.pdf", "an earlier print"); }, 0},
        PrintFailure{"Pipe", "chart.pdf", [](const QString& d) { test::MakePipe(d + "/chart.pdf"); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// At the designed size, also when the window shows the form larger.
class JpegOfTheDisplayForm : public testing::TestWithParam<double> {};

TEST_P(JpegOfTheDisplayForm, DecodesToTheFormsDesignedSize) {
    QTemporaryDir dir, temp;
    test::TempFolderRedirect redirect(temp.path());
    ShownChart chart;
    chart.display->setScale(GetParam());
    ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(dir.filePath("chart"));
    QString lastName;
    SaveJpegCommand(nullptr, *chart.display, dialogs, lastName);

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
    EXPECT_DOUBLE_EQ(chart.display->scale(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scales, JpegOfTheDisplayForm, testing::Values(1.0, 1.8));

}  // namespace
}  // namespace qv
