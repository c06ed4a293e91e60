// The birth-data form's contents as plain data, its checks, and the one
// road from a form to the checked birth data (CheckBirthForm). The Qt form,
// a saved reading, the command and the batch all fill a BirthFormData and
// take that road; the calculation then writes the chart state's birth
// fields from the birth data (WriteBirthFields).
#pragma once

#include <optional>
#include <string>

#include "state/birth_data.h"
#include "state/chart_state.h"
#include "state/fixed_lists.h"
#include "state/message_icon.h"
#include "state/time_zones.h"

namespace qv {

// The item of cboYear that shows `year`, and the year item `item` shows.
constexpr int YearItem(int year) { return year - kFirstBirthYear; }
constexpr int YearOfItem(int item) { return kFirstBirthYear + item; }

// What the form holds: box texts as typed, list selections as item indexes.
struct BirthFormData {
    std::string txtName, txtLatD, txtLatM, txtLonD, txtLonM;
    std::string txtCity, txtState, txtCountry;
    int cboMonth = 0;              // 0 = January … 11 = December
    int cboDate = 0;               // 0 = "1" … 30 = "31"
    int cboYear = YearItem(1906);  // 0 = "1901" … 149 = "2050"
    int cboHour = 0;               // 0 … 23
    int cboMinute = 0;             // 0 … 59
    int cboTimeZone = 0;           // time-zone table slot 0 … 70, or kExactClockItem
    int optLatSouth = -1;          // -1 none, 0 North, 1 South
    int optLongEast = -1;          // -1 none, 0 East, 1 West
    bool chkDST = false;
    // The zone list's entry after the table's rows: a clock no row gives,
    // to the second, put there by the atlas or a reading; none when empty.
    std::optional<ExactClock> exactClock = std::nullopt;
    // "Birth time unknown": the hour and minute lists are set aside and the
    // chart is calculated for 12:00 local time.
    bool chkTimeUnknown = false;
    bool operator==(const BirthFormData&) const = default;
};

// The item of cboTimeZone that shows the exact clock, after the 71 rows.
inline constexpr int kExactClockItem = kTimeZoneCount;

// The clock time a chart is calculated for when the birth time is unknown.
inline constexpr int kUnknownTimeHour = 12;

// The local clock time the form's lists give, or 12:00 of the date when the
// birth time is unknown.
LocalDateTime ChartClockTime(const BirthFormData& form);

// The coordinate checks that follow the form's twelve, and the lists'.
inline constexpr int kCheckLatitudeRange = 13;     // latitude beyond 90° 0'
inline constexpr int kCheckLongitudeRange = 14;    // longitude beyond 180° 0'
inline constexpr int kCheckMinutesRange = 15;      // minutes beyond 59
inline constexpr int kCheckListItem = 16;          // a list index outside its list
inline constexpr int kCheckControlCharacter = 17;  // a control character in a text

// A failed check: its message, icon, the box that gets focus (object name,
// empty for none) and, for the direction checks, the option the form selects.
struct ValidationFailure {
    int check = 0;  // 1..12 the form's checks in order, 13..17 above; 5 also for "only numbers"
    std::string message;
    MessageIcon icon = MessageIcon::Error;
    std::string focus;        // e.g. "txtLatD"
    int selectLatSouth = -1;  // element to select in optLatSouth, or -1
    int selectLongEast = -1;  // element to select in optLongEast, or -1
};

// Fills BodyLabel, SignAbbrevList and the time-zone table, as the form does
// when it opens.
void LoadFixedLists(ChartState& state);

// The form's checks in order, the twelve and then the coordinate ranges
// (13 to 15); nullopt when the form may be calculated. A box of blanks
// only counts as empty.
[[nodiscard]] std::optional<ValidationFailure> ValidateInput(const BirthFormData& form);

// Check 17: a name, city, state or country holding a control character (a
// pasted tab or line break, an escape sequence), which would break the
// reading's lines and the text export and reach a terminal, is refused,
// naming the box's field ("The city holds a control character …").
[[nodiscard]] std::optional<ValidationFailure> CheckPersonalTexts(const BirthFormData& form);

// The one check of birth data: the form's checks (ValidateInput), then that
// every list index lies in its list (check 16, in the words of
// CheckBirthDate, CheckBirthTime and CheckZoneSlot; the time lists only when
// the birth time is known), then CheckPersonalTexts. nullopt when the form
// passes; `birth` then holds the birth data of the form, its texts trimmed
// and written keeping their strings' room, so that a value reused from
// chart to chart allocates nothing. On a failure `birth` is unchanged.
[[nodiscard]] std::optional<ValidationFailure> CheckBirthForm(const BirthFormData& form, BirthData& birth);

// Checks 13 to 15 alone: the coordinate boxes, holding digits, within 90°
// and 180° and minutes below 60; nullopt when they are.
std::optional<ValidationFailure> CheckCoordinateRanges(const BirthFormData& form);

// The coordinates of the form's four boxes and two option pairs as signed
// degrees (north, east positive), when the boxes hold numbers in range and
// both directions are chosen; nullopt otherwise.
struct FormPoint {
    double latitudeNorth = 0, longitudeEast = 0;
};
std::optional<FormPoint> FormCoordinates(const BirthFormData& form);

// The offset east of UTC of the form's zone item and box (ClockOffsetSeconds),
// or nullopt when the item is neither a row nor the exact clock it holds.
std::optional<std::int32_t> FormOffsetSeconds(const BirthFormData& form);

// The form that holds `birth`: boxes, list items, options and box.
BirthFormData FormOfBirth(const BirthData& birth);

// The calculation's copy of the checked birth data into the chart state's
// birth fields, the zone's values from the built-in table (StoreZone).
void WriteBirthFields(const BirthData& birth, ChartState& state);

// What the form's lists hold by construction, checked for the command and
// the batch, each with its message; nullopt when the values are in their
// lists. Month 1..12, day 1..31, year 1901..2050, in this order.
[[nodiscard]] std::optional<std::string> CheckBirthDate(int year, int month, int day);
// Hour 0..23, minute 0..59.
[[nodiscard]] std::optional<std::string> CheckBirthTime(int hour, int minute);
// A row of the time-zone table.
[[nodiscard]] std::optional<std::string> CheckZoneSlot(int slot);
// An exact clock within kMostExactOffsetSeconds either way.
[[nodiscard]] std::optional<std::string> CheckExactClock(const ExactClock& clock);

// The option a direction letter selects, either case: N 0 or S 1 of
// optLatSouth, E 0 or W 1 of optLongEast. Any other letter leaves `option`
// alone and gives the message refusing it.
[[nodiscard]] std::optional<std::string> LatitudeDirectionOf(char letter, int& optLatSouth);
[[nodiscard]] std::optional<std::string> LongitudeDirectionOf(char letter, int& optLongEast);

}  // namespace qv
