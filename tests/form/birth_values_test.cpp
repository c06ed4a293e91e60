#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/birth_values.h"
#include "tests/support/births.h"

namespace qv {
namespace {

struct ValuesCase {
    const char* what;
    std::function<void(BirthValues&)> change;
    std::string message;  // empty: the values pass
};

TEST(BirthValuesToForm, ListRangesThenTheFormsChecksInTheirWords) {
    // clang-format off
    const ValuesCase cases[] = {
        {"first and last years", [](auto& v) { v.year = 1901; v.month = 1; v.day = 1; }, ""},
        {"last day", [](auto& v) { v.year = 2050; v.month = 12; v.day = 31; v.hour = 23; v.minute = 59; }, ""},
        {"month 0", [](auto& v) { v.month = 0; }, "The month must be from 1 to 12"},
        {"month 13", [](auto& v) { v.month = 13; }, "The month must be from 1 to 12"},
        {"day 0", [](auto& v) { v.day = 0; }, "The day must be from 1 to 31"},
        {"day 32", [](auto& v) { v.day = 32; }, "The day must be from 1 to 31"},
        {"year 1900", [](auto& v) { v.year = 1900; }, "The year must be from 1901 to 2050"},
        {"year 2051", [](auto& v) { v.year = 2051; }, "The year must be from 1901 to 2050"},
        {"hour 24", [](auto& v) { v.hour = 24; }, "The hour must be from 0 to 23"},
        {"minute -1", [](auto& v) { v.minute = -1; }, "The minute must be from 0 to 59"},
        {"zone 71", [](auto& v) { v.zoneSlot = 71; }, "The time-zone slot must be a number from 0 to 70"},
        {"zone -1", [](auto& v) { v.zoneSlot = -1; }, "The time-zone slot must be a number from 0 to 70"},
        {"month before zone", [](auto& v) { v.zoneSlot = 99; v.month = 0; }, "The month must be from 1 to 12"},
        {"list before form", [](auto& v) { v.name.clear(); v.hour = 99; }, "The hour must be from 0 to 23"},
        {"no name", [](auto& v) { v.name.clear(); }, "Please Enter Your Name"},
        {"letters in degrees", [](auto& v) { v.lonDegrees = "7x"; }, "Please enter only numbers"},
        {"no direction", [](auto& v) { v.latDirection = LatitudeDirection::None; },
         "Please Select Direction For The Latitude"},
        {"31 April", [](auto& v) { v.month = 4; v.day = 31; }, "Please Enter Correct Date Or Month !"},
        {"29 February 2001", [](auto& v) { v.year = 2001; v.month = 2; v.day = 29; },
         "Please Enter Correct Date Or Month!"},
    };
    // clang-format on
    for (const ValuesCase& c : cases) {
        BirthValues v = test::Asha();
        c.change(v);
        BirthFormData form;
        const auto message = BirthValuesToForm(v, form);
        EXPECT_EQ(message.value_or(""), c.message) << c.what;
    }
}

TEST(BirthValuesToForm, FillsTheListsAtTheirItems) {
    BirthValues v = test::CarlInBasel();
    v.year = 2050;
    v.month = 12;
    v.day = 31;
    BirthFormData form;
    ASSERT_EQ(BirthValuesToForm(v, form), std::nullopt);
    EXPECT_EQ(form.cboYear, 149);
    EXPECT_EQ(form.cboMonth, 11);
    EXPECT_EQ(form.cboDate, 30);
    EXPECT_EQ(form.cboTimeZone, 20);
    EXPECT_EQ(form.optLatSouth, 0);  // North
    EXPECT_EQ(form.optLongEast, 0);  // East
    EXPECT_TRUE(form.chkDST);
    v.year = 1901;
    v.latDirection = LatitudeDirection::South;
    v.lonDirection = LongitudeDirection::West;
    ASSERT_EQ(BirthValuesToForm(v, form), std::nullopt);
    EXPECT_EQ(form.cboYear, 0);
    EXPECT_EQ(form.optLatSouth, 1);
    EXPECT_EQ(form.optLongEast, 1);
}

TEST(DirectionLetters, EitherCaseOfTheirPairOnly) {
    LatitudeDirection lat = LatitudeDirection::None;
    EXPECT_EQ(LatitudeDirectionOf('s', lat), std::nullopt);
    EXPECT_EQ(lat, LatitudeDirection::South);
    EXPECT_EQ(LatitudeDirectionOf('E', lat), "The latitude direction must be N or S");
    EXPECT_EQ(lat, LatitudeDirection::South);
    LongitudeDirection lon = LongitudeDirection::None;
    EXPECT_EQ(LongitudeDirectionOf('w', lon), std::nullopt);
    EXPECT_EQ(lon, LongitudeDirection::West);
    EXPECT_EQ(LongitudeDirectionOf('N', lon), "The longitude direction must be E or W");
}

// clang-format off
TEST(Coordinates, SignedArcMinutesGiveBoxesAndDirections) {
    struct Case {
        int arcMinutes;
        const char *degrees, *minutes;
        bool negative;
    };
    const Case cases[] = {{0, "0", "0", false}, {-1, "0", "1", true}, {59, "0", "59", false},
                          {-5400, "90", "0", true}, {10799, "179", "59", false}};
    for (const Case& c : cases) {
        BirthValues v;
        SetLatitude(v, c.arcMinutes);
        SetLongitude(v, c.arcMinutes);
        EXPECT_EQ(v.latDegrees, c.degrees) << c.arcMinutes;
        EXPECT_EQ(v.latMinutes, c.minutes) << c.arcMinutes;
        EXPECT_EQ(v.lonDegrees, c.degrees) << c.arcMinutes;
        EXPECT_EQ(v.lonMinutes, c.minutes) << c.arcMinutes;
        EXPECT_EQ(v.latDirection, c.negative ? LatitudeDirection::South : LatitudeDirection::North);
        EXPECT_EQ(v.lonDirection, c.negative ? LongitudeDirection::West : LongitudeDirection::East);
    }
}
// clang-format on

}  // namespace
}  // namespace qv
