// Pictures of the chart at any size: PNG, JPEG and SVG files drawn afresh
// from a calculated chart, and the chart window's "Save As Picture".
#include <gtest/gtest.h>

#include <QImageReader>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "chart/chart_run.h"
#include "gui/chart/chart_outputs.h"
#include "gui/chart/chart_picture.h"
#include "gui/chart/frm_display.h"
#include "tests/gui_outputs/output_support.h"
#include "tests/support/births.h"
#include "tests/support/scripted_dialogs.h"

namespace qv {
namespace {

using test::Entries;

// A chart calculated by the core, shown in a form off the screen.
struct CalculatedChart {
    ChartState state;
    ChartWheel wheel;
    std::unique_ptr<ChartPictureForm> picture;
    CalculatedChart() {
        LoadFixedLists(state);
        EXPECT_EQ(CalculateChartOfForm(test::FormOf(test::AdaInLondon()), state, wheel), std::nullopt);
        picture = std::make_unique<ChartPictureForm>(state, wheel);
    }
    FrmDisplay& form() { return picture->form(); }
};

// True when every pixel of the column `x` from `top` to `bottom` is white.
bool WhiteColumn(const QImage& image, int x, int top, int bottom) {
    for (int y = top; y <= bottom; ++y)
        if (qGray(image.pixel(x, y)) < 250) return false;
    return true;
}

TEST(PictureFormats, ToldByTheExtensionInAnyCase) {
    const std::pair<const char*, std::optional<PictureFormat>> names[] = {
        {"chart.png", PictureFormat::Png},     {"/a.b/chart.SVG", PictureFormat::Svg},
        {"chart.jpg", PictureFormat::Jpeg},    {"chart.JPEG", PictureFormat::Jpeg},
        {"chart.gif", std::nullopt},           {"chart", std::nullopt},
        {"/pictures.png/chart", std::nullopt}, {".png", std::nullopt},
        {"chart.png.txt", std::nullopt},       {"", std::nullopt}};
    for (const auto& [name, format] : names) EXPECT_EQ(PictureFormatOfName(name), format) << name;
    for (const long long width : {199LL, 8001LL, -1LL, 0LL}) EXPECT_TRUE(PictureWidthRefusal(width)) << width;
    for (const long long width : {200LL, 636LL, 8000LL}) EXPECT_FALSE(PictureWidthRefusal(width)) << width;
}

class RasterPictures : public testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(RasterPictures, DrawnAtTheWidthAskedWithoutScrollBarOrFrame) {
    const auto [name, width] = GetParam();
    CalculatedChart chart;
    const QImage screen = chart.form().grab().toImage();  // as the screen shows it
    // The interpretation is longer than its box: on screen it scrolls.
    ASSERT_GT(chart.form().RTB()->verticalScrollBar()->maximum(), 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    ASSERT_EQ(WriteChartPicture(chart.form(), path, width), std::nullopt);

    QImageReader reader(path);
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    const QSize designed = FrmDisplay::clientSize();
    EXPECT_EQ(image.width(), width);
    EXPECT_NEAR(image.height(), double(width) * designed.height() / designed.width(), 1.0);

    // The box's right edge, where the scroll bar and the frame stood on the
    // screen, is white in the picture; the form itself, grabbed as the
    // screen shows it, has them there.
    const double scale = double(width) / designed.width();
    const QRect box = chart.form().RTB()->geometry();
    const int top = int(box.top() * scale) + 2, bottom = int(box.bottom() * scale) - 2;
    const int right = int((box.right() + 1) * scale);
    for (int x = right - std::max(2, int(2 * scale)); x < right; ++x)
        EXPECT_TRUE(WhiteColumn(image, x, top, bottom)) << "column " << x;
    EXPECT_FALSE(WhiteColumn(screen, box.right() - 1, box.top() + 2, box.bottom() - 2));
    // The form is shown again as it was, still scrolling.
    EXPECT_EQ(chart.form().scale(), 1.0);
    EXPECT_GT(chart.form().RTB()->verticalScrollBar()->maximum(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RasterPictures,
                         testing::Values(std::pair{"small.png", 400}, std::pair{"designed.png", 636},
                                         std::pair{"twice.png", kDefaultPictureWidth}, std::pair{"large.jpg", 2500}));

TEST(SvgPicture, WellFormedWithTheWheelAndGlyphsAsOutlines) {
    CalculatedChart chart;
    for (const int width : {636, 3000}) {
        const QByteArray svg = ChartPictureSvg(chart.form(), width);
        QXmlStreamReader xml(svg);
        int paths = 0, images = 0, texts = 0;
        QString svgWidth;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("svg")) svgWidth = xml.attributes().value("width").toString();
            paths += xml.name() == QLatin1String("path");
            images += xml.name() == QLatin1String("image");
            texts += xml.name() == QLatin1String("text");
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(svgWidth, QString::number(width));
        // The twelve sectors, the cusps, circles and the twelve sign glyphs
        // are paths; not one thing is a bitmap.
        EXPECT_GE(paths, 24) << width;
        EXPECT_EQ(images, 0) << width;
        EXPECT_GT(texts, 0) << width;
        EXPECT_TRUE(svg.contains("Sun")) << width;
    }
}

TEST(PictureFailures, ReportedAndNothingLeft) {
    CalculatedChart chart;
    QTemporaryDir dir;
    const std::pair<QString, int> refused[] = {{dir.filePath("no/such/folder/chart.png"), 800},
                                               {dir.filePath("chart.gif"), 800},
                                               {dir.filePath("chart.png"), 100},
                                               {dir.filePath("chart.svg"), kLargestPictureWidth + 1}};
    for (const auto& [path, width] : refused) {
        const std::optional<QString> failed = WriteChartPicture(chart.form(), path, width);
        ASSERT_TRUE(failed) << path.toStdString();
        EXPECT_TRUE(failed->contains(QFileInfo(path).fileName())) << failed->toStdString();
    }
    EXPECT_TRUE(Entries(dir.path()).isEmpty()) << Entries(dir.path()).join(' ').toStdString();
}

// "Save As Picture": the name chosen, then the width; either cancelled
// writes nothing.
struct SaveCase {
    const char* what;
    std::optional<QString> chosen;  // relative to the folder; nullopt: cancelled
    std::optional<int> width;       // nullopt: cancelled
    QStringList files;              // in the folder afterwards
    int writtenWidth;               // of the first file, 0 when none
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.what; }

class SavePicture : public testing::TestWithParam<SaveCase> {};

TEST_P(SavePicture, WritesWhatWasChosen) {
    const SaveCase& c = GetParam();
    CalculatedChart chart;
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    if (c.chosen)
        dialogs.fileAnswers.push_back(dir.filePath(*c.chosen));
    else
        dialogs.fileAnswers.push_back(std::nullopt);
    dialogs.numberAnswers.push_back(c.width);
    QString lastName;
    int lastWidth = kDefaultPictureWidth;
    SavePictureCommand(nullptr, chart.form(), dialogs, lastName, lastWidth);

    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(Entries(dir.path()), c.files);
    ASSERT_FALSE(dialogs.calls.empty());
    EXPECT_EQ(dialogs.calls[0].settings.title, "Save As Picture");
    if (c.files.isEmpty()) {
        EXPECT_TRUE(lastName.isEmpty());
        return;
    }
    // The width dialog offered twice the designed size, within its range.
    EXPECT_EQ(dialogs.offered, (std::array<int, 3>{kDefaultPictureWidth, kSmallestPictureWidth, kLargestPictureWidth}));
    EXPECT_EQ(lastName, dir.filePath(c.files.front()));
    EXPECT_EQ(lastWidth, c.writtenWidth);
    if (c.files.front().endsWith(".svg")) return;
    EXPECT_EQ(QImageReader(dir.filePath(c.files.front())).size().width(), c.writtenWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SavePicture,
    testing::Values(
        SaveCase{
            "PngAtTheOfferedWidth", QString("chart.png"), kDefaultPictureWidth, {"chart.png"}, kDefaultPictureWidth},
        SaveCase{"WidthDialogCancelled", QString("chart.png"), std::nullopt, {}, 0},
        SaveCase{"PngAtAWidthChosen", QString("chart.png"), 900, {"chart.png"}, 900},
        SaveCase{"JpegByItsExtension", QString("chart.jpeg"), 700, {"chart.jpeg"}, 700},
        SaveCase{"SvgByItsExtension", QString("chart.svg"), 1000, {"chart.svg"}, 1000},
        SaveCase{"NoExtensionMakesAPng", QString("chart"), 800, {"chart.png"}, 800},
        SaveCase{"OtherExtensionKeptInTheName", QString("chart.v2"), 800, {"chart.v2.png"}, 800},
        SaveCase{"FileDialogCancelled", std::nullopt, 800, {}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(SavePicture, NameWithoutExtensionAsksBeforeReplacingThePng) {
    CalculatedChart chart;
    QTemporaryDir dir;
    test::WriteAll(dir.filePath("chart.png"), "earlier");
    test::ScriptedDialogs dialogs;
    dialogs.fileAnswers.push_back(dir.filePath("chart"));
    dialogs.questionAnswers.push_back(false);
    QString lastName;
    int lastWidth = kDefaultPictureWidth;
    SavePictureCommand(nullptr, chart.form(), dialogs, lastName, lastWidth);
    EXPECT_EQ(test::ReadAll(dir.filePath("chart.png")), "earlier");
    ASSERT_EQ(dialogs.calls.size(), 2u);
    EXPECT_EQ(dialogs.calls[1].kind, test::DialogCall::Question);
}

}  // namespace
}  // namespace qv
