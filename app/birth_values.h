// Birth data as plain values: the real date and time, the time-zone slot,
// the coordinates as typed with their directions, daylight saving and the
// place. The command, the batch and the tools build their charts from these;
// one conversion turns them into what the birth-data form would hold, with
// the form's own checks and words.
#pragma once

#include <optional>
#include <string>

#include "app/birth_form.h"
#include "state/fixed_lists.h"

namespace qv {

enum class LatitudeDirection { None, North, South };
enum class LongitudeDirection { None, East, West };

struct BirthValues {
    std::string name{};
    // A fresh form shows 1 January 1906, 0:00, the first zone.
    int year = kFirstBirthYear + 5;
    int month = 1;  // 1 January … 12 December
    int day = 1;
    int hour = 0;
    int minute = 0;
    int zoneSlot = 0;  // row of the time-zone table
    // Degrees and minutes as typed into the form's boxes (one to three
    // digits pass its checks; empty asks for the box).
    std::string latDegrees{}, latMinutes{};
    LatitudeDirection latDirection = LatitudeDirection::None;
    std::string lonDegrees{}, lonMinutes{};
    LongitudeDirection lonDirection = LongitudeDirection::None;
    bool daylightSaving = false;
    std::string city{}, state{}, country{};
};

// The checks of what the form's lists hold by construction, each with its
// message; nullopt when the values are in their lists.
// Month 1..12, day 1..31, year 1901..2050, in this order.
std::optional<std::string> CheckBirthDate(const BirthValues& values);
// Hour 0..23, minute 0..59.
std::optional<std::string> CheckBirthTime(const BirthValues& values);
// A row of the time-zone table.
std::optional<std::string> CheckZoneSlot(const BirthValues& values);

// The direction of a letter, either case: N or S, E or W. Any other letter
// leaves `direction` alone and gives the message refusing it.
std::optional<std::string> LatitudeDirectionOf(char letter, LatitudeDirection& direction);
std::optional<std::string> LongitudeDirectionOf(char letter, LongitudeDirection& direction);

// The coordinates from whole arc minutes, north and east positive: degrees
// and minutes as the form's boxes take them, and the direction.
void SetLatitude(BirthValues& values, int arcMinutes);
void SetLongitude(BirthValues& values, int arcMinutes);

// Fills `form` from `values` after the three checks above, then runs the
// form's own checks (ValidateInput). nullopt when the chart can be
// calculated, otherwise the first message, in the form's words.
std::optional<std::string> BirthValuesToForm(const BirthValues& values, BirthFormData& form);

}  // namespace qv
