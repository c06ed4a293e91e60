// The display form as a calculation leaves it: personal data, position table,
// house boxes, sign pictures, the hidden sign boxes and the rich text.
#include <QGroupBox>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>

#include "chart/personal_data.h"
#include "tests/gui_chart/chart_fixture.h"

namespace qv::test {
namespace {

const char* const kSignNames[12] = {"Aries", "Taurus",  "Gemini",      "Cancer",    "Leo",      "Virgo",
                                    "Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

// Sign 0..11 of the ascendant, from the position text of slot 10.
int AscendantSign(const ChartState& s) {
    for (int i = 0; i < 12; ++i)
        if (s.PlanetPosition[10].substr(3, 3) == s.SignAbbrevList[i]) return i;
    return -1;
}

// One character of the interpretation box with the format it is shown in;
// line breaks carry no format of their own.
struct ShownChar {
    QChar c;
    QRgb colour;
    bool bold;
    bool operator==(const ShownChar&) const = default;
};

std::vector<ShownChar> Expand(const std::vector<StyledRun>& runs) {
    std::vector<ShownChar> out;
    for (const StyledRun& r : runs)
        for (QChar c : QString::fromStdString(r.text.str()))
            out.push_back(c == u'\n' ? ShownChar{c, 0, false} : ShownChar{c, qRgb(r.red, r.green, r.blue), r.bold});
    return out;
}

std::vector<ShownChar> Shown(const QTextDocument& doc) {
    std::vector<ShownChar> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QRgb colour = f.charFormat().foreground().color().rgb();
            const bool bold = f.charFormat().fontWeight() >= QFont::Bold;
            for (QChar c : f.text()) out.push_back({c, colour, bold});
        }
        if (b.next().isValid()) out.push_back({u'\n', 0, false});
    }
    return out;
}

struct Case {
    const char* label;
    BirthFormData form;
    const char* lagna;  // ascendant's sign
    const char* rashi;  // Moon's sign
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class CalculatedChart : public ChartTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CalculatedChart, PositionTableShowsTheElevenPositionTexts) {
    Show(GetParam().form);
    for (int k = 0; k <= 10; ++k) {
        QLabel* planet = child<QLabel>(QStringLiteral("Planet_%1").arg(k));
        EXPECT_EQ(planet->text().toStdString(), state.PlanetPosition[k]) << k;
        EXPECT_TRUE(planet->isVisibleTo(display())) << k;
    }
    // The rows as laid out: captions next to their positions, the spare
    // elements below the frame's edge where nobody sees them.
    const char* const captions[11] = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                                      "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};
    const int nameIndex[11] = {0, 1, 2, 3, 4, 5, 6, 13, 14, 15, 16};
    auto* frame = child<QGroupBox>(QStringLiteral("fraWestern"));
    for (int k = 0; k <= 10; ++k) {
        QLabel* name = child<QLabel>(QStringLiteral("PlanetName_%1").arg(nameIndex[k]));
        EXPECT_EQ(name->text(), QLatin1String(captions[k]));
        EXPECT_EQ(name->y(), child<QLabel>(QStringLiteral("Planet_%1").arg(k))->y()) << k;
        EXPECT_LT(name->geometry().bottom(), frame->height()) << k;
    }
    for (int i = 7; i <= 12; ++i)
        EXPECT_GE(child<QLabel>(QStringLiteral("PlanetName_%1").arg(i))->y(), frame->height()) << i;
    for (int i = 11; i <= 15; ++i) {
        QLabel* spare = child<QLabel>(QStringLiteral("Planet_%1").arg(i));
        EXPECT_GE(spare->y(), frame->height()) << i;
        EXPECT_TRUE(spare->text().isEmpty()) << i;
    }
}

TEST_P(CalculatedChart, HouseBoxesAndPicturesFollowTheAscendantsSign) {
    Show(GetParam().form);
    const int asc = AscendantSign(state);
    ASSERT_GE(asc, 0);
    for (int h = 0; h < 12; ++h) {
        const int sign = (asc + h) % 12;
        auto* box = child<HouseBox>(QStringLiteral("lblNatal_%1").arg(h));
        EXPECT_EQ(box->text().toStdString(), BoxText(state, wheel.signBoxes[sign])) << h;
        auto* image = child<SignImage>(QStringLiteral("imgSign_%1").arg(h));
        EXPECT_EQ(image->property("picture").toInt(), sign + 1) << h;
    }
    // House 1 holds the ascendant, last in its box.
    EXPECT_EQ(child<HouseBox>(QStringLiteral("lblNatal_0"))->shownLines().last(), "Asc");
}

TEST_P(CalculatedChart, EveryBodyStandsOnceInTheWheel) {
    Show(GetParam().form);
    QStringList shown;
    for (int h = 0; h < 12; ++h) shown += child<HouseBox>(QStringLiteral("lblNatal_%1").arg(h))->shownLines();
    QStringList expected;
    for (int k = 0; k <= 9; ++k) expected << QString::fromStdString(state.BodyLabel[k].str()).trimmed();
    expected << QStringLiteral("Asc");
    shown.sort();
    expected.sort();
    EXPECT_EQ(shown, expected);
}

TEST_P(CalculatedChart, SignNamesOfAscendantAndMoon) {
    Show(GetParam().form);
    EXPECT_EQ(display()->lblLagna()->text(), QLatin1String(GetParam().lagna));
    EXPECT_EQ(display()->lblRashi()->text(), QLatin1String(GetParam().rashi));
    EXPECT_EQ(display()->lblLagna()->objectName(), "lblLagna");
    EXPECT_EQ(display()->lblRashi()->objectName(), "lblRashi");
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("fraVedic"))->isVisibleTo(display()));
}

TEST_P(CalculatedChart, SignBoxesCollectedThenHidden) {
    Show(GetParam().form);
    for (int s = 0; s < 12; ++s) {
        QLabel* box = child<QLabel>(QStringLiteral("lblNatal") + QLatin1String(kSignNames[s]));
        EXPECT_EQ(box->text().toStdString(), BoxText(state, wheel.signBoxes[s])) << kSignNames[s];
        EXPECT_FALSE(box->isVisibleTo(display())) << kSignNames[s];
    }
}

TEST_P(CalculatedChart, RichTextShowsTheRunsInTheirColoursAndWeights) {
    Show(GetParam().form);
    ASSERT_FALSE(state.InterpretationRuns.empty());
    const QTextDocument& doc = *display()->RTB()->document();
    EXPECT_EQ(Shown(doc), Expand(state.InterpretationRuns));
    std::string all;
    for (const StyledRun& r : state.InterpretationRuns) all += r.text;
    EXPECT_EQ(display()->RTB()->toPlainText().toStdString(), all);
    // The first lines: the blue bold heading, then the green introduction.
    const std::vector<ShownRun> runs = display()->RTB()->shownRuns();
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0], (ShownRun{"Element\n", 0, 0, 128, true}));
    EXPECT_EQ(runs[1].green, 128);
    EXPECT_FALSE(runs[1].bold);
    EXPECT_TRUE(display()->RTB()->isReadOnly());
}

TEST_P(CalculatedChart, PersonalDataLabelsWrittenAtLoad) {
    Show(GetParam().form);
    const PersonalDataLabels expected = MakePersonalDataLabels(state);
    const std::pair<const char*, std::string> labels[8] = {{"lblName", expected.lblName},
                                                           {"lblDOB", expected.lblDOB},
                                                           {"lblTOB", expected.lblTOB},
                                                           {"lblLatitude", expected.lblLatitude},
                                                           {"lblLongitude", expected.lblLongitude},
                                                           {"lblCity", expected.lblCity},
                                                           {"lblState", expected.lblState},
                                                           {"lblCountry", expected.lblCountry}};
    for (const auto& [name, text] : labels) {
        EXPECT_EQ(display()->personalLabel(name)->text().toStdString(), text) << name;
        EXPECT_EQ(display()->personalLabel(name)->parent()->objectName(), "Frame1") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(People, CalculatedChart,
                         ::testing::Values(Case{"London1915", London(), "Libra", "Aquarius"},
                                           Case{"Basel1975", Basel(), "Capricorn", "Pisces"},
                                           Case{"SydneyNewYear",
                                                FormOf({.name = "Nell",
                                                        .local = {2000, 1, 1, 0, 5},
                                                        .zoneSlot = 7,
                                                        .latitude = {33, 52, true},
                                                        .longitude = {151, 12},
                                                        .city = "Sydney",
                                                        .state = "NSW",
                                                        .country = "Australia"}),
                                                "Virgo", "Scorpio"}),
                         [](const auto& info) { return std::string(info.param.label); });

void ExpectDesignedForm(FrmDisplay* d);

// A chart filled by hand, for the cases a calculation cannot easily give.
class HandFilledChart : public ChartTest {
protected:
    void Fill(int ascSign) {
        LoadFixedLists(state);
        state.BirthName = "Test";
        for (int k = 0; k <= 10; ++k) state.PlanetPosition[k] = "01 " + state.SignAbbrevList[ascSign] + " 00";
        wheel = ChartWheel{};
        for (int h = 0; h < 12; ++h) wheel.imgSign[h] = (ascSign + h) % 12 + 1;
        wheel.firstHouseSign = ascSign;
        state.BodyLabel[2] = "Mercury (R) ";
        wheel.signBoxes[ascSign] = {0b101, true};  // Sun, Mercury
        wheel.lblLagna = FixedText::Of(kSignNames[ascSign]);
        wheel.lblRashi = FixedText::Of(kSignNames[(ascSign + 3) % 12]);
        state.InterpretationRuns = {{"Element\n", 0, 0, 128, true}, {"x\n", 0, 128, 0, false}};
        window = std::make_unique<ChartWindow>(state, dialogs);
        window->showChart(wheel);
    }
};

TEST_F(HandFilledChart, AscendantInPiscesWrapsThePicturesToAries) {
    Fill(11);
    EXPECT_EQ(display()->findChild<SignImage*>("imgSign_0")->picture(), 12);
    EXPECT_EQ(display()->findChild<SignImage*>("imgSign_1")->picture(), 1);
    EXPECT_EQ(display()->findChild<SignImage*>("imgSign_11")->picture(), 11);
    EXPECT_EQ(display()->lblLagna()->text(), "Pisces");
}

TEST_F(HandFilledChart, HouseBoxShowsItsLinesWithoutTheLeadingBreak) {
    Fill(0);
    auto* first = display()->findChild<HouseBox*>("lblNatal_0");
    EXPECT_EQ(first->text(), "\r\nSun\r\nMercury (R) \r\nAsc");
    EXPECT_EQ(first->shownLines(), (QStringList{"Sun", "Mercury (R)", "Asc"}));
    auto* empty = display()->findChild<HouseBox*>("lblNatal_5");
    EXPECT_TRUE(empty->shownLines().isEmpty());
    EXPECT_EQ(empty->sizeHint(), QSize(0, 0));
}

TEST_F(HandFilledChart, UnknownPictureNumberKeepsThePicture) {
    Fill(2);
    wheel.imgSign.fill(0);  // the wheel could not tell the ascendant's sign
    wheel.lblLagna = {};
    display()->showWheel(state, wheel);
    EXPECT_EQ(display()->findChild<SignImage*>("imgSign_0")->picture(), 3);
    EXPECT_EQ(display()->lblLagna()->text(), "Gemini");
}

TEST_F(HandFilledChart, RedrawReplacesTheWholeText) {
    Fill(0);
    display()->showInterpretation({{"Quality\n", 0, 0, 128, true}});
    EXPECT_EQ(display()->RTB()->toPlainText(), "Quality\n");
    display()->showInterpretation({});
    EXPECT_TRUE(display()->RTB()->toPlainText().isEmpty());
}

TEST_F(HandFilledChart, HiddenControlsExistAndStayHidden) {
    Fill(0);
    for (const char* name :
         {"fraVedic", "Frame2", "Frame3", "Frame4", "Picture1", "txtFolder", "txtFile", "picNatal_", "lblNakshatra",
          "lblPada", "lblLord", "lblAyanamsha", "lblLagnaPosition", "lblElement_3", "lblQuality_2", "lblHouse_2"}) {
        QWidget* w = display()->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_FALSE(w->isVisibleTo(display())) << name;
    }
}

TEST_F(HandFilledChart, FormLooksAsDesigned) {
    Fill(0);
    // The window fills its area with a larger form; the design is kept at scale 1.
    display()->atDesignedSize([this] { ExpectDesignedForm(display()); });
}

void ExpectDesignedForm(FrmDisplay* d) {
    EXPECT_EQ(d->windowTitle(), "Quorvane v1.15");  // the program's one version
    EXPECT_EQ(d->size(), QSize(636, 534));          // 9540 x 8010 twips
    EXPECT_EQ(d->palette().color(QPalette::Window), QColor(Qt::white));
    const std::pair<const char*, QRect> regions[4] = {{"RTB", QRect(0, 0, 167, 253)},
                                                      {"fraWestern", QRect(0, 260, 167, 267)},
                                                      {"Frame1", QRect(176, 0, 450, 87)},
                                                      {"picNatal", QRect(176, 96, 450, 431)}};
    for (const auto& [name, rect] : regions) {
        QWidget* w = d->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->geometry(), rect) << name;
    }
    EXPECT_EQ(d->findChild<QGroupBox*>("Frame1")->title(), "Personal Information");
    EXPECT_EQ(d->findChild<QGroupBox*>("fraWestern")->title(), "Planetary Positions");
    EXPECT_TRUE(d->findChild<QGroupBox*>("Frame1")->font().bold());
    EXPECT_DOUBLE_EQ(d->findChild<QLabel*>("Planet_0")->font().pointSizeF(), 9.75);
}

// Long personal data: cut with "…" at the column's edge, whole in the tooltip.
struct ElisionCase {
    const char* label;
    std::string name, city;
    bool cut;  // the name line is too long for its column
};

void PrintTo(const ElisionCase& c, std::ostream* os) { *os << c.label; }

class PersonalDataElision : public ::testing::TestWithParam<ElisionCase> {};

TEST_P(PersonalDataElision, LongLinesEndInAnEllipsisInsideTheirColumn) {
    ChartState state;
    state.BirthName = GetParam().name;
    state.BirthCity = GetParam().city;
    FrmDisplay form(state);
    for (const char* name : {"lblName", "lblCity"}) {
        auto* label = qobject_cast<ElidedLabel*>(form.personalLabel(name));
        ASSERT_NE(label, nullptr) << name;
        const QString full = QString::fromStdString(name == std::string("lblName") ? "Name: " + GetParam().name
                                                                                   : "City: " + GetParam().city);
        EXPECT_EQ(label->text(), full) << name;
        EXPECT_EQ(label->toolTip(), full) << name;
        const QString shown = label->shownText();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width()) << name;
        if (shown == full) continue;
        EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
        EXPECT_TRUE(full.startsWith(shown.chopped(1))) << shown.toStdString();
    }
    auto* nameLabel = qobject_cast<ElidedLabel*>(form.personalLabel("lblName"));
    EXPECT_EQ(nameLabel->shownText() != nameLabel->text(), GetParam().cut);
    // The right column starts after the left one ends.
    EXPECT_LT(form.personalLabel("lblName")->geometry().right(), form.personalLabel("lblDOB")->x());
}

INSTANTIATE_TEST_SUITE_P(
    Names, PersonalDataElision,
    ::testing::Values(
        ElisionCase{"Short", "Ada", "Rome", false},
        ElisionCase{"ManyWords", "Maximiliana Alexandrina Fitzgerald Montgomery of Wessex", "Basel", true},
        ElisionCase{"OneLongWord", "Ada", "Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch", false},
        ElisionCase{"Empty", "", "", false}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace qv::test
