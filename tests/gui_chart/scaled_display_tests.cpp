// The display form scaled to fill the chart window: in proportion, every
// control inside the form and none over another, the picture at the designed
// size, the zoom entries, and the form centred again after every resize.
#include <QGroupBox>
#include <QMdiArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

// The form's four regions and their designed rectangles (pixels).
const std::pair<const char*, QRect> kRegions[4] = {{"RTB", QRect(0, 0, 167, 253)},
                                                   {"fraWestern", QRect(0, 260, 167, 267)},
                                                   {"Frame1", QRect(176, 0, 450, 87)},
                                                   {"picNatal", QRect(176, 96, 450, 431)}};

// Each of `widgets` lies inside `parent` and meets none of the others.
void ExpectInsideAndApart(const QWidget* parent, const QList<QWidget*>& widgets) {
    for (qsizetype a = 0; a < widgets.size(); ++a) {
        const QRect r = widgets[a]->geometry();
        EXPECT_TRUE(parent->rect().contains(r))
            << widgets[a]->objectName().toStdString() << " outside " << parent->objectName().toStdString();
        for (qsizetype b = a + 1; b < widgets.size(); ++b)
            EXPECT_FALSE(r.intersects(widgets[b]->geometry()))
                << widgets[a]->objectName().toStdString() << " over " << widgets[b]->objectName().toStdString();
    }
}

// The children of `frame` a user sees: those that start inside it (the
// spare rows of the position table lie below its edge, as designed).
QList<QWidget*> SeenChildren(QWidget* frame) {
    QList<QWidget*> seen;
    for (QWidget* w : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(frame) && w->y() < frame->height()) seen << w;
    return seen;
}

class AtWindowSize : public ChartTest, public ::testing::WithParamInterface<QSize> {
protected:
    void SetUp() override {
        Show(London());
        window->setWindowState(Qt::WindowNoState);
        window->resize(GetParam());
        QCoreApplication::processEvents();
    }
};

TEST_P(AtWindowSize, FormFillsTheAreaInProportion) {
    const double scale = display()->scale();
    EXPECT_DOUBLE_EQ(scale, window->displayScale());
    EXPECT_EQ(display()->size(), FrmDisplay::clientSize(scale));
    const QSize room = window->area()->maximumViewportSize();
    const QSize frame = window->displayFrame()->size();
    if (GetParam().width() < FrmDisplay::clientSize().width()) {
        // Never below the designed size: the area scrolls.
        EXPECT_DOUBLE_EQ(scale, 1.0);
        EXPECT_GT(window->area()->horizontalScrollBar()->maximum(), 0);
    } else {
        EXPECT_GT(scale, 1.0);
        EXPECT_LE(frame.width(), room.width());
        EXPECT_LE(frame.height(), room.height());
        EXPECT_TRUE(room.width() - frame.width() <= 1 || room.height() - frame.height() <= 1)
            << "room " << room.width() << "x" << room.height() << ", frame " << frame.width() << "x" << frame.height();
        EXPECT_EQ(window->area()->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(window->area()->verticalScrollBar()->maximum(), 0);
    }
    // Every region where the design puts it, times the scale; the type too.
    for (const auto& [name, designed] : kRegions) {
        const QRect r = child<QWidget>(QString::fromLatin1(name))->geometry();
        EXPECT_NEAR(r.left(), designed.left() * scale, 1.0) << name;
        EXPECT_NEAR(r.top(), designed.top() * scale, 1.0) << name;
        EXPECT_NEAR(r.right() + 1, (designed.right() + 1) * scale, 1.0) << name;
        EXPECT_NEAR(r.bottom() + 1, (designed.bottom() + 1) * scale, 1.0) << name;
    }
    EXPECT_DOUBLE_EQ(child<QLabel>("Planet_0")->font().pointSizeF(), 9.75 * scale);
    EXPECT_DOUBLE_EQ(display()->RTB()->font().pointSizeF(), 8.25 * scale);
    EXPECT_DOUBLE_EQ(display()->personalLabel("lblName")->font().pointSizeF(), 8.25 * scale);
    EXPECT_DOUBLE_EQ(display()->picNatal()->scale(), scale);
}

TEST_P(AtWindowSize, EveryControlInsideTheFormAndNoneOverAnother) {
    QList<QWidget*> regions;
    for (const auto& [name, designed] : kRegions) regions << child<QWidget>(QString::fromLatin1(name));
    ExpectInsideAndApart(display(), regions);
    for (const char* frame : {"Frame1", "fraWestern"}) {
        QWidget* f = child<QWidget>(QString::fromLatin1(frame));
        const QList<QWidget*> seen = SeenChildren(f);
        EXPECT_EQ(seen.size(), f->objectName() == "Frame1" ? 8 : 22) << frame;
        ExpectInsideAndApart(f, seen);
    }
    // Personal data and positions are not cut.
    EXPECT_EQ(static_cast<ElidedLabel*>(display()->personalLabel("lblDOB"))->shownText(),
              display()->personalLabel("lblDOB")->text());
    for (int k = 0; k <= 10; ++k) {
        QLabel* planet = display()->planet(k);
        EXPECT_LE(planet->fontMetrics().horizontalAdvance(planet->text()), planet->width()) << k;
    }
    // The wheel: boxes, glyphs and numbers in their houses, boxes apart.
    NatalWheel* wheel = display()->picNatal();
    QList<QWidget*> boxes;
    for (int h = 0; h < 12; ++h) {
        auto centre = [](const QWidget* w) { return QRectF(w->geometry()).center(); };
        EXPECT_EQ(wheel->houseAt(centre(wheel->signImage(h))), h + 1) << h;
        EXPECT_EQ(wheel->houseAt(centre(wheel->houseNumber(h))), h == 0 ? 12 : h) << h;
        if (wheel->houseBox(h)->shownLines().isEmpty()) continue;
        EXPECT_EQ(wheel->houseAt(centre(wheel->houseBox(h))), h + 1) << h;
        EXPECT_TRUE(wheel->houseBox(h)->arrangement().insideSector) << h;
        boxes << wheel->houseBox(h);
    }
    ExpectInsideAndApart(wheel, boxes);
}

TEST_P(AtWindowSize, PictureAndPageKeepTheDesignedSize) {
    const double scale = display()->scale();
    const qreal shownTextWidth = display()->RTB()->document()->idealWidth();
    const QRect shownFrame = window->displayFrame()->geometry();
    const QPixmap picture = display()->captureClientArea();
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), FrmDisplay::clientSize());
    // The form is shown at its scale again, where it was.
    EXPECT_DOUBLE_EQ(display()->scale(), scale);
    EXPECT_EQ(display()->size(), FrmDisplay::clientSize(scale));
    EXPECT_DOUBLE_EQ(display()->RTB()->document()->idealWidth(), shownTextWidth);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->displayFrame()->geometry(), shownFrame);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AtWindowSize, ::testing::Values(QSize(330, 600), QSize(1100, 800), QSize(1920, 1200)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

class Zoom : public ChartTest {
protected:
    void SetUp() override {
        Show(London());
        window->setWindowState(Qt::WindowNoState);
        window->resize(1100, 800);
        QCoreApplication::processEvents();
        filling = window->displayScale();
        ASSERT_GT(filling, 1.0);
    }
    double filling = 1.0;
};

TEST_F(Zoom, StepsFromTheFillingSizeNeverBelowTheDesignedSize) {
    entry("mnuZoomIn")->trigger();
    EXPECT_NEAR(display()->scale(), filling * kZoomStep, 1e-9);
    EXPECT_TRUE(entry("mnuActualSize")->isEnabled());
    // Larger than the area: it scrolls, the form stays at the top.
    EXPECT_GT(window->area()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(window->displayFrame()->y(), 0);
    entry("mnuZoomOut")->trigger();
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
    for (int i = 0; i < 10; ++i) entry("mnuZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(display()->scale(), 1.0);
    EXPECT_FALSE(entry("mnuZoomOut")->isEnabled());
    entry("mnuActualSize")->trigger();
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
    EXPECT_FALSE(entry("mnuActualSize")->isEnabled());
    for (int i = 0; i < 20; ++i) entry("mnuZoomIn")->trigger();
    EXPECT_NEAR(display()->scale(), kLargestDisplayScale, 1e-9);
    EXPECT_FALSE(entry("mnuZoomIn")->isEnabled());
    EXPECT_TRUE(entry("mnuZoomOut")->isEnabled());
}

TEST_F(Zoom, KeepsItsStepWhenTheWindowChangesSize) {
    entry("mnuZoomIn")->trigger();
    window->resize(1500, 1000);
    QCoreApplication::processEvents();
    const double larger = window->fillingScale();
    EXPECT_GT(larger, filling);
    EXPECT_NEAR(display()->scale(), larger * kZoomStep, 1e-9);
}

TEST_F(Zoom, KeysAndTheWheelWithCtrl) {
    window->activateWindow();
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::ZoomIn));
    EXPECT_NEAR(display()->scale(), filling * kZoomStep, 1e-9);
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
    // Ctrl and the wheel zoom the whole form, over the form or beside it;
    // the form's box of text leaves them to the form (Qt's text box would
    // zoom its own text).
    auto ctrlWheel = [](QWidget* w, int delta) {
        const QPointF at = w->rect().center();
        QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &wheel);
        return wheel.isAccepted();
    };
    EXPECT_FALSE(ctrlWheel(display()->RTB()->viewport(), 120));
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
    EXPECT_DOUBLE_EQ(display()->RTB()->font().pointSizeF(), 8.25 * filling);
    ctrlWheel(display(), 120);
    EXPECT_NEAR(display()->scale(), filling * kZoomStep, 1e-9);
    EXPECT_DOUBLE_EQ(display()->RTB()->font().pointSizeF(), 8.25 * filling * kZoomStep);
    ctrlWheel(window->area()->viewport(), -120);
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
}

TEST_F(ChartTest, ZoomInAWindowSmallerThanTheForm) {
    Show(London());
    window->setWindowState(Qt::WindowNoState);
    window->resize(330, 600);
    QCoreApplication::processEvents();
    ASSERT_DOUBLE_EQ(window->fillingScale(), 1.0);
    EXPECT_FALSE(entry("mnuZoomOut")->isEnabled());
    entry("mnuZoomIn")->trigger();
    EXPECT_NEAR(display()->scale(), kZoomStep, 1e-9);
    entry("mnuZoomOut")->trigger();
    entry("mnuZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(display()->scale(), 1.0);
    EXPECT_DOUBLE_EQ(window->zoom(), 1.0);
}

TEST_F(ChartTest, WideningAfterScrollingRightCentresTheFormWithoutAScrollBar) {
    Show(London());
    window->setWindowState(Qt::WindowNoState);
    window->resize(330, 700);
    QCoreApplication::processEvents();
    QScrollBar* bar = window->area()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    ASSERT_LT(window->displayFrame()->x(), 0);
    for (const QSize size : {QSize(1100, 700), QSize(1100, 800), QSize(700, 700)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const QRect frame = window->displayFrame()->geometry();
        EXPECT_EQ(bar->maximum(), 0) << size.width() << "x" << size.height();
        EXPECT_EQ(frame.left(), CentredLeft(window->area()->viewport()->width(), frame.width()))
            << size.width() << "x" << size.height();
        EXPECT_EQ(frame.top(), 0);
    }
}

}  // namespace
}  // namespace qv::test
