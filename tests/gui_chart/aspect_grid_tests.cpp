// The aspect grid beside the display form, the wheel's aspect lines, and
// the list a screen reader reads: each against the chart's JSON.
#include <QAccessible>
#include <QMdiSubWindow>
#include <QMenu>
#include <map>

#include <nlohmann/json.hpp>

#include "chart/aspect_text.h"
#include "formats/chart_json.h"
#include "gui/chart/aspect_grid.h"
#include "gui/chart/aspect_panel.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

using Json = nlohmann::ordered_json;

class AspectGridTest : public ChartTest {
protected:
    AspectGrid* grid() const { return window->aspectPanel()->grid(); }
};

// Chicago: a stellium; Asha; Basel; a birth time not known.
std::vector<BirthFormData> Charts() {
    BirthData unknown = Asha();
    unknown.local.hour = 12;
    unknown.local.minute = 0;
    unknown.timeKnown = false;
    return {Basel(), FormOf(StelliumInChicago()), FormOf(Asha()), FormOf(unknown)};
}

// The point's slot of a name the JSON gives.
int SlotOf(const std::string& name) {
    for (std::size_t k = 0; k < kBodyNames.size(); ++k)
        if (kBodyNames[k] == name) return int(k);
    return -1;
}

// Every cell of the triangle says what the JSON says of its pair, and the
// cells of pairs the JSON lists no aspect for are empty.
TEST_F(AspectGridTest, CellsAgreeWithTheJson) {
    for (const BirthFormData& form : Charts()) {
        Show(form);
        const Json chart = Json::parse(ChartJsonText(state, wheel));
        std::map<std::pair<int, int>, QString> expected;
        for (const Json& x : chart.at("aspects")) {
            QString orb = QString::fromStdString(AspectOrbText(x.at("orb").get<double>()));
            if (x.at("rests_on_time").get<bool>()) orb += QLatin1Char('?');
            expected[{SlotOf(x.at("b")), SlotOf(x.at("a"))}] =
                QString::fromStdString(x.at("aspect").get<std::string>()) + QLatin1Char(' ') + orb;
        }
        int cells = 0;
        for (int row = 0; row < 11; ++row)
            for (int column = 0; column < row; ++column) {
                const auto found = expected.find({row, column});
                EXPECT_EQ(grid()->cellText(row, column), found == expected.end() ? QString() : found->second)
                    << form.txtName << " " << row << "/" << column;
                cells += found != expected.end();
            }
        EXPECT_EQ(cells, int(expected.size())) << form.txtName;
        EXPECT_GT(cells, 5) << form.txtName;
    }
}

// The reader's list: one item per aspect of the JSON, in its order, in words.
TEST_F(AspectGridTest, ReaderListsTheAspects) {
    for (const BirthFormData& form : Charts()) {
        Show(form);
        const Json chart = Json::parse(ChartJsonText(state, wheel));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(grid());
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->role(), QAccessible::List);
        EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Aspects"));
        const Json& aspects = chart.at("aspects");
        ASSERT_EQ(list->childCount(), int(aspects.size()));
        for (int k = 0; k < list->childCount(); ++k) {
            QAccessibleInterface* item = list->child(k);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->role(), QAccessible::ListItem);
            EXPECT_EQ(list->indexOfChild(item), k);
            const Json& x = aspects[std::size_t(k)];
            const auto words = [](const std::string& name) { return name == "Asc" ? std::string("Ascendant") : name; };
            std::string said = words(x.at("a")) + " " + x.at("aspect").get<std::string>() + " " + words(x.at("b")) +
                               ", orb " + AspectOrbText(x.at("orb").get<double>()) +
                               (x.at("applying").get<bool>() ? ", applying" : ", separating");
            if (x.at("rests_on_time").get<bool>()) said += ", rests on the birth time";
            EXPECT_EQ(item->text(QAccessible::Name).toStdString(), said);
        }
    }
}

// Shown beside the display form by default, at its scale; View > Aspects
// hides it and the form fills the room again. The lines are off until
// View > Aspect Lines.
TEST_F(AspectGridTest, ViewEntriesShowAndHide) {
    Show(Basel());
    AspectPanel* panel = window->aspectPanel();
    QMdiSubWindow* frame = child<QMdiSubWindow>(QStringLiteral("frmAspects"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(entry("mnuAspects")->isChecked());
    EXPECT_FALSE(entry("mnuAspectLines")->isChecked());
    EXPECT_FALSE(panel->lines()->isVisible());
    EXPECT_GE(frame->x(), window->displayFrame()->geometry().right());
    EXPECT_EQ(frame->y(), window->displayFrame()->y());
    EXPECT_DOUBLE_EQ(grid()->scale(), display()->scale());

    const double scaleWith = display()->scale();
    entry("mnuAspects")->trigger();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_GE(display()->scale(), scaleWith);
    entry("mnuAspects")->trigger();
    EXPECT_TRUE(frame->isVisible());

    entry("mnuAspectLines")->trigger();
    EXPECT_TRUE(panel->lines()->isVisible());
    EXPECT_EQ(panel->lines()->geometry(), display()->picNatal()->rect());

    // Zoom scales the grid with the form.
    window->zoomIn();
    EXPECT_DOUBLE_EQ(grid()->scale(), display()->scale());
    EXPECT_EQ(grid()->size(), (AspectGridDesignedSize() * display()->scale()).toSize());
}

}  // namespace
}  // namespace qv::test
