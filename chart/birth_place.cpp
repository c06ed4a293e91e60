#include "chart/birth_place.h"

#include <cmath>

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
        // A day the clocks jumped over whole is refused as a day, whatever
        // its time (12:00 for a birth time not known).
        const auto skipped = [&](int hour, int minute) {
            LocalDateTime t = local;
            t.hour = hour;
            t.minute = minute;
            return ZoneAt(place.zoneId, t).kind == LocalTimeKind::Skipped;
        };
        out.refusal = skipped(0, 0) && skipped(23, 59) ? SkippedDayMessage(place.name, local, out.clock)
                                                       : SkippedTimeMessage(place.name, local, out.clock);
    } else {
        out.slot = ZoneSlotFor(out.clock);
        if (!out.slot.found) out.exact = ExactClockOf(out.clock.time, out.clock.summerTime());
    }
    out.line =
        out.refusal.empty() || !out.clock.ok() ? DescribeClock(place.name, local, out.clock, out.slot) : out.refusal;
    return out;
}

ExactClock ExactClockOf(const LocalTimeType& clock, bool summerTime) {
    ClockKind kind = ClockKind::StandardTime;
    if (summerTime)
        kind = ClockKind::SummerTime;
    else if (clock.abbreviation == "LMT" || clock.utcOffset % 60 != 0)
        kind = ClockKind::MeanTime;
    return {clock.utcOffset, kind};
}

std::string ExactClockLabel(const ExactClock& clock, std::string_view place) {
    std::string label(ClockKindName(clock.kind));
    label[0] = static_cast<char>(label[0] - 'a' + 'A');
    if (!place.empty()) label.append(" of ").append(place);
    return label + ", " + FormatUtcOffset(clock.utcOffsetSeconds);
}

bool SetZoneOfClock(BirthFormData& form, const PlaceClock& clock) {
    if (clock.slot.found) {
        form.cboTimeZone = clock.slot.slot;
        form.chkDST = clock.slot.daylightSaving;
        form.exactClock.reset();
        return true;
    }
    if (!clock.exact) return false;
    form.cboTimeZone = kExactClockItem;
    form.chkDST = false;
    form.exactClock = clock.exact;
    return true;
}

LocalDateTime BirthMoment(const BirthFormData& form) { return ChartClockTime(form); }

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

// True when the zone item and box give another offset than the clock,
// which is understood and showed the birth time.
bool DisagreesWithClock(const PlaceClock& clock, int zoneSlot, bool daylightSaving,
                        const std::optional<ExactClock>& exactClock) {
    if (!clock.clock.ok() || clock.clock.kind == LocalTimeKind::Skipped) return false;
    BirthFormData zone;
    zone.cboTimeZone = zoneSlot;
    zone.chkDST = daylightSaving;
    zone.exactClock = exactClock;
    const std::optional<std::int32_t> offset = FormOffsetSeconds(zone);
    return offset && *offset != clock.clock.time.utcOffset;
}

// "9 km"; "under 1 km" for less.
std::string DistanceText(double km) {
    if (km < 0.5) return "under 1 km";
    return std::to_string(std::lround(km)) + " km";
}

}  // namespace

std::string AtlasLine(const Place& place, std::string_view city, AtlasPlaceUse use, const PlaceClock& clock,
                      int zoneSlot, bool daylightSaving, const std::optional<ExactClock>& exactClock) {
    if (!CityNamesPlace(city, place)) return use.coordinates || use.zone ? LeftOverLine(place, use) : std::string();
    if (!use.zone && DisagreesWithClock(clock, zoneSlot, daylightSaving, exactClock))
        return "Set by hand: the atlas gives " + ClockText(clock.clock);
    return clock.line;
}

std::string NearbyLine(const std::vector<NearbyPlace>& nearby, const PlaceClock& clock) {
    if (nearby.empty()) return "No atlas place within " + std::to_string(std::lround(kNearbyRadiusKm)) + " km";
    const Place& place = nearby.front().place;
    std::string line = "Nearest atlas place: " + place.name + ", " + DistanceText(nearby.front().distanceKm) + ": ";
    if (!clock.clock.ok()) return line + clock.clock.error;
    if (!clock.refusal.empty()) return line + clock.refusal;
    return line + ClockText(clock.clock);
}

NearbyClock NearbyClockOfForm(const BirthFormData& form) {
    NearbyClock out;
    const std::optional<FormPoint> point = FormCoordinates(form);
    if (!point) return out;
    const std::vector<NearbyPlace> nearby = NearestAtlasPlaces(point->latitudeNorth, point->longitudeEast, 1);
    if (!nearby.empty()) {
        out.nearest = nearby.front();
        out.clock = ClockOfPlace(nearby.front().place, BirthMoment(form));
    }
    out.line = NearbyLine(nearby, out.clock);
    return out;
}

std::string_view CitySearchLine(bool searched, std::size_t found) {
    return searched && found == 0 ? kNotInAtlasLine : std::string_view();
}

std::string StateOfPlace(const Place& place) {
    if (!place.state.empty()) return place.state;
    return CountryOfPlace(place);
}

std::string CountryOfPlace(const Place& place) { return place.country.empty() ? place.name : place.country; }

void SetPlace(BirthFormData& form, const Place& place) {
    SetPlaceLatitude(form, place);
    SetPlaceLongitude(form, place);
    form.txtCity = place.name;
    form.txtState = StateOfPlace(place);
    form.txtCountry = CountryOfPlace(place);
}

}  // namespace qv
