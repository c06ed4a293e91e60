#include "app/birth_place.h"

#include "atlas/clock_text.h"
#include "state/time_zones.h"

namespace qv {

namespace {

// An angle in degrees, rounded to the nearest minute, into a degree box, a
// minute box and an option pair (0 north or east, 1 south or west).
void SetAngle(double degrees, std::string& degreeBox, std::string& minuteBox, int& option) {
    const Coordinate dm = RoundToMinute(degrees);
    degreeBox = std::to_string(dm.degrees);
    minuteBox = std::to_string(dm.minutes);
    option = dm.negative ? 1 : 0;
}

}  // namespace

PlaceClock ClockOfPlace(const Place& place, const LocalDateTime& local) {
    PlaceClock out;
    out.clock = ZoneAt(place.zoneId, local);
    if (!out.clock.ok()) {
        out.refusal = out.clock.error;
    } else if (out.clock.kind == LocalTimeKind::Skipped) {
        out.refusal = SkippedTimeMessage(place.name, local, out.clock);
    } else {
        out.slot = ZoneSlotFor(out.clock.time);
        if (!out.slot.found) out.refusal = NoRowMessage(place.name, local, out.clock);
    }
    out.line = DescribeClock(place.name, local, out.clock, out.slot);
    return out;
}

LocalDateTime BirthMoment(const BirthFormData& form) {
    return {YearOfItem(form.cboYear), form.cboMonth + 1, form.cboDate + 1, form.cboHour, form.cboMinute};
}

void SetPlaceLatitude(BirthFormData& form, const Place& place) {
    SetAngle(place.latitude, form.txtLatD, form.txtLatM, form.optLatSouth);
}

void SetPlaceLongitude(BirthFormData& form, const Place& place) {
    SetAngle(place.longitude, form.txtLonD, form.txtLonM, form.optLongEast);
}

bool CityNamesPlace(std::string_view city, const Place& place) {
    return FoldForSearch(city) == FoldForSearch(place.name);
}

namespace {

// "Chicago's, Illinois", the state or else the country naming where it is.
std::string Possessive(const Place& place) {
    std::string out = place.name + "'s";
    const std::string& where = place.state.empty() ? place.country : place.state;
    if (!where.empty()) out += ", " + where;
    return out;
}

std::string LeftOverLine(const Place& place, AtlasPlaceUse use) {
    const std::string whose = Possessive(place);
    if (use.coordinates && use.zone)
        return "Coordinates and zone are " + whose +
               ": choose the new place from the list, or type its coordinates and zone";
    if (use.coordinates)
        return "Coordinates are " + whose + ": choose the new place from the list, or type its coordinates";
    return "Zone is " + whose + ": choose the new place from the list, or choose its zone";
}

// True when the zone row and box give another offset than the clock, which
// is understood and showed the birth time.
bool DisagreesWithClock(const PlaceClock& clock, int zoneSlot, bool daylightSaving) {
    if (!clock.clock.ok() || clock.clock.kind == LocalTimeKind::Skipped) return false;
    if (zoneSlot < 0 || zoneSlot >= kTimeZoneCount) return false;
    return ZoneOffsetSeconds(zoneSlot, daylightSaving) != clock.clock.time.utcOffset;
}

}  // namespace

std::string AtlasLine(const Place& place, std::string_view city, AtlasPlaceUse use, const PlaceClock& clock,
                      int zoneSlot, bool daylightSaving) {
    if (!CityNamesPlace(city, place)) return use.coordinates || use.zone ? LeftOverLine(place, use) : std::string();
    if (!use.zone && DisagreesWithClock(clock, zoneSlot, daylightSaving))
        return "Set by hand: the atlas gives " + ClockText(clock.clock.time);
    return clock.line;
}

std::string_view CitySearchLine(bool searched, std::size_t found) {
    return searched && found == 0 ? kNotInAtlasLine : std::string_view();
}

void SetPlace(BirthFormData& form, const Place& place) {
    SetPlaceLatitude(form, place);
    SetPlaceLongitude(form, place);
    form.txtCity = place.name;
    form.txtState = place.state;
    form.txtCountry = place.country;
}

}  // namespace qv
