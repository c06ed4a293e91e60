// The birth-data form's window fits the screen's work area with its menu bar
// in sight, and the part of the form that does not fit scrolls. ctest runs
// this also on a 1920 x 1200 screen at twice the scale (gui_app_large_scale).
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

TEST_F(AppTest, WindowFitsTheWorkAreaAndTheFormScrolls) {
    const QRect area = form->screen()->availableGeometry();
    const QRect frame = form->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height() << " in " << area.width() << "x" << area.height();
    EXPECT_TRUE(form->menuBar()->isVisible());
    EXPECT_GE(form->menuBar()->mapToGlobal(QPoint(0, 0)).y(), area.top());

    auto* scroll = child<QScrollArea>("frmMainScroll");
    ASSERT_NE(scroll, nullptr);
    const bool tooTall = scroll->widget()->minimumSizeHint().height() > scroll->viewport()->height();
    EXPECT_EQ(scroll->verticalScrollBar()->maximum() > 0, tooTall);
    // Tab reaches the last buttons, and they are scrolled into sight.
    auto* calculate = child<QPushButton>("cmdCalculate");
    box("txtName")->setFocus();
    for (int i = 0; i < 40 && !calculate->hasFocus(); ++i) QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_TRUE(calculate->hasFocus());
    const QRect shown(calculate->mapTo(scroll->viewport(), QPoint(0, 0)), calculate->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(shown));
}

}  // namespace
}  // namespace qv::test
