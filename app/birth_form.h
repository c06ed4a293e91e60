// The birth-data form's contents as plain data, its twelve checks, and the
// copy of a checked form into the chart state. The Qt form, the command-line
// report and the reading file all go through these.
#pragma once

#include <optional>
#include <string>

#include "state/chart_state.h"
#include "state/fixed_lists.h"
#include "state/message_icon.h"

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
    int cboTimeZone = 0;           // time-zone table slot 0 … 70
    int optLatSouth = -1;          // -1 none, 0 North, 1 South
    int optLongEast = -1;          // -1 none, 0 East, 1 West
    bool chkDST = false;
    bool operator==(const BirthFormData&) const = default;
};

// The coordinate checks that follow the form's twelve.
inline constexpr int kCheckLatitudeRange = 13;   // latitude beyond 90° 0'
inline constexpr int kCheckLongitudeRange = 14;  // longitude beyond 180° 0'
inline constexpr int kCheckMinutesRange = 15;    // minutes beyond 59

// A failed check: its message, icon, the box that gets focus (object name,
// empty for none) and, for the direction checks, the option the form selects.
struct ValidationFailure {
    int check = 0;  // 1..15 as numbered above; 5 also for "only numbers"
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
// (13 to 15); nullopt when the form may be calculated.
std::optional<ValidationFailure> ValidateInput(const BirthFormData& form);

// The calculation's copy of the form into the chart state (birth data and the
// zone values, which come from the built-in table: the state's copy of the
// table is loaded once, by LoadFixedLists, and not per chart).
void CopyFormToState(const BirthFormData& form, ChartState& state);

}  // namespace qv
