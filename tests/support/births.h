// People the tests calculate, as checked birth data, and the form that
// holds them.
#pragma once

#include <gtest/gtest.h>

#include "chart/birth_form.h"

namespace qv::test {

// The form that holds `birth`; it must pass the form's checks.
inline BirthFormData FormOf(const BirthData& birth) {
    BirthFormData form = FormOfBirth(birth);
    BirthData checked;
    EXPECT_EQ(CheckBirthForm(form, checked).has_value(), false) << birth.name;
    EXPECT_EQ(checked, birth) << birth.name;
    return form;
}

// New Delhi, 15 June 1975 14:30, Indian Time.
inline BirthData Asha() {
    return {.name = "Asha",
            .local = {1975, 6, 15, 14, 30},
            .zoneSlot = 34,
            .latitude = {28, 37},
            .longitude = {77, 13},
            .city = "New Delhi",
            .state = "Delhi",
            .country = "India"};
}

// London, 10 December 1915 1:30, a zone with no correction.
inline BirthData AdaInLondon() {
    return {.name = "Ada Byron",
            .local = {1915, 12, 10, 1, 30},
            .zoneSlot = 29,
            .latitude = {51, 30},
            .longitude = {0, 7, true},
            .city = "London",
            .state = "England",
            .country = "UK"};
}

// Basel, 26 July 1975 19:32, summer time.
inline BirthData CarlInBasel() {
    return {.name = "Carl Gustav",
            .local = {1975, 7, 26, 19, 32},
            .zoneSlot = 20,
            .daylightSaving = true,
            .latitude = {47, 33},
            .longitude = {7, 35},
            .city = "Basel",
            .state = "Basel Stadt",
            .country = "Switzerland"};
}

// Chicago, 4 February 1962 7:00, Central Standard Time without daylight
// saving: seven bodies and the ascendant in one house.
inline BirthData StelliumInChicago() {
    return {.name = "Chicago Stellium",
            .local = {1962, 2, 4, 7, 0},
            .zoneSlot = 21,
            .latitude = {41, 51},
            .longitude = {87, 39, true},
            .city = "Chicago",
            .state = "Illinois",
            .country = "USA"};
}

}  // namespace qv::test
