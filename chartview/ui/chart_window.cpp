#include "chartview/ui/chart_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/ui/web_links.h"
#include "chartview/ui/chart_outputs.h"
#include "chartview/ui/chart_styles.h"
#include "chartview/ui/frm_display.h"
#include "chartview/ui/natal_wheel.h"
#include "chartview/ui/toolbar_icons.h"
#include "chartview/ui/ui_metrics.h"
#include "state/time_zones.h"

namespace qv {
namespace {

using ui::FormFont;
using ui::Px;

const QColor kBanner(104, 45, 123);  // RGB 104, 45, 123

// Design sizes, twips.
constexpr int kToolBarHeight = 420;
constexpr int kBannerHeight = 850;
constexpr int kButtonBarHeight = 615;
constexpr int kButtonTop = 77;
constexpr int kButtonHeight = 400;
constexpr int kExitWidth = 1095;
constexpr int kBackWidth = 1095;
constexpr int kJpegWidth = 1575;
constexpr int kHeadingWidth = 6030;
constexpr int kHeadingHeight = 435;

const char* const kStyleEntries[3] = {"mnuNorth", "mnuSouth", "mnuNatal"};
const char* const kDivisionalEntries[6] = {"mnuSub_Hora",    "mnuSub_Drekkana", "mnuSub_Sapthamsa",
                                           "mnuSub_Navamsa", "mnuSub_Dasamsa",  "mnuSub_Dwadasamsa"};
const char* const kSignLabelNames[12] = {"lblNatalAries",  "lblNatalTaurus",      "lblNatalGemini",
                                         "lblNatalCancer", "lblNatalLeo",         "lblNatalVirgo",
                                         "lblNatalLibra",  "lblNatalScorpio",     "lblNatalSagittarius",
                                         "lblNatalCapricorn", "lblNatalAquarius", "lblNatalPisces"};

void SetBackground(QWidget* w, const QColor& colour) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

QLabel* MakeLink(QWidget* parent, const QString& name, const QString& text, WebPage page) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = FormFont(8.25);
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    l->setProperty("webPage", int(page));
    l->adjustSize();
    return l;
}

}  // namespace

BarLayout ComputeBarLayout(int windowWidth, int headingWidth) {
    BarLayout b;
    b.cmdExitLeft = windowWidth - kExitWidth - 300;
    b.cmdBackLeft = b.cmdExitLeft - kBackWidth - 100;
    b.cmdSaveAsJpegLeft = b.cmdBackLeft - kJpegWidth - 100;
    b.lblHeadingLeft = (windowWidth - headingWidth) / 2;
    return b;
}

ChartWindow::ChartWindow(ChartState& state, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QStringLiteral("Quorvane v1.15"));
    SetBackground(this, Qt::white);
    resize(Px(8880), Px(5985) + Px(kToolBarHeight) + Px(kBannerHeight) + Px(kButtonBarHeight));
    // Open maximised, so that the display form, centred on the screen, is seen whole.
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
    column->addWidget(area_, 1);
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

QAction* ChartWindow::entry(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

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
        return a;
    };

    QMenu* file = menu(bar, "mnuFile", QStringLiteral("&File"), false);
    bar->addMenu(file);
    onClick(add(file, "mnuNew", QStringLiteral("&New")), [this] { newChart(); });
    separator(file, "mnuFileSep0");
    onClick(add(file, "mnuSaveAsText", QStringLiteral("Save &As")), [this] { saveReading(); });
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
    onClick(add(view, "mnuToolBar", QStringLiteral("&Toolbar"), false, true), [this] { toggleToolBar(); });
    onClick(add(view, "mnuStatusBar", QStringLiteral("&Status Bar"), true, true), [this] { toggleStatusBar(); });
    separator(view, "mnuViewSep1", true);

    QMenu* style = menu(view, "mnuChartStyle", QStringLiteral("&Chart Style"), true);
    view->addAction(style->menuAction());
    for (auto [name, caption] : {std::pair{"mnuNorth", "&North Indian"}, std::pair{"mnuSouth", "&South Indian"},
                                 std::pair{"mnuNatal", "&Natal Indian"}}) {
        QAction* a = add(style, name, QString::fromLatin1(caption), false, true);
        onClick(a, [this, a] { chooseStyle(a); });
    }

    QMenu* colour = menu(view, "mnuColor", QStringLiteral("Colo&r Style"), true);
    view->addAction(colour->menuAction());
    onClick(add(colour, "mnuColorOn", QStringLiteral("O&n"), false, true), [this] { setColourStyle(true); });
    onClick(add(colour, "mnuColorOff", QStringLiteral("O&ff"), false, true), [this] { setColourStyle(false); });

    separator(view, "mnuViewSep2", true);
    onClick(add(view, "mnuChart", QStringLiteral("&Chart"), true, true), [this] { showChartForm(); });

    QMenu* divisional = menu(view, "mnuDivisionalCharts", QStringLiteral("&Divisional Charts"), true);
    view->addAction(divisional->menuAction());
    const char* const captions[6] = {"&Hora", "&Drekkana", "&Sapthamsa", "&Navamsa", "&D&asamsa", "D&wadasamsa"};
    for (int i = 0; i < 6; ++i) {
        QAction* a = add(divisional, kDivisionalEntries[i], QString::fromLatin1(captions[i]), false, true);
        onClick(a, [this, a] { chooseDivisional(a); });
    }

    QMenu* help = menu(bar, "mnuHelp", QStringLiteral("&Help"), false);
    bar->addMenu(help);
    onClick(add(help, "mnuOnline", QStringLiteral("&Online Help")),
            [] { OpenWebPage(WebPageUrl(WebPage::OnlineHelp)); });
    onClick(add(help, "mnuVisit", QStringLiteral("&Visit Us Online")),
            [] { OpenWebPage(WebPageUrl(WebPage::VisitUs)); });
    separator(help, "mnuHelpSep1");
    onClick(add(help, "mnuUpdate", QStringLiteral("Check for Software &Update")), [this] { ShowUpdateCheck(this); });
    separator(help, "mnuHelpSep2");
    onClick(add(help, "mnuAbout", QStringLiteral("&About Software")), [this] { ShowAboutBox(this); });

    QAction* donate = bar->addAction(QStringLiteral("&Donate"));
    donate->setObjectName(QStringLiteral("mnuDonate"));
    onClick(donate, [] { OpenWebPage(WebPageUrl(WebPage::Donate)); });
    QAction* money = bar->addAction(QStringLiteral("Make Money &Online"));
    money->setObjectName(QStringLiteral("mnuMakeMoney"));
    money->setVisible(false);
    onClick(money, [] { OpenWebPage(WebPageUrl(WebPage::MakeMoneyOnline)); });
}

void ChartWindow::buildToolBar() {
    tb_ = new QToolBar(QStringLiteral("TB"), this);
    tb_->setObjectName(QStringLiteral("TB"));
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
    connect(tb_, &QToolBar::actionTriggered, this, [this](QAction* a) { toolbarButton(a->data().toString()); });
    addToolBar(Qt::TopToolBarArea, tb_);
}

void ChartWindow::buildBanner() {
    picTop_ = new QWidget(this);
    picTop_->setObjectName(QStringLiteral("picTop"));
    picTop_->setFixedHeight(Px(kBannerHeight));
    SetBackground(picTop_, kBanner);

    lblHeading_ = new QLabel(QStringLiteral("Quorvane"), picTop_);
    lblHeading_->setObjectName(QStringLiteral("lblHeading"));
    lblHeading_->setFont(FormFont(18, true));
    lblHeading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette p = lblHeading_->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    lblHeading_->setPalette(p);
    lblHeading_->setGeometry(ui::PxRect(4335, 0, kHeadingWidth, kHeadingHeight));

    bannerLink_ = MakeLink(picTop_, QStringLiteral("lblBannerLink"), QStringLiteral("Quorvane on the web"),
                           WebPage::ProjectPage);
    bannerLink_->move(0, Px(kHeadingHeight) + 2);
    bannerLink_->installEventFilter(this);
}

void ChartWindow::buildButtonBar() {
    buttonBar_ = new QWidget(this);
    buttonBar_->setObjectName(QStringLiteral("Picture1"));
    buttonBar_->setFixedHeight(Px(kButtonBarHeight));
    SetBackground(buttonBar_, kBanner);

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

    const std::pair<const char*, WebPage> links[3] = {{"Online Help", WebPage::OnlineHelp},
                                                      {"Visit Us Online", WebPage::VisitUs},
                                                      {"Donate", WebPage::Donate}};
    int x = Px(300);
    for (int i = 0; i < 3; ++i) {
        QLabel* l = MakeLink(buttonBar_, QStringLiteral("lblBarLink_%1").arg(i), QString::fromLatin1(links[i].first),
                             links[i].second);
        l->move(x, (Px(kButtonBarHeight) - l->height()) / 2);
        l->installEventFilter(this);
        x += l->width() + Px(300);
    }
}

void ChartWindow::loadCheckMarks() {
    for (const char* name : {"mnuToolBar", "mnuStatusBar", "mnuColorOff", "mnuChart", "mnuSouth"})
        if (QAction* a = entry(name)) a->setChecked(true);
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
    displayFrame_->setWindowTitle(display_->windowTitle());
    QPalette framePalette = displayFrame_->palette();
    framePalette.setColor(QPalette::Highlight, kBanner);
    displayFrame_->setPalette(framePalette);
    displayFrame_->adjustSize();
    displayFrame_->show();
    return display_;
}

void ChartWindow::showChart(const ChartWheel& wheel) {
    FrmDisplay* d = display();
    d->showPositions(state_);
    d->showWheel(wheel);
    d->showInterpretation(state_.InterpretationRuns);
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

void ChartWindow::setZoneSlotProvider(std::function<int()> provider) { zoneSlot_ = std::move(provider); }

int ChartWindow::zoneSlot() const {
    if (zoneSlot_) return zoneSlot_();
    // Without the form, the first zone whose corrections match the chart's.
    for (int i = 0; i < kTimeZoneCount; ++i)
        if (state_.TimeZoneHours[i] == state_.ZoneHoursText && state_.TimeZoneMinutes[i] == state_.ZoneMinutesText &&
            !state_.TimeZoneHours[i].empty())
            return i;
    return 0;
}

// ------------------------------------------------------------------ events

bool ChartWindow::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate) activateChart();
    return handled;
}

void ChartWindow::activateChart() {
    FrmDisplay* d = display();
    if (displayFrame_) {
        const QScreen* s = screen();
        const int screenWidth = s ? s->geometry().width() : width();
        displayFrame_->move((screenWidth - displayFrame_->width()) / 2, 0);
    }
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
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == displayFrame_ && e->type() == QEvent::Close) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        const QVariant page = watched->property("webPage");
        auto* me = static_cast<QMouseEvent*>(e);
        if (page.isValid() && me->button() == Qt::LeftButton) {
            OpenWebPage(WebPageUrl(static_cast<WebPage>(page.toInt())));
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
    if (key == QLatin1String("New")) newChart();
    else if (key == QLatin1String("Save")) saveReading();
    else if (key == QLatin1String("Print")) print();
    else if (key == QLatin1String("Help")) OpenWebPage(WebPageUrl(WebPage::OnlineHelp));
}

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
    QAction* a = entry("mnuToolBar");
    const bool show = !a->isChecked();
    a->setChecked(show);
    tb_->setVisible(show);
}

void ChartWindow::toggleStatusBar() {
    QAction* a = entry("mnuStatusBar");
    a->setChecked(!a->isChecked());
}

void ChartWindow::chooseStyle(QAction* style) {
    for (const char* name : kStyleEntries)
        if (QAction* a = entry(name)) a->setChecked(a == style);
}

void ChartWindow::setColourStyle(bool on) {
    entry(on ? "mnuColorOn" : "mnuColorOff")->setChecked(true);
    entry(on ? "mnuColorOff" : "mnuColorOn")->setChecked(false);
    FrmDisplay* d = display();
    for (int s = 0; s < 12; ++s) {
        QLabel* label = d->findChild<QLabel*>(QString::fromLatin1(kSignLabelNames[s]));
        if (!label) continue;
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
    entry("mnuChart")->setChecked(false);
    for (const char* name : kDivisionalEntries)
        if (QAction* a = entry(name)) a->setChecked(a == chart);
}

void ChartWindow::saveReading() {
    SaveReadingCommand(this, state_, zoneSlot(), dialogs_, state_.ReadingFileName);
}

void ChartWindow::exportText() { ExportTextCommand(this, state_, dialogs_, state_.ReadingFileName); }

void ChartWindow::saveJpeg() { SaveJpegCommand(this, *display(), dialogs_); }

void ChartWindow::print() { PrintCommand(this, *display(), dialogs_); }

}  // namespace qv
