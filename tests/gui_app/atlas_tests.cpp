// The atlas in the birth-data form: City offers places as it is typed; a
// chosen place fills the names, the coordinates, and the zone and box of its
// clock at the birth moment, with a line under the zone row.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>

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

    type("txtLatM", QStringLiteral("2"));
    EXPECT_EQ(line(), QString());
    choose("cboMonth", 5);
    EXPECT_EQ(zone(), 19);

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

// No row gives Nepal's +5:45: the line says the offset, the zone stays as it
// was, and the calculation waits for the user's choice.
TEST_F(AtlasTest, PlaceWithNoRowLeavesTheChoiceToTheUser) {
    type("txtName", QStringLiteral("Ada"));
    when(2000, 6, 1, 12, 0);
    choose("cboTimeZone", 34);
    pickPlace(QStringLiteral("Kathm"), QStringLiteral("Kathmandu"));
    EXPECT_EQ(zone(), 34);
    EXPECT_TRUE(line().startsWith(QStringLiteral("Kathmandu: "))) << line().toStdString();
    EXPECT_TRUE(line().contains(QStringLiteral("UTC+5:45"))) << line().toStdString();
    EXPECT_TRUE(line().contains(QStringLiteral("no time-zone row gives this offset"))) << line().toStdString();
    click("cmdCalculate");
    EXPECT_EQ(dialogs.lastMessage(),
              QStringLiteral("No time-zone row gives UTC+5:45, the offset of Kathmandu on June 1, 2000. Please "
                             "choose the time zone and daylight saving."));
    EXPECT_EQ(focusedName(), QStringLiteral("cboTimeZone"));
    dialogs.clear();
    key(list("cboTimeZone"), Qt::Key_Up, QString());
    click("cmdCalculate");
    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
    EXPECT_NE(chart(), nullptr);
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

}  // namespace
}  // namespace qv::test
