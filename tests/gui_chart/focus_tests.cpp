// The chart window's keyboard: Tab and Shift+Tab go round every part that
// takes the focus, and the part that has it shows it.
#include <QApplication>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QTextEdit>

#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

class FocusTest : public ChartTest {
protected:
    void SetUp() override {
        Show(London());
        window->setChartNotes(QStringLiteral("Born 12:00"), QStringLiteral("The chart holds for an hour"));
    }
    QString focusedName() const {
        const QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QStringLiteral("(none)");
    }
    QStringList chainNames() const {
        QStringList names;
        for (const QWidget* w : window->focusChain()) names << w->objectName();
        return names;
    }
    // Presses `key` with `modifiers` where the focus is.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, key, modifiers);
    }
};

// The aspect grid beside the display form comes after the chart's parts.
const QStringList kChain = {"RTB",           "fraWestern",    "picAspects", "lblBirthMoment",
                            "lblTimeWindow", "cmdSaveAsJPEG", "cmdBack",    "cmdExit"};

struct Step {
    const char* from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* to;
};

TEST_F(FocusTest, TabGoesRoundEveryPartBothWays) {
    EXPECT_EQ(chainNames(), kChain);
    // clang-format off
    const Step steps[] = {
        {"RTB",            Qt::Key_Tab,     Qt::NoModifier,      "fraWestern"},
        {"fraWestern",     Qt::Key_Tab,     Qt::NoModifier,      "picAspects"},
        {"picAspects",     Qt::Key_Tab,     Qt::NoModifier,      "lblBirthMoment"},
        {"lblBirthMoment", Qt::Key_Tab,     Qt::NoModifier,      "lblTimeWindow"},
        {"lblTimeWindow",  Qt::Key_Tab,     Qt::NoModifier,      "cmdSaveAsJPEG"},
        {"cmdSaveAsJPEG",  Qt::Key_Tab,     Qt::NoModifier,      "cmdBack"},
        {"cmdBack",        Qt::Key_Tab,     Qt::NoModifier,      "cmdExit"},
        {"cmdExit",        Qt::Key_Tab,     Qt::NoModifier,      "RTB"},
        {"RTB",            Qt::Key_Backtab, Qt::ShiftModifier,   "cmdExit"},
        {"cmdExit",        Qt::Key_Backtab, Qt::ShiftModifier,   "cmdBack"},
        {"lblBirthMoment", Qt::Key_Backtab, Qt::ShiftModifier,   "picAspects"},
        {"picAspects",     Qt::Key_Backtab, Qt::ShiftModifier,   "fraWestern"},
        {"fraWestern",     Qt::Key_Backtab, Qt::ShiftModifier,   "RTB"},
        {"RTB",            Qt::Key_Tab,     Qt::ControlModifier, "fraWestern"},
        {"cmdExit",        Qt::Key_Tab,     Qt::ControlModifier, "RTB"},
    };
    // clang-format on
    for (const Step& s : steps) {
        window->findChild<QWidget*>(QString::fromLatin1(s.from))->setFocus();
        ASSERT_EQ(focusedName(), s.from);
        press(s.key, s.modifiers);
        EXPECT_EQ(focusedName(), s.to) << s.from << " " << QKeySequence(s.key | s.modifiers).toString().toStdString();
    }
}

TEST_F(FocusTest, TheInterpretationTakesTabAsMovingOn) {
    QTextEdit* box = display()->RTB();
    const QString before = box->toPlainText();
    box->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(box->toPlainText(), before);
    EXPECT_TRUE(box->tabChangesFocus());
    EXPECT_FALSE(box->hasFocus());
}

TEST_F(FocusTest, TheChainFollowsThePanelsThere) {
    // Without the strip, its lines are left out.
    entry("mnuStatusBar")->trigger();
    EXPECT_EQ(chainNames(), (QStringList{"RTB", "fraWestern", "picAspects", "cmdSaveAsJPEG", "cmdBack", "cmdExit"}));
    entry("mnuStatusBar")->trigger();
    // Without the aspect grid (View > Aspects), the grid is left out.
    entry("mnuAspects")->trigger();
    QStringList withoutGrid = kChain;
    withoutGrid.removeAll(QStringLiteral("picAspects"));
    EXPECT_EQ(chainNames(), withoutGrid);
    entry("mnuAspects")->trigger();
    EXPECT_EQ(chainNames(), kChain);
    // A panel put into the window's column comes in its place, before the
    // buttons.
    auto* panel = new QPushButton(QStringLiteral("grid"));
    panel->setObjectName(QStringLiteral("panelAdded"));
    window->centralWidget()->layout()->addWidget(panel);
    panel->show();
    QStringList expected = kChain;
    expected.insert(5, QStringLiteral("panelAdded"));
    EXPECT_EQ(chainNames(), expected);
    window->findChild<QWidget*>(QStringLiteral("lblTimeWindow"))->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "panelAdded");
}

TEST_F(FocusTest, TheFocusedPartShowsARing) {
    QWidget* table = display()->fraWestern();
    const QImage before = table->grab().toImage();
    table->setFocus();
    ASSERT_TRUE(table->hasFocus());
    const QImage focused = table->grab().toImage();
    EXPECT_NE(focused, before);
    // The ring is the banner's colour along the edge.
    EXPECT_EQ(focused.pixelColor(table->width() / 2, 1), QColor(104, 45, 123));
    // A picture of the chart carries no ring.
    const QPixmap picture = display()->captureClientArea();
    display()->setFocus();
    EXPECT_EQ(picture.toImage(), display()->captureClientArea().toImage());
}

}  // namespace
}  // namespace qv::test
