// A birth place from the atlas for the command (--place) and the batch (the
// place column): the best match of the text fills whatever the user did not
// give, and the place's clock at the birth moment chooses the zone row and
// the daylight-saving box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chart/birth_form.h"
#include "formats/chart_json.h"

namespace qv::report {

struct PlaceRequest {
    std::string text;  // "Chicago", "London, Canada"
    // What the user gave as well; given values win over the atlas.
    bool latitudeGiven = false, longitudeGiven = false;
    bool zoneGiven = false, dstGiven = false;
    bool cityGiven = false, stateGiven = false, countryGiven = false;
};

// Completes `form` (date and time set, the given values in place) from the
// atlas, in this order of refusal: a place not found, zone data that cannot
// be read, a clock time that did not exist.
//  - Without a zone: the row and box of the place's clock, or its exact
//    clock when no row gives it (local mean time); a repeated time takes
//    the first. With the box given as well, the box means summer time: one
//    that agrees with the place's clock gives that clock, one that does not
//    the place's winter time (unticked) or winter time and an hour (ticked),
//    with the row (or that time to the second) beside the box.
//  - With a zone and no box: the box ticked when the row needs it for the
//    place's offset.
//  - With both, the clock is not asked.
// `used` names the place and, when its clock was asked, its IANA zone.
[[nodiscard]] std::optional<std::string> PlaceFromAtlas(const PlaceRequest& request, BirthFormData& form,
                                                        AtlasUse& used);

// A text given to --find-place that looks like coordinates (a digit or a
// minus sign in it) and is not coordinates the form would take: the reason,
// naming the text ("Latitude must be from 0 to 90 degrees: \"91:00N,11:04E\"").
// nullopt for coordinates in range and for a place's name.
std::optional<std::string> CheckFindPlaceText(std::string_view text);

// The matches of --find-place as a JSON array, best first: name, state,
// country, latitude, longitude, zone_id, label. Coordinates as the command
// takes them, "47:35N,11:04E", list the places within kNearbyRadiusKm,
// nearest first, each with its distance_km (to 0.1 km).
std::string FindPlaceJsonText(const std::string& text, std::size_t limit);

}  // namespace qv::report
