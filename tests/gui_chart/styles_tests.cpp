// The hidden View entries: chart style, colour style, "&Chart" and the
// divisional charts, as they behave when they are invoked.
#include <QMdiSubWindow>

#include "gui/chart/chart_styles.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

const char* const kStyles[3] = {"mnuNorth", "mnuSouth", "mnuNatal"};
const char* const kDivisional[6] = {"mnuSub_Hora",    "mnuSub_Drekkana", "mnuSub_Sapthamsa",
                                    "mnuSub_Navamsa", "mnuSub_Dasamsa",  "mnuSub_Dwadasamsa"};
const char* const kSignLabels[12] = {"lblNatalAries",       "lblNatalTaurus",    "lblNatalGemini",   "lblNatalCancer",
                                     "lblNatalLeo",         "lblNatalVirgo",     "lblNatalLibra",    "lblNatalScorpio",
                                     "lblNatalSagittarius", "lblNatalCapricorn", "lblNatalAquarius", "lblNatalPisces"};
// Colour style "On", as RGB: palette entries 0, 1, 2, 3, 4, 5, 8, 0, 1, 2, 3, 4.
const QColor kOn[12] = {{0, 0, 0},       {0, 0, 128}, {0, 128, 0}, {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
                        {128, 128, 128}, {0, 0, 0},   {0, 0, 128}, {0, 128, 0},   {0, 128, 128}, {128, 0, 0}};

class StyleHandlers : public ChartTest {
protected:
    void SetUp() override { Show(London()); }
    void Trigger(const char* name) { entry(name)->trigger(); }
    std::vector<bool> Checks(const char* const* names, int n) const {
        std::vector<bool> out;
        for (int i = 0; i < n; ++i) out.push_back(entry(names[i])->isChecked());
        return out;
    }
    QColor SignColour(int s) const {
        return display()
            ->findChild<QLabel*>(QString::fromLatin1(kSignLabels[s]))
            ->palette()
            .color(QPalette::WindowText);
    }
    void ExpectEntriesStillHidden() const {
        for (const char* name : {"mnuViewSep1", "mnuChartStyle", "mnuColor", "mnuViewSep2", "mnuChart",
                                 "mnuDivisionalCharts", "mnuMakeMoney"})
            EXPECT_FALSE(entry(name)->isVisible()) << name;
    }
};

TEST_F(StyleHandlers, StyleEntryChecksItselfAlone) {
    const std::pair<int, std::vector<bool>> steps[] = {{0, {true, false, false}},
                                                       {0, {true, false, false}},
                                                       {2, {false, false, true}},
                                                       {1, {false, true, false}},
                                                       {1, {false, true, false}}};
    for (const auto& [pick, expected] : steps) {
        Trigger(kStyles[pick]);
        EXPECT_EQ(Checks(kStyles, 3), expected) << kStyles[pick];
    }
    EXPECT_TRUE(display()->isVisible());
    ExpectEntriesStillHidden();
}

TEST_F(StyleHandlers, ColourOnTwiceThenOff) {
    for (int round = 0; round < 2; ++round) {
        Trigger("mnuColorOn");
        EXPECT_TRUE(entry("mnuColorOn")->isChecked());
        EXPECT_FALSE(entry("mnuColorOff")->isChecked());
        for (int s = 0; s < 12; ++s) EXPECT_EQ(SignColour(s), kOn[s]) << kSignLabels[s];
    }
    Trigger("mnuColorOff");
    EXPECT_FALSE(entry("mnuColorOn")->isChecked());
    EXPECT_TRUE(entry("mnuColorOff")->isChecked());
    for (int s = 0; s < 12; ++s) EXPECT_EQ(SignColour(s), QColor(Qt::black)) << kSignLabels[s];
    Trigger("mnuColorOff");
    EXPECT_TRUE(entry("mnuColorOff")->isChecked());
    // The labels were hidden by the calculation and stay hidden.
    for (int s = 0; s < 12; ++s)
        EXPECT_FALSE(display()->findChild<QLabel*>(QString::fromLatin1(kSignLabels[s]))->isVisibleTo(display()));
    ExpectEntriesStillHidden();
}

TEST_F(StyleHandlers, ColourTableIsTheClassicPalette) {
    for (int s = 0; s < 12; ++s) {
        EXPECT_EQ(SignLabelColour(s, true), kOn[s]) << s;
        EXPECT_EQ(SignLabelColour(s, false), QColor(Qt::black)) << s;
    }
    EXPECT_EQ(SignLabelColour(12, true), QColor(Qt::black));
    EXPECT_EQ(SignLabelColour(-1, true), QColor(Qt::black));
}

TEST_F(StyleHandlers, DivisionalEntryHidesTheFormAndChartShowsItAgain) {
    for (int pick = 0; pick < 6; ++pick) {
        Trigger(kDivisional[pick]);
        EXPECT_FALSE(window->displayFrame()->isVisible()) << kDivisional[pick];
        EXPECT_FALSE(entry("mnuChart")->isChecked());
        std::vector<bool> expected(6, false);
        expected[size_t(pick)] = true;
        EXPECT_EQ(Checks(kDivisional, 6), expected) << kDivisional[pick];
    }
    Trigger("mnuChart");
    EXPECT_TRUE(window->displayFrame()->isVisible());
    EXPECT_TRUE(display()->isVisible());
    EXPECT_FALSE(entry("mnuChart")->isChecked());
    EXPECT_TRUE(entry("mnuSub_Dwadasamsa")->isChecked());
    // "&Chart" with the form already shown changes no check mark either.
    Trigger("mnuChart");
    EXPECT_FALSE(entry("mnuChart")->isChecked());
    ExpectEntriesStillHidden();
}

TEST_F(StyleHandlers, ChartEntryKeepsItsCheckMarkWhenTheFormIsShown) {
    ASSERT_TRUE(entry("mnuChart")->isChecked());
    Trigger("mnuChart");
    EXPECT_TRUE(entry("mnuChart")->isChecked());
    EXPECT_TRUE(display()->isVisible());
}

}  // namespace
}  // namespace qv::test
