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

// Named by label and part, whatever the boxes and lists hold; a list's item
// is its value.
TEST_F(AppTest, EveryControlIsNamedByItsLabelAndPart) {
    for (const Person& p : {kAda, kCarl}) {
        enter(p);
        choose("cboMonth", (p.month + 1) % 12);
        std::set<QString> seen;
        for (const Named& n : kNames) {
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(child<QWidget>(n.object));
            ASSERT_NE(i, nullptr) << n.object;
            EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(n.name)) << n.object;
            EXPECT_TRUE(seen.insert(i->text(QAccessible::Name)).second) << "named twice: " << n.name;
            // A description, where there is one, says more than the name.
            EXPECT_NE(i->text(QAccessible::Description), i->text(QAccessible::Name)) << n.object;
            if (auto* l = qobject_cast<QComboBox*>(child<QWidget>(n.object)))
                EXPECT_EQ(i->text(QAccessible::Value), l->currentText()) << n.object;
        }
    }
    // The frames of the direction buttons say which direction they choose.
    EXPECT_EQ(NameOf(option("optLatSouth_0")->parentWidget()), QStringLiteral("Latitude direction"));
    EXPECT_EQ(NameOf(option("optLongEast_0")->parentWidget()), QStringLiteral("Longitude direction"));
}

}  // namespace
}  // namespace qv::test
