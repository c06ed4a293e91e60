// The form's "Precise positions": the engine it chooses for the session, the
// heading that says so, and a refusal when the ephemeris files are missing.
#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QTemporaryDir>

#include "ephemeris/chart_engine.h"
#include "formats/text_export.h"
#include "gui/chart/frm_display.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

void Back(ChartWindow* window) {
    auto* back = window->findChild<QAction*>(QStringLiteral("mnuBack"));
    ASSERT_NE(back, nullptr);
    back->trigger();
}

void SetBox(QCheckBox* box, bool ticked) {
    if (box->isChecked() != ticked) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));
    ASSERT_EQ(box->isChecked(), ticked);
}

TEST_F(AppTest, PreciseBoxChoosesTheEngineForTheSession) {
    app->setPreciseEngine(EphemerisEngine());
    QCheckBox* precise = child<QCheckBox>("chkPrecise");
    ASSERT_NE(precise, nullptr);
    EXPECT_EQ(precise->text(), QStringLiteral("Precise positions"));
    EXPECT_FALSE(precise->isChecked());
    enter(kAda);
    struct Step {
        bool ticked;
        const char* heading;
        PositionsFrom source;
    };
    const Step steps[] = {
        {true, "Planetary Positions (ephemeris)", PositionsFrom::Ephemeris},
        {false, "Planetary Positions", PositionsFrom::Formulas},
        {true, "Planetary Positions (ephemeris)", PositionsFrom::Ephemeris},
    };
    double previousSun = -1.0;
    for (const Step& s : steps) {
        SetBox(precise, s.ticked);
        click("cmdCalculate");
        ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
        ASSERT_NE(chart(), nullptr);
        const QGroupBox* frame = chart()->display()->fraWestern();
        EXPECT_EQ(frame->title(), QString::fromLatin1(s.heading));
        EXPECT_LE(QFontMetrics(frame->font()).horizontalAdvance(frame->title()), frame->width()) << "not cut off";
        EXPECT_EQ(app->state().PositionSource, s.source);
        // The two engines agree to the minute on most bodies, never to the bit.
        EXPECT_NE(app->state().BodyLongitude[0], previousSun) << s.heading;
        previousSun = app->state().BodyLongitude[0];
        Back(chart());
        settle();
        EXPECT_EQ(precise->isChecked(), s.ticked) << "kept after Back";
    }
}

TEST_F(AppTest, PreciseWithoutTheFilesIsRefusedAndChangesNothing) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    app->setPreciseEngine(EphemerisEngine(empty.path().toStdString()));
    enter(kAda);
    click("cmdCalculate");
    ASSERT_NE(chart(), nullptr);
    Back(chart());
    settle();

    enter(kCarl);
    SetBox(child<QCheckBox>("chkPrecise"), true);
    const BirthFormData typed = form->formData();
    const std::string shown = MakeTextExport(app->state());
    click("cmdCalculate");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.lastMessage().contains(QStringLiteral("swe-standard-data")))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.lastIcon(), MessageIcon::Error);
    EXPECT_EQ(chart(), nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->formData(), typed);
    EXPECT_EQ(MakeTextExport(app->state()), shown);
}

}  // namespace
}  // namespace qv::test
