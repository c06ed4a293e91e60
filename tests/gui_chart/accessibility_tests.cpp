// What a screen reader finds in the chart window: the chart as text in
// reading order, nothing that no one sees, no label said again and again.
#include <QAccessible>
#include <QTextEdit>
#include <map>

#include "chartview/chart_description.h"
#include "chartview/personal_data.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

QAccessibleInterface* Of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

struct Node {
    QAccessible::Role role;
    QString name, description;
    bool showing;
};

// Every node under `i`, depth first, as a reader walks the tree. A node is
// showing when it and all above it are.
void Walk(QAccessibleInterface* i, bool showing, std::vector<Node>& out) {
    ASSERT_NE(i, nullptr);
    showing = showing && !i->state().invisible;
    out.push_back({i->role(), i->text(QAccessible::Name), i->text(QAccessible::Description), showing});
    for (int k = 0; k < i->childCount(); ++k) {
        QAccessibleInterface* c = i->child(k);
        ASSERT_NE(c, nullptr) << i->text(QAccessible::Name).toStdString() << " child " << k;
        EXPECT_EQ(i->indexOfChild(c), k) << c->text(QAccessible::Name).toStdString();
        Walk(c, showing, out);
    }
}

class ChartAccessibility : public ChartTest {};

// Personal data, then the positions one item each, then the wheel in words,
// then the interpretation with its headings.
TEST_F(ChartAccessibility, TheChartReadsInOrder) {
    for (const BirthFormData& person : {London(), Basel()}) {
        Show(person);
        QAccessibleInterface* form = Of(display());
        ASSERT_EQ(form->childCount(), 4);

        QAccessibleInterface* personal = form->child(0);
        EXPECT_EQ(personal->text(QAccessible::Name), QStringLiteral("Personal Information"));
        const PersonalDataLabels l = MakePersonalDataLabels(state);
        const std::string lines[8] = {l.lblName,      l.lblDOB,  l.lblTOB,   l.lblLatitude,
                                      l.lblLongitude, l.lblCity, l.lblState, l.lblCountry};
        ASSERT_EQ(personal->childCount(), 8);
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(personal->child(k)->text(QAccessible::Name).toStdString(), lines[k]);
            EXPECT_TRUE(personal->child(k)->text(QAccessible::Description).isEmpty()) << lines[k];
        }

        QAccessibleInterface* positions = form->child(1);
        EXPECT_EQ(positions->role(), QAccessible::List);
        EXPECT_EQ(positions->text(QAccessible::Name), QStringLiteral("Planetary Positions"));
        ASSERT_EQ(positions->childCount(), 11);
        for (int k = 0; k < 11; ++k) {
            QAccessibleInterface* item = positions->child(k);
            EXPECT_EQ(item->role(), QAccessible::ListItem);
            EXPECT_EQ(item->text(QAccessible::Name).toStdString(), PositionItem(state, std::size_t(k)));
            EXPECT_EQ(item->parent()->object(), positions->object());
        }
        EXPECT_TRUE(positions->child(0)->text(QAccessible::Name).startsWith(QStringLiteral("Sun, ")));
        EXPECT_TRUE(positions->child(10)->text(QAccessible::Name).startsWith(QStringLiteral("Ascendant, ")));

        QAccessibleInterface* wheelNode = form->child(2);
        EXPECT_EQ(wheelNode->role(), QAccessible::Chart);
        EXPECT_EQ(wheelNode->text(QAccessible::Name), QStringLiteral("Chart wheel"));
        EXPECT_EQ(wheelNode->text(QAccessible::Description).toStdString(), WheelDescription(state, wheel));
        EXPECT_EQ(wheelNode->childCount(), 0);

        QAccessibleInterface* interpretation = form->child(3);
        EXPECT_EQ(interpretation->text(QAccessible::Name), QStringLiteral("Interpretation"));
        QAccessibleTextInterface* text = interpretation->textInterface();
        ASSERT_NE(text, nullptr);
        const QString all = text->text(0, text->characterCount());
        EXPECT_EQ(all, display()->RTB()->toPlainText());
        // The three headings, each on a line of its own, in order.
        const QStringList lines2 = all.split(QLatin1Char('\n'));
        qsizetype at = 0;
        for (const char* heading : {"Element", "Quality", "House"}) {
            const qsizetype found = lines2.indexOf(QString::fromLatin1(heading), at);
            EXPECT_GE(found, at) << heading;
            at = found + 1;
        }
        window.reset();
    }
}

// Controls no one sees are not there, and no label is said more than once
// in the chart (the window says a few twice: a menu entry and its button).
TEST_F(ChartAccessibility, NothingHiddenAndNoLabelSaidAgainAndAgain) {
    Show(London());
    std::vector<Node> chart, all;
    Walk(Of(display()), true, chart);
    Walk(Of(window.get()), true, all);
    for (const Node& n : chart) {
        for (const char* hidden : {"Rahu", "Ketu", "P_of_F", "Other Details", "Sun Sign", "Nakshatra"})
            EXPECT_FALSE(n.name.contains(QString::fromLatin1(hidden))) << n.name.toStdString();
        for (const char* frame : {"Element", "Quality", "House Type"}) EXPECT_NE(n.name, QString::fromLatin1(frame));
        EXPECT_FALSE(n.name.contains(QLatin1Char('\r'))) << n.name.toStdString();
        // What is hidden (the interpretation box's spare scroll bar) says nothing.
        if (!n.showing) EXPECT_TRUE(n.name.isEmpty() && n.description.isEmpty()) << n.name.toStdString();
    }
    std::map<QString, int> inChart, inWindow;
    for (const Node& n : chart)
        if (!n.name.isEmpty()) ++inChart[n.name];
    for (const Node& n : all) {
        if (!n.showing || n.name.isEmpty()) continue;
        ++inWindow[n.name];
        EXPECT_NE(n.description, n.name) << "said twice: " << n.name.toStdString();
    }
    for (const auto& [name, count] : inChart) EXPECT_EQ(count, 1) << name.toStdString();
    for (const auto& [name, count] : inWindow) EXPECT_LE(count, 2) << name.toStdString();
    // The chart is in the window's tree, once.
    int wheels = 0;
    for (const Node& n : all) wheels += n.role == QAccessible::Chart;
    EXPECT_EQ(wheels, 1);
}

// A second chart in the same window says the second chart.
TEST_F(ChartAccessibility, TheWordsFollowTheChartShown) {
    Show(London());
    const QString first = Of(display()->picNatal())->text(QAccessible::Description);
    Calculate(Basel(), state, wheel);
    display()->showPositions(state);
    display()->showWheel(state, wheel);
    const QString second = Of(display()->picNatal())->text(QAccessible::Description);
    EXPECT_NE(first, second);
    EXPECT_EQ(second.toStdString(), WheelDescription(state, wheel));
    EXPECT_EQ(Of(display()->positionRow(0))->text(QAccessible::Name).toStdString(), PositionItem(state, 0));
}

}  // namespace
}  // namespace qv::test
