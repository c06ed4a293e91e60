// What a screen reader finds in the birth-data form: every box, list and
// button named by its label and part, not by its value.
#include <QAccessible>
#include <QLabel>
#include <set>

#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

QString NameOf(QWidget* w) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

struct Named {
    const char* object;
    const char* name;
};

// clang-format off
const Named kNames[] = {
    {"txtName", "Name"},
    {"cboMonth", "Birth month"},            {"cboDate", "Birth day"},          {"cboYear", "Birth year"},
    {"cboHour", "Birth hour"},              {"cboMinute", "Birth minute"},
    {"cboTimeZone", "Time zone"},           {"chkDST", "Daylight Saving Time"},
    {"txtLatD", "Latitude degrees"},        {"txtLatM", "Latitude minutes"},
    {"optLatSouth_0", "Latitude North"},    {"optLatSouth_1", "Latitude South"},
    {"txtLonD", "Longitude degrees"},       {"txtLonM", "Longitude minutes"},
    {"optLongEast_0", "Longitude East"},    {"optLongEast_1", "Longitude West"},
    {"txtCity", "City"},                    {"txtState", "State"},             {"txtCountry", "Country"},
    {"Command1", "Click here to find Latitude & Longitude"},
    {"chkPrecise", "Precise positions"},
    {"cmdCalculate", "Get My Quorvane"},    {"cmdOpen", "Open Previously Saved Reading"},
};
// clang-format on

TEST_F(AppTest, EveryControlIsNamedByItsLabelAndPart) {
    enter(kCarl);
    std::set<QString> seen;
    for (const Named& n : kNames) {
        QWidget* w = child<QWidget>(n.object);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(NameOf(w), QString::fromUtf8(n.name)) << n.object;
        EXPECT_TRUE(seen.insert(NameOf(w)).second) << "named twice: " << n.name;
        // A description, where there is one, says more than the name.
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        EXPECT_NE(i->text(QAccessible::Description), i->text(QAccessible::Name)) << n.object;
    }
    // The frames of the direction buttons say which direction they choose.
    EXPECT_EQ(NameOf(option("optLatSouth_0")->parentWidget()), QStringLiteral("Latitude direction"));
    EXPECT_EQ(NameOf(option("optLongEast_0")->parentWidget()), QStringLiteral("Longitude direction"));
}

// Choosing or typing another value changes what a box holds, not its name.
TEST_F(AppTest, NamesDoNotFollowTheValues) {
    for (const Person& p : {kAda, kCarl}) {
        enter(p);
        for (const char* list : {"cboMonth", "cboDate", "cboYear", "cboHour", "cboMinute", "cboTimeZone"}) {
            const QString before = NameOf(this->list(list));
            choose(list, 3);
            EXPECT_EQ(NameOf(this->list(list)), before) << list;
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(this->list(list));
            EXPECT_EQ(i->text(QAccessible::Value), this->list(list)->currentText()) << list;
            ASSERT_EQ(i->childCount(), 1) << list;
            EXPECT_EQ(i->child(0)->childCount() > 0, true) << list;
        }
        for (const char* b : {"txtLatM", "txtLonM"}) EXPECT_NE(NameOf(box(b)), QStringLiteral("Place")) << b;
    }
}

}  // namespace
}  // namespace qv::test
