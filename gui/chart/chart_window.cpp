// The chart window's frame and the display form's host: the window's parts put
// together, the display form scaled, zoomed and placed in the area, the
// window's events, and the navigation and output commands.
#include "gui/chart/chart_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/chart/aspect_panel.h"
#include "gui/chart/chart_design.h"
#include "gui/chart/chart_outputs.h"
#include "gui/chart/frm_display.h"
#include "gui/common/program_identity.h"
#include "gui/common/ui_metrics.h"

namespace qv {

using namespace chart_design;
using ui::kBannerColour;
using ui::Px;

int CentredLeft(int areaWidth, int formWidth) { return std::max(0, (areaWidth - formWidth) / 2); }

double FittingScale(QSize room, QSize designed, QSize decoration) {
    if (designed.isEmpty()) return 1.0;
    const QSize inside = room - decoration;
    const double fit = std::min(double(inside.width()) / designed.width(), double(inside.height()) / designed.height());
    return std::max(1.0, fit);
}

ChartWindow::ChartWindow(ChartState& state, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(ProgramCaption());
    SetBackground(this, Qt::white);
    resize(Px(kClientWidth), Px(kClientHeight) + Px(kToolBarHeight) + Px(kBannerHeight) + Px(kButtonBarHeight));
    // Open maximised, so that the display form is seen whole.
    setWindowState(windowState() | Qt::WindowMaximized);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildBanner();
    column->addWidget(picTop_);
    area_ = new QMdiArea(central);
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(Qt::white);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setFrameShape(QFrame::NoFrame);
    // The window may be made as narrow as the user likes; the area scrolls.
    area_->setMinimumSize(1, 1);
    area_->viewport()->installEventFilter(this);
    column->addWidget(area_, 1);
    aspects_ = new AspectPanel(area_, this);
    connect(aspects_, &AspectPanel::layoutChanged, this, [this] { fitDisplayForm(); });
    buildNotes();
    column->addWidget(notes_);
    buildButtonBar();
    column->addWidget(buttonBar_);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    // Tab is taken before any part of the window sees it (the display
    // form's frame would keep it inside the form).
    qApp->installEventFilter(this);
    loadCheckMarks();
    layoutBars();
}

ChartWindow::~ChartWindow() = default;

// ----------------------------------------------------------- display form

FrmDisplay* ChartWindow::display() {
    if (display_) return display_;
    display_ = new FrmDisplay(state_);
    displayFrame_ = area_->addSubWindow(display_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    displayFrame_->setObjectName(QStringLiteral("frmDisplayFrame"));
    displayFrame_->setAttribute(Qt::WA_DeleteOnClose, false);
    // The form leaves only with the chart window: no close button, no
    // system menu, and a close of its own (Ctrl+F4) is refused.
    displayFrame_->setSystemMenu(nullptr);
    displayFrame_->installEventFilter(this);
    display_->installEventFilter(this);
    displayFrame_->setWindowTitle(display_->windowTitle());
    QPalette framePalette = displayFrame_->palette();
    framePalette.setColor(QPalette::Highlight, kBannerColour);
    displayFrame_->setPalette(framePalette);
    displayFrame_->adjustSize();
    frameDecoration_ = displayFrame_->size() - display_->size();
    displayFrame_->show();
    aspects_->attachWheel(display_->picNatal());
    prepareFocus();
    fitDisplayForm();
    return display_;
}

void ChartWindow::showChart(const ChartWheel& wheel) {
    display()->showChart(state_, wheel);
    aspects_->showChart(state_);
    if (!isVisible()) {
        // Cover the screen's work area first: without a window manager the
        // maximised state alone does not size the window.
        if (const QScreen* s = screen()) setGeometry(s->availableGeometry());
        showMaximized();
    }
    raise();
    activateWindow();
    activateChart();
}

double ChartWindow::fillingScale() const {
    return FittingScale(area_->maximumViewportSize(), aspects_->designedWith(FrmDisplay::clientSize()),
                        aspects_->decorationWith(frameDecoration_));
}

double ChartWindow::displayScale() const { return std::clamp(fillingScale() * zoom_, 1.0, kLargestDisplayScale); }

void ChartWindow::fitDisplayForm() {
    if (!display_ || !displayFrame_) return;
    display_->setScale(displayScale());
    displayFrame_->resize(display_->size() + frameDecoration_);
    aspects_->setScale(displayScale());
    placeDisplayForm();
    updateZoomEntries();
}

void ChartWindow::placeDisplayForm() {
    if (!displayFrame_) return;
    // Scrolled back first: the area moves its windows when it scrolls, and a
    // scroll position left from a narrower window would push the form aside.
    area_->horizontalScrollBar()->setValue(0);
    area_->verticalScrollBar()->setValue(0);
    displayFrame_->move(CentredLeft(area_->viewport()->width(), displayFrame_->width() + aspects_->widthBeside()), 0);
    aspects_->placeBeside(displayFrame_->geometry());
}

void ChartWindow::zoomIn() {
    zoom_ = std::min(zoom_ * kZoomStep, kLargestDisplayScale / fillingScale());
    fitDisplayForm();
}

void ChartWindow::zoomOut() {
    zoom_ = std::max(zoom_ / kZoomStep, 1.0 / fillingScale());
    fitDisplayForm();
}

void ChartWindow::actualSize() {
    zoom_ = 1.0;
    fitDisplayForm();
}

// ------------------------------------------------------------------ events

bool ChartWindow::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate) activateChart();
    return handled;
}

void ChartWindow::activateChart() {
    FrmDisplay* d = display();
    fitDisplayForm();
    d->captureClientArea();
}

void ChartWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    layoutBars();
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* e) {
    if (keyboardEvent(watched, e)) return true;
    if (watched == displayFrame_ && e->type() == QEvent::Close) {
        e->ignore();
        return true;
    }
    if (watched == area_->viewport() && e->type() == QEvent::Resize) fitDisplayForm();
    // Ctrl and the mouse wheel zoom, over the form or beside it.
    if ((watched == area_->viewport() || watched == display_) && e->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(e);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta > 0 && mnuZoomIn_->isEnabled()) zoomIn();
            if (delta < 0 && mnuZoomOut_->isEnabled()) zoomOut();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

QMenu* ChartWindow::createPopupMenu() { return nullptr; }

void ChartWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!leaving_) {
        leaving_ = true;
        emit endProgramRequested();
    }
}

// ---------------------------------------------------------------- handlers

void ChartWindow::newChart() {
    leaving_ = true;
    QPointer<ChartWindow> self(this);
    emit newRequested();
    if (self) close();
}

void ChartWindow::back() {
    leaving_ = true;
    close();
    emit backRequested();
}

void ChartWindow::exitProgram() {
    leaving_ = true;
    close();
    emit endProgramRequested();
}

void ChartWindow::exportText() { ExportTextCommand(this, state_, dialogs_, state_.ReadingFileName); }

void ChartWindow::saveJpeg() { SaveJpegCommand(this, *display(), dialogs_, lastJpegName_); }

void ChartWindow::savePicture() { SavePictureCommand(this, *display(), dialogs_, lastPictureName_, lastPictureWidth_); }

void ChartWindow::print() { PrintCommand(this, *display(), dialogs_, &state_.Aspects); }

}  // namespace qv
