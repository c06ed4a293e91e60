// The atlas for one birth: a chosen place into the birth data, and the clock
// of the place at the birth moment with the zone row and box that give it.
// The birth-data form and the command both go through these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/birth_form.h"
#include "atlas/places.h"
#include "atlas/zone_at.h"
#include "atlas/zone_slot.h"

namespace qv {

// A place's clock at a birth moment, in the program's terms.
struct PlaceClock {
    ZoneAtResult clock;
    ZoneSlot slot;        // found when the time existed and a row gives its offset
    std::string line;     // what the atlas found, for the line under the zone row
    std::string refusal;  // why a chart cannot take its zone from the atlas; empty when it can
};

// The clock of `place` at local time `local`: the row and box for a time that
// existed; the refusal names a time that did not exist, an offset no row
// gives, or zone data that cannot be read.
PlaceClock ClockOfPlace(const Place& place, const LocalDateTime& local);

// The local birth moment the form's lists hold.
LocalDateTime BirthMoment(const BirthFormData& form);

// The place's latitude or longitude, to the nearest minute, into the form's
// boxes and option pair.
void SetPlaceLatitude(BirthFormData& form, const Place& place);
void SetPlaceLongitude(BirthFormData& form, const Place& place);

// The place's names and coordinates into the form's boxes and option pairs.
void SetPlace(BirthFormData& form, const Place& place);

// What the form still holds of a place chosen from the atlas.
struct AtlasPlaceUse {
    bool coordinates = false;  // the coordinate boxes and directions as the place filled them
    bool zone = false;         // the zone row and box as the atlas chose them
};

// True when the City box, as typed, still names `place`: the same words
// after folding for search ("sao  paulo" names São Paulo).
bool CityNamesPlace(std::string_view city, const Place& place);

// The line under the zone row while the form holds something of `place`
// (`clock` its clock at the birth moment, `zoneSlot` and `daylightSaving`
// the form's zone row and box):
// - City names another place while coordinates or zone are still the
//   place's: "Coordinates and zone are Chicago's, Illinois: choose the new
//   place from the list, or type its coordinates and zone" (or the part of
//   it that applies);
// - City still names it and the zone was set by hand to another offset than
//   the place's clock at that moment: "Set by hand: the atlas gives CDT,
//   UTC−5:00";
// - otherwise what the atlas found (PlaceClock::line); empty when City names
//   another place and nothing of the place is left.
std::string AtlasLine(const Place& place, std::string_view city, AtlasPlaceUse use, const PlaceClock& clock,
                      int zoneSlot, bool daylightSaving);

// The line under the City box after the atlas was searched for the typed
// text: empty while something was found.
inline constexpr std::string_view kNotInAtlasLine =
    "Not in the atlas: type the coordinates and choose the zone, or pick a town nearby";
std::string_view CitySearchLine(bool searched, std::size_t found);

}  // namespace qv
