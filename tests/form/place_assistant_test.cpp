// The form's atlas assistant without widgets: what it keeps of a chosen
// place, the lines it writes under the zone row, and the question before a
// chart the atlas contradicts.
#include <gtest/gtest.h>

#include <functional>

#include "atlas/places.h"
#include "chart/place_assistant.h"
#include "state/time_zones.h"

namespace qv {
namespace {

Place Found(const char* text) {
    const std::vector<Place> found = FindPlaces(text, 1);
    EXPECT_EQ(found.size(), 1u) << text;
    return found.empty() ? Place{} : found.front();
}

BirthFormData At(int year, int month, int day, int hour, int minute) {
    BirthFormData form;
    form.txtName = "Ada";
    form.cboYear = YearItem(year);
    form.cboMonth = month - 1;
    form.cboDate = day - 1;
    form.cboHour = hour;
    form.cboMinute = minute;
    return form;
}

std::int32_t Offset(const BirthFormData& form) { return FormOffsetSeconds(form).value_or(-1); }

// A chosen place's zone follows the birth moment until the user sets one;
// editing leaves lines that say what is still the place's.
TEST(PlaceAssistant, WhatTheUserChangesIsKeptAndSaid) {
    PlaceAssistant a;
    BirthFormData form = At(1962, 1, 15, 14, 30);
    a.choosePlace(Found("Chicago, Illinois"), form);
    EXPECT_EQ(form.cboTimeZone, 21);  // CST
    EXPECT_EQ(a.line(), "Chicago: CST, UTC\u22126:00 on January 15, 1962");
    const std::string leftOver =
        "Coordinates and zone are Chicago's, Illinois: choose the new place from the list, or type its coordinates "
        "and zone";
    struct Step {
        const char* what;
        std::function<void(PlaceAssistant&, BirthFormData&)> act;
        std::string line;
        int zone;
    };
    const Step steps[] = {
        {"summer", [](PlaceAssistant& p, BirthFormData& f) { f.cboMonth = 5, p.momentChanged(f); },
         "Chicago: CDT, UTC\u22125:00 on June 15, 1962", 18},
        {"another city typed", [](PlaceAssistant& p, BirthFormData& f) { f.txtCity = "Springfield", p.cityEdited(f); },
         leftOver, 18},
        {"the zone still follows Chicago's clock",
         [](PlaceAssistant& p, BirthFormData& f) { f.cboMonth = 0, p.momentChanged(f); }, leftOver, 21},
        {"Chicago typed again", [](PlaceAssistant& p, BirthFormData& f) { f.txtCity = "chicago", p.cityEdited(f); },
         "Chicago: CST, UTC\u22126:00 on January 15, 1962", 21},
        {"a zone by hand", [](PlaceAssistant& p, BirthFormData& f) { f.cboTimeZone = 19, p.zoneChangedByHand(f); },
         "Set by hand: the atlas gives CST, UTC\u22126:00", 19},
        {"kept through a date change", [](PlaceAssistant& p, BirthFormData& f) { f.cboMonth = 5, p.momentChanged(f); },
         "Set by hand: the atlas gives CDT, UTC\u22125:00", 19},
        {"another city and its own latitude",
         [](PlaceAssistant& p, BirthFormData& f) {
             f.txtCity = "Peoria", p.cityEdited(f);
             f.txtLatD = "40", p.coordinatesChangedByHand(f);
         },
         "", 19},
    };
    for (const Step& s : steps) {
        s.act(a, form);
        EXPECT_EQ(a.line(), s.line) << s.what;
        EXPECT_EQ(form.cboTimeZone, s.zone) << s.what;
    }
    EXPECT_FALSE(a.place().has_value()) << "nothing of Chicago is left";
}

// The question names both clocks or places; "use the atlas's" mends the
// form, "keep mine" is not asked again, and nothing is asked when the atlas
// agrees or has nothing to say.
TEST(PlaceAssistant, AsksOnceBeforeAChartTheAtlasContradicts) {
    {  // A zone by hand that is not the place's clock.
        PlaceAssistant a;
        BirthFormData form = At(1962, 6, 15, 14, 30);
        a.choosePlace(Found("Chicago, Illinois"), form);
        EXPECT_FALSE(a.question(form).has_value()) << "the place's own clock";
        form.cboTimeZone = 0;  // AHDT, UTC−9:00
        a.zoneChangedByHand(form);
        const auto q = a.question(form);
        ASSERT_TRUE(q.has_value());
        EXPECT_EQ(q->kind, AtlasQuestion::Kind::PlaceZone);
        EXPECT_EQ(q->text,
                  "The chosen zone (AHDT, UTC\u22129:00) is not the clock of Chicago, Illinois, United States of "
                  "America at 14:30 on June 15, 1962: the atlas gives CDT, UTC\u22125:00.\nUse the atlas's clock, "
                  "keep your zone, or go back to the form?");
        BirthFormData kept = form;
        EXPECT_FALSE(a.answer(*q, AtlasAnswer::GoBack, kept));
        EXPECT_EQ(kept, form);
        EXPECT_TRUE(a.answer(*q, AtlasAnswer::UseAtlas, form));
        EXPECT_EQ(Offset(form), -5 * 3600);
        EXPECT_FALSE(a.question(form).has_value());
        form.cboTimeZone = 0;
        a.zoneChangedByHand(form);
        ASSERT_TRUE(a.question(form).has_value());
        EXPECT_TRUE(a.answer(*a.question(form), AtlasAnswer::KeepMine, form));
        EXPECT_EQ(Offset(form), -9 * 3600);
        EXPECT_FALSE(a.question(form).has_value()) << "asked once";
        form.txtName = "Bea";
        EXPECT_FALSE(a.question(form).has_value()) << "another name asks nothing new";
        form.cboHour = 3;
        EXPECT_TRUE(a.question(form).has_value()) << "another moment is asked about";
    }
    {  // Coordinates typed with the list's first zone: the nearest place's clock.
        PlaceAssistant a;
        BirthFormData form = At(1980, 1, 15, 12, 0);
        form.txtLatD = "47", form.txtLatM = "35", form.optLatSouth = 0;
        form.txtLonD = "11", form.txtLonM = "4", form.optLongEast = 0;
        a.coordinatesChangedByHand(form);
        EXPECT_TRUE(a.wantsAtlas());
        EXPECT_FALSE(a.question(form).has_value()) << "the atlas not read: nothing to say yet";
        LoadAtlas();
        a.atlasLoaded(form);
        EXPECT_EQ(a.line(), "Nearest atlas place: Garmisch-Partenkirchen, 10 km: CET, UTC+1:00");
        const auto q = a.question(form);
        ASSERT_TRUE(q.has_value());
        EXPECT_EQ(q->kind, AtlasQuestion::Kind::NearbyZone);
        EXPECT_NE(q->text.find("(AHDT, UTC\u22129:00)"), std::string::npos) << q->text;
        EXPECT_NE(q->text.find("Garmisch-Partenkirchen"), std::string::npos) << q->text;
        EXPECT_NE(q->text.find("CET, UTC+1:00"), std::string::npos) << q->text;
        EXPECT_TRUE(a.answer(*q, AtlasAnswer::UseAtlas, form));
        EXPECT_EQ(Offset(form), 3600);
        EXPECT_FALSE(a.question(form).has_value());
        EXPECT_EQ(a.chartZoneId(), "Europe/Berlin");

        form.txtLonD = "30", form.optLongEast = 1;  // the Atlantic: nothing to say
        form.cboTimeZone = 0;
        a.coordinatesChangedByHand(form);
        EXPECT_EQ(a.line(), "No atlas place within 100 km");
        EXPECT_FALSE(a.question(form).has_value());
    }
    {  // City names another place than the one whose coordinates are held.
        LoadAtlas();
        PlaceAssistant a;
        BirthFormData form = At(1962, 6, 15, 14, 30);
        a.choosePlace(Found("Chicago, Illinois"), form);
        form.txtCity = "Boston";
        a.cityEdited(form);
        const auto q = a.question(form);
        ASSERT_TRUE(q.has_value());
        EXPECT_EQ(q->kind, AtlasQuestion::Kind::OtherCity);
        EXPECT_NE(q->text.find("Chicago, Illinois"), std::string::npos) << q->text;
        EXPECT_NE(q->text.find("The atlas has Boston, "), std::string::npos) << q->text;
        EXPECT_TRUE(a.answer(*q, AtlasAnswer::UseAtlas, form));
        EXPECT_EQ(form.txtCity, "Boston");
        EXPECT_EQ(form.txtLatD, "42");
        EXPECT_EQ(Offset(form), -4 * 3600);  // EDT
        EXPECT_FALSE(a.question(form).has_value());

        form.txtCity = "Xqzzy";  // no such place: the held place's names back
        a.cityEdited(form);
        const auto unknown = a.question(form);
        ASSERT_TRUE(unknown.has_value());
        EXPECT_NE(unknown->text.find("knows no place of that name"), std::string::npos) << unknown->text;
        EXPECT_TRUE(a.answer(*unknown, AtlasAnswer::UseAtlas, form));
        EXPECT_EQ(form.txtCity, "Boston");
    }
}

}  // namespace
}  // namespace qv
