#include "cli/atlas_input.h"

#include <cmath>
#include <utility>

#include <nlohmann/json.hpp>

#include "atlas/clock_text.h"
#include "atlas/place_cache.h"
#include "chart/birth_place.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv::report {

namespace {

// The zone for a box the user gave: the box means summer time, the clock an
// hour ahead of the place's winter time. A box that agrees with the place's
// clock gives that clock; one that does not gives the place's winter time,
// or that time and an hour. The row (or exact clock) under the box is
// chosen to give it; an exact clock when no row does.
void SetZoneBesideBox(const ZoneAtResult& clock, BirthFormData& form) {
    const std::int32_t offset = clock.time.utcOffset;
    const bool summer = clock.summerTime();
    const std::int32_t wanted = form.chkDST ? (summer ? offset : clock.winterOffset + 3600) : clock.winterOffset;
    const std::int32_t row = wanted - (form.chkDST ? 3600 : 0);
    const std::string_view abbreviation = row == offset ? std::string_view(clock.time.abbreviation) : "";
    const ZoneSlot slot = ZoneSlotFor(row, false, abbreviation);
    if (slot.found && !slot.daylightSaving) {
        form.cboTimeZone = slot.slot;
        form.exactClock.reset();
        return;
    }
    form.cboTimeZone = kExactClockItem;
    form.exactClock = ExactClockOf(LocalTimeType{row, false, std::string(abbreviation)}, false);
}

// "DEG:MIN" and a direction letter into a form's two boxes and option.
bool ReadAngle(std::string_view text, std::optional<std::string> (*directionOf)(char, int&), std::string& degrees,
               std::string& minutes, int& option) {
    text = TrimBlanks(text);
    if (text.empty() || directionOf(text.back(), option)) return false;
    text.remove_suffix(1);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    degrees = text.substr(0, colon);
    minutes = text.substr(colon + 1);
    return ParseDigits(degrees, 3) && ParseDigits(minutes, 3);
}

// Whether a text is meant as coordinates rather than a place's name: no
// place of the atlas has a digit or a minus sign in its name.
bool LooksLikeCoordinates(std::string_view text) {
    return text.find_first_of("0123456789") != std::string_view::npos || text.find("\u2212") != std::string_view::npos;
}

// "47:35N,11:04E" into the form's coordinate boxes and options; the reason
// when the text is not coordinates the form would take.
std::optional<std::string> ReadPoint(std::string_view text, BirthFormData& form) {
    const std::size_t comma = text.find(',');
    const bool read =
        comma != std::string_view::npos && text.find(',', comma + 1) == std::string_view::npos &&
        ReadAngle(text.substr(0, comma), LatitudeDirectionOf, form.txtLatD, form.txtLatM, form.optLatSouth) &&
        ReadAngle(text.substr(comma + 1), LongitudeDirectionOf, form.txtLonD, form.txtLonM, form.optLongEast);
    if (!read)
        return "Malformed coordinates " + QuoteUserText(text) +
               " (expected DEG:MIN followed by N or S, a comma, DEG:MIN followed by E or W, e.g. 47:35N,11:04E)";
    if (const std::optional<ValidationFailure> refused = CheckCoordinateRanges(form))
        return refused->message + ": " + QuoteUserText(text);
    return std::nullopt;
}

// "47:35N,11:04E" as the form's coordinates would take it; nullopt for any
// other text (a place's name).
std::optional<FormPoint> PointOfText(std::string_view text) {
    BirthFormData form;
    if (!LooksLikeCoordinates(text) || ReadPoint(text, form)) return std::nullopt;
    return FormCoordinates(form);
}

nlohmann::ordered_json PlaceJson(const Place& p) {
    return {{"name", p.name},           {"state", p.state},    {"country", p.country},  {"latitude", p.latitude},
            {"longitude", p.longitude}, {"zone_id", p.zoneId}, {"label", PlaceLabel(p)}};
}

}  // namespace

std::optional<std::string> PlaceFromAtlas(const PlaceRequest& request, BirthFormData& form, AtlasUse& used) {
    // Each batch worker looks each text up once.
    thread_local BestPlaceCache cache(Atlas());
    const Place* found = cache.Find(request.text);
    if (!found) return "No place in the atlas matches " + QuoteUserText(request.text);
    const Place& place = *found;
    if (!request.latitudeGiven) SetPlaceLatitude(form, place);
    if (!request.longitudeGiven) SetPlaceLongitude(form, place);
    if (!request.cityGiven) form.txtCity = place.name;
    if (!request.stateGiven) form.txtState = StateOfPlace(place);
    if (!request.countryGiven) form.txtCountry = CountryOfPlace(place);
    used = {PlaceLabel(place), {}};
    // A place without a zone leaves the box to the user too.
    if (request.zoneGiven && (request.dstGiven || place.zoneId.empty())) return std::nullopt;

    const LocalDateTime local = BirthMoment(form);
    const PlaceClock clock = ClockOfPlace(place, local);
    if (!clock.clock.ok() || clock.clock.kind == LocalTimeKind::Skipped) return clock.refusal;
    used.zoneId = place.zoneId;
    const std::int32_t offset = clock.clock.time.utcOffset;
    if (request.zoneGiven) {
        form.chkDST =
            ZoneOffsetSeconds(form.cboTimeZone, false) != offset && ZoneOffsetSeconds(form.cboTimeZone, true) == offset;
        return std::nullopt;
    }
    if (request.dstGiven) {
        SetZoneBesideBox(clock.clock, form);
        return std::nullopt;
    }
    SetZoneOfClock(form, clock);
    return std::nullopt;
}

std::optional<std::string> CheckFindPlaceText(std::string_view text) {
    if (!LooksLikeCoordinates(text)) return std::nullopt;
    BirthFormData form;
    return ReadPoint(text, form);
}

std::string FindPlaceJsonText(const std::string& text, std::size_t limit) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    if (const std::optional<FormPoint> point = PointOfText(text)) {
        for (const NearbyPlace& n : NearestAtlasPlaces(point->latitudeNorth, point->longitudeEast, limit)) {
            nlohmann::ordered_json place = PlaceJson(n.place);
            place["distance_km"] = std::round(n.distanceKm * 10) / 10;
            list.push_back(std::move(place));
        }
    } else {
        for (const Place& p : FindPlaces(text, limit)) list.push_back(PlaceJson(p));
    }
    return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace qv::report
