#include "app/birth_form.h"

#include <array>
#include <charconv>
#include <string_view>

#include "astro/calendar.h"
#include "state/text_room.h"
#include "state/time_zones.h"
#include "state/text.h"

namespace qv {

namespace {

ValidationFailure Fail(int check, std::string message, std::string focus) {
    ValidationFailure f;
    f.check = check;
    f.message = std::move(message);
    f.focus = std::move(focus);
    return f;
}

// One to three ASCII digits and nothing else.
bool IsDegreeText(std::string_view s) {
    if (s.empty() || s.size() > 3) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The whole trimmed text as a 16-bit integer, or false when it is no number.
bool ToInt16(std::string_view text, std::int16_t& out) {
    const std::string_view t = TrimBlanks(text);
    std::int16_t value = 0;
    const auto res = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || res.ec != std::errc{} || res.ptr != t.data() + t.size()) return false;
    out = value;
    return true;
}

// Degrees and minutes of one coordinate, both boxes known to hold digits.
struct Angle {
    int degrees, minutes;
};
Angle AngleOf(std::string_view degrees, std::string_view minutes) {
    Angle a{0, 0};
    std::from_chars(degrees.data(), degrees.data() + degrees.size(), a.degrees);
    std::from_chars(minutes.data(), minutes.data() + minutes.size(), a.minutes);
    return a;
}

// Checks 13 to 15, after the twelve: latitude up to 90° 0', longitude up to
// 180° 0', minutes up to 59, in box order. Minutes that carry a coordinate
// past its limit (90° 30') put the focus on the minutes box.
std::optional<ValidationFailure> CheckCoordinateRanges(const BirthFormData& form) {
    struct Coordinate {
        Angle angle;
        int limit;
        int check;
        const char* message;
        const char* degreesBox;
        const char* minutesBox;
    };
    const Coordinate coordinates[] = {
        {AngleOf(form.txtLatD, form.txtLatM), 90, kCheckLatitudeRange, "Latitude must be from 0 to 90 degrees",
         "txtLatD", "txtLatM"},
        {AngleOf(form.txtLonD, form.txtLonM), 180, kCheckLongitudeRange, "Longitude must be from 0 to 180 degrees",
         "txtLonD", "txtLonM"},
    };
    for (const Coordinate& c : coordinates) {
        if (c.angle.degrees > c.limit) return Fail(c.check, c.message, c.degreesBox);
        if (c.angle.minutes > 59) return Fail(kCheckMinutesRange, "Minutes must be from 0 to 59", c.minutesBox);
        if (c.angle.degrees == c.limit && c.angle.minutes > 0) return Fail(c.check, c.message, c.minutesBox);
    }
    return std::nullopt;
}

}  // namespace

void LoadFixedLists(ChartState& state) {
    LoadTimeZones(state);
    for (std::size_t k = 0; k < kBodyNames.size(); ++k) state.BodyLabel[k] = FixedText::Of(kBodyNames[k]);
    for (int s = 0; s < 12; ++s) state.SignAbbrevList[static_cast<std::size_t>(s)] = SignAbbreviation(s);
}

std::optional<ValidationFailure> ValidateInput(const BirthFormData& form) {
    if (form.txtName.empty()) return Fail(1, "Please Enter Your Name", "txtName");
    if (form.txtLatD.empty()) return Fail(2, "Please Enter Degree of Latitude", "txtLatD");
    if (form.txtLatM.empty()) return Fail(3, "Please Enter Minutes of Latitude", "txtLatM");
    if (form.txtLonD.empty()) return Fail(4, "Please Enter Degree of Longitude", "txtLonD");
    if (form.txtLonM.empty()) return Fail(5, "Please Enter Minute of Longitude", "txtLonM");

    // Pasted text escapes the key filters; only plain degrees and minutes go on.
    const std::pair<const std::string*, const char*> numberBoxes[] = {
        {&form.txtLatD, "txtLatD"}, {&form.txtLatM, "txtLatM"}, {&form.txtLonD, "txtLonD"}, {&form.txtLonM, "txtLonM"}};
    for (const auto& [text, box] : numberBoxes)
        if (!IsDegreeText(*text)) return Fail(5, "Please enter only numbers", box);

    if (form.txtCity.empty()) return Fail(6, "Please Enter Your City name", "txtCity");
    if (form.txtState.empty()) return Fail(7, "Please Enter Your State name", "txtState");
    if (form.txtCountry.empty()) return Fail(8, "Please Enter Your Country name", "txtCountry");

    if (form.optLatSouth != 0 && form.optLatSouth != 1) {
        ValidationFailure f = Fail(9, "Please Select Direction For The Latitude", "");
        f.selectLatSouth = 0;
        return f;
    }
    if (form.optLongEast != 0 && form.optLongEast != 1) {
        ValidationFailure f = Fail(10, "Please Select Direction For The Longitude", "");
        f.selectLongEast = 0;
        return f;
    }

    const int year = YearOfItem(form.cboYear);
    const bool leap = year % 4 == 0;  // the list holds no century year but 2000
    if (form.cboMonth == 1 && form.cboDate >= (leap ? 29 : 28)) {
        ValidationFailure f = Fail(11, "Please Enter Correct Date Or Month!", "");
        f.icon = MessageIcon::Information;
        return f;
    }
    const bool thirtyDays = form.cboMonth == 3 || form.cboMonth == 5 || form.cboMonth == 8 || form.cboMonth == 10;
    if (thirtyDays && form.cboDate == 30) {
        ValidationFailure f = Fail(12, "Please Enter Correct Date Or Month !", "");
        f.icon = MessageIcon::Information;
        return f;
    }
    return CheckCoordinateRanges(form);
}

void CopyFormToState(const BirthFormData& form, ChartState& state) {
    // A list index outside its list leaves the value it would set unchanged.
    WriteKeepingRoom(state.BirthName, TrimBlanks(form.txtName), kTypedTextRoom);
    if (form.cboMonth >= 0 && form.cboMonth < 12) state.BirthMonth = static_cast<std::int16_t>(form.cboMonth + 1);
    if (form.cboDate >= 0 && form.cboDate < 31) state.BirthDay = static_cast<std::int16_t>(form.cboDate + 1);
    if (form.cboYear >= 0 && form.cboYear < kBirthYearCount)
        state.BirthYear = static_cast<std::int16_t>(YearOfItem(form.cboYear));
    if (form.cboHour >= 0 && form.cboHour < 24) state.BirthHour = static_cast<std::int16_t>(form.cboHour);
    if (form.cboMinute >= 0 && form.cboMinute < 60) state.BirthMinute = static_cast<std::int16_t>(form.cboMinute);

    StoreZone(state, form.cboTimeZone);

    // A box that holds no number keeps the previous value.
    ToInt16(form.txtLonD, state.LonDegrees);
    ToInt16(form.txtLonM, state.LonMinutes);
    ToInt16(form.txtLatD, state.LatDegrees);
    ToInt16(form.txtLatM, state.LatMinutes);

    state.LonEast = form.optLongEast == 0;
    state.LatSouth = form.optLatSouth == 1;
    state.DaylightSaving = form.chkDST;

    WriteKeepingRoom(state.BirthCity, TrimBlanks(form.txtCity), kTypedTextRoom);
    WriteKeepingRoom(state.BirthState, TrimBlanks(form.txtState), kTypedTextRoom);
    WriteKeepingRoom(state.BirthCountry, TrimBlanks(form.txtCountry), kTypedTextRoom);
}

}  // namespace qv
