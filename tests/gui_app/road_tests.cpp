// The road from the form to the chart window and back, and every way out.
#include <QAction>
#include <QLabel>
#include <QTemporaryDir>

#include <QFileInfo>
#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

QString SignName(const std::string& abbreviation) {
    static const char* const names[12][2] = {{"Ari", "Aries"},     {"Tau", "Taurus"},   {"Gem", "Gemini"},
                                             {"Can", "Cancer"},    {"Leo", "Leo"},      {"Vir", "Virgo"},
                                             {"Lib", "Libra"},     {"Sco", "Scorpio"},  {"Sag", "Sagittarius"},
                                             {"Cap", "Capricorn"}, {"Aqu", "Aquarius"}, {"Pis", "Pisces"}};
    for (const auto& n : names)
        if (abbreviation == n[0]) return QString::fromLatin1(n[1]);
    return {};
}

QString Label(FrmDisplay* d, const char* name) {
    QLabel* l = d->personalLabel(name);
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}

void Trigger(QWidget* window, const char* action) {
    auto* a = window->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
}

TEST_F(AppTest, CalculationShowsTheChartWindowInPlaceOfTheForm) {
    enter(kAda);
    click("cmdCalculate");
    ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    ChartWindow* w = chart();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isMaximized());
    EXPECT_EQ(w->objectName(), QStringLiteral("MDI"));
    EXPECT_FALSE(form->isVisible());

    const ChartState& s = app->state();
    EXPECT_EQ(s.BirthName, "Ada Byron");
    EXPECT_EQ(s.BirthMonth, 12);
    EXPECT_EQ(s.BirthDay, 10);
    EXPECT_EQ(s.BirthYear, 1915);
    EXPECT_EQ(s.BirthHour, 1);
    EXPECT_EQ(s.BirthMinute, 30);
    EXPECT_EQ(s.LatDegrees, 51);
    EXPECT_EQ(s.LonMinutes, 7);
    EXPECT_FALSE(s.LonEast);
    EXPECT_EQ(s.BirthCity, "London");
    EXPECT_EQ(s.ZoneHoursText, "0");
    // Mid-December: the Sun stands in Sagittarius.
    EXPECT_EQ(s.PlanetPosition[0].substr(3, 3), "Sag") << s.PlanetPosition[0];

    FrmDisplay* d = w->display();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Label(d, "lblName"), QStringLiteral("Name: Ada Byron"));
    EXPECT_EQ(Label(d, "lblDOB"), QStringLiteral("Date of Birth: December 10, 1915"));
    EXPECT_EQ(Label(d, "lblTOB"), QStringLiteral("Time of Birth: 1 Hour 30 Minute"));
    EXPECT_EQ(Label(d, "lblLatitude"), QStringLiteral("Latitude: 51 Degree 30 Minute"));
    EXPECT_EQ(Label(d, "lblCountry"), QStringLiteral("Country: UK"));
    for (int k = 0; k <= 10; ++k)
        EXPECT_EQ(d->planet(k)->text().toStdString(), s.PlanetPosition[static_cast<std::size_t>(k)]) << k;
    const std::string asc = s.PlanetPosition[10].substr(3, 3);
    EXPECT_EQ(d->lblLagna()->text(), SignName(asc));
    EXPECT_EQ(d->lblRashi()->text().toStdString(), s.MoonSignName);
    // House 1 is the ascendant's sign and holds "Asc" as its last line.
    const QStringList first = d->picNatal()->houseBox(0)->shownLines();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first.last(), QStringLiteral("Asc"));
    // The Sun's house is counted from the ascendant's sign.
    int ascSign = -1, sunSign = -1;
    for (int i = 0; i < 12; ++i) {
        if (s.SignAbbrevList[static_cast<std::size_t>(i)] == asc) ascSign = i;
        if (s.SignAbbrevList[static_cast<std::size_t>(i)] == "Sag") sunSign = i;
    }
    ASSERT_GE(ascSign, 0);
    const int sunHouse = (sunSign - ascSign + 12) % 12;
    EXPECT_TRUE(d->picNatal()->houseBox(sunHouse)->shownLines().join('|').contains(QStringLiteral("Sun")));
    EXPECT_FALSE(d->RTB()->toPlainText().isEmpty());
}

TEST_F(AppTest, MenuCalculateDoesWhatTheButtonDoes) {
    enter(kAda);
    Trigger(form, "mnuCalculate");
    ASSERT_NE(chart(), nullptr);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(AppTest, BackThenNewThenASecondPersonGetsAFreshWindow) {
    QSignalSpy ended(app.get(), &AppController::programEnded);
    enter(kAda);
    click("cmdCalculate");
    QPointer<ChartWindow> first = chart();
    ASSERT_TRUE(first);

    struct Leave {
        const char* how;
        std::function<void(ChartWindow*)> act;
    };
    const Leave ways[] = {
        {"cmdBack", [](ChartWindow* w) { QTest::mouseClick(w->findChild<QPushButton*>("cmdBack"), Qt::LeftButton); }},
        {"mnuBack", [](ChartWindow* w) { Trigger(w, "mnuBack"); }},
        {"mnuNew", [](ChartWindow* w) { Trigger(w, "mnuNew"); }},
        {"toolbar New", [](ChartWindow* w) { w->toolbarButton(QStringLiteral("New")); }},
    };
    for (const auto& way : ways) {
        QPointer<ChartWindow> w = chart();
        ASSERT_TRUE(w) << way.how;
        way.act(w);
        settle();
        EXPECT_FALSE(w) << way.how << ": the chart window is unloaded";
        EXPECT_EQ(chart(), nullptr) << way.how;
        EXPECT_TRUE(form->isVisible()) << way.how;
        EXPECT_EQ(ended.count(), 0) << way.how << ": the program goes on";
        // The form keeps its fields; the chart state keeps the last chart.
        EXPECT_EQ(box("txtName")->text(), QStringLiteral("Ada Byron")) << way.how;
        EXPECT_EQ(app->state().BirthName, "Ada Byron") << way.how;
        click("cmdCalculate");
        ASSERT_NE(chart(), nullptr) << way.how;
    }

    // Back, then another person: the fresh display form shows the new data.
    const std::string adaSun = app->state().PlanetPosition[0];
    Trigger(chart(), "mnuBack");
    settle();
    enter(kCarl);
    click("cmdCalculate");
    ASSERT_NE(chart(), nullptr);
    FrmDisplay* d = chart()->display();
    EXPECT_EQ(Label(d, "lblName"), QStringLiteral("Name: Carl Gustav"));
    EXPECT_EQ(Label(d, "lblCity"), QStringLiteral("City: Basel"));
    EXPECT_EQ(Label(d, "lblState"), QStringLiteral("State: Basel Stadt"));
    EXPECT_EQ(Label(d, "lblDOB"), QStringLiteral("Date of Birth: July 26, 1975"));
    EXPECT_TRUE(app->state().LonEast);
    EXPECT_TRUE(app->state().DaylightSaving);
    EXPECT_EQ(app->state().ZoneHoursText, "-1");
    EXPECT_NE(app->state().PlanetPosition[0], adaSun);
    EXPECT_EQ(app->state().PlanetPosition[0].substr(3, 3), "Leo");
    EXPECT_EQ(d->planet(0)->text().toStdString(), app->state().PlanetPosition[0]);
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(AppTest, EveryOtherWayOfClosingEndsTheProgram) {
    struct Way {
        const char* how;
        bool withChart;  // after a calculation
        bool backFirst;  // "Back" before closing
        std::function<void(AppTest&)> act;
    };
    const Way ways[] = {
        {"form's Exit", false, false, [](AppTest& t) { Trigger(t.form, "mnuExit"); }},
        {"form's frame", false, false, [](AppTest& t) { t.form->close(); }},
        {"chart's frame", true, false, [](AppTest& t) { t.chart()->close(); }},
        {"chart's Exit entry", true, false, [](AppTest& t) { Trigger(t.chart(), "mnuExit"); }},
        {"chart's Exit button", true, false,
         [](AppTest& t) { QTest::mouseClick(t.chart()->findChild<QPushButton*>("cmdExit"), Qt::LeftButton); }},
        {"form's frame after Back", true, true, [](AppTest& t) { t.form->close(); }},
    };
    for (const auto& way : ways) {
        TearDown();
        SetUp();
        QSignalSpy ended(app.get(), &AppController::programEnded);
        if (way.withChart) {
            enter(kAda);
            click("cmdCalculate");
            ASSERT_NE(chart(), nullptr) << way.how;
        }
        if (way.backFirst) {
            Trigger(chart(), "mnuBack");
            settle();
            ASSERT_EQ(ended.count(), 0) << way.how;
        }
        QPointer<ChartWindow> w = chart();
        way.act(*this);
        settle();
        EXPECT_EQ(ended.count(), 1) << way.how;
        EXPECT_TRUE(app->ended()) << way.how;
        EXPECT_FALSE(form->isVisible()) << way.how;
        if (w) EXPECT_FALSE(w->isVisible()) << way.how;
        // Nothing is asked on the way out.
        EXPECT_TRUE(dialogs.messages().empty()) << way.how;
        // Once ended, nothing starts another chart.
        app->CalculateChart();
        EXPECT_EQ(ended.count(), 1) << way.how;
    }
}

TEST_F(AppTest, OpeningAReadingFillsTheFormAndCalculates) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Save Carl's reading through the chart window, then open it from the form.
    enter(kCarl);
    click("cmdCalculate");
    ASSERT_NE(chart(), nullptr);
    // The reading keeps the zone of the chart shown, whatever the hidden form holds now.
    list("cboTimeZone")->setCurrentIndex(0);
    const QString path = dir.filePath(QStringLiteral("carl.qvn"));
    dialogs.script.fileAnswers.push_back(path);
    Trigger(chart(), "mnuSaveAsText");
    ASSERT_TRUE(QFileInfo::exists(path));
    Trigger(chart(), "mnuBack");
    settle();

    enter(kAda);
    dialogs.clear();
    dialogs.script.fileAnswers.push_back(path);
    click("cmdOpen");
    ASSERT_NE(chart(), nullptr) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(box("txtName")->text(), QStringLiteral("Carl Gustav"));
    EXPECT_TRUE(option("optLongEast_0")->isChecked());
    EXPECT_EQ(list("cboTimeZone")->currentIndex(), kCarl.zone);
    EXPECT_EQ(app->state().BirthName, "Carl Gustav");
    EXPECT_EQ(Label(chart()->display(), "lblName"), QStringLiteral("Name: Carl Gustav"));

    // Cancelled: the form stays as it is and nothing is calculated.
    Trigger(chart(), "mnuBack");
    settle();
    enter(kAda);
    dialogs.clear();
    click("cmdOpen");  // no answer queued: the dialog is cancelled
    EXPECT_EQ(chart(), nullptr);
    EXPECT_EQ(box("txtName")->text(), QStringLiteral("Ada Byron"));
}

}  // namespace
}  // namespace qv::test
