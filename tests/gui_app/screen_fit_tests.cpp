// The birth-data form's window fits the screen's work area with its menu bar
// in sight, and the part of the form that does not fit scrolls. ctest runs
// this also on a 1920 x 1200 screen at twice the scale (gui_app_large_scale).
#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

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
    // Tab reaches the last buttons, which are in sight under the scrolling part.
    auto* calculate = child<QPushButton>("cmdCalculate");
    box("txtName")->setFocus();
    for (int i = 0; i < 40 && !calculate->hasFocus(); ++i) QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_TRUE(calculate->hasFocus());
    const QRect shown(calculate->mapTo(form, QPoint(0, 0)), calculate->size());
    EXPECT_TRUE(form->rect().contains(shown));
    EXPECT_GE(shown.top(), scroll->mapTo(form, QPoint(0, scroll->height())).y());
}

TEST_F(AppTest, TheButtonsStayInViewOutsideTheScrollingPart) {
    auto* scroll = child<QScrollArea>("frmMainScroll");
    for (const char* name : {"cmdCalculate", "cmdOpen", "chkPrecise"}) {
        QWidget* w = child<QWidget>(name);
        EXPECT_FALSE(scroll->isAncestorOf(w)) << name;
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect inWindow(w->mapTo(form, QPoint(0, 0)), w->size());
        EXPECT_TRUE(form->rect().contains(inWindow)) << name;
    }
}

TEST_F(AppTest, TheWindowGrowsWithItsNoteLinesUpToTheWorkArea) {
    auto* scroll = child<QScrollArea>("frmMainScroll");
    QRect area = form->screen()->availableGeometry();
    area.setTop(area.top() + form->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int before = form->height();
    // Both note lines at once, several lines each.
    const QString note =
        QStringLiteral("A note the atlas wrote about the place chosen, long enough to wrap. ").repeated(4);
    for (const char* name : {"lblAtlas", "lblCityNote"}) {
        auto* line = child<QLabel>(name);
        line->setText(note);
        line->setMinimumHeight(line->heightForWidth(line->width()));
        line->show();
    }
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_GE(form->height(), before);
    // Either the whole form is seen, or the window has all the work area's height.
    const bool scrolls = scroll->widget()->sizeHint().height() > scroll->viewport()->height();
    const int frame = form->frameGeometry().height() - form->height();
    EXPECT_TRUE(!scrolls || form->frameGeometry().height() >= area.height() - frame)
        << "window " << form->height() << " of " << area.height();
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()))
        << form->frameGeometry().y() << "+" << form->frameGeometry().height();
}

TEST_F(AppTest, EmptyNoteLinesAreNotRead) {
    auto* line = child<QLabel>("lblAtlas");
    auto* group = qobject_cast<QWidget*>(line->parent());
    ASSERT_NE(group, nullptr);
    QAccessibleInterface* groupFace = QAccessible::queryAccessibleInterface(group);
    ASSERT_NE(groupFace, nullptr);
    const auto read = [groupFace] {
        QStringList names;
        for (int i = 0; i < groupFace->childCount(); ++i)
            if (QAccessibleInterface* c = groupFace->child(i)) names << c->object()->objectName();
        return names;
    };
    EXPECT_EQ(groupFace->text(QAccessible::Name), "Birth");
    ASSERT_TRUE(line->isHidden());
    EXPECT_FALSE(read().contains("lblAtlas"));
    EXPECT_TRUE(read().contains("txtName"));
    line->setText(QStringLiteral("Found in the atlas"));
    line->show();
    EXPECT_TRUE(read().contains("lblAtlas"));
}

}  // namespace
}  // namespace qv::test
