#include "app/birth_values.h"

#include <cstdlib>

#include "state/text_room.h"
#include "state/time_zones.h"

namespace qv {
namespace {

std::string Range(int first, int last) { return std::to_string(first) + " to " + std::to_string(last); }

bool Within(int value, int first, int last) { return value >= first && value <= last; }

// `letter` in either case, as the first or the second of two capitals.
std::optional<std::string> DirectionOf(char letter, std::string_view what, char first, char second, int& choice) {
    const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
    if (upper != first && upper != second)
        return "The " + std::string(what) + " direction must be " + first + " or " + second;
    choice = upper == first ? 0 : 1;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> CheckBirthDate(const BirthValues& v) {
    if (!Within(v.month, 1, 12)) return "The month must be from 1 to 12";
    if (!Within(v.day, 1, 31)) return "The day must be from 1 to 31";
    if (!Within(v.year, kFirstBirthYear, kLastBirthYear))
        return "The year must be from " + Range(kFirstBirthYear, kLastBirthYear);
    return std::nullopt;
}

std::optional<std::string> CheckBirthTime(const BirthValues& v) {
    if (!Within(v.hour, 0, 23)) return "The hour must be from 0 to 23";
    if (!Within(v.minute, 0, 59)) return "The minute must be from 0 to 59";
    return std::nullopt;
}

std::optional<std::string> CheckZoneSlot(const BirthValues& v) {
    if (!Within(v.zoneSlot, 0, kTimeZoneCount - 1))
        return "The time-zone slot must be a number from " + Range(0, kTimeZoneCount - 1);
    return std::nullopt;
}

std::optional<std::string> LatitudeDirectionOf(char letter, LatitudeDirection& direction) {
    int choice = 0;
    if (auto refused = DirectionOf(letter, "latitude", 'N', 'S', choice)) return refused;
    direction = choice == 0 ? LatitudeDirection::North : LatitudeDirection::South;
    return std::nullopt;
}

std::optional<std::string> LongitudeDirectionOf(char letter, LongitudeDirection& direction) {
    int choice = 0;
    if (auto refused = DirectionOf(letter, "longitude", 'E', 'W', choice)) return refused;
    direction = choice == 0 ? LongitudeDirection::East : LongitudeDirection::West;
    return std::nullopt;
}

void SetLatitude(BirthValues& v, int arcMinutes) {
    v.latDegrees = std::to_string(std::abs(arcMinutes) / 60);
    v.latMinutes = std::to_string(std::abs(arcMinutes) % 60);
    v.latDirection = arcMinutes < 0 ? LatitudeDirection::South : LatitudeDirection::North;
}

void SetLongitude(BirthValues& v, int arcMinutes) {
    v.lonDegrees = std::to_string(std::abs(arcMinutes) / 60);
    v.lonMinutes = std::to_string(std::abs(arcMinutes) % 60);
    v.lonDirection = arcMinutes < 0 ? LongitudeDirection::West : LongitudeDirection::East;
}

std::optional<std::string> BirthValuesToForm(const BirthValues& v, BirthFormData& form) {
    if (auto refused = CheckBirthDate(v)) return refused;
    if (auto refused = CheckBirthTime(v)) return refused;
    if (auto refused = CheckZoneSlot(v)) return refused;

    WriteKeepingRoom(form.txtName, v.name, kTypedTextRoom);
    form.cboMonth = v.month - 1;
    form.cboDate = v.day - 1;
    form.cboYear = YearItem(v.year);
    form.cboHour = v.hour;
    form.cboMinute = v.minute;
    form.cboTimeZone = v.zoneSlot;
    form.txtLatD = v.latDegrees;
    form.txtLatM = v.latMinutes;
    form.optLatSouth = v.latDirection == LatitudeDirection::None ? -1 : v.latDirection == LatitudeDirection::South;
    form.txtLonD = v.lonDegrees;
    form.txtLonM = v.lonMinutes;
    form.optLongEast = v.lonDirection == LongitudeDirection::None ? -1 : v.lonDirection == LongitudeDirection::West;
    form.chkDST = v.daylightSaving;
    WriteKeepingRoom(form.txtCity, v.city, kTypedTextRoom);
    WriteKeepingRoom(form.txtState, v.state, kTypedTextRoom);
    WriteKeepingRoom(form.txtCountry, v.country, kTypedTextRoom);

    if (auto failure = ValidateInput(form)) return std::move(failure->message);
    return std::nullopt;
}

}  // namespace qv
