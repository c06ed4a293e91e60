// The birth data the widget benchmarks calculate: London, 10 December 1915.
#pragma once

#include "chart/birth_form.h"

namespace qv::bench {

inline BirthData LondonPerson() {
    return {.name = "Ada Byron",
            .local = {1915, 12, 10, 1, 30},
            .zoneSlot = 29,
            .latitude = {51, 30},
            .longitude = {0, 7, true},
            .city = "London",
            .state = "England",
            .country = "UK"};
}

// The same person as the birth-data form holds them.
inline BirthFormData LondonForm() { return FormOfBirth(LondonPerson()); }

}  // namespace qv::bench
