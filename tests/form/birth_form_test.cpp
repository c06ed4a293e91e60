#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "chart/birth_form.h"
#include "state/time_zones.h"
#include "tests/support/births.h"

namespace qv {
namespace {

// A form that passes every check: 15 June 1975 14:30, Indian Time.
BirthFormData GoodForm() { return test::FormOf(test::Asha()); }

struct CheckCase {
    const char* what;
    std::function<void(BirthFormData&)> change;
    int check;
    std::string message;
    MessageIcon icon;
    std::string focus;
};

TEST(ValidateInput, EachCheckWithItsMessageIconAndFocus) {
    const auto E = MessageIcon::Error;
    const auto I = MessageIcon::Information;
    const std::string kLat = "Latitude must be from 0 to 90 degrees";
    const std::string kLon = "Longitude must be from 0 to 180 degrees";
    const std::string kMin = "Minutes must be from 0 to 59";
    // clang-format off
    const CheckCase cases[] = {
        {"no name", [](auto& f) { f.txtName.clear(); }, 1, "Please Enter Your Name", E, "txtName"},
        {"no lat deg", [](auto& f) { f.txtLatD.clear(); }, 2, "Please Enter Degree of Latitude", E, "txtLatD"},
        {"no lat min", [](auto& f) { f.txtLatM.clear(); }, 3, "Please Enter Minutes of Latitude", E, "txtLatM"},
        {"no lon deg", [](auto& f) { f.txtLonD.clear(); }, 4, "Please Enter Degree of Longitude", E, "txtLonD"},
        {"no lon min", [](auto& f) { f.txtLonM.clear(); }, 5, "Please Enter Minute of Longitude", E, "txtLonM"},
        {"pasted letters", [](auto& f) { f.txtLatD = "5a"; }, 5, "Please enter only numbers", E, "txtLatD"},
        {"pasted sign", [](auto& f) { f.txtLatM = "-3"; }, 5, "Please enter only numbers", E, "txtLatM"},
        {"pasted fraction", [](auto& f) { f.txtLonD = "7.5"; }, 5, "Please enter only numbers", E, "txtLonD"},
        {"four digits", [](auto& f) { f.txtLonM = "1234"; }, 5, "Please enter only numbers", E, "txtLonM"},
        {"blank in box", [](auto& f) { f.txtLonM = " 1"; }, 5, "Please enter only numbers", E, "txtLonM"},
        {"non-ASCII digit", [](auto& f) { f.txtLatD = "\u0663"; }, 5, "Please enter only numbers", E, "txtLatD"},
        {"no city", [](auto& f) { f.txtCity.clear(); }, 6, "Please Enter Your City name", E, "txtCity"},
        {"no state", [](auto& f) { f.txtState.clear(); }, 7, "Please Enter Your State name", E, "txtState"},
        {"no country", [](auto& f) { f.txtCountry.clear(); }, 8, "Please Enter Your Country name", E, "txtCountry"},
        {"no lat dir", [](auto& f) { f.optLatSouth = -1; }, 9, "Please Select Direction For The Latitude", E, ""},
        {"no lon dir", [](auto& f) { f.optLongEast = -1; }, 10, "Please Select Direction For The Longitude", E, ""},
        {"29 Feb 1901", [](auto& f) { f.cboMonth = 1; f.cboDate = 28; f.cboYear = YearItem(1901); }, 11,
         "Please Enter Correct Date Or Month!", I, ""},
        {"29 Feb 2001", [](auto& f) { f.cboMonth = 1; f.cboDate = 28; f.cboYear = YearItem(2001); }, 11,
         "Please Enter Correct Date Or Month!", I, ""},
        {"30 Feb 2000", [](auto& f) { f.cboMonth = 1; f.cboDate = 29; f.cboYear = YearItem(2000); }, 11,
         "Please Enter Correct Date Or Month!", I, ""},
        {"31 Feb 2004", [](auto& f) { f.cboMonth = 1; f.cboDate = 30; f.cboYear = YearItem(2004); }, 11,
         "Please Enter Correct Date Or Month!", I, ""},
        {"31 April", [](auto& f) { f.cboMonth = 3; f.cboDate = 30; }, 12, "Please Enter Correct Date Or Month !", I, ""},
        {"31 June 1950", [](auto& f) { f.cboMonth = 5; f.cboDate = 30; f.cboYear = YearItem(1950); }, 12,
         "Please Enter Correct Date Or Month !", I, ""},
        {"31 September", [](auto& f) { f.cboMonth = 8; f.cboDate = 30; }, 12, "Please Enter Correct Date Or Month !", I,
         ""},
        {"31 November", [](auto& f) { f.cboMonth = 10; f.cboDate = 30; }, 12, "Please Enter Correct Date Or Month !", I,
         ""},
        // Several faults: the first in order wins.
        {"name and city", [](auto& f) { f.txtName.clear(); f.txtCity.clear(); }, 1, "Please Enter Your Name", E,
         "txtName"},
        {"letters before empty city", [](auto& f) { f.txtLonD = "x"; f.txtCity.clear(); }, 5,
         "Please enter only numbers", E, "txtLonD"},
        {"empty lon min before bad lat", [](auto& f) { f.txtLatD = "x"; f.txtLonM.clear(); }, 5,
         "Please Enter Minute of Longitude", E, "txtLonM"},
        {"city before directions", [](auto& f) { f.txtCity.clear(); f.optLatSouth = -1; }, 6,
         "Please Enter Your City name", E, "txtCity"},
        // The coordinate ranges, after the twelve, in box order.
        {"latitude 91", [](auto& f) { f.txtLatD = "91"; f.txtLatM = "0"; }, 13, kLat, E, "txtLatD"},
        {"latitude 999:999", [](auto& f) { f.txtLatD = "999"; f.txtLatM = "999"; }, 13, kLat, E, "txtLatD"},
        {"latitude 90:01, minutes push it over", [](auto& f) { f.txtLatD = "90"; f.txtLatM = "1"; }, 13, kLat, E,
         "txtLatM"},
        {"latitude minutes 60", [](auto& f) { f.txtLatM = "60"; }, 15, kMin, E, "txtLatM"},
        {"latitude 90:60", [](auto& f) { f.txtLatD = "90"; f.txtLatM = "60"; }, 15, kMin, E, "txtLatM"},
        {"longitude 181", [](auto& f) { f.txtLonD = "181"; }, 14, kLon, E, "txtLonD"},
        {"longitude 180:30", [](auto& f) { f.txtLonD = "180"; f.txtLonM = "30"; }, 14, kLon, E, "txtLonM"},
        {"longitude minutes 099", [](auto& f) { f.txtLonM = "099"; }, 15, kMin, E, "txtLonM"},
        {"latitude before longitude", [](auto& f) { f.txtLatM = "75"; f.txtLonD = "200"; }, 15, kMin, E, "txtLatM"},
        {"the twelve come first", [](auto& f) { f.txtLatD = "999"; f.cboMonth = 3; f.cboDate = 30; }, 12,
         "Please Enter Correct Date Or Month !", I, ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        BirthFormData f = GoodForm();
        c.change(f);
        const auto failure = ValidateInput(f);
        ASSERT_TRUE(failure.has_value()) << c.what;
        EXPECT_EQ(failure->check, c.check) << c.what;
        EXPECT_EQ(failure->message, c.message) << c.what;
        EXPECT_EQ(failure->icon, c.icon) << c.what;
        EXPECT_EQ(failure->focus, c.focus) << c.what;
    }
}

TEST(ValidateInput, AcceptedForms) {
    // clang-format off
    const std::pair<const char*, std::function<void(BirthFormData&)>> cases[] = {
        {"as is", [](auto&) {}},
        {"29 Feb 2000", [](auto& f) { f.cboMonth = 1; f.cboDate = 28; f.cboYear = YearItem(2000); }},
        {"29 Feb 2004", [](auto& f) { f.cboMonth = 1; f.cboDate = 28; f.cboYear = YearItem(2004); }},
        {"28 Feb 1901", [](auto& f) { f.cboMonth = 1; f.cboDate = 27; f.cboYear = YearItem(1901); }},
        {"31 December 2050", [](auto& f) { f.cboMonth = 11; f.cboDate = 30; f.cboYear = YearItem(2050); }},
        {"30 April", [](auto& f) { f.cboMonth = 3; f.cboDate = 29; }},
        {"31 March", [](auto& f) { f.cboMonth = 2; f.cboDate = 30; }},
        {"the poles", [](auto& f) { f.txtLatD = "90"; f.txtLatM = "0"; }},
        {"the date line, leading zeros", [](auto& f) { f.txtLonD = "180"; f.txtLonM = "000"; }},
        {"last minutes", [](auto& f) { f.txtLatD = "89"; f.txtLatM = "59"; f.txtLonD = "179"; f.txtLonM = "059"; }},
        {"South and West", [](auto& f) { f.optLatSouth = 1; f.optLongEast = 1; }},
    };
    // clang-format on
    for (const auto& [what, change] : cases) {
        BirthFormData f = GoodForm();
        change(f);
        const auto failure = ValidateInput(f);
        EXPECT_FALSE(failure.has_value()) << what << ": " << (failure ? failure->message : "");
    }
}

TEST(ValidateInput, ThreePressesWithNoDirection) {
    BirthFormData f = GoodForm();
    f.optLatSouth = -1;
    f.optLongEast = -1;

    auto first = ValidateInput(f);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message, "Please Select Direction For The Latitude");
    EXPECT_EQ(first->selectLatSouth, 0);
    EXPECT_EQ(first->selectLongEast, -1);
    f.optLatSouth = first->selectLatSouth;  // the form selects "North"

    auto second = ValidateInput(f);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->message, "Please Select Direction For The Longitude");
    EXPECT_EQ(second->selectLongEast, 0);
    f.optLongEast = second->selectLongEast;  // the form selects "East"

    EXPECT_FALSE(ValidateInput(f));
}

// "Birth time unknown": the chart is that of 12:00, whatever the time lists
// hold (even nothing); the birth data and the form carry the choice.
TEST(CheckBirthForm, UnknownTimeIsNoonWhateverTheTimeLists) {
    for (const auto& [hour, minute] : {std::pair{7, 45}, std::pair{-1, -1}, std::pair{24, 60}}) {
        BirthFormData form = test::FormOf(test::Asha());
        form.chkTimeUnknown = true;
        form.cboHour = hour;
        form.cboMinute = minute;
        BirthData birth;
        ASSERT_EQ(CheckBirthForm(form, birth), std::nullopt) << hour;
        EXPECT_EQ(birth.local, (LocalDateTime{1975, 6, 15, 12, 0}));
        EXPECT_FALSE(birth.timeKnown);
        const BirthFormData back = FormOfBirth(birth);
        EXPECT_TRUE(back.chkTimeUnknown);
        EXPECT_EQ(back.cboHour, 12);
        EXPECT_EQ(back.cboMinute, 0);
    }
    BirthFormData known = test::FormOf(test::Asha());
    known.cboHour = -1;
    BirthData birth;
    EXPECT_NE(CheckBirthForm(known, birth), std::nullopt) << "a known time needs its lists";
    EXPECT_TRUE(BirthData{}.timeKnown);
}

TEST(WriteBirthFields, ConvertsAndTakesTheZoneRow) {
    BirthData birth = test::Asha();
    birth.daylightSaving = true;
    ChartState s;
    LoadTimeZones(s);
    s.TimeZoneHours[34] = "damaged";  // the chart's row comes from the built-in table
    WriteBirthFields(birth, s);
    EXPECT_EQ(s.BirthName, "Asha");
    EXPECT_EQ(s.BirthCity, "New Delhi");
    EXPECT_EQ(s.BirthState, "Delhi");
    EXPECT_EQ(s.BirthCountry, "India");
    EXPECT_EQ(s.BirthYear, 1975);
    EXPECT_EQ(s.BirthMonth, 6);
    EXPECT_EQ(s.BirthDay, 15);
    EXPECT_EQ(s.BirthHour, 14);
    EXPECT_EQ(s.BirthMinute, 30);
    EXPECT_EQ(s.ZoneHoursAbs, 5);
    EXPECT_EQ(s.ZoneMinutesAbs, 30);
    EXPECT_EQ(s.ZoneHoursText, "-5");
    EXPECT_EQ(s.ZoneMinutesText, "-30");
    EXPECT_EQ(s.LatDegrees, 28);
    EXPECT_EQ(s.LatMinutes, 37);
    EXPECT_EQ(s.LonDegrees, 77);
    EXPECT_EQ(s.LonMinutes, 13);
    EXPECT_TRUE(s.LonEast);
    EXPECT_FALSE(s.LatSouth);
    EXPECT_TRUE(s.DaylightSaving);
    EXPECT_EQ(s.TimeZoneHours[34], "damaged");  // loaded once with the form, not per chart
}

TEST(WriteBirthFields, SecondCalculationOverwritesAll) {
    ChartState s;
    WriteBirthFields(test::CarlInBasel(), s);
    BirthData birth = test::Asha();
    birth.latitude.negative = true;
    birth.longitude.negative = true;
    birth.zoneSlot = 29;
    WriteBirthFields(birth, s);
    EXPECT_EQ(s.BirthName, "Asha");
    EXPECT_TRUE(s.LatSouth);
    EXPECT_FALSE(s.LonEast);
    EXPECT_EQ(s.ZoneHoursText, "0");
    EXPECT_EQ(s.ZoneMinutesText, "0");
    EXPECT_EQ(s.ZoneHoursAbs, 0);
}

// clang-format off
TEST(TimeZones, RowsOfNote) {
    // correction: minutes to add to the local clock time for UT.
    struct Case { int slot; std::string name, hours, minutes; int hoursAbs, minutesAbs, correction; };
    const Case cases[] = {
        {0, "Alaska/Hawaii Daylight Time,AHDT,-9.0", "9", "0", 9, 0, 540},
        {34, "Indian Time, IST, +5.3", "-5", "-30", 5, 30, -330},
        {29, "Greenwich Mean Time,GMT,0.0", "0", "0", 0, 0, 0},
        {61, "Universal Time, UT, 0.0", "0", "0", 0, 0, 0},
        {32, "Hawaiian Standard Time,HST,-10.5", "10", "30", 10, 30, 630},
        {50, "Newfoundland Standard Time,NST,-3.5", "3", "30", 3, 30, 210},
        {52, "North Sumatra Time,NST,+6.5", "-6", "-30", 6, 30, -390},
        {46, "New Zealand Std Summer Time,NZST,+13.0", "-13", "0", 13, 0, -780},
        {70, "Yukon War Time,YWT,-8.0", "8", "0", 8, 0, 480},
    };
    for (const auto& c : cases) {
        BirthData birth = test::Asha();
        birth.zoneSlot = c.slot;
        ChartState s;
        LoadTimeZones(s);
        WriteBirthFields(birth, s);
        const auto i = static_cast<std::size_t>(c.slot);
        EXPECT_EQ(s.TimeZoneName[i], c.name);
        EXPECT_EQ(s.ZoneSlot, c.slot);
        EXPECT_EQ(s.ZoneHoursText, c.hours) << c.slot;
        EXPECT_EQ(s.ZoneMinutesText, c.minutes) << c.slot;
        EXPECT_EQ(s.ZoneHoursAbs, c.hoursAbs) << c.slot;
        EXPECT_EQ(s.ZoneMinutesAbs, c.minutesAbs) << c.slot;
        EXPECT_EQ(s.ZoneHoursValue * 60 + s.ZoneMinutesValue, c.correction) << c.slot;
    }
}
// clang-format on

TEST(TimeZones, AllRowsFilledAndSpareSlotEmpty) {
    ChartState s;
    s.TimeZoneName[3] = "damaged";
    LoadTimeZones(s);
    for (int i = 0; i < kTimeZoneCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_FALSE(s.TimeZoneName[k].empty()) << i;
        const int h = std::stoi(s.TimeZoneHours[k]);
        const int m = std::stoi(s.TimeZoneMinutes[k]);
        EXPECT_TRUE(m == 0 || m == 30 || m == -30) << i;
        EXPECT_TRUE(m == 0 || (m > 0) == (h > 0)) << i;  // minutes share the hours' sign
    }
    EXPECT_EQ(s.TimeZoneName[3], "Atlantic Standard Time,AST,-4.0");
    EXPECT_TRUE(s.TimeZoneName[71].empty());
}

TEST(FixedLists, LabelsAndAbbreviations) {
    ChartState s;
    LoadFixedLists(s);
    EXPECT_EQ(s.BodyLabel[0], "Sun");
    EXPECT_EQ(s.BodyLabel[10], "Asc");
    EXPECT_EQ(s.BodyLabel[11], "");
    EXPECT_EQ(s.SignAbbrevList[0], "Ari");
    EXPECT_EQ(s.SignAbbrevList[11], "Pis");
    EXPECT_EQ(s.SignAbbrevList[12], "");
}

}  // namespace
}  // namespace qv
