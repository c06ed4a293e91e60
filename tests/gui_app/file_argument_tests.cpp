// A reading given to the program (`quorvane chart.qvn`, or handed over by a
// second start) opens as "Open Previously Saved Reading" opens the same
// file: the same chart, or the same message and nothing changed.
#include <QTemporaryDir>

#include "chart/chart_run.h"
#include "formats/reading_file.h"
#include "gui/common/user_dialogs.h"
#include "tests/gui_app/app_fixture.h"
#include "tests/support/births.h"

namespace qv::test {
namespace {

ReadingLines AshaReadingLines() {
    ChartState state;
    ChartWheel wheel;
    EXPECT_EQ(CalculateChartOf(Asha(), state, wheel), std::nullopt);
    return MakeReadingLines(state);
}

// A file of these lines, each encoded and ended by CR LF.
std::string BytesOf(const ReadingLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += EncodeReadingText(line) + "\r\n";
    return bytes;
}

QString WriteBytes(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    const QString file = dir.filePath(QString::fromLatin1(name));
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(QByteArray::fromStdString(bytes));
    return file;
}

struct GivenCase {
    const char* what;
    const char* file;
    std::function<std::string(ReadingLines)> bytes;  // nullptr: no such file
    bool opens;                                      // the chart of the file is shown
};

class FileArgumentTest : public AppTest {
public:
    QTemporaryDir dir;

    // What opening `file` through the form's Open button shows, from the
    // form holding Carl's data.
    std::vector<QString> openedWithTheButton(const QString& file) {
        enter(kCarl);
        dialogs.clear();
        dialogs.script.fileAnswers.push_back(file);
        click("cmdOpen");
        settle();
        const std::vector<QString> shown = dialogs.messages();
        leaveChart();
        return shown;
    }
    void leaveChart() {
        if (chart() && chart()->isVisible()) {
            QTest::mouseClick(chart()->findChild<QPushButton*>(QStringLiteral("cmdBack")), Qt::LeftButton);
            settle();
        }
    }
};

TEST_F(FileArgumentTest, AGivenReadingOpensAsTheOpenButtonOpensIt) {
    const GivenCase cases[] = {
        {"a saved reading", "asha.qvn", [](ReadingLines l) { return BytesOf(l); }, true},
        {"a damaged year", "damaged.qvn",
         [](ReadingLines l) {
             l[3] = "1850";
             return BytesOf(l);
         },
         false},
        {"an empty file", "empty.qvn", [](ReadingLines) { return std::string(); }, false},
        {"lines missing", "short.qvn",
         [](ReadingLines l) {
             std::string bytes;
             for (std::size_t i = 0; i < 10; ++i) bytes += EncodeReadingText(l[i]) + "\r\n";
             return bytes;
         },
         false},
        {"not a reading's name", "asha.txt", [](ReadingLines l) { return BytesOf(l); }, false},
        {"a missing file", "missing.qvn", nullptr, false},
    };
    for (const GivenCase& c : cases) {
        const QString file = c.bytes ? WriteBytes(dir, c.file, c.bytes(AshaReadingLines())) : dir.filePath(c.file);
        const std::vector<QString> withButton = openedWithTheButton(file);
        EXPECT_EQ(withButton.empty(), c.opens) << c.what;

        enter(kCarl);
        const BirthFormData before = form->formData();
        dialogs.clear();
        app->OpenGivenReading(file);
        settle();
        EXPECT_EQ(dialogs.messages(), withButton) << c.what;
        EXPECT_EQ(chart() != nullptr && chart()->isVisible(), c.opens) << c.what;
        EXPECT_NE(form->isVisible(), c.opens) << c.what;
        if (c.opens) EXPECT_EQ(app->state().BirthName, "Asha") << c.what;
        // A file refused as a whole leaves the form as it was.
        if (!c.opens) EXPECT_EQ(form->formData(), before) << c.what;
        leaveChart();
    }
}

// Given while a chart is shown: a good reading replaces the chart, a refused
// one leaves it on show with the message.
TEST_F(FileArgumentTest, AGivenReadingReplacesTheChartOnShowOnlyWhenItOpens) {
    const QString good = WriteBytes(dir, "asha.qvn", BytesOf(AshaReadingLines()));
    ReadingLines damagedLines = AshaReadingLines();
    damagedLines[1] = "13";
    const QString damaged = WriteBytes(dir, "damaged.qvn", BytesOf(damagedLines));

    enter(kCarl);
    click("cmdCalculate");
    settle();
    ASSERT_TRUE(chart() && chart()->isVisible());
    ASSERT_EQ(app->state().BirthName, "Carl Gustav");

    dialogs.clear();
    app->OpenGivenReading(damaged);
    settle();
    EXPECT_EQ(
        dialogs.messages(),
        std::vector<QString>{QStringLiteral("The reading \"damaged.qvn\" is damaged: line 2 (month) holds \"13\".")});
    EXPECT_TRUE(chart() && chart()->isVisible());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(app->state().BirthName, "Carl Gustav");

    dialogs.clear();
    app->OpenGivenReading(good);
    settle();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(chart() && chart()->isVisible());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(app->state().BirthName, "Asha");
}

}  // namespace
}  // namespace qv::test
