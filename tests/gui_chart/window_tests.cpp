// The chart window: menu tree, check marks, toolbar, banner, button bar and
// its layout rules, activation, navigation and the output entries.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "gui/chart/aspect_panel.h"
#include "gui/common/web_links.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

// One entry of the menu tree, in menu order.
struct Entry {
    const char* name;
    const char* caption;  // empty for a separator
    bool visible;
    bool checked;                   // after Load
    QList<QKeySequence> keys = {};  // shortcuts
};

struct MenuCase {
    const char* menu;
    const char* caption;
    bool visible;
    std::vector<Entry> entries;
};

const std::vector<MenuCase>& MenuTree() {
    static const std::vector<MenuCase> tree = {
        {"mnuFile",
         "&File",
         true,
         {{"mnuNew", "&New", true, false},
          {"mnuFileSep0", "", true, false},
          {"mnuSaveAsText", "Save &As", true, false},
          {"mnuSaveAsJpeg", "Save As &JPEG", true, false},
          {"mnuSaveAsPicture", "Save As P&icture...", true, false},
          {"mnuFileSep1", "", true, false},
          {"mnuExport", "&Export Chart As Text", true, false},
          {"mnuFilesep2", "", true, false},
          {"mnuPrint", "&Print", true, false},
          {"mnuFileSep3", "", true, false},
          {"mnuBack", "&Back", true, false},
          {"mnuFileSep4", "", true, false},
          {"mnuExit", "E&xit", true, false}}},
        {"mnuView",
         "&View",
         true,
         {{"mnuToolBar", "&Toolbar", true, true},
          {"mnuStatusBar", "&Status Bar", true, true},
          {"mnuViewSep1", "", false, false},
          {"mnuChartStyle", "&Chart Style", false, false},
          {"mnuColor", "Colo&r Style", false, false},
          {"mnuViewSep2", "", false, false},
          {"mnuChart", "&Chart", false, true},
          {"mnuDivisionalCharts", "&Divisional Charts", false, false},
          {"mnuViewSep3", "", true, false},
          {"mnuZoomIn", "Zoom &In", true, false,
           QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence(Qt::CTRL | Qt::Key_Equal)},
          {"mnuZoomOut", "Zoom &Out", true, false, QKeySequence::keyBindings(QKeySequence::ZoomOut)},
          {"mnuActualSize", "&Actual Size", true, false, {QKeySequence(Qt::CTRL | Qt::Key_0)}},
          {"mnuViewSep4", "", true, false},
          {"mnuAspects", "As&pects", true, true},
          {"mnuAspectLines", "Aspect &Lines", true, false}}},
        {"mnuChartStyle",
         "&Chart Style",
         false,
         {{"mnuNorth", "&North Indian", true, false},
          {"mnuSouth", "&South Indian", true, true},
          {"mnuNatal", "&Natal Indian", true, false}}},
        {"mnuColor", "Colo&r Style", false, {{"mnuColorOn", "O&n", true, false}, {"mnuColorOff", "O&ff", true, true}}},
        {"mnuDivisionalCharts",
         "&Divisional Charts",
         false,
         {{"mnuSub_Hora", "&Hora", true, false},
          {"mnuSub_Drekkana", "&Drekkana", true, false},
          {"mnuSub_Sapthamsa", "&Sapthamsa", true, false},
          {"mnuSub_Navamsa", "&Navamsa", true, false},
          {"mnuSub_Dasamsa", "&D&asamsa", true, false},
          {"mnuSub_Dwadasamsa", "D&wadasamsa", true, false}}},
        {"mnuHelp",
         "&Help",
         true,
         {{"mnuOnline", "&Online Help", true, false},
          {"mnuVisit", "&Visit Us Online", true, false},
          {"mnuHelpSep1", "", true, false},
          {"mnuUpdate", "Check for Software &Update", true, false},
          {"mnuHelpSep2", "", true, false},
          {"mnuAbout", "&About Software", true, false}}},
    };
    return tree;
}

class WindowTest : public ChartTest {
protected:
    void SetUp() override { Show(London()); }
    QMenu* menu(const char* name) const { return child<QMenu>(QString::fromLatin1(name)); }
};

TEST_F(WindowTest, MenusHoldTheirEntriesInOrder) {
    for (const MenuCase& m : MenuTree()) {
        QMenu* menuWidget = menu(m.menu);
        ASSERT_NE(menuWidget, nullptr) << m.menu;
        EXPECT_EQ(menuWidget->title(), QLatin1String(m.caption)) << m.menu;
        EXPECT_EQ(menuWidget->menuAction()->isVisible(), m.visible) << m.menu;
        const QList<QAction*> actions = menuWidget->actions();
        ASSERT_EQ(actions.size(), qsizetype(m.entries.size())) << m.menu;
        for (size_t i = 0; i < m.entries.size(); ++i) {
            const Entry& e = m.entries[i];
            QAction* a = actions[qsizetype(i)];
            EXPECT_EQ(a->objectName(), QLatin1String(e.name)) << m.menu << " #" << i;
            if (*e.caption == 0) {
                EXPECT_TRUE(a->isSeparator()) << e.name;
            } else {
                EXPECT_EQ(a->text(), QLatin1String(e.caption)) << e.name;
                EXPECT_EQ(a->shortcuts(), e.keys) << e.name;
            }
            EXPECT_EQ(a->isVisible(), e.visible) << e.name;
            EXPECT_EQ(a->isChecked(), e.checked) << e.name;
        }
    }
}

TEST_F(WindowTest, MenuBarHoldsFileViewHelpAndDonate) {
    QStringList names;
    for (QAction* a : window->menuBar()->actions()) names << a->objectName();
    EXPECT_EQ(names, (QStringList{"mnuFile", "mnuView", "mnuHelp", "mnuDonate", "mnuMakeMoney"}));
    EXPECT_EQ(entry("mnuDonate")->text(), "&Donate");
    EXPECT_EQ(entry("mnuDonate")->menu(), nullptr);
    EXPECT_TRUE(entry("mnuDonate")->isVisible());
    EXPECT_EQ(entry("mnuMakeMoney")->text(), "Make Money &Online");
    EXPECT_FALSE(entry("mnuMakeMoney")->isVisible());
}

TEST_F(WindowTest, WindowLooksAsDesigned) {
    EXPECT_EQ(window->objectName(), "MDI");
    EXPECT_EQ(window->windowTitle(), "Quorvane v1.15");
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    auto* heading = child<QLabel>("lblHeading");
    EXPECT_EQ(heading->text(), "Quorvane");
    EXPECT_TRUE(heading->font().bold());
    EXPECT_DOUBLE_EQ(heading->font().pointSizeF(), 18.0);
    EXPECT_EQ(heading->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(window->banner()->palette().color(QPalette::Window), QColor(104, 45, 123));
    EXPECT_EQ(window->buttonBar()->palette().color(QPalette::Window), QColor(104, 45, 123));
    const std::pair<const char*, const char*> buttons[3] = {
        {"cmdSaveAsJPEG", "Save As &JPEG"}, {"cmdBack", "&Back"}, {"cmdExit", "E&xit"}};
    for (const auto& [name, caption] : buttons) EXPECT_EQ(child<QPushButton>(name)->text(), caption) << name;
    EXPECT_EQ(child<QPushButton>("cmdSaveAsJPEG")->size(), QSize(105, 27));
    EXPECT_EQ(child<QPushButton>("cmdExit")->size(), QSize(73, 27));
    // The display form, centred, is seen whole.
    ASSERT_NE(window->displayFrame(), nullptr);
    EXPECT_TRUE(display()->isVisible());
    EXPECT_EQ(display()->parentWidget(), window->displayFrame());
}

TEST_F(WindowTest, ToolbarHasItsButtonsByKey) {
    QToolBar* tb = window->toolBar();
    EXPECT_EQ(tb->objectName(), "TB");
    EXPECT_EQ(tb->windowTitle(), "Toolbar");  // what a screen reader says of it
    QStringList keys;
    for (QAction* a : tb->actions()) {
        keys << a->data().toString();
        EXPECT_FALSE(a->icon().isNull()) << a->data().toString().toStdString();
    }
    EXPECT_EQ(keys, (QStringList{"New", "Save", "Picture", "Print", "Help"}));
}

TEST_F(WindowTest, ToolbarToggleTwiceRestoresIt) {
    QAction* toggle = entry("mnuToolBar");
    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(window->toolBar()->isVisible());
    toggle->trigger();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(window->toolBar()->isVisible());
}

TEST_F(WindowTest, StatusBarEntryHidesAndShowsTheLinesUnderTheChart) {
    QAction* status = entry("mnuStatusBar");
    QWidget* strip = child<QWidget>("staChart");
    ASSERT_TRUE(strip->isVisible());
    status->trigger();
    EXPECT_FALSE(status->isChecked());
    EXPECT_FALSE(strip->isVisible());
    status->trigger();
    EXPECT_TRUE(status->isChecked());
    EXPECT_TRUE(strip->isVisible());
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(window->findChild<QStatusBar*>(), nullptr);
}

TEST_F(WindowTest, NextChartWindowStartsWithTheToolbarShown) {
    entry("mnuToolBar")->trigger();
    ASSERT_FALSE(window->toolBar()->isVisible());
    window = std::make_unique<ChartWindow>(state, dialogs);
    window->showChart(wheel);
    EXPECT_TRUE(entry("mnuToolBar")->isChecked());
    EXPECT_TRUE(window->toolBar()->isVisible());
}

// --------------------------------------------------------------- layout

struct BarCase {
    int width;  // twips
    BarLayout expected;
};

void PrintTo(const BarCase& c, std::ostream* os) { *os << c.width << " twips"; }

class BarLayoutRule : public ::testing::TestWithParam<BarCase> {};

TEST_P(BarLayoutRule, ButtonsEndShortOfTheRightEdgeWithoutClamping) {
    const BarLayout b = ComputeBarLayout(GetParam().width, 6030);
    EXPECT_EQ(b.cmdExitLeft, GetParam().expected.cmdExitLeft);
    EXPECT_EQ(b.cmdBackLeft, GetParam().expected.cmdBackLeft);
    EXPECT_EQ(b.cmdSaveAsJpegLeft, GetParam().expected.cmdSaveAsJpegLeft);
    EXPECT_EQ(b.lblHeadingLeft, GetParam().expected.lblHeadingLeft);
}

INSTANTIATE_TEST_SUITE_P(Widths, BarLayoutRule,
                         ::testing::Values(BarCase{24000, {22605, 21410, 19735, 8985}},
                                           BarCase{8880, {7485, 6290, 4615, 1425}},
                                           BarCase{1500, {105, -1090, -2765, -2265}},
                                           BarCase{0, {-1395, -2590, -4265, -3015}}));

TEST_F(WindowTest, NarrowWindowPutsTheButtonsAtNegativeLefts) {
    window->setWindowState(Qt::WindowNoState);
    window->resize(100, 400);
    QCoreApplication::processEvents();
    const int outer = window->frameGeometry().width();
    const BarLayout b = ComputeBarLayout(outer * 15, 6030);
    EXPECT_EQ(child<QPushButton>("cmdExit")->x(), qRound(b.cmdExitLeft / 15.0));
    EXPECT_EQ(child<QPushButton>("cmdBack")->x(), qRound(b.cmdBackLeft / 15.0));
    EXPECT_EQ(child<QPushButton>("cmdSaveAsJPEG")->x(), qRound(b.cmdSaveAsJpegLeft / 15.0));
    EXPECT_LT(child<QPushButton>("cmdBack")->x(), 0);
    EXPECT_LT(child<QPushButton>("cmdSaveAsJPEG")->x(), 0);
    EXPECT_LT(child<QLabel>("lblHeading")->x(), 0);
}

TEST_F(WindowTest, WideWindowKeepsButtonsAtTheRightAndTheTitleCentred) {
    window->setWindowState(Qt::WindowNoState);
    window->resize(1200, 700);
    QCoreApplication::processEvents();
    const int outer = window->frameGeometry().width();
    auto* exit = child<QPushButton>("cmdExit");
    EXPECT_NEAR(outer - exit->geometry().right() - 1, 20, 1);                              // 300 twips
    EXPECT_NEAR(exit->x() - child<QPushButton>("cmdBack")->geometry().right() - 1, 7, 1);  // 100 twips
    auto* heading = child<QLabel>("lblHeading");
    EXPECT_NEAR(heading->x() + heading->width() / 2.0, outer / 2.0, 1);
}

// The chart window at the widths a user gives it.
class AtWidth : public ChartTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Show(London());
        window->setWindowState(Qt::WindowNoState);
        window->resize(GetParam(), 700);
        QCoreApplication::processEvents();
    }
};

TEST_P(AtWidth, LinksNeverCoverAButtonAndClicksReachTheButtons) {
    QWidget* bar = window->buttonBar();
    QList<QLabel*> shownLinks;
    for (QLabel* link : bar->findChildren<QLabel*>())
        if (link->isVisibleTo(bar)) shownLinks << link;
    for (const char* name : {"cmdSaveAsJPEG", "cmdBack", "cmdExit"}) {
        auto* button = child<QPushButton>(name);
        for (QLabel* link : shownLinks)
            EXPECT_FALSE(link->geometry().intersects(button->geometry()))
                << name << " / " << link->text().toStdString();
        const QPoint centre = button->geometry().center();
        if (!bar->rect().contains(centre)) continue;  // a narrow window pushes it out at the left
        QWidget* hit = bar->childAt(centre);
        EXPECT_TRUE(hit == button || button->isAncestorOf(hit)) << name;
    }
    if (GetParam() >= 1100) EXPECT_EQ(shownLinks.size(), 3);
    if (GetParam() <= 330) EXPECT_TRUE(shownLinks.isEmpty());
}

TEST_P(AtWidth, DisplayFormCentredInTheAreaAtTheTopNeverLeftOfZero) {
    auto expectPlaced = [this](const char* when) {
        const int area = window->area()->viewport()->width();
        const QRect frame = window->displayFrame()->geometry();
        EXPECT_EQ(frame.top(), 0) << when;
        // The form and the aspect grid beside it, centred together.
        const int group = frame.width() + window->aspectPanel()->widthBeside();
        EXPECT_EQ(frame.left(), std::max(0, (area - group) / 2)) << when;
    };
    expectPlaced("after the resize");
    window->displayFrame()->move(3, 40);
    window->activateChart();
    expectPlaced("after activation");
    // Activation keeps a capture of the form for "Save As JPEG".
    const QPixmap capture = display()->picture();
    ASSERT_FALSE(capture.isNull());
    EXPECT_EQ(capture.deviceIndependentSize().toSize(), FrmDisplay::clientSize());
    EXPECT_EQ(display()->findChild<QLabel*>("Picture1")->pixmap().cacheKey(), capture.cacheKey());
}

INSTANTIATE_TEST_SUITE_P(Widths, AtWidth, ::testing::Values(330, 480, 640, 1100, 1600));

// ------------------------------------------------------------ web links

struct LinkCase {
    const char* label;
    std::function<void(ChartWindow&)> act;
    WebPage page;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.label; }

class WebLink : public ChartTest, public ::testing::WithParamInterface<LinkCase> {};

auto ClickLink(const char* name) {
    return [name](ChartWindow& w) {
        auto* link = w.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(link, nullptr) << name;
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    };
}

TEST_P(WebLink, OpensItsPageOrSaysWhichPageDidNotOpen) {
    Show(London());
    for (const bool browserOpens : {true, false}) {
        std::vector<QUrl> opened;
        const WebOpener previous = SetWebOpener([&](const QUrl& url) {
            opened.push_back(url);
            return browserOpens;
        });
        dialogs.clear();
        GetParam().act(*window);
        SetWebOpener(previous);
        const QUrl page = WebPageUrl(GetParam().page);
        EXPECT_EQ(opened, std::vector<QUrl>{page});
        ASSERT_EQ(dialogs.messages().size(), browserOpens ? 0u : 1u);
        if (!browserOpens) EXPECT_TRUE(dialogs.messages()[0].contains(page.toDisplayString()));
    }
}

// ----------------------------------------------------------- navigation

struct NavigationCase {
    const char* label;
    std::function<void(ChartWindow&)> act;
    int back, fresh, end;
};

void PrintTo(const NavigationCase& c, std::ostream* os) { *os << c.label; }

class Navigation : public ChartTest, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(Navigation, EachWayOutSaysWhereToGo) {
    Show(London());
    QSignalSpy back(window.get(), &ChartWindow::backRequested);
    QSignalSpy fresh(window.get(), &ChartWindow::newRequested);
    QSignalSpy end(window.get(), &ChartWindow::endProgramRequested);
    GetParam().act(*window);
    EXPECT_EQ(back.count(), GetParam().back);
    EXPECT_EQ(fresh.count(), GetParam().fresh);
    EXPECT_EQ(end.count(), GetParam().end);
    EXPECT_FALSE(window->isVisible());
    // A frame close after leaving ends nothing more.
    window->close();
    EXPECT_EQ(end.count(), GetParam().end);
}

auto Trigger(const char* name) {
    return [name](ChartWindow& w) { w.findChild<QAction*>(QString::fromLatin1(name))->trigger(); };
}
auto Click(const char* name) {
    return [name](ChartWindow& w) {
        QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
}
auto ToolbarKey(const char* key) {
    return [key](ChartWindow& w) {
        for (QAction* a : w.toolBar()->actions())
            if (a->data().toString() == QLatin1String(key))
                QTest::mouseClick(w.toolBar()->widgetForAction(a), Qt::LeftButton);
    };
}

INSTANTIATE_TEST_SUITE_P(Links, WebLink,
                         ::testing::Values(LinkCase{"OnlineHelpEntry", Trigger("mnuOnline"), WebPage::OnlineHelp},
                                           LinkCase{"VisitEntry", Trigger("mnuVisit"), WebPage::VisitUs},
                                           LinkCase{"DonateEntry", Trigger("mnuDonate"), WebPage::Donate},
                                           LinkCase{"ToolbarHelp", ToolbarKey("Help"), WebPage::OnlineHelp},
                                           LinkCase{"BannerLink", ClickLink("lblBannerLink"), WebPage::ProjectPage},
                                           LinkCase{"BarOnlineHelp", ClickLink("lblBarLink_0"), WebPage::OnlineHelp},
                                           LinkCase{"BarVisit", ClickLink("lblBarLink_1"), WebPage::VisitUs},
                                           LinkCase{"BarDonate", ClickLink("lblBarLink_2"), WebPage::Donate}),
                         [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(Ways, Navigation,
                         ::testing::Values(NavigationCase{"BackEntry", Trigger("mnuBack"), 1, 0, 0},
                                           NavigationCase{"BackButton", Click("cmdBack"), 1, 0, 0},
                                           NavigationCase{"NewEntry", Trigger("mnuNew"), 0, 1, 0},
                                           NavigationCase{"NewToolbarButton", ToolbarKey("New"), 0, 1, 0},
                                           NavigationCase{"ExitEntry", Trigger("mnuExit"), 0, 0, 1},
                                           NavigationCase{"ExitButton", Click("cmdExit"), 0, 0, 1},
                                           NavigationCase{"WindowFrame", [](ChartWindow& w) { w.close(); }, 0, 0, 1}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(WindowTest, DisplayFormCannotBeClosedOnItsOwn) {
    QSignalSpy end(window.get(), &ChartWindow::endProgramRequested);
    EXPECT_FALSE(window->displayFrame()->close());
    QTest::keyClick(window->displayFrame(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_TRUE(window->displayFrame()->isVisible());
    EXPECT_TRUE(display()->isVisible());
    EXPECT_EQ(end.count(), 0);
}

TEST_F(WindowTest, NextCalculationShowsTheNextPersonInAFreshWindow) {
    entry("mnuBack")->trigger();
    window.reset();
    Show(Basel());
    EXPECT_EQ(display()->personalLabel("lblName")->text(), "Name: Carl Gustav");
    EXPECT_EQ(display()->personalLabel("lblCity")->text(), "City: Basel");
    EXPECT_EQ(display()->personalLabel("lblTOB")->text(), "Time of Birth: 19 Hour 32 Minute");
    EXPECT_TRUE(entry("mnuSouth")->isChecked());
}

TEST_F(WindowTest, UnknownToolbarKeyDoesNothing) {
    QSignalSpy end(window.get(), &ChartWindow::endProgramRequested);
    window->toolbarButton(QStringLiteral("Open"));
    window->toolbarButton(QString());
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(end.count(), 0);
    EXPECT_TRUE(window->isVisible());
}

// ------------------------------------------------------------- outputs

struct OutputCase {
    const char* label;
    std::function<void(ChartWindow&)> act;
    const char* suffix;  // of the save dialog; empty for the print dialog
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.label; }

class OutputEntry : public ChartTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputEntry, OpensItsDialog) {
    Show(London());
    GetParam().act(*window);  // the scripted dialogs cancel
    ASSERT_EQ(dialogs.calls.size(), 1u);
    if (*GetParam().suffix) {
        EXPECT_EQ(dialogs.calls[0].kind, DialogCall::Save);
        EXPECT_EQ(dialogs.calls[0].settings.defaultSuffix.toLower(), QLatin1String(GetParam().suffix));
    } else {
        EXPECT_EQ(dialogs.calls[0].kind, DialogCall::Print);
    }
    EXPECT_TRUE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Entries, OutputEntry,
                         ::testing::Values(OutputCase{"Export", Trigger("mnuExport"), "txt"},
                                           OutputCase{"SaveAsJpegEntry", Trigger("mnuSaveAsJpeg"), "jpg"},
                                           OutputCase{"SaveAsJpegButton", Click("cmdSaveAsJPEG"), "jpg"},
                                           OutputCase{"PrintEntry", Trigger("mnuPrint"), ""},
                                           OutputCase{"ToolbarPrint", ToolbarKey("Print"), ""}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(WindowTest, SaveAsAndTheToolbarsSaveAskForTheReading) {
    QSignalSpy save(window.get(), &ChartWindow::saveReadingRequested);
    entry("mnuSaveAsText")->trigger();
    ToolbarKey("Save")(*window);
    EXPECT_EQ(save.count(), 2);
    EXPECT_TRUE(dialogs.calls.empty());  // the reading is saved where the birth data live
}

}  // namespace
}  // namespace qv::test
