// The chart window's menu tree, the hidden entries among it included, and
// the handlers of the entries that only change the window itself.
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>

#include "gui/chart/aspect_panel.h"
#include "gui/chart/chart_styles.h"
#include "gui/chart/chart_window.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"
#include "gui/common/web_entries.h"

namespace qv {

void ChartWindow::onClick(QAction* action, std::function<void()> handler) {
    connect(action, &QAction::triggered, this, [action, handler = std::move(handler)](bool checked) {
        if (action->isCheckable()) action->setChecked(!checked);
        handler();
    });
}

void ChartWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    auto menu = [](QWidget* owner, const char* name, const QString& caption, bool hidden) {
        QMenu* m = new QMenu(caption, owner);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setVisible(!hidden);
        return m;
    };
    auto add = [](QMenu* m, const char* name, const QString& caption, bool hidden = false, bool checkable = false) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(checkable);
        a->setVisible(!hidden);
        return a;
    };
    auto separator = [](QMenu* m, const char* name, bool hidden = false) {
        QAction* a = m->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        a->setVisible(!hidden);
    };

    QMenu* file = menu(bar, "mnuFile", QStringLiteral("&File"), false);
    bar->addMenu(file);
    onClick(add(file, "mnuNew", QStringLiteral("&New")), [this] { newChart(); });
    separator(file, "mnuFileSep0");
    onClick(add(file, "mnuSaveAsText", QStringLiteral("Save &As")), [this] { emit saveReadingRequested(); });
    onClick(add(file, "mnuSaveAsJpeg", QStringLiteral("Save As &JPEG")), [this] { saveJpeg(); });
    onClick(add(file, "mnuSaveAsPicture", QStringLiteral("Save As P&icture...")), [this] { savePicture(); });
    separator(file, "mnuFileSep1");
    onClick(add(file, "mnuExport", QStringLiteral("&Export Chart As Text")), [this] { exportText(); });
    separator(file, "mnuFilesep2");
    onClick(add(file, "mnuPrint", QStringLiteral("&Print")), [this] { print(); });
    separator(file, "mnuFileSep3");
    onClick(add(file, "mnuBack", QStringLiteral("&Back")), [this] { back(); });
    separator(file, "mnuFileSep4");
    onClick(add(file, "mnuExit", QStringLiteral("E&xit")), [this] { exitProgram(); });

    QMenu* view = menu(bar, "mnuView", QStringLiteral("&View"), false);
    bar->addMenu(view);
    mnuToolBar_ = add(view, "mnuToolBar", QStringLiteral("&Toolbar"), false, true);
    onClick(mnuToolBar_, [this] { toggleToolBar(); });
    // The status bar is the strip of the two lines under the chart.
    mnuStatusBar_ = add(view, "mnuStatusBar", QStringLiteral("&Status Bar"), false, true);
    onClick(mnuStatusBar_, [this] { toggleStatusBar(); });
    separator(view, "mnuViewSep1", true);

    QMenu* style = menu(view, "mnuChartStyle", QStringLiteral("&Chart Style"), true);
    view->addAction(style->menuAction());
    const std::pair<const char*, const char*> styles[3] = {
        {"mnuNorth", "&North Indian"}, {"mnuSouth", "&South Indian"}, {"mnuNatal", "&Natal Indian"}};
    for (std::size_t i = 0; i < std::size(styles); ++i) {
        QAction* a = add(style, styles[i].first, QString::fromLatin1(styles[i].second), false, true);
        onClick(a, [this, a] { chooseStyle(a); });
        mnuStyles_[i] = a;
    }

    QMenu* colour = menu(view, "mnuColor", QStringLiteral("Colo&r Style"), true);
    view->addAction(colour->menuAction());
    mnuColorOn_ = add(colour, "mnuColorOn", QStringLiteral("O&n"), false, true);
    onClick(mnuColorOn_, [this] { setColourStyle(true); });
    mnuColorOff_ = add(colour, "mnuColorOff", QStringLiteral("O&ff"), false, true);
    onClick(mnuColorOff_, [this] { setColourStyle(false); });

    separator(view, "mnuViewSep2", true);
    mnuChart_ = add(view, "mnuChart", QStringLiteral("&Chart"), true, true);
    onClick(mnuChart_, [this] { showChartForm(); });

    QMenu* divisional = menu(view, "mnuDivisionalCharts", QStringLiteral("&Divisional Charts"), true);
    view->addAction(divisional->menuAction());
    const std::pair<const char*, const char*> charts[6] = {
        {"mnuSub_Hora", "&Hora"},       {"mnuSub_Drekkana", "&Drekkana"}, {"mnuSub_Sapthamsa", "&Sapthamsa"},
        {"mnuSub_Navamsa", "&Navamsa"}, {"mnuSub_Dasamsa", "&D&asamsa"},  {"mnuSub_Dwadasamsa", "D&wadasamsa"}};
    for (std::size_t i = 0; i < std::size(charts); ++i) {
        QAction* a = add(divisional, charts[i].first, QString::fromLatin1(charts[i].second), false, true);
        onClick(a, [this, a] { chooseDivisional(a); });
        mnuDivisional_[i] = a;
    }

    separator(view, "mnuViewSep3");
    mnuZoomIn_ = add(view, "mnuZoomIn", QStringLiteral("Zoom &In"));
    // Ctrl+= as well: the key that holds "+" without Shift on many keyboards.
    mnuZoomIn_->setShortcuts(QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence(Qt::CTRL | Qt::Key_Equal));
    onClick(mnuZoomIn_, [this] { zoomIn(); });
    mnuZoomOut_ = add(view, "mnuZoomOut", QStringLiteral("Zoom &Out"));
    mnuZoomOut_->setShortcuts(QKeySequence::ZoomOut);
    onClick(mnuZoomOut_, [this] { zoomOut(); });
    mnuActualSize_ = add(view, "mnuActualSize", QStringLiteral("&Actual Size"));
    mnuActualSize_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    onClick(mnuActualSize_, [this] { actualSize(); });
    // The shortcuts work wherever the focus is in this window.
    for (QAction* a : {mnuZoomIn_, mnuZoomOut_, mnuActualSize_}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    aspects_->addMenuEntries(view);

    AddHelpMenus(bar, this, dialogs_, QStringLiteral("&Donate"));
}

void ChartWindow::loadCheckMarks() {
    for (QAction* a : {mnuToolBar_, mnuStatusBar_, mnuColorOff_, mnuChart_, mnuStyles_[1]}) a->setChecked(true);
}

void ChartWindow::updateZoomEntries() {
    const double scale = displayScale();
    mnuZoomIn_->setEnabled(scale < kLargestDisplayScale - 1e-9);
    mnuZoomOut_->setEnabled(scale > 1.0 + 1e-9);
    mnuActualSize_->setEnabled(zoom_ != 1.0);
}

void ChartWindow::toggleToolBar() {
    const bool show = !mnuToolBar_->isChecked();
    mnuToolBar_->setChecked(show);
    tb_->setVisible(show);
}

void ChartWindow::toggleStatusBar() {
    mnuStatusBar_->setChecked(!mnuStatusBar_->isChecked());
    notes_->setVisible(mnuStatusBar_->isChecked());
}

void ChartWindow::chooseStyle(QAction* style) {
    for (QAction* a : mnuStyles_) a->setChecked(a == style);
}

void ChartWindow::setColourStyle(bool on) {
    mnuColorOn_->setChecked(on);
    mnuColorOff_->setChecked(!on);
    NatalWheel* wheel = display()->picNatal();
    for (int s = 0; s < 12; ++s) {
        QLabel* label = wheel->signBox(s);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, SignLabelColour(s, on));
        label->setPalette(p);
    }
}

void ChartWindow::showChartForm() {
    display();
    if (displayFrame_) displayFrame_->show();
    display_->show();
}

void ChartWindow::chooseDivisional(QAction* chart) {
    display();
    if (displayFrame_) displayFrame_->hide();
    mnuChart_->setChecked(false);
    for (QAction* a : mnuDivisional_) a->setChecked(a == chart);
}
}  // namespace qv
