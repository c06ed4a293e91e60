// quorvane: the desktop program.
#include <QApplication>

#include "app/atomic_file.h"
#include "startup/app_controller.h"
#include "startup/single_instance.h"
#include "ephemeris/chart_engine.h"
#include "ui/program_identity.h"
#include "ui/user_dialogs.h"

int main(int argc, char* argv[]) {
    qv::ReportFileSizeLimitAsError();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qv::kProgramName));
    QApplication::setApplicationVersion(QString::fromLatin1(qv::kProgramVersion));
    // The birth-data form is hidden while the chart window is shown, and
    // "Back" closes the chart window before the form comes back: the program
    // ends only through EndProgram, never because no window is visible.
    QApplication::setQuitOnLastWindowClosed(false);

    qv::QtUserDialogs dialogs;
    qv::SingleInstance instance;
    if (!qv::EnsureSingleInstance(instance, dialogs)) return 0;

    qv::AppController controller(dialogs);
    controller.setPreciseEngine(qv::EphemerisEngine());
    QObject::connect(&controller, &qv::AppController::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&instance, &qv::SingleInstance::activationRequested, &controller,
                     &qv::AppController::raiseCurrentWindow);
    controller.start();
    return app.exec();
}
