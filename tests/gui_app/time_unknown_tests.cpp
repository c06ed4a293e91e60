// "Birth time unknown" on the form, and the lines the chart window shows
// under the display form: the birth moment and the time window.
#include <QAction>
#include <QCheckBox>

#include "chart/chart_moment.h"
#include "gui/chart/frm_display.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

void Tick(QCheckBox* box, bool ticked) {
    if (box->isChecked() != ticked) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));
    ASSERT_EQ(box->isChecked(), ticked);
}

TEST_F(AppTest, BirthTimeUnknownDrawsNoonAndTheWindowSaysWhatIsNotKnown) {
    QCheckBox* unknown = child<QCheckBox>("chkTimeUnknown");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->text(), QStringLiteral("Birth time unknown"));
    EXPECT_EQ(unknown->accessibleName(), QStringLiteral("Birth time unknown"));
    enter(kAda);
    struct Step {
        bool unknown;
        const char* windowStart;
        const char* ascendantEnd;
    };
    const Step steps[] = {
        {true, "Birth time unknown: the ascendant, the houses and the house types are drawn for 12:00", " ?"},
        {false, "Same chart for births from ", ""},
    };
    for (const Step& s : steps) {
        Tick(unknown, s.unknown);
        EXPECT_EQ(list("cboHour")->isEnabled(), !s.unknown);
        EXPECT_EQ(list("cboMinute")->isEnabled(), !s.unknown);
        click("cmdCalculate");
        ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
        ASSERT_NE(chart(), nullptr);
        const ChartState& state = app->state();
        EXPECT_EQ(state.BirthTimeKnown, !s.unknown);
        if (s.unknown) EXPECT_EQ(state.BirthHour * 60 + state.BirthMinute, 12 * 60);
        QLabel* moment = chart()->birthMomentLine();
        QLabel* window = chart()->timeWindowLine();
        EXPECT_EQ(moment->text().toStdString(), BirthMomentLine(state));
        EXPECT_EQ(window->text().toStdString(), TimeWindowLineOf(state, {}));
        EXPECT_TRUE(window->text().startsWith(QString::fromLatin1(s.windowStart))) << window->text().toStdString();
        EXPECT_EQ(moment->accessibleName(), QStringLiteral("Birth moment"));
        EXPECT_EQ(window->accessibleName(), QStringLiteral("Time window"));
        EXPECT_EQ(window->accessibleDescription(), window->text());
        EXPECT_EQ(chart()->display()->chartNotes(), (QStringList{moment->text(), window->text()})) << "printed too";
        const QString ascendant = chart()->display()->planet(10)->text();
        EXPECT_EQ(ascendant, QString::fromStdString(state.PlanetPosition[10]) + QString::fromLatin1(s.ascendantEnd));
        EXPECT_EQ(chart()->display()->RTB()->toPlainText().contains(QStringLiteral("Birth time unknown")), s.unknown);
        chart()->findChild<QAction*>(QStringLiteral("mnuBack"))->trigger();
        settle();
        EXPECT_EQ(unknown->isChecked(), s.unknown) << "kept after Back";
    }
}

}  // namespace
}  // namespace qv::test
