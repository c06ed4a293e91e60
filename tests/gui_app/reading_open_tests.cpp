// Opening a saved reading as a user does: with the form's "Open" button in
// the desktop program and with quorvane-report --reading. The same file gets
// the same answer from both, and a refused file changes nothing.
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "chart/chart_run.h"
#include "formats/reading_file.h"
#include "tests/gui_app/app_fixture.h"
#include "tests/support/births.h"

namespace qv::test {
namespace {

struct CommandResult {
    int status;
    QString err;
};

CommandResult RunCommand(const QString& file) {
    QProcess command;
    command.start(QStringLiteral(QV_BINARY_DIR "/cli/quorvane-report"), {"--reading", file});
    EXPECT_TRUE(command.waitForFinished(30000)) << "quorvane-report did not run";
    return {command.exitCode(), QString::fromUtf8(command.readAllStandardError())};
}

// The lines of Asha's saved reading.
ReadingLines AshaLines() {
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

using Bytes = std::function<std::string(ReadingLines)>;

Bytes WithLine(std::size_t line, std::string text) {
    return [=](ReadingLines lines) {
        lines[line] = text;
        return BytesOf(lines);
    };
}

struct OpenCase {
    const char* what;
    const char* file;
    Bytes bytes;
    std::string message;  // empty: the chart opens
    bool refused;         // the file is refused and the form keeps what it held
};

TEST_F(AppTest, ReadingsOpenOrAreRefusedAlikeInBothFrontEnds) {
    const OpenCase cases[] = {
        {"saved reading", "asha.qvn", [](ReadingLines l) { return BytesOf(l); }, "", false},
        {"year out of the list", "x.qvn", WithLine(3, "1850"),
         "The reading \"x.qvn\" is damaged: line 4 (year) holds \"1850\".", true},
        {"month 13", "x.qvn", WithLine(1, "13"), "The reading \"x.qvn\" is damaged: line 2 (month) holds \"13\".",
         true},
        {"zone with a leading zero", "x.qvn", WithLine(6, "034"),
         "The reading \"x.qvn\" is damaged: line 7 (time zone) holds \"034\".", true},
        {"flag in lower case", "x.qvn", WithLine(11, "true"),
         "The reading \"x.qvn\" is damaged: line 12 (longitude direction) holds \"true\".", true},
        {"control character", "x.qvn", WithLine(4, "14\x1b"),
         "The reading \"x.qvn\" is damaged: line 5 (hour) holds \"14\\x1b\".", true},
        {"written with another key", "x.qvn",
         [](ReadingLines l) {
             std::string bytes = BytesOf(l);
             for (char& c : bytes)
                 if (c != '\r' && c != '\n') ++c;
             return bytes;
         },
         "The reading \"x.qvn\" is damaged: line 4 (year) holds \"2:86\".", true},
        {"no bytes", "x.qvn", [](ReadingLines) { return std::string(); },
         "The reading \"x.qvn\" is empty: it holds no birth data.", true},
        {"line ends only", "x.qvn", [](ReadingLines) { return std::string("\r\n\r\n\r\n"); },
         "The reading \"x.qvn\" is empty: it holds no birth data.", true},
        {"ten lines", "x.qvn",
         [](ReadingLines l) {
             std::string bytes;
             for (std::size_t i = 0; i < 10; ++i) bytes += EncodeReadingText(l[i]) + "\r\n";
             return bytes;
         },
         "The reading \"x.qvn\" is incomplete: line 11 (latitude minutes) is missing.", true},
        {"name of blanks", "x.qvn", WithLine(0, "   "), "Please Enter Your Name", false},
        {"capital extension", "x.QVN", [](ReadingLines l) { return BytesOf(l); }, "Please Check The File.", true},
    };
    QTemporaryDir dir;
    for (const OpenCase& c : cases) {
        const QString file = dir.filePath(QString::fromLatin1(c.file));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(QByteArray::fromStdString(c.bytes(AshaLines())));
        out.close();

        const CommandResult command = RunCommand(file);
        EXPECT_EQ(command.status, c.message.empty() ? 0 : 2) << c.what;
        EXPECT_EQ(command.err, c.message.empty() ? QString() : QString::fromStdString(c.message + "\n")) << c.what;

        enter(kCarl);
        const BirthFormData before = form->formData();
        dialogs.clear();
        dialogs.script.fileAnswers.push_back(file);
        click("cmdOpen");
        settle();
        const std::vector<QString> expected =
            c.message.empty() ? std::vector<QString>{} : std::vector<QString>{QString::fromStdString(c.message)};
        EXPECT_EQ(dialogs.messages(), expected) << c.what;
        if (c.refused) EXPECT_EQ(form->formData(), before) << c.what;
        EXPECT_EQ(chart() != nullptr, c.message.empty()) << c.what;
        if (chart()) {  // the chart of the file; then back to the form for the next case
            EXPECT_EQ(app->state().BirthName, "Asha") << c.what;
            QTest::mouseClick(chart()->findChild<QPushButton*>(QStringLiteral("cmdBack")), Qt::LeftButton);
            settle();
        }
    }
}

}  // namespace
}  // namespace qv::test
