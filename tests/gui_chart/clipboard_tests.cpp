// The interpretation box keeps its text from being copied out, and takes
// back its own text from the clipboard, but never what was copied elsewhere.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

struct TakenCase {
    const char* clipboard;
    const char* box;
    bool taken;
};

void PrintTo(const TakenCase& c, std::ostream* os) { *os << '"' << c.clipboard << '"'; }

class TakenFromBox : public ::testing::TestWithParam<TakenCase> {};

TEST_P(TakenFromBox, OnlyAPieceOfTheBoxLongEnoughToBeItsText) {
    EXPECT_EQ(IsTextTakenFromBox(QString::fromUtf8(GetParam().clipboard), QString::fromUtf8(GetParam().box)),
              GetParam().taken)
        << GetParam().clipboard;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TakenFromBox,
    ::testing::Values(
        TakenCase{"You may not be able to express", "Water\nYou may not be able to express your emotions.", true},
        TakenCase{"Water\nYou may not be able", "Water\nYou may not be able to express your emotions.", true},
        // Line breaks and runs of blanks compare loosely (CR LF from another program).
        TakenCase{"Water\r\nYou   may not", "Water\nYou may not be able to express your emotions.", true},
        TakenCase{"  express your emotions.  \n", "Water\nYou may not be able to express your emotions.", true},
        // A word or two that happens to occur in the box is the user's own.
        TakenCase{"Water", "Water\nYou may not be able to express your emotions.", false},
        TakenCase{"Fire element", "You have Fire element present in your chart.", false},
        TakenCase{"Meeting at ten tomorrow", "You have Fire element present in your chart.", false},
        TakenCase{"", "You have Fire element present in your chart.", false},
        TakenCase{"You have Fire element present", "", false},
        TakenCase{"you have fire element present", "You have Fire element present in your chart.", false}));

// How the mouse or the program can touch the box.
struct Touch {
    const char* label;
    std::function<void(FrmDisplay&, const ChartState&)> act;
};

void Move(FrmDisplay& d, const ChartState&) {
    QWidget* vp = d.RTB()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 30), vp->mapToGlobal(QPointF(20, 30)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
}
void Press(FrmDisplay& d, const ChartState&) { QTest::mousePress(d.RTB()->viewport(), Qt::LeftButton, {}, {20, 30}); }
void Release(FrmDisplay& d, const ChartState&) {
    QTest::mouseRelease(d.RTB()->viewport(), Qt::LeftButton, {}, {20, 30});
}
void Click(FrmDisplay& d, const ChartState&) { QTest::mouseClick(d.RTB()->viewport(), Qt::LeftButton, {}, {20, 30}); }
void Redraw(FrmDisplay& d, const ChartState& s) { d.showInterpretation(s.InterpretationRuns); }

void PrintTo(const Touch& t, std::ostream* os) { *os << t.label; }

class ClipboardGuard : public ChartTest, public ::testing::WithParamInterface<Touch> {
protected:
    void SetUp() override { Show(London()); }
    QClipboard* clipboard() const { return QGuiApplication::clipboard(); }
    // A whole line of the box as it shows it.
    QString LineOfTheBox() const {
        const QStringList lines = display()->RTB()->toPlainText().split(u'\n');
        for (const QString& l : lines)
            if (l.size() > 30) return l;
        return {};
    }
};

TEST_P(ClipboardGuard, ForeignTextSurvives) {
    for (const char* foreign : {"Meeting at ten tomorrow, room 4", "Fire", "Element"}) {
        clipboard()->setText(QString::fromLatin1(foreign));
        GetParam().act(*display(), state);
        EXPECT_EQ(clipboard()->text(), QLatin1String(foreign)) << foreign;
    }
    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>bold words from elsewhere</b>"));
    rich->setText(QStringLiteral("bold words from elsewhere"));
    clipboard()->setMimeData(rich);
    GetParam().act(*display(), state);
    ASSERT_NE(clipboard()->mimeData(), nullptr);
    EXPECT_TRUE(clipboard()->mimeData()->hasHtml());
}

TEST_P(ClipboardGuard, TextFromTheBoxIsTakenBack) {
    const QString line = LineOfTheBox();
    ASSERT_FALSE(line.isEmpty());
    for (const QString& taken : {line, line.mid(5, 20), QStringLiteral("Element\r\n") + line.left(25)}) {
        if (!display()->RTB()->toPlainText().contains(taken) && !taken.startsWith(QLatin1String("Element"))) continue;
        clipboard()->setText(taken);
        GetParam().act(*display(), state);
        EXPECT_TRUE(clipboard()->text().isEmpty()) << taken.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Touches, ClipboardGuard,
                         ::testing::Values(Touch{"MouseMove", Move}, Touch{"MouseDown", Press},
                                           Touch{"MouseUp", Release}, Touch{"Click", Click}, Touch{"Change", Redraw}),
                         [](const auto& info) { return std::string(info.param.label); });

class NoWayToCopy : public ChartTest {
protected:
    void SetUp() override {
        Show(London());
        QGuiApplication::clipboard()->setText(QStringLiteral("copied in another program"));
    }
    void ExpectClipboardUntouched() const {
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "copied in another program");
        EXPECT_FALSE(display()->RTB()->textCursor().hasSelection());
    }
};

TEST_F(NoWayToCopy, DraggingTheMouseSelectsNothing) {
    QWidget* vp = display()->RTB()->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, {5, 5});
    for (int x = 10; x <= 140; x += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, x), vp->mapToGlobal(QPointF(x, x)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
    }
    QTest::mouseRelease(vp, Qt::LeftButton, {}, {140, 140});
    QTest::mouseDClick(vp, Qt::LeftButton, {}, {20, 20});
    ExpectClipboardUntouched();
}

TEST_F(NoWayToCopy, CopyKeysDoNothing) {
    InterpretationBox* box = display()->RTB();
    for (auto [key, mods] :
         {std::pair{Qt::Key_A, Qt::ControlModifier}, std::pair{Qt::Key_C, Qt::ControlModifier},
          std::pair{Qt::Key_Insert, Qt::ControlModifier}, std::pair{Qt::Key_X, Qt::ControlModifier}}) {
        QTest::keyClick(box, key, mods);
        QTest::keyClick(box->viewport(), key, mods);
    }
    box->copy();  // even the slot finds nothing selected
    ExpectClipboardUntouched();
}

TEST_F(NoWayToCopy, ContextMenuOffersNothing) {
    QWidget* vp = display()->RTB()->viewport();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 20), vp->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(vp, &menu);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    ExpectClipboardUntouched();
}

TEST_F(NoWayToCopy, BoxIsReadOnlyAndStillScrolls) {
    InterpretationBox* box = display()->RTB();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_FALSE(box->acceptDrops());
    // The long interpretation can still be read to its end.
    QScrollBar* bar = box->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(box, Qt::Key_PageDown);
    EXPECT_GT(bar->value(), 0);
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_PageDown);
    QTest::keyClick(box, Qt::Key_PageDown);
    QTest::keyClick(box, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), bar->maximum());
    ExpectClipboardUntouched();
}

}  // namespace
}  // namespace qv::test
