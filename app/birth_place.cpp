#include "app/birth_place.h"

#include <cmath>

#include "atlas/clock_text.h"

namespace qv {

namespace {

// Signed whole arc minutes of an angle in degrees, rounded to the nearest.
int ArcMinutes(double degrees) {
    const DegreesMinutes dm = RoundToMinute(degrees);
    const int minutes = dm.degrees * 60 + dm.minutes;
    return dm.negative ? -minutes : minutes;
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

LocalDateTime BirthMoment(const BirthValues& values) {
    return {values.year, values.month, values.day, values.hour, values.minute};
}

void SetPlaceLatitude(BirthValues& values, const Place& place) { SetLatitude(values, ArcMinutes(place.latitude)); }

void SetPlaceLongitude(BirthValues& values, const Place& place) { SetLongitude(values, ArcMinutes(place.longitude)); }

void SetPlace(BirthFormData& form, const Place& place) {
    BirthValues v;
    SetPlaceLatitude(v, place);
    SetPlaceLongitude(v, place);
    form.txtLatD = v.latDegrees;
    form.txtLatM = v.latMinutes;
    form.optLatSouth = v.latDirection == LatitudeDirection::South ? 1 : 0;
    form.txtLonD = v.lonDegrees;
    form.txtLonM = v.lonMinutes;
    form.optLongEast = v.lonDirection == LongitudeDirection::West ? 1 : 0;
    form.txtCity = place.name;
    form.txtState = place.state;
    form.txtCountry = place.country;
}

}  // namespace qv
