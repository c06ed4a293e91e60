// People the tests calculate, as birth values, and the form data of values
// that must pass the form's checks.
#pragma once

#include <gtest/gtest.h>

#include "app/birth_values.h"

namespace qv::test {

// The form data of `values`; a refusal fails the test that asked.
inline BirthFormData FormOf(const BirthValues& values) {
    BirthFormData form;
    const auto refused = BirthValuesToForm(values, form);
    EXPECT_EQ(refused, std::nullopt) << values.name;
    return form;
}

// New Delhi, 15 June 1975 14:30, Indian Time.
// clang-format off
inline BirthValues Asha() {
    return {.name = "Asha", .year = 1975, .month = 6, .day = 15, .hour = 14, .minute = 30, .zoneSlot = 34,
            .latDegrees = "28", .latMinutes = "37", .latDirection = LatitudeDirection::North,
            .lonDegrees = "77", .lonMinutes = "13", .lonDirection = LongitudeDirection::East,
            .city = "New Delhi", .state = "Delhi", .country = "India"};
}
// clang-format on

// London, 10 December 1915 1:30, a zone with no correction.
// clang-format off
inline BirthValues AdaInLondon() {
    return {.name = "Ada Byron", .year = 1915, .month = 12, .day = 10, .hour = 1, .minute = 30, .zoneSlot = 29,
            .latDegrees = "51", .latMinutes = "30", .latDirection = LatitudeDirection::North,
            .lonDegrees = "0", .lonMinutes = "7", .lonDirection = LongitudeDirection::West,
            .city = "London", .state = "England", .country = "UK"};
}
// clang-format on

// Basel, 26 July 1975 19:32, summer time.
// clang-format off
inline BirthValues CarlInBasel() {
    return {.name = "Carl Gustav", .year = 1975, .month = 7, .day = 26, .hour = 19, .minute = 32, .zoneSlot = 20,
            .latDegrees = "47", .latMinutes = "33", .latDirection = LatitudeDirection::North,
            .lonDegrees = "7", .lonMinutes = "35", .lonDirection = LongitudeDirection::East,
            .daylightSaving = true, .city = "Basel", .state = "Basel Stadt", .country = "Switzerland"};
}
// clang-format on

// Chicago, 4 February 1962 7:00, Central Standard Time without daylight
// saving: seven bodies and the ascendant in one house.
// clang-format off
inline BirthValues StelliumInChicago() {
    return {.name = "Chicago Stellium", .year = 1962, .month = 2, .day = 4, .hour = 7, .minute = 0, .zoneSlot = 21,
            .latDegrees = "41", .latMinutes = "51", .latDirection = LatitudeDirection::North,
            .lonDegrees = "87", .lonMinutes = "39", .lonDirection = LongitudeDirection::West,
            .city = "Chicago", .state = "Illinois", .country = "USA"};
}
// clang-format on

}  // namespace qv::test
