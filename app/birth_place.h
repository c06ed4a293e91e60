// The atlas for one birth: a chosen place into the birth data, and the clock
// of the place at the birth moment with the zone row and box that give it.
// The birth-data form and the command both go through these.
#pragma once

#include <string>

#include "app/birth_form.h"
#include "app/birth_values.h"
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

// The local birth moment the form's lists or the birth values hold.
LocalDateTime BirthMoment(const BirthFormData& form);
LocalDateTime BirthMoment(const BirthValues& values);

// The place's latitude and longitude (to the nearest minute, with their
// directions) into the birth values.
void SetPlaceLatitude(BirthValues& values, const Place& place);
void SetPlaceLongitude(BirthValues& values, const Place& place);

// The place's names and coordinates into the form's boxes and option pairs.
void SetPlace(BirthFormData& form, const Place& place);

}  // namespace qv
