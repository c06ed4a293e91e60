#include "chart/birth_form.h"

#include <array>
#include <string_view>

#include "astro/calendar.h"
#include "state/text.h"
#include "state/text_room.h"
#include "state/time_zones.h"

namespace qv {

namespace {

ValidationFailure Fail(int check, std::string message, std::string focus) {
    ValidationFailure f;
    f.check = check;
    f.message = std::move(message);
    f.focus = std::move(focus);
    return f;
}

// A box's text with blanks at both ends removed; a box of blanks is empty.
bool IsEmptyBox(std::string_view text) { return TrimBlanks(text).empty(); }

// One to three ASCII digits and nothing else: the degrees or minutes of a box.
std::optional<int> DegreeBox(std::string_view text) { return ParseDigits(text, 3); }

// Degrees and minutes of one coordinate, both boxes known to hold digits.
Coordinate CoordinateOf(std::string_view degrees, std::string_view minutes, bool negative) {
    return {DegreeBox(degrees).value_or(0), DegreeBox(minutes).value_or(0), negative};
}

// Every list index in its list, in the command's words.
std::optional<std::string> CheckListItems(const BirthFormData& form) {
    if (auto refused = CheckBirthDate(YearOfItem(form.cboYear), form.cboMonth + 1, form.cboDate + 1)) return refused;
    if (!form.chkTimeUnknown)
        if (auto refused = CheckBirthTime(form.cboHour, form.cboMinute)) return refused;
    if (form.cboTimeZone == kExactClockItem && form.exactClock) return CheckExactClock(*form.exactClock);
    return CheckZoneSlot(form.cboTimeZone);
}

bool Within(int value, int first, int last) { return value >= first && value <= last; }

std::string Range(int first, int last) { return std::to_string(first) + " to " + std::to_string(last); }

// `letter` in either case, as the first (option 0) or the second (option 1)
// of two capitals.
std::optional<std::string> DirectionOf(char letter, std::string_view what, char first, char second, int& option) {
    const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
    if (upper != first && upper != second)
        return "The " + std::string(what) + " direction must be " + first + " or " + second;
    option = upper == first ? 0 : 1;
    return std::nullopt;
}

}  // namespace

// Checks 13 to 15, after the twelve: latitude up to 90° 0', longitude up to
// 180° 0', minutes up to 59, in box order. Minutes that carry a coordinate
// past its limit (90° 30') put the focus on the minutes box.
std::optional<ValidationFailure> CheckCoordinateRanges(const BirthFormData& form) {
    struct Range {
        Coordinate angle;
        int limit;
        int check;
        const char* message;
        const char* degreesBox;
        const char* minutesBox;
    };
    const Range coordinates[] = {
        {CoordinateOf(form.txtLatD, form.txtLatM, false), 90, kCheckLatitudeRange,
         "Latitude must be from 0 to 90 degrees", "txtLatD", "txtLatM"},
        {CoordinateOf(form.txtLonD, form.txtLonM, false), 180, kCheckLongitudeRange,
         "Longitude must be from 0 to 180 degrees", "txtLonD", "txtLonM"},
    };
    for (const Range& c : coordinates) {
        if (c.angle.degrees > c.limit) return Fail(c.check, c.message, c.degreesBox);
        if (c.angle.minutes > 59) return Fail(kCheckMinutesRange, "Minutes must be from 0 to 59", c.minutesBox);
        if (c.angle.degrees == c.limit && c.angle.minutes > 0) return Fail(c.check, c.message, c.minutesBox);
    }
    return std::nullopt;
}

LocalDateTime ChartClockTime(const BirthFormData& form) {
    const bool known = !form.chkTimeUnknown;
    return {YearOfItem(form.cboYear), form.cboMonth + 1, form.cboDate + 1, known ? form.cboHour : kUnknownTimeHour,
            known ? form.cboMinute : 0};
}

void LoadFixedLists(ChartState& state) {
    LoadTimeZones(state);
    for (std::size_t k = 0; k < kBodyNames.size(); ++k) state.BodyLabel[k] = FixedText::Of(kBodyNames[k]);
    for (int s = 0; s < 12; ++s) state.SignAbbrevList[static_cast<std::size_t>(s)] = SignAbbreviation(s);
}

std::optional<ValidationFailure> ValidateInput(const BirthFormData& form) {
    if (IsEmptyBox(form.txtName)) return Fail(1, "Please Enter Your Name", "txtName");
    if (IsEmptyBox(form.txtLatD)) return Fail(2, "Please Enter Degree of Latitude", "txtLatD");
    if (IsEmptyBox(form.txtLatM)) return Fail(3, "Please Enter Minutes of Latitude", "txtLatM");
    if (IsEmptyBox(form.txtLonD)) return Fail(4, "Please Enter Degree of Longitude", "txtLonD");
    if (IsEmptyBox(form.txtLonM)) return Fail(5, "Please Enter Minute of Longitude", "txtLonM");

    // Pasted text escapes the key filters; only plain degrees and minutes go on.
    const std::pair<const std::string*, const char*> numberBoxes[] = {
        {&form.txtLatD, "txtLatD"}, {&form.txtLatM, "txtLatM"}, {&form.txtLonD, "txtLonD"}, {&form.txtLonM, "txtLonM"}};
    for (const auto& [text, box] : numberBoxes)
        if (!DegreeBox(*text)) return Fail(5, "Please enter only numbers", box);

    if (IsEmptyBox(form.txtCity)) return Fail(6, "Please Enter Your City name", "txtCity");
    if (IsEmptyBox(form.txtState)) return Fail(7, "Please Enter Your State name", "txtState");
    if (IsEmptyBox(form.txtCountry)) return Fail(8, "Please Enter Your Country name", "txtCountry");

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

std::optional<ValidationFailure> CheckPersonalTexts(const BirthFormData& form) {
    struct Box {
        const std::string BirthFormData::*text;
        const char* field;
        const char* box;
    };
    static constexpr Box kBoxes[] = {{&BirthFormData::txtName, "name", "txtName"},
                                     {&BirthFormData::txtCity, "city", "txtCity"},
                                     {&BirthFormData::txtState, "state", "txtState"},
                                     {&BirthFormData::txtCountry, "country", "txtCountry"}};
    for (const Box& b : kBoxes)
        if (HoldsControlCharacter(form.*b.text))
            return Fail(kCheckControlCharacter,
                        std::string("The ") + b.field +
                            " holds a control character (a tab, a line break or an escape, for example); "
                            "please remove it",
                        b.box);
    return std::nullopt;
}

std::optional<ValidationFailure> CheckBirthForm(const BirthFormData& form, BirthData& birth) {
    if (auto failure = ValidateInput(form)) return failure;
    if (auto refused = CheckListItems(form)) return Fail(kCheckListItem, std::move(*refused), "");
    if (auto failure = CheckPersonalTexts(form)) return failure;
    WriteKeepingRoom(birth.name, TrimBlanks(form.txtName), kTypedTextRoom);
    birth.local = ChartClockTime(form);
    birth.timeKnown = !form.chkTimeUnknown;
    if (form.cboTimeZone == kExactClockItem) {
        birth.exactClock = form.exactClock;
        birth.zoneSlot = NearestZoneSlot(form.exactClock->utcOffsetSeconds);
    } else {
        birth.exactClock.reset();
        birth.zoneSlot = form.cboTimeZone;
    }
    birth.daylightSaving = form.chkDST;
    birth.latitude = CoordinateOf(form.txtLatD, form.txtLatM, form.optLatSouth == 1);
    birth.longitude = CoordinateOf(form.txtLonD, form.txtLonM, form.optLongEast == 1);
    WriteKeepingRoom(birth.city, TrimBlanks(form.txtCity), kTypedTextRoom);
    WriteKeepingRoom(birth.state, TrimBlanks(form.txtState), kTypedTextRoom);
    WriteKeepingRoom(birth.country, TrimBlanks(form.txtCountry), kTypedTextRoom);
    return std::nullopt;
}

std::optional<FormPoint> FormCoordinates(const BirthFormData& form) {
    for (const std::string* box : {&form.txtLatD, &form.txtLatM, &form.txtLonD, &form.txtLonM})
        if (!DegreeBox(*box)) return std::nullopt;
    if ((form.optLatSouth != 0 && form.optLatSouth != 1) || (form.optLongEast != 0 && form.optLongEast != 1))
        return std::nullopt;
    if (CheckCoordinateRanges(form)) return std::nullopt;
    return FormPoint{SignedDegrees(CoordinateOf(form.txtLatD, form.txtLatM, form.optLatSouth == 1)),
                     SignedDegrees(CoordinateOf(form.txtLonD, form.txtLonM, form.optLongEast == 1))};
}

std::optional<std::int32_t> FormOffsetSeconds(const BirthFormData& form) {
    if (form.cboTimeZone == kExactClockItem && form.exactClock && !CheckExactClock(*form.exactClock))
        return ClockOffsetSeconds(0, form.chkDST, form.exactClock);
    if (!IsTimeZoneSlot(form.cboTimeZone)) return std::nullopt;
    return ZoneOffsetSeconds(form.cboTimeZone, form.chkDST);
}

BirthFormData FormOfBirth(const BirthData& birth) {
    BirthFormData form;
    form.txtName = birth.name;
    form.cboMonth = birth.local.month - 1;
    form.cboDate = birth.local.day - 1;
    form.cboYear = YearItem(birth.local.year);
    form.cboHour = birth.local.hour;
    form.cboMinute = birth.local.minute;
    form.cboTimeZone = birth.exactClock ? kExactClockItem : birth.zoneSlot;
    form.exactClock = birth.exactClock;
    form.txtLatD = std::to_string(birth.latitude.degrees);
    form.txtLatM = std::to_string(birth.latitude.minutes);
    form.optLatSouth = birth.latitude.negative ? 1 : 0;
    form.txtLonD = std::to_string(birth.longitude.degrees);
    form.txtLonM = std::to_string(birth.longitude.minutes);
    form.optLongEast = birth.longitude.negative ? 1 : 0;
    form.chkDST = birth.daylightSaving;
    form.chkTimeUnknown = !birth.timeKnown;
    form.txtCity = birth.city;
    form.txtState = birth.state;
    form.txtCountry = birth.country;
    return form;
}

void WriteBirthFields(const BirthData& birth, ChartState& state) {
    WriteKeepingRoom(state.BirthName, birth.name, kTypedTextRoom);
    state.BirthMonth = static_cast<std::int16_t>(birth.local.month);
    state.BirthDay = static_cast<std::int16_t>(birth.local.day);
    state.BirthYear = static_cast<std::int16_t>(birth.local.year);
    state.BirthHour = static_cast<std::int16_t>(birth.local.hour);
    state.BirthMinute = static_cast<std::int16_t>(birth.local.minute);
    state.BirthTimeKnown = birth.timeKnown;
    StoreZone(state, birth.zoneSlot);
    state.BirthExactClock = birth.exactClock;
    state.LonDegrees = static_cast<std::int16_t>(birth.longitude.degrees);
    state.LonMinutes = static_cast<std::int16_t>(birth.longitude.minutes);
    state.LatDegrees = static_cast<std::int16_t>(birth.latitude.degrees);
    state.LatMinutes = static_cast<std::int16_t>(birth.latitude.minutes);
    state.LonEast = !birth.longitude.negative;
    state.LatSouth = birth.latitude.negative;
    state.DaylightSaving = birth.daylightSaving;
    WriteKeepingRoom(state.BirthCity, birth.city, kTypedTextRoom);
    WriteKeepingRoom(state.BirthState, birth.state, kTypedTextRoom);
    WriteKeepingRoom(state.BirthCountry, birth.country, kTypedTextRoom);
}

std::optional<std::string> CheckBirthDate(int year, int month, int day) {
    if (!Within(month, 1, 12)) return "The month must be from 1 to 12";
    if (!Within(day, 1, 31)) return "The day must be from 1 to 31";
    if (!Within(year, kFirstBirthYear, kLastBirthYear))
        return "The year must be from " + Range(kFirstBirthYear, kLastBirthYear);
    return std::nullopt;
}

std::optional<std::string> CheckBirthTime(int hour, int minute) {
    if (!Within(hour, 0, 23)) return "The hour must be from 0 to 23";
    if (!Within(minute, 0, 59)) return "The minute must be from 0 to 59";
    return std::nullopt;
}

std::optional<std::string> CheckZoneSlot(int slot) {
    if (!IsTimeZoneSlot(slot)) return "The time-zone slot must be a number from " + Range(0, kTimeZoneCount - 1);
    return std::nullopt;
}

std::optional<std::string> CheckExactClock(const ExactClock& clock) {
    if (clock.utcOffsetSeconds < -kMostExactOffsetSeconds || clock.utcOffsetSeconds > kMostExactOffsetSeconds)
        return "The clock's offset must lie within 15 hours of UTC";
    return std::nullopt;
}

std::optional<std::string> LatitudeDirectionOf(char letter, int& optLatSouth) {
    return DirectionOf(letter, "latitude", 'N', 'S', optLatSouth);
}

std::optional<std::string> LongitudeDirectionOf(char letter, int& optLongEast) {
    return DirectionOf(letter, "longitude", 'E', 'W', optLongEast);
}

}  // namespace qv
