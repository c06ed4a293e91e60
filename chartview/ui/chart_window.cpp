#include "chartview/ui/chart_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QToolBar>
#include <QVBoxLayout>

#include "chartview/chart_moment.h"
#include "chartview/ui/aspect_panel.h"
#include "chartview/ui/chart_outputs.h"
#include "chartview/ui/chart_styles.h"
#include "chartview/ui/frm_display.h"
#include "chartview/ui/natal_wheel.h"
#include "chartview/ui/toolbar_icons.h"
#include "ui/program_identity.h"
#include "ui/ui_metrics.h"

namespace qv {
namespace {

// What the note says when the day's charts cannot be found: everything may rest on the time.
constexpr TimeDependence kAllOnTime{true, {true, true, true, true}, {true, true, true}, {true, true, true}};

using ui::FormFont;
using ui::kBannerColour;
using ui::Px;

// Design sizes, twips.
constexpr int kToolBarHeight = 420;
constexpr int kBannerHeight = 850;
constexpr int kButtonBarHeight = 615;
constexpr int kButtonTop = 77;
constexpr int kButtonHeight = 400;
constexpr int kExitWidth = 1095;
constexpr int kBackWidth = 1095;
constexpr int kJpegWidth = 1575;
constexpr int kButtonGap = 100;
constexpr int kBarMargin = 300;
constexpr int kHeadingWidth = 6030;
constexpr int kHeadingHeight = 435;

void SetBackground(QWidget* w, const QColor& colour) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

}  // namespace

BarLayout ComputeBarLayout(int windowWidth, int headingWidth) {
    BarLayout b;
    b.cmdExitLeft = windowWidth - kExitWidth - kBarMargin;
    b.cmdBackLeft = b.cmdExitLeft - kBackWidth - kButtonGap;
    b.cmdSaveAsJpegLeft = b.cmdBackLeft - kJpegWidth - kButtonGap;
    b.lblHeadingLeft = (windowWidth - headingWidth) / 2;
    return b;
}

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
    resize(Px(8880), Px(5985) + Px(kToolBarHeight) + Px(kBannerHeight) + Px(kButtonBarHeight));
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
    loadCheckMarks();
    layoutBars();
}

ChartWindow::~ChartWindow() = default;

// ------------------------------------------------------------------ building

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
    mnuStatusBar_ = add(view, "mnuStatusBar", QStringLiteral("&Status Bar"), true, true);
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
    mnuZoomIn_->setShortcuts(QKeySequence::ZoomIn);
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

void ChartWindow::buildToolBar() {
    tb_ = new QToolBar(QStringLiteral("TB"), this);
    tb_->setObjectName(QStringLiteral("TB"));
    tb_->setAccessibleName(QStringLiteral("Toolbar"));
    tb_->setMovable(false);
    tb_->setFloatable(false);
    tb_->setIconSize(QSize(20, 20));
    tb_->setFixedHeight(Px(kToolBarHeight));
    tb_->toggleViewAction()->setVisible(false);
    for (const char* key : {"New", "Save", "Print", "Help"}) {
        const QString k = QString::fromLatin1(key);
        QAction* a = tb_->addAction(ToolbarIcon(k), k);
        a->setObjectName(QStringLiteral("TB_") + k);
        a->setData(k);
        a->setToolTip(k);
    }
    // What each button does, for a screen reader (its tooltip only repeats its name).
    const std::pair<const char*, const char*> described[4] = {{"New", "Back to the birth-data form for a new chart"},
                                                              {"Save", "Saves the reading"},
                                                              {"Print", "Prints the chart"},
                                                              {"Help", "Opens the online help"}};
    for (const auto& [key, description] : described)
        if (QWidget* button = tb_->widgetForAction(findChild<QAction*>(QStringLiteral("TB_") + QLatin1String(key))))
            button->setAccessibleDescription(QString::fromLatin1(description));
    connect(tb_, &QToolBar::actionTriggered, this, [this](QAction* a) { toolbarButton(a->data().toString()); });
    addToolBar(Qt::TopToolBarArea, tb_);
}

void ChartWindow::buildBanner() {
    picTop_ = new QWidget(this);
    picTop_->setObjectName(QStringLiteral("picTop"));
    picTop_->setFixedHeight(Px(kBannerHeight));
    SetBackground(picTop_, kBannerColour);

    lblHeading_ = new QLabel(QStringLiteral("Quorvane"), picTop_);
    lblHeading_->setObjectName(QStringLiteral("lblHeading"));
    lblHeading_->setFont(FormFont(18, true));
    lblHeading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette p = lblHeading_->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    lblHeading_->setPalette(p);
    lblHeading_->setGeometry(ui::PxRect(4335, 0, kHeadingWidth, kHeadingHeight));

    bannerLink_ = MakeWebLinkLabel(picTop_, QStringLiteral("lblBannerLink"), QStringLiteral("Quorvane on the web"),
                                   WebPage::ProjectPage, Qt::white, dialogs_);
    bannerLink_->setFont(FormFont(8.25));
    bannerLink_->adjustSize();
    bannerLink_->move(0, Px(kHeadingHeight) + 2);
}

void ChartWindow::buildButtonBar() {
    buttonBar_ = new QWidget(this);
    buttonBar_->setObjectName(QStringLiteral("Picture1"));
    buttonBar_->setFixedHeight(Px(kButtonBarHeight));
    SetBackground(buttonBar_, kBannerColour);

    const std::pair<const char*, WebPage> links[3] = {
        {"Online Help", WebPage::OnlineHelp}, {"Visit Us Online", WebPage::VisitUs}, {"Donate", WebPage::Donate}};
    int x = Px(kBarMargin);
    for (std::size_t i = 0; i < barLinks_.size(); ++i) {
        QLabel* l = MakeWebLinkLabel(buttonBar_, QStringLiteral("lblBarLink_%1").arg(i),
                                     QString::fromLatin1(links[i].first), links[i].second, Qt::white, dialogs_);
        l->setFont(FormFont(8.25));
        l->adjustSize();
        l->move(x, (Px(kButtonBarHeight) - l->height()) / 2);
        x += l->width() + Px(kBarMargin);
        barLinks_[i] = l;
    }

    // The buttons come after the links, so that they lie above them.
    auto button = [this](const char* name, const QString& caption, int width) {
        auto* b = new QPushButton(caption, buttonBar_);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(FormFont(8.25));
        b->setGeometry(0, Px(kButtonTop), Px(width), Px(kButtonHeight));
        b->setAutoDefault(false);
        return b;
    };
    cmdSaveAsJPEG_ = button("cmdSaveAsJPEG", QStringLiteral("Save As &JPEG"), kJpegWidth);
    cmdBack_ = button("cmdBack", QStringLiteral("&Back"), kBackWidth);
    cmdExit_ = button("cmdExit", QStringLiteral("E&xit"), kExitWidth);
    connect(cmdSaveAsJPEG_, &QPushButton::clicked, this, [this] { saveJpeg(); });
    connect(cmdBack_, &QPushButton::clicked, this, [this] { back(); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { exitProgram(); });
}

void ChartWindow::buildNotes() {
    notes_ = new QWidget(this);
    notes_->setObjectName(QStringLiteral("staChart"));
    SetBackground(notes_, Qt::white);
    auto* rows = new QVBoxLayout(notes_);
    rows->setContentsMargins(8, 2, 8, 2);
    rows->setSpacing(0);
    const auto line = [&](const char* name, const char* spoken) {
        auto* label = new QLabel(notes_);
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(QLatin1String(spoken));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::TabFocus);
        rows->addWidget(label);
        return label;
    };
    lblBirthMoment_ = line("lblBirthMoment", "Birth moment");
    lblTimeWindow_ = line("lblTimeWindow", "Time window");
}

void ChartWindow::setChartNotes(const QString& birthMoment, const QString& timeWindow) {
    lblBirthMoment_->setText(birthMoment);
    lblBirthMoment_->setAccessibleDescription(birthMoment);
    lblTimeWindow_->setText(timeWindow);
    lblTimeWindow_->setAccessibleDescription(timeWindow);
    display()->setChartNotes({birthMoment, timeWindow});
}

void ChartWindow::loadCheckMarks() {
    for (QAction* a : {mnuToolBar_, mnuStatusBar_, mnuColorOff_, mnuChart_, mnuStyles_[1]}) a->setChecked(true);
}

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
    fitDisplayForm();
    return display_;
}

void ChartWindow::showChart(const ChartWheel& wheel) {
    FrmDisplay* d = display();
    d->showPositions(state_);
    d->showWheel(state_, wheel);
    aspects_->showChart(state_);
    if (state_.BirthTimeKnown) {
        d->showInterpretation(state_.InterpretationRuns);
    } else {
        // Said after the house types, in the colour of the box's warnings.
        std::vector<StyledRun> runs = state_.InterpretationRuns;
        // The note names what rests on the time: it outlives this call.
        unknownTimeNote_ = "\n\n" + UnknownTimeNote(TimeDependenceOf(state_).value_or(kAllOnTime));
        runs.push_back({FixedText::Of(unknownTimeNote_), 192, 0, 0, true});
        d->showInterpretation(runs);
    }
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

void ChartWindow::updateZoomEntries() {
    const double scale = displayScale();
    mnuZoomIn_->setEnabled(scale < kLargestDisplayScale - 1e-9);
    mnuZoomOut_->setEnabled(scale > 1.0 + 1e-9);
    mnuActualSize_->setEnabled(zoom_ != 1.0);
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

void ChartWindow::layoutBars() {
    const int frame = isVisible() ? frameGeometry().width() - geometry().width() : 0;
    const int outer = width() + std::max(0, frame);
    const BarLayout b = ComputeBarLayout(ui::Twips(outer), kHeadingWidth);
    cmdExit_->move(Px(b.cmdExitLeft), cmdExit_->y());
    cmdBack_->move(Px(b.cmdBackLeft), cmdBack_->y());
    cmdSaveAsJPEG_->move(Px(b.cmdSaveAsJpegLeft), cmdSaveAsJPEG_->y());
    lblHeading_->move(Px(b.lblHeadingLeft), lblHeading_->y());
    bannerLink_->move((outer - bannerLink_->width()) / 2, bannerLink_->y());
    // A link is shown only where it ends a gap short of the first button;
    // the links that follow it lie further right, so they go too.
    bool fits = true;
    for (QLabel* link : barLinks_) {
        fits = fits && link->geometry().right() + Px(kButtonGap) < cmdSaveAsJPEG_->x();
        link->setVisible(fits);
    }
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* e) {
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

void ChartWindow::toolbarButton(const QString& key) {
    if (key == QLatin1String("New"))
        newChart();
    else if (key == QLatin1String("Save"))
        emit saveReadingRequested();
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("Help"))
        openPage(WebPage::OnlineHelp);
}

void ChartWindow::openPage(WebPage page) { OpenWebPage(this, dialogs_, WebPageUrl(page)); }

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

void ChartWindow::exportText() { ExportTextCommand(this, state_, dialogs_, state_.ReadingFileName); }

void ChartWindow::saveJpeg() { SaveJpegCommand(this, *display(), dialogs_, lastJpegName_); }

void ChartWindow::print() { PrintCommand(this, *display(), dialogs_, &state_.Aspects); }

}  // namespace qv
