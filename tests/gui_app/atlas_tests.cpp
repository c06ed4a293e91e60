// The atlas in the birth-data form: City offers places as it is typed; a
// chosen place fills the names, the coordinates, and the zone and box of its
// clock at the birth moment, with a line under the zone row.
#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QLabel>
#include <QPushButton>

#include "state/time_zones.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

class AtlasTest : public AppTest {
public:
    QAbstractItemView* places() const {
        auto* completer = form->findChild<QCompleter*>();
        EXPECT_NE(completer, nullptr);
        return completer ? completer->popup() : nullptr;
    }
    QString line() const { return child<QLabel>("lblAtlas")->text(); }
    QLabel* cityNote() const { return child<QLabel>("lblCityNote"); }
    int zone() const { return list("cboTimeZone")->currentIndex(); }
    bool dst() const { return child<QCheckBox>("chkDST")->isChecked(); }

    // The birth moment, through the lists.
    void when(int year, int month, int day, int hour, int minute) {
        choose("cboYear", YearItem(year));
        choose("cboMonth", month - 1);
        choose("cboDate", day - 1);
        choose("cboHour", hour);
        choose("cboMinute", minute);
    }

    // Types `typed` into City and clicks the offered place whose label starts
    // with `label`, once the atlas has been read.
    void pickPlace(const QString& typed, const QString& label) {
        box("txtCity")->clear();
        type("txtCity", typed);
        QAbstractItemView* list = places();
        ASSERT_NE(list, nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(list->isVisible(), 20000);
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            if (!index.data().toString().startsWith(label)) continue;
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
            QTRY_VERIFY(!list->isVisible());
            return;
        }
        FAIL() << "not offered: " << label.toStdString();
    }
};

// Type "Chic", choose Chicago on a winter date, move the date to summer,
// calculate: the zone follows the clock of the moment.
TEST_F(AtlasTest, ChicagoFromWinterToSummer) {
    type("txtName", QStringLiteral("Ada"));
    when(1962, 1, 15, 14, 30);
    pickPlace(QStringLiteral("Chic"), QStringLiteral("Chicago, Illinois, United States of America"));
    struct Box {
        const char* name;
        QString text;
    };
    const Box boxes[] = {{"txtCity", "Chicago"}, {"txtState", "Illinois"}, {"txtCountry", "United States of America"},
                         {"txtLatD", "41"},      {"txtLatM", "51"},        {"txtLonD", "87"},
                         {"txtLonM", "39"}};
    for (const Box& b : boxes) EXPECT_EQ(box(b.name)->text(), b.text) << b.name;
    EXPECT_TRUE(option("optLatSouth_0")->isChecked());  // North
    EXPECT_TRUE(option("optLongEast_1")->isChecked());  // West
    EXPECT_EQ(zone(), 21);                              // "Central Standard Time,CST,-6.0"
    EXPECT_FALSE(dst());
    EXPECT_EQ(line(), QStringLiteral("Chicago: CST, UTC\u22126:00 on January 15, 1962"));

    choose("cboMonth", 5);  // June
    EXPECT_EQ(zone(), 18);  // "Central Daylight Time,CDT,-5.0"
    EXPECT_FALSE(dst());
    EXPECT_EQ(line(), QStringLiteral("Chicago: CDT, UTC\u22125:00 on June 15, 1962"));

    click("cmdCalculate");
    ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    ASSERT_NE(chart(), nullptr);
    const ChartState& s = app->state();
    EXPECT_EQ(s.ZoneSlot, 18);
    EXPECT_FALSE(s.DaylightSaving);
    EXPECT_EQ(s.BirthCity, "Chicago");
    EXPECT_EQ(s.LatDegrees * 60 + s.LatMinutes, 41 * 60 + 51);
}

// A zone or box the user sets is kept through later date changes; editing a
// coordinate or opening other data makes the place the user's own.
TEST_F(AtlasTest, WhatTheUserChangesIsKept) {
    when(1962, 1, 15, 14, 30);
    pickPlace(QStringLiteral("Chic"), QStringLiteral("Chicago, Illinois"));
    QCheckBox* box = child<QCheckBox>("chkDST");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));  // CST and the box
    choose("cboMonth", 5);
    EXPECT_EQ(zone(), 21);
    EXPECT_TRUE(dst());
    EXPECT_EQ(line(), QStringLiteral("Chicago: CDT, UTC\u22125:00 on June 15, 1962"));  // still told

    pickPlace(QStringLiteral("Chic"), QStringLiteral("Chicago, Illinois"));  // chosen anew: the atlas again
    EXPECT_EQ(zone(), 18);
    EXPECT_FALSE(dst());
    list("cboTimeZone")->setFocus();
    key(list("cboTimeZone"), Qt::Key_Down, QString());  // the next zone, by hand
    EXPECT_EQ(zone(), 19);
    choose("cboMonth", 0);
    EXPECT_EQ(zone(), 19);

    // Zone 19 (CED, UTC+2:00) disagrees with the clock of the moment.
    EXPECT_EQ(line(), QStringLiteral("Set by hand: the atlas gives CST, UTC\u22126:00"));
    type("txtLatM", QStringLiteral("2"));
    EXPECT_EQ(line(), QStringLiteral("Set by hand: the atlas gives CST, UTC\u22126:00"));
    choose("cboMonth", 5);
    EXPECT_EQ(zone(), 19);
    EXPECT_EQ(line(), QStringLiteral("Set by hand: the atlas gives CDT, UTC\u22125:00"));

    pickPlace(QStringLiteral("Chic"), QStringLiteral("Chicago, Illinois"));
    form->setFormData(form->formData());  // as a reading opens
    EXPECT_EQ(line(), QString());
}

// A time the clocks skipped is refused at calculation; a time that came twice
// takes the first, and the line says so.
TEST_F(AtlasTest, SkippedAndRepeatedClockTimes) {
    type("txtName", QStringLiteral("Ada"));
    when(2021, 3, 14, 2, 30);
    pickPlace(QStringLiteral("New Y"), QStringLiteral("New York, New York"));
    click("cmdCalculate");
    EXPECT_EQ(dialogs.lastMessage(),
              QStringLiteral("2:30 on March 14, 2021 did not exist in New York: the clocks moved forward that night "
                             "(EST to EDT). Please check the time of birth."));
    EXPECT_EQ(focusedName(), QStringLiteral("cboHour"));
    EXPECT_EQ(chart(), nullptr);

    dialogs.clear();
    when(2021, 11, 7, 1, 30);
    EXPECT_EQ(zone(), 24);  // "Eastern Daylight Time,EDT,-4.0"
    EXPECT_FALSE(dst());
    EXPECT_TRUE(line().contains(QStringLiteral("came twice: the first (EDT) is taken"))) << line().toStdString();
    click("cmdCalculate");
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    EXPECT_NE(chart(), nullptr);
}

// No row gives Moscow's clock of 1915 (MMT, +2:30:17): the zone list shows it
// as one more entry at its end, the box cleared, and the chart takes it to
// the second. A date with a row, or a row chosen, takes the entry away.
TEST_F(AtlasTest, LocalMeanTimeIsTheZoneListsLastEntry) {
    QComboBox* zones = list("cboTimeZone");
    type("txtName", QStringLiteral("Ada"));
    when(1915, 6, 1, 12, 0);
    child<QCheckBox>("chkDST")->setChecked(true);
    pickPlace(QStringLiteral("Mosc"), QStringLiteral("Moscow, "));
    ASSERT_EQ(zones->count(), kTimeZoneCount + 1);
    EXPECT_EQ(zone(), kExactClockItem);
    EXPECT_EQ(zones->currentText(), QStringLiteral("Local mean time of Moscow, UTC+2:30:17"));
    EXPECT_FALSE(dst());
    EXPECT_EQ(line(), QStringLiteral("Moscow: MMT, UTC+2:30:17 on June 1, 1915; no time-zone row gives this offset: "
                                     "the chart takes it to the second"));
    click("cmdCalculate");
    ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    ASSERT_NE(chart(), nullptr);
    EXPECT_EQ(app->state().ChartMoment.utcOffsetSeconds, 9017);
    EXPECT_EQ(app->state().BirthExactClock, (ExactClock{9017, ClockKind::MeanTime}));

    when(1960, 1, 15, 12, 0);  // MSK: a row
    EXPECT_EQ(zones->count(), kTimeZoneCount);
    EXPECT_EQ(ZoneOffsetSeconds(zone(), dst()), 3 * 3600);
    when(1915, 6, 1, 12, 0);
    EXPECT_EQ(zone(), kExactClockItem);

    zones->setFocus();
    key(zones, Qt::Key_Up, QString());  // the last row, by hand
    EXPECT_EQ(zones->count(), kTimeZoneCount);
    EXPECT_EQ(zone(), kTimeZoneCount - 1);
}

// Nepal's +5:45 has no row either: the calculation takes it.
TEST_F(AtlasTest, AnOffsetNoRowGivesIsTakenAsItIs) {
    type("txtName", QStringLiteral("Ada"));
    when(2000, 6, 1, 12, 0);
    pickPlace(QStringLiteral("Kathm"), QStringLiteral("Kathmandu"));
    EXPECT_EQ(list("cboTimeZone")->currentText(), QStringLiteral("Standard time of Kathmandu, UTC+5:45"));
    click("cmdCalculate");
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    ASSERT_NE(chart(), nullptr);
    EXPECT_EQ(app->state().ChartMoment.utcOffsetSeconds, 20700);
}

// Coordinates typed without a place: the line names the nearest atlas place
// and its clock, and a button takes its zone.
TEST_F(AtlasTest, TypedCoordinatesNameTheNearestPlace) {
    when(1980, 1, 15, 12, 0);
    type("txtLatD", QStringLiteral("47"));
    type("txtLatM", QStringLiteral("35"));
    pick("optLatSouth_0");
    type("txtLonD", QStringLiteral("11"));
    type("txtLonM", QStringLiteral("4"));
    pick("optLongEast_0");
    QTRY_COMPARE_WITH_TIMEOUT(
        line(), QStringLiteral("Nearest atlas place: Garmisch-Partenkirchen, 10 km: CET, UTC+1:00"), 20000);
    auto* use = child<QPushButton>("cmdNearbyZone");
    ASSERT_TRUE(use->isVisible());
    EXPECT_EQ(use->accessibleName(), QStringLiteral("Use the zone of the nearest atlas place"));
    EXPECT_NE(ZoneOffsetSeconds(zone(), dst()), 3600);
    click("cmdNearbyZone");
    EXPECT_EQ(ZoneOffsetSeconds(zone(), dst()), 3600);

    type("txtLatD", QStringLiteral("0"));  // 470°: no point, no line
    EXPECT_EQ(line(), QString());
    EXPECT_FALSE(use->isVisible());
    box("txtLatD")->clear();
    type("txtLatD", QStringLiteral("47"));
    box("txtLonD")->clear();
    type("txtLonD", QStringLiteral("30"));
    pick("optLongEast_1");  // 47°35' N 30°4' W: the Atlantic
    EXPECT_EQ(line(), QStringLiteral("No atlas place within 100 km"));
    EXPECT_FALSE(use->isVisible());
}

// While the places are offered, a digit typed still meets City's filter.
TEST_F(AtlasTest, KeysTypedWhileThePlacesAreOfferedAreFiltered) {
    type("txtCity", QStringLiteral("Lond"));
    QTRY_VERIFY_WITH_TIMEOUT(places()->isVisible(), 20000);
    key(places(), Qt::Key_1, QStringLiteral("1"));
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Please enter only letters"));
    EXPECT_EQ(box("txtCity")->text(), QStringLiteral("Lond"));
    key(places(), Qt::Key_O, QStringLiteral("o"));
    EXPECT_EQ(box("txtCity")->text(), QStringLiteral("Londo"));
    EXPECT_EQ(places()->model()->index(0, 0).data().toString().left(8), QStringLiteral("London, "));
}

// Chicago chosen, then another city typed: the line under the zone row
// says what is still Chicago's (the assistant's steps are tested without the
// window, in tests/form/place_assistant_test.cpp); the form only shows it.
TEST_F(AtlasTest, APlaceLeftOverIsSaid) {
    when(1962, 6, 15, 14, 30);
    pickPlace(QStringLiteral("Chic"), QStringLiteral("Chicago, Ill"));
    EXPECT_EQ(line(), QStringLiteral("Chicago: CDT, UTC\u22125:00 on June 15, 1962"));
    box("txtCity")->clear();
    type("txtCity", QStringLiteral("Springfield"));
    EXPECT_EQ(line(), QStringLiteral("Coordinates and zone are Chicago's, Illinois: choose the new place from the "
                                     "list, or type its coordinates and zone"));
    choose("cboMonth", 0);
    EXPECT_EQ(zone(), 21) << "the zone still follows Chicago's clock";
    box("txtLatD")->clear();
    type("txtLatD", QStringLiteral("40"));
    list("cboTimeZone")->setFocus();
    key(list("cboTimeZone"), Qt::Key_Down, QString());
    EXPECT_EQ(line(), QString()) << "nothing of Chicago is left";
    EXPECT_EQ(zone(), 22);
}

// A typed city the atlas does not know is said under City; a known one is not.
TEST_F(AtlasTest, ACityNotInTheAtlasIsSaidUnderTheBox) {
    type("txtCity", QStringLiteral("Lond"));
    QTRY_VERIFY_WITH_TIMEOUT(places()->isVisible(), 20000);
    EXPECT_FALSE(cityNote()->isVisible());
    type("txtCity", QStringLiteral("xq"));
    EXPECT_TRUE(cityNote()->isVisible());
    EXPECT_EQ(cityNote()->text(),
              QStringLiteral("Not in the atlas: type the coordinates and choose the zone, or pick a town nearby"));
    key(box("txtCity"), Qt::Key_Backspace, QString(QChar(8)));
    key(box("txtCity"), Qt::Key_Backspace, QString(QChar(8)));
    EXPECT_FALSE(cityNote()->isVisible());
}

// The lines under the zone row and City get the height their text takes:
// no line of them is cut, however long.
TEST_F(AtlasTest, TheLinesHaveTheRoomTheyNeed) {
    QLabel* atlas = child<QLabel>("lblAtlas");
    auto expectWhole = [&](const char* what) {
        QCoreApplication::processEvents();
        EXPECT_GT(atlas->heightForWidth(atlas->width()), atlas->fontMetrics().lineSpacing()) << what;
        EXPECT_GE(atlas->height(), atlas->heightForWidth(atlas->width())) << what;
        EXPECT_TRUE(atlas->parentWidget()->rect().contains(atlas->geometry())) << what;
        // The form's content grows with the line (it scrolls when the screen is small).
        QWidget* button = child<QWidget>("cmdCalculate");
        EXPECT_TRUE(button->parentWidget()->rect().contains(button->geometry())) << what;
    };
    type("txtName", QStringLiteral("Ada"));
    when(2021, 11, 7, 1, 30);
    pickPlace(QStringLiteral("New Y"), QStringLiteral("New York, New York"));
    expectWhole("a time that came twice");
    when(2021, 3, 14, 2, 30);
    expectWhole("a time that never was");
    box("txtCity")->clear();
    type("txtCity", QStringLiteral("Yonkers"));
    expectWhole("a place left over");
}

// Get My Quorvane with a zone the atlas contradicts asks first, naming both
// clocks: "go back" calculates nothing, "use the atlas's" takes its clock.
TEST_F(AtlasTest, GetMyQuorvaneAsksBeforeAChartTheAtlasContradicts) {
    type("txtName", QStringLiteral("Ada"));
    when(1980, 1, 15, 12, 0);
    type("txtLatD", QStringLiteral("47"));
    type("txtLatM", QStringLiteral("35"));
    pick("optLatSouth_0");
    type("txtLonD", QStringLiteral("11"));
    type("txtLonM", QStringLiteral("4"));
    pick("optLongEast_0");
    type("txtCity", QStringLiteral("Farchant"));
    type("txtState", QStringLiteral("Bavaria"));
    type("txtCountry", QStringLiteral("Germany"));
    EXPECT_EQ(zone(), 0);  // the list's first zone, left alone

    dialogs.script.choiceAnswers = {static_cast<int>(AtlasAnswer::GoBack)};
    click("cmdCalculate");
    ASSERT_EQ(dialogs.script.choices.size(), 1u);
    const QString asked = dialogs.script.choices.front();
    EXPECT_TRUE(asked.contains(QStringLiteral("AHDT, UTC\u22129:00"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("Garmisch-Partenkirchen"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("CET, UTC+1:00"))) << asked.toStdString();
    EXPECT_EQ(chart(), nullptr);
    EXPECT_EQ(zone(), 0);

    dialogs.script.choiceAnswers = {static_cast<int>(AtlasAnswer::UseAtlas)};
    click("cmdCalculate");
    EXPECT_EQ(dialogs.script.choices.size(), 2u);
    ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    ASSERT_NE(chart(), nullptr);
    EXPECT_EQ(app->state().ChartMoment.utcOffsetSeconds, 3600);
    EXPECT_TRUE(chart()->birthMomentLine()->text().startsWith(QStringLiteral("12:00 CET (UTC+1:00)")))
        << chart()->birthMomentLine()->text().toStdString();

    // Agreeing data are not asked about.
    chart()->findChild<QAction*>(QStringLiteral("mnuBack"))->trigger();
    settle();
    click("cmdCalculate");
    EXPECT_EQ(dialogs.script.choices.size(), 2u);
    EXPECT_NE(chart(), nullptr);
}

}  // namespace
}  // namespace qv::test
