// libquorvane-picture.so: the Qt side of --picture, opened by the command
// only when a picture is asked for (cli/picture_writer.h).
#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/picture_writer.h"
#include "gui/chart/chart_picture.h"

namespace {

// One application for the command's whole run, on Qt's offscreen platform
// unless the caller chose one: the command needs no display.
void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    // Qt's notes about the session (no runtime folder, no fonts cache) are
    // not the command's messages; a failure reaches the user as its own.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quorvane-report";
    static char* argv[] = {name, nullptr};
    // Left to the end of the process, which takes it away with everything else.
    new QApplication(argc, argv);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool qv_write_chart_picture(const qv::report::PictureRequest& request,
                                                                              std::string& error) {
    if (!request.state || !request.wheel || !request.path) {
        error = "The picture request is incomplete";
        return false;
    }
    EnsureApplication();
    qv::ChartPictureForm picture(*request.state, *request.wheel);
    if (const auto failed =
            qv::WriteChartPicture(picture.form(), QString::fromLocal8Bit(request.path), request.width)) {
        error = failed->toStdString();
        return false;
    }
    return true;
}
