#include "gui/chart/aspect_panel.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <cmath>

#include "gui/chart/aspect_grid.h"
#include "gui/chart/natal_wheel.h"
#include "gui/common/ui_metrics.h"

namespace qv {
namespace {

// Between the display form's frame and the panel's. Pixels.
constexpr int kGap = 8;

}  // namespace

AspectPanel::AspectPanel(QMdiArea* area, QObject* parent) : QObject(parent), area_(area) {}

void AspectPanel::makeFrame() {
    grid_ = new AspectGrid;
    frame_ = area_->addSubWindow(grid_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    frame_->setObjectName(QStringLiteral("frmAspects"));
    frame_->setWindowTitle(QStringLiteral("Aspects"));
    frame_->setAttribute(Qt::WA_DeleteOnClose, false);
    frame_->setSystemMenu(nullptr);
    frame_->installEventFilter(this);
    QPalette framePalette = frame_->palette();
    framePalette.setColor(QPalette::Highlight, ui::kBannerColour);
    frame_->setPalette(framePalette);
    frame_->adjustSize();
    decoration_ = frame_->size() - grid_->size();
    frame_->hide();
}

AspectLines* AspectPanel::lines() const { return lines_; }

QMdiSubWindow* AspectPanel::frame() const { return frame_; }

void AspectPanel::addMenuEntries(QMenu* view) {
    view->addSeparator()->setObjectName(QStringLiteral("mnuViewSep4"));
    mnuAspects_ = view->addAction(QStringLiteral("As&pects"));
    mnuAspects_->setObjectName(QStringLiteral("mnuAspects"));
    mnuAspects_->setCheckable(true);
    mnuAspects_->setChecked(true);
    connect(mnuAspects_, &QAction::toggled, this, [this](bool on) { setGridShown(on); });
    mnuAspectLines_ = view->addAction(QStringLiteral("Aspect &Lines"));
    mnuAspectLines_->setObjectName(QStringLiteral("mnuAspectLines"));
    mnuAspectLines_->setCheckable(true);
    mnuAspectLines_->setChecked(false);
    connect(mnuAspectLines_, &QAction::toggled, this, [this](bool on) { setLinesShown(on); });
}

void AspectPanel::attachWheel(NatalWheel* wheel) {
    // After the display form's frame, so that the panel follows the form
    // for the keyboard and a screen reader.
    if (!frame_) makeFrame();
    if (lines_) delete lines_;
    lines_ = new AspectLines(wheel);
    lines_->setVisible(linesShown());
}

void AspectPanel::showChart(const ChartState& state) {
    hasChart_ = true;
    if (!frame_) makeFrame();
    grid_->setAspects(state.Aspects);
    if (lines_) lines_->setChart(state);
    setGridShown(gridShown());
}

bool AspectPanel::gridShown() const { return !mnuAspects_ || mnuAspects_->isChecked(); }

void AspectPanel::setGridShown(bool shown) {
    if (mnuAspects_ && mnuAspects_->isChecked() != shown) {
        mnuAspects_->setChecked(shown);  // comes back here
        return;
    }
    if (frame_) frame_->setVisible(shown && hasChart_);
    emit layoutChanged();
}

bool AspectPanel::linesShown() const { return mnuAspectLines_ && mnuAspectLines_->isChecked(); }

void AspectPanel::setLinesShown(bool shown) {
    if (mnuAspectLines_ && mnuAspectLines_->isChecked() != shown) {
        mnuAspectLines_->setChecked(shown);
        return;
    }
    if (lines_) lines_->setVisible(shown);
}

QSize AspectPanel::designedWith(QSize form) const {
    if (!frame_ || frame_->isHidden()) return form;
    const QSize grid = AspectGridDesignedSize().toSize();
    return QSize(form.width() + grid.width(), std::max(form.height(), grid.height()));
}

QSize AspectPanel::decorationWith(QSize formDecoration) const {
    if (!frame_ || frame_->isHidden()) return formDecoration;
    return QSize(formDecoration.width() + decoration_.width() + kGap,
                 std::max(formDecoration.height(), decoration_.height()));
}

void AspectPanel::setScale(double scale) {
    if (!frame_) return;
    grid_->setScale(scale);
    frame_->resize(grid_->size() + decoration_);
}

int AspectPanel::widthBeside() const { return frame_ && !frame_->isHidden() ? frame_->width() + kGap : 0; }

void AspectPanel::placeBeside(const QRect& displayFrame) {
    if (frame_) frame_->move(displayFrame.right() + 1 + kGap, displayFrame.top());
}

bool AspectPanel::eventFilter(QObject* watched, QEvent* e) {
    // The panel leaves only with the chart window; View > Aspects hides it.
    if (watched == frame_ && e->type() == QEvent::Close) {
        e->ignore();
        return true;
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace qv
