// The chart window's keyboard: Tab and Shift+Tab (and Ctrl with them) go
// round every part that takes the focus, panel by panel, and the part that
// has it shows a ring.
#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTextEdit>
#include <algorithm>

#include "gui/chart/aspect_grid.h"
#include "gui/chart/aspect_panel.h"
#include "gui/chart/chart_window.h"
#include "gui/chart/frm_display.h"
#include "gui/common/ui_metrics.h"

namespace qv {
namespace {

bool TakesTab(const QWidget* w, const QWidget* window) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() && w->isVisibleTo(window) &&
           !w->focusProxy() && !qobject_cast<const QMdiSubWindow*>(w);
}

// `panel` and the parts inside it that take Tab, in the order they were made.
void Collect(QWidget* panel, const QWidget* window, QList<QWidget*>& chain) {
    if (!panel || !panel->isVisibleTo(window)) return;
    if (TakesTab(panel, window)) chain << panel;
    for (QWidget* w : panel->findChildren<QWidget*>())
        if (TakesTab(w, window)) chain << w;
}

// The part of `chain` that holds `w` (the part itself, or a part inside
// which it lies, as the interpretation's viewport), or -1.
qsizetype IndexIn(const QList<QWidget*>& chain, const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        const qsizetype at = chain.indexOf(const_cast<QWidget*>(w));
        if (at >= 0) return at;
    }
    return -1;
}

}  // namespace

void ChartWindow::prepareFocus() {
    // The interpretation is read, not typed into: Tab leaves it. The
    // position table is one stop, read by the screen reader as its list.
    display_->RTB()->setTabChangesFocus(true);
    display_->fraWestern()->setFocusPolicy(Qt::TabFocus);
}

QList<QWidget*> ChartWindow::focusChain() const {
    QList<QWidget*> chain;
    // The chart and the aspect grid beside it first, then every other panel
    // of the window's column in its order and the docked panels, the buttons
    // last, left to right.
    Collect(display_, this, chain);
    if (aspects_) Collect(aspects_->grid(), this, chain);
    if (QLayout* column = centralWidget() ? centralWidget()->layout() : nullptr)
        for (int i = 0; i < column->count(); ++i) {
            QWidget* panel = column->itemAt(i)->widget();
            if (panel && panel != area_ && panel != buttonBar_) Collect(panel, this, chain);
        }
    for (QDockWidget* dock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly))
        Collect(dock, this, chain);
    QList<QWidget*> buttons;
    Collect(buttonBar_, this, buttons);
    std::stable_sort(buttons.begin(), buttons.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    return chain + buttons;
}

bool ChartWindow::moveFocus(bool forward) {
    const QList<QWidget*> chain = focusChain();
    if (chain.isEmpty()) return false;
    const qsizetype at = IndexIn(chain, QApplication::focusWidget());
    const qsizetype n = chain.size();
    const qsizetype next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
    chain[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool ChartWindow::keyboardEvent(QObject* watched, QEvent* e) {
    if (!watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(e);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || (key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) || w->window() != this) return false;
        return moveFocus(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
    }
    if (e->type() == QEvent::Paint && w->hasFocus() && w->window() == this && !qobject_cast<QAbstractButton*>(w) &&
        focusChain().contains(w)) {
        // The part paints itself, then the ring goes round it; never in a
        // picture of the chart.
        static_cast<QObject*>(w)->event(e);
        const auto* form = qobject_cast<const FrmDisplay*>(display_);
        if (form && form->isAncestorOf(w) && form->drawingPicture()) return true;
        QPainter painter(w);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(ui::kBannerColour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(w->rect()).adjusted(1, 1, -1, -1));
        return true;
    }
    return false;
}

}  // namespace qv
