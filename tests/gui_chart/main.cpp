// Widget tests of the chart window and the display form: one QApplication
// for all of them, on the offscreen platform unless another is asked for.
//
// With "--show" the program instead shows one calculated chart in a chart
// window until it is closed, for looking at the window on a real screen
// ("--second": another person; "--stellium": seven bodies and the ascendant
// in one house; "--crowded": every body in one house; "--long": a long name
// and city).
#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <cstring>
#include <string>

#include "tests/gui_chart/chart_fixture.h"

namespace {

int ShowChart(QApplication& app, bool second, bool stellium, bool crowded, bool longTexts) {
    qv::ChartState state;
    qv::ChartWheel wheel;
    qv::BirthFormData person = second     ? qv::test::Basel()
                               : stellium ? qv::test::FormOf(qv::test::StelliumInChicago())
                                          : qv::test::London();
    if (longTexts) {
        person.txtName = "Maximiliana Alexandrina Fitzgerald Montgomery of Wessex";
        person.txtCity = "Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch";
    }
    qv::test::Calculate(person, state, wheel);
    std::array<std::string, 10> marked;  // the crowded chart's labels, shown until the window closes
    if (crowded) {
        // Every body in the first house, most of them retrograde.
        for (qv::WheelBox& box : wheel.signBoxes) box = {};
        qv::WheelBox& first = wheel.signBoxes[static_cast<std::size_t>(wheel.firstHouseSign)];
        for (std::size_t k = 0; k < marked.size(); ++k) {
            marked[k] = state.BodyLabel[k].str();
            if (k >= 2 && marked[k].find("(R)") == std::string::npos) marked[k] += " (R) ";
            state.BodyLabel[k] = qv::FixedText::Of(marked[k]);
        }
        first.bodies = 0b1111111111;
        first.ascendant = true;
    }
    qv::test::ScriptedDialogs dialogs;
    qv::ChartWindow window(state, dialogs);
    QObject::connect(&window, &qv::ChartWindow::endProgramRequested, &app, &QApplication::quit);
    QObject::connect(&window, &qv::ChartWindow::backRequested, &app, &QApplication::quit);
    QObject::connect(&window, &qv::ChartWindow::newRequested, &app, &QApplication::quit);
    window.showChart(wheel);
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    bool show = false, second = false, stellium = false, crowded = false, longTexts = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crowded") == 0) crowded = true;
        if (std::strcmp(argv[i], "--show") == 0) show = true;
        if (std::strcmp(argv[i], "--second") == 0) second = true;
        if (std::strcmp(argv[i], "--stellium") == 0) stellium = true;
        if (std::strcmp(argv[i], "--long") == 0) longTexts = true;
    }
    if (!show && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (show) return ShowChart(app, second, stellium, crowded, longTexts);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
