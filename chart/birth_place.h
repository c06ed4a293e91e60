// The atlas for one birth: a chosen place into the birth data, and the clock
// of the place at the birth moment with the zone row and box that give it.
// The birth-data form and the command both go through these.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/nearest.h"
#include "atlas/places.h"
#include "atlas/zone_at.h"
#include "atlas/zone_slot.h"
#include "chart/birth_form.h"

namespace qv {

// A place's clock at a birth moment, in the program's terms.
struct PlaceClock {
    ZoneAtResult clock;
    ZoneSlot slot;  // found when the time existed and a row gives its offset
    // The clock to the second when the time existed and no row gives its
    // offset (local mean time, +5:45): the zone list's entry after the rows.
    std::optional<ExactClock> exact;
    std::string line;     // what the atlas found, for the line under the zone row
    std::string refusal;  // why a chart cannot take its zone from the atlas; empty when it can
};

// The clock of `place` at local time `local`: the row and box, or else the
// exact clock, for a time that existed; the refusal names a time that did
// not exist or zone data that cannot be read.
PlaceClock ClockOfPlace(const Place& place, const LocalDateTime& local);

// A clock of the tz database as an exact clock: summer time when it was
// ahead of the place's winter time (`summerTime`, ZoneAtResult::summerTime),
// local mean time when it is named "LMT" or its offset has seconds,
// otherwise a standard time.
ExactClock ExactClockOf(const LocalTimeType& clock, bool summerTime);

// The zone list's entry for an exact clock of `place` (a city's name, may be
// empty): "Local mean time of Moscow, UTC+2:30:17", "Standard time of
// Kathmandu, UTC+5:45", "Summer time of Amsterdam, UTC+1:19:32".
std::string ExactClockLabel(const ExactClock& clock, std::string_view place);

// The form's zone item after the atlas chose it for `clock`: the row and box,
// or the exact clock's item with the box cleared. False, and the form left
// as it was, when the clock gives neither.
bool SetZoneOfClock(BirthFormData& form, const PlaceClock& clock);

// The local birth moment the form's lists hold (12:00 when the birth time
// is unknown), ChartClockTime.
LocalDateTime BirthMoment(const BirthFormData& form);

// The place's latitude or longitude, to the nearest minute, into the form's
// boxes and option pair.
void SetPlaceLatitude(BirthFormData& form, const Place& place);
void SetPlaceLongitude(BirthFormData& form, const Place& place);

// What the State and Country boxes get for a place: its own, or for a place
// the gazetteer files without one (Singapore, Gibraltar, Macau) the
// country's name, else the city's own, so that every place of the atlas
// can be charted.
std::string StateOfPlace(const Place& place);
std::string CountryOfPlace(const Place& place);

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
// `exactClock` is the form's exact clock, which zoneSlot kExactClockItem selects.
std::string AtlasLine(const Place& place, std::string_view city, AtlasPlaceUse use, const PlaceClock& clock,
                      int zoneSlot, bool daylightSaving, const std::optional<ExactClock>& exactClock = std::nullopt);

// The line under the zone row for coordinates typed by hand, `nearby` the
// atlas's places nearest to them (NearestAtlasPlaces) and `clock` the
// first one's clock at the birth moment: "Nearest atlas place:
// Garmisch-Partenkirchen, 10 km: CET, UTC+1:00"; without a place within
// kNearbyRadiusKm, "No atlas place within 100 km".
std::string NearbyLine(const std::vector<NearbyPlace>& nearby, const PlaceClock& clock);

// The atlas place nearest to the form's coordinates, for coordinates typed
// by hand, and its clock at the form's birth moment.
struct NearbyClock {
    std::optional<NearbyPlace> nearest;  // within kNearbyRadiusKm
    PlaceClock clock;                    // the nearest place's clock; empty without one
    std::string line;                    // NearbyLine; empty while the coordinates are incomplete
};
NearbyClock NearbyClockOfForm(const BirthFormData& form);

// The line under the City box after the atlas was searched for the typed
// text: empty while something was found.
inline constexpr std::string_view kNotInAtlasLine =
    "Not in the atlas: type the coordinates and choose the zone, or pick a town nearby";
std::string_view CitySearchLine(bool searched, std::size_t found);

}  // namespace qv
