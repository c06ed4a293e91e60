// The birth data the widget benchmarks calculate: London, 10 December 1915.
#pragma once

#include "app/birth_values.h"

namespace qv::bench {

inline BirthValues LondonPerson() {
    return {.name = "Ada Byron",
            .year = 1915,
            .month = 12,
            .day = 10,
            .hour = 1,
            .minute = 30,
            .zoneSlot = 29,
            .latDegrees = "51",
            .latMinutes = "30",
            .latDirection = LatitudeDirection::North,
            .lonDegrees = "0",
            .lonMinutes = "7",
            .lonDirection = LongitudeDirection::West,
            .city = "London",
            .state = "England",
            .country = "UK"};
}

// The same person as the birth-data form holds them.
inline BirthFormData LondonForm() {
    BirthFormData form;
    BirthValuesToForm(LondonPerson(), form);
    return form;
}

}  // namespace qv::bench
