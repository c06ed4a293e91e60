// What a screen reader finds in the chart window: the chart as text in
// reading order, nothing that no one sees, no label said again and again.
#include <QAccessible>
#include <QTextEdit>
#include <map>

#include "chart/chart_description.h"
#include "chart/personal_data.h"
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
    Show(Basel());
    QAccessibleInterface* form = Of(display());
    ASSERT_EQ(form->childCount(), 4);

    QAccessibleInterface* personal = form->child(0);
    EXPECT_EQ(personal->text(QAccessible::Name), QStringLiteral("Personal Information"));
    ASSERT_EQ(personal->childCount(), 8);
    EXPECT_EQ(personal->child(0)->text(QAccessible::Name).toStdString(), MakePersonalDataLabels(state).lblName);

    QAccessibleInterface* positions = form->child(1);
    EXPECT_EQ(positions->role(), QAccessible::List);
    EXPECT_EQ(positions->text(QAccessible::Name), QStringLiteral("Planetary Positions"));
    ASSERT_EQ(positions->childCount(), 11);
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(positions->child(k)->role(), QAccessible::ListItem);
        EXPECT_EQ(positions->child(k)->text(QAccessible::Name).toStdString(), PositionItem(state, std::size_t(k)));
    }

    QAccessibleInterface* wheelNode = form->child(2);
    EXPECT_EQ(wheelNode->role(), QAccessible::Chart);
    EXPECT_EQ(wheelNode->text(QAccessible::Description).toStdString(), WheelDescription(state, wheel));
    EXPECT_EQ(wheelNode->childCount(), 0);

    // The interpretation as the box shows it, its headings on lines of their own.
    QAccessibleInterface* interpretation = form->child(3);
    EXPECT_EQ(interpretation->text(QAccessible::Name), QStringLiteral("Interpretation"));
    QAccessibleTextInterface* text = interpretation->textInterface();
    ASSERT_NE(text, nullptr);
    const QStringList lines = text->text(0, text->characterCount()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.join(QLatin1Char('\n')), display()->RTB()->toPlainText());
    EXPECT_LT(lines.indexOf(QStringLiteral("Element")), lines.indexOf(QStringLiteral("Quality")));
    EXPECT_LT(lines.indexOf(QStringLiteral("Quality")), lines.indexOf(QStringLiteral("House")));
    EXPECT_GE(lines.indexOf(QStringLiteral("Element")), 0);
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

}  // namespace
}  // namespace qv::test
