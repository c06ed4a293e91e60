// quorvane: the desktop program. `quorvane [FILE.qvn]` opens the program, and
// the reading when one is given (a second start hands it to the first).
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstring>

#include "ephemeris/chart_engine.h"
#include "gui/common/program_identity.h"
#include "gui/common/user_dialogs.h"
#include "gui/startup/app_controller.h"
#include "gui/startup/single_instance.h"
#include "state/atomic_file.h"

namespace {

void DescribeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Natal charts and what they lack."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A saved reading (.qvn) to open."),
                                 QStringLiteral("[file]"));
}

// --help and --version are answered without opening a window, so they work
// where no display is reachable.
bool AsksForTextOnly(int argc, char* argv[]) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--") == 0) return false;
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[k], option) == 0) return true;
    }
    return false;
}

void NameTheProgram() {
    QCoreApplication::setApplicationName(QString::fromLatin1(qv::kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qv::kProgramVersion));
}

}  // namespace

int main(int argc, char* argv[]) {
    qv::ReportFileSizeLimitAsError();
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        NameTheProgram();
        QCommandLineParser parser;
        DescribeCommandLine(parser);
        parser.process(app);  // prints and ends the process
        return 0;
    }

    QApplication app(argc, argv);
    NameTheProgram();
    // The installed desktop entry and icon (see packaging/).
    QGuiApplication::setDesktopFileName(QStringLiteral(QV_DESKTOP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quorvane")));
    // The birth-data form is hidden while the chart window is shown, and
    // "Back" closes the chart window before the form comes back: the program
    // ends only through EndProgram, never because no window is visible.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("quorvane: give one reading at most (see --help)\n", stderr);
        return 2;
    }
    QString file = files.value(0);
    if (file.startsWith(QLatin1String("file:"))) file = QUrl(file).toLocalFile();
    if (!file.isEmpty()) file = QFileInfo(file).absoluteFilePath();

    qv::QtUserDialogs dialogs;
    qv::SingleInstance instance;
    if (!qv::EnsureSingleInstance(instance, dialogs, file)) return 0;

    qv::AppController controller(dialogs);
    controller.setPreciseEngine(qv::EphemerisEngine());
    QObject::connect(&controller, &qv::AppController::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&instance, &qv::SingleInstance::activationRequested, &controller,
                     &qv::AppController::raiseCurrentWindow);
    QObject::connect(&instance, &qv::SingleInstance::openRequested, &controller, &qv::AppController::OpenGivenReading);
    controller.start();
    if (!file.isEmpty()) QTimer::singleShot(0, &controller, [&controller, file] { controller.OpenGivenReading(file); });
    return app.exec();
}
