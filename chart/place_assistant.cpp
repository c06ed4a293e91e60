#include "chart/place_assistant.h"

#include <cmath>

#include "atlas/clock_text.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv {

namespace {

// "AHDT, UTC−9:00": the form's zone item and box, named as the chart names them.
std::string FormClockText(const BirthFormData& form) {
    const bool exact = form.cboTimeZone == kExactClockItem;
    const BirthClockName n = NameBirthClock(form.cboTimeZone, form.chkDST, exact ? form.exactClock : std::nullopt);
    std::string out(n.name);
    if (n.daylightSaving) out += ", DST";
    return out + ", " + FormatUtcOffset(n.utcOffsetSeconds);
}

// "14:30 on June 15, 1962".
std::string MomentText(const LocalDateTime& t) {
    return std::to_string(t.hour) + (t.minute < 10 ? ":0" : ":") + std::to_string(t.minute) + " on " +
           std::string(MonthName(t.month)) + " " + std::to_string(t.day) + ", " + std::to_string(t.year);
}

// True when the form's zone gives another offset than a clock that showed
// the birth time; false when the atlas cannot say (no clock, a skipped time).
bool ZoneDisagrees(const BirthFormData& form, const PlaceClock& clock) {
    if (!clock.clock.ok() || clock.clock.kind == LocalTimeKind::Skipped) return false;
    if (!clock.slot.found && !clock.exact) return false;
    const std::optional<std::int32_t> offset = FormOffsetSeconds(form);
    return offset && *offset != clock.clock.time.utcOffset;
}

// What the question is about: the moment, the zone, the coordinates and
// City; a name or a state changed since "keep mine" asks nothing new.
BirthFormData Asked(BirthFormData form) {
    form.txtName.clear();
    form.txtState.clear();
    form.txtCountry.clear();
    return form;
}

std::string ZoneQuestion(const BirthFormData& form, const std::string& whose, const PlaceClock& clock) {
    return "The chosen zone (" + FormClockText(form) + ") is not the clock of " + whose + " at " +
           MomentText(BirthMoment(form)) + ": the atlas gives " + ClockText(clock.clock) +
           ".\nUse the atlas's clock, keep your zone, or go back to the form?";
}

}  // namespace

bool PlaceAssistant::offersNearbyZone() const {
    return !place_ && nearby_.nearest && (nearby_.clock.slot.found || nearby_.clock.exact);
}

std::string PlaceAssistant::clockPlaceName() const {
    if (place_) return place_->name;
    return nearby_.nearest ? nearby_.nearest->place.name : std::string();
}

void PlaceAssistant::atlasLoaded(const BirthFormData& form) {
    atlasReady_ = true;
    if (!place_ && nearbyWanted_) showNearbyLine(form);
}

void PlaceAssistant::choosePlace(const Place& place, BirthFormData& form) {
    SetPlace(form, place);
    place_ = place;
    coordinatesByHand_ = false;
    zoneByHand_ = false;
    nearbyWanted_ = false;
    nearby_ = {};
    momentChanged(form);
}

bool PlaceAssistant::momentChanged(BirthFormData& form) {
    if (!place_) {
        if (nearbyWanted_) showNearbyLine(form);
        return false;
    }
    clock_ = ClockOfPlace(*place_, BirthMoment(form));
    const bool set = !zoneByHand_ && SetZoneOfClock(form, clock_);
    showPlaceLine(form);
    return set;
}

void PlaceAssistant::zoneChangedByHand(const BirthFormData& form) {
    if (!place_) return;
    zoneByHand_ = true;
    showPlaceLine(form);
}

void PlaceAssistant::coordinatesChangedByHand(const BirthFormData& form) {
    if (!place_) {
        showNearbyLine(form);
        return;
    }
    coordinatesByHand_ = true;
    showPlaceLine(form);
}

void PlaceAssistant::cityEdited(const BirthFormData& form) {
    if (place_) showPlaceLine(form);
}

void PlaceAssistant::forget() {
    place_.reset();
    clock_ = {};
    coordinatesByHand_ = zoneByHand_ = nearbyWanted_ = false;
    nearby_ = {};
    line_.clear();
}

bool PlaceAssistant::useNearbyZone(BirthFormData& form) {
    return nearby_.nearest && SetZoneOfClock(form, nearby_.clock);
}

void PlaceAssistant::showPlaceLine(const BirthFormData& form) {
    // City names another place, and the user has typed the coordinates and
    // chosen the zone: nothing of the place is left.
    if (coordinatesByHand_ && zoneByHand_ && !CityNamesPlace(form.txtCity, *place_)) {
        forget();
        return;
    }
    const AtlasPlaceUse use{!coordinatesByHand_, !zoneByHand_};
    line_ = AtlasLine(*place_, form.txtCity, use, clock_, form.cboTimeZone, form.chkDST,
                      form.cboTimeZone == kExactClockItem ? form.exactClock : std::nullopt);
}

void PlaceAssistant::showNearbyLine(const BirthFormData& form) {
    nearbyWanted_ = true;
    nearby_ = {};
    if (atlasReady_) nearby_ = NearbyClockOfForm(form);
    line_ = nearby_.line;
}

std::optional<std::string> PlaceAssistant::clockRefusal(const BirthFormData& form, bool& focusHour) const {
    if (!place_ || zoneByHand_) return std::nullopt;
    const PlaceClock clock = ClockOfPlace(*place_, BirthMoment(form));
    if (clock.refusal.empty()) return std::nullopt;
    focusHour = clock.clock.ok() && clock.clock.kind == LocalTimeKind::Skipped;
    return clock.refusal;
}

std::optional<Place> PlaceAssistant::placeOfCity(std::string_view city) const {
    if (TrimBlanks(city).empty()) return std::nullopt;
    for (const Place& p : FindPlaces(std::string(TrimBlanks(city)), 1))
        if (CityNamesPlace(city, p)) return p;
    return std::nullopt;
}

std::optional<AtlasQuestion> PlaceAssistant::question(const BirthFormData& form) const {
    if (kept_ && *kept_ == Asked(form)) return std::nullopt;
    if (place_ && !coordinatesByHand_) {
        const std::string label = PlaceLabel(*place_);
        if (!CityNamesPlace(form.txtCity, *place_)) {
            std::string text = "City says " + QuoteUserText(TrimBlanks(form.txtCity)) +
                               ", but the coordinates held are those of " + label + ". ";
            if (const std::optional<Place> city = placeOfCity(form.txtCity))
                text += "The atlas has " + PlaceLabel(*city) +
                        ".\nUse the atlas's place, keep your data, or go back to the form?";
            else
                text += "The atlas knows no place of that name.\nUse " + place_->name +
                        "'s names, keep your data, or go back to the form?";
            return AtlasQuestion{AtlasQuestion::Kind::OtherCity, std::move(text)};
        }
        const PlaceClock clock = ClockOfPlace(*place_, BirthMoment(form));
        if (ZoneDisagrees(form, clock))
            return AtlasQuestion{AtlasQuestion::Kind::PlaceZone, ZoneQuestion(form, label, clock)};
        return std::nullopt;
    }
    if (!atlasReady_) return std::nullopt;
    const NearbyClock nearby = NearbyClockOfForm(form);
    if (!nearby.nearest || !ZoneDisagrees(form, nearby.clock)) return std::nullopt;
    const std::string whose = "the nearest atlas place, " + PlaceLabel(nearby.nearest->place) + " (" +
                              std::to_string(std::lround(nearby.nearest->distanceKm)) + " km),";
    return AtlasQuestion{AtlasQuestion::Kind::NearbyZone, ZoneQuestion(form, whose, nearby.clock)};
}

bool PlaceAssistant::answer(const AtlasQuestion& question, AtlasAnswer answer, BirthFormData& form) {
    if (answer == AtlasAnswer::GoBack) return false;
    if (answer == AtlasAnswer::KeepMine) {
        kept_ = Asked(form);
        return true;
    }
    switch (question.kind) {
        case AtlasQuestion::Kind::OtherCity:
            if (const std::optional<Place> city = placeOfCity(form.txtCity)) {
                choosePlace(*city, form);
            } else {
                form.txtCity = place_->name;
                form.txtState = StateOfPlace(*place_);
                form.txtCountry = CountryOfPlace(*place_);
                showPlaceLine(form);
            }
            break;
        case AtlasQuestion::Kind::PlaceZone:
            zoneByHand_ = false;
            momentChanged(form);
            break;
        case AtlasQuestion::Kind::NearbyZone: {
            const NearbyClock nearby = NearbyClockOfForm(form);
            if (nearby.nearest) SetZoneOfClock(form, nearby.clock);
            nearby_ = nearby;
            line_ = nearby_.line;
            break;
        }
    }
    return true;
}

std::string PlaceAssistant::chartZoneId() const {
    if (place_) return place_->zoneId;
    return nearby_.nearest ? nearby_.nearest->place.zoneId : std::string();
}

}  // namespace qv
