// The display form scaled to fill the chart window: in proportion, every
// control inside the form and none over another, the picture at the designed
// size, the zoom entries, and the form centred again after every resize.
#include <QGroupBox>
#include <QMdiArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "gui/chart/aspect_panel.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

// Each of `widgets` lies inside `parent` and meets none of the others.
void ExpectInsideAndApart(const QWidget* parent, const QList<QWidget*>& widgets) {
    for (qsizetype a = 0; a < widgets.size(); ++a) {
        EXPECT_TRUE(parent->rect().contains(widgets[a]->geometry())) << widgets[a]->objectName().toStdString();
        for (qsizetype b = a + 1; b < widgets.size(); ++b)
            EXPECT_FALSE(widgets[a]->geometry().intersects(widgets[b]->geometry()))
                << widgets[a]->objectName().toStdString() << " over " << widgets[b]->objectName().toStdString();
    }
}

class AtWindowSize : public ChartTest, public ::testing::WithParamInterface<QSize> {};

TEST_P(AtWindowSize, FormFillsTheAreaInProportionEveryControlInsideAndApart) {
    Show(London());
    window->setWindowState(Qt::WindowNoState);
    window->resize(GetParam());
    QCoreApplication::processEvents();
    const double scale = display()->scale();
    const QSize room = window->area()->maximumViewportSize(), frame = window->displayFrame()->size();
    if (GetParam().width() < FrmDisplay::clientSize().width()) {
        EXPECT_DOUBLE_EQ(scale, 1.0);  // never below the designed size: the area scrolls
    } else {
        // The aspect grid stands beside the form, at its scale.
        const int width = frame.width() + window->aspectPanel()->widthBeside();
        EXPECT_TRUE(width <= room.width() && frame.height() <= room.height());
        EXPECT_TRUE(room.width() - width <= 1 || room.height() - frame.height() <= 1);
        EXPECT_EQ(window->area()->horizontalScrollBar()->maximum() + window->area()->verticalScrollBar()->maximum(), 0);
    }
    // The regions where the design puts them, times the scale; the type too.
    const std::pair<const char*, QRect> regions[4] = {{"RTB", QRect(0, 0, 167, 253)},
                                                      {"fraWestern", QRect(0, 260, 167, 267)},
                                                      {"Frame1", QRect(176, 0, 450, 87)},
                                                      {"picNatal", QRect(176, 96, 450, 431)}};
    QList<QWidget*> shown;
    for (const auto& [name, designed] : regions) {
        QWidget* w = child<QWidget>(QString::fromLatin1(name));
        shown << w;
        for (const auto [at, want] : {std::pair(w->x(), designed.x()), std::pair(w->y(), designed.y()),
                                      std::pair(w->x() + w->width(), designed.x() + designed.width()),
                                      std::pair(w->y() + w->height(), designed.y() + designed.height())})
            EXPECT_NEAR(at, want * scale, 1.0) << name;
    }
    EXPECT_DOUBLE_EQ(display()->planet(0)->font().pointSizeF(), 9.75 * scale);
    EXPECT_DOUBLE_EQ(display()->RTB()->font().pointSizeF(), 8.25 * scale);
    ExpectInsideAndApart(display(), shown);
    // Inside the frames, the labels a user sees (the spare rows of the
    // position table lie below its edge, as designed).
    for (QWidget* frame :
         {static_cast<QWidget*>(display()->Frame1()), static_cast<QWidget*>(display()->fraWestern())}) {
        QList<QWidget*> seen;
        for (QWidget* w : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (w->y() < frame->height()) seen << w;
        EXPECT_EQ(seen.size(), frame == display()->Frame1() ? 8 : 22);
        ExpectInsideAndApart(frame, seen);
    }
    // The wheel's boxes inside their houses and apart.
    QList<QWidget*> boxes;
    for (int h = 0; h < 12; ++h)
        if (!display()->picNatal()->houseBox(h)->shownLines().isEmpty()) {
            EXPECT_TRUE(display()->picNatal()->houseBox(h)->arrangement().insideSector) << h;
            boxes << display()->picNatal()->houseBox(h);
        }
    ExpectInsideAndApart(display()->picNatal(), boxes);
    // The picture keeps the designed size; the form stays as shown.
    EXPECT_EQ(display()->captureClientArea().deviceIndependentSize().toSize(), FrmDisplay::clientSize());
    EXPECT_EQ(display()->size(), FrmDisplay::clientSize(scale));
}

INSTANTIATE_TEST_SUITE_P(Sizes, AtWindowSize, ::testing::Values(QSize(330, 600), QSize(1100, 800), QSize(1920, 1200)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

TEST_F(ChartTest, ZoomStepsFromTheFillingSizeNeverBelowTheDesignedSize) {
    Show(London());
    window->setWindowState(Qt::WindowNoState);
    window->resize(1100, 800);
    QCoreApplication::processEvents();
    const double filling = window->fillingScale();
    ASSERT_GT(filling, 1.0);
    entry("mnuZoomIn")->trigger();
    EXPECT_NEAR(display()->scale(), filling * kZoomStep, 1e-9);
    EXPECT_GT(window->area()->verticalScrollBar()->maximum(), 0);  // larger than the area: it scrolls
    for (int i = 0; i < 10; ++i) entry("mnuZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(display()->scale(), 1.0);
    EXPECT_FALSE(entry("mnuZoomOut")->isEnabled());
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_0));  // Actual Size
    EXPECT_NEAR(display()->scale(), filling, 1e-9);
    EXPECT_FALSE(entry("mnuActualSize")->isEnabled());
    for (int i = 0; i < 20; ++i) QTest::keySequence(window.get(), QKeySequence(QKeySequence::ZoomIn));
    EXPECT_NEAR(display()->scale(), kLargestDisplayScale, 1e-9);
    EXPECT_FALSE(entry("mnuZoomIn")->isEnabled());
    // Ctrl and the wheel zoom over the form; its box of text leaves them to
    // the form (Qt's text box would zoom its own text).
    auto ctrlWheel = [](QWidget* w, int delta) {
        QWheelEvent wheel(QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &wheel);
        return wheel.isAccepted();
    };
    EXPECT_FALSE(ctrlWheel(display()->RTB()->viewport(), -120));
    EXPECT_NEAR(display()->scale(), kLargestDisplayScale, 1e-9);
    ctrlWheel(display(), -120);
    EXPECT_NEAR(display()->scale(), kLargestDisplayScale / kZoomStep, 1e-9);
    EXPECT_DOUBLE_EQ(display()->RTB()->font().pointSizeF(), 8.25 * display()->scale());
}

TEST_F(ChartTest, WideningAfterScrollingRightCentresTheFormWithoutAScrollBar) {
    Show(London());
    window->setWindowState(Qt::WindowNoState);
    window->resize(330, 700);
    QCoreApplication::processEvents();
    QScrollBar* bar = window->area()->horizontalScrollBar();
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    ASSERT_LT(window->displayFrame()->x(), 0);
    for (const QSize size : {QSize(1100, 700), QSize(1100, 800)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        const QRect frame = window->displayFrame()->geometry();
        EXPECT_EQ(bar->maximum(), 0) << size.height();
        const int group = frame.width() + window->aspectPanel()->widthBeside();
        EXPECT_EQ(frame.topLeft(), QPoint(CentredLeft(window->area()->viewport()->width(), group), 0));
    }
}

}  // namespace
}  // namespace qv::test
