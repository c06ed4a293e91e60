// The fixed lists every layer reads: the birth-data form's year list, the
// twelve signs, the eleven chart bodies and the months.
#pragma once

#include <array>
#include <string_view>

namespace qv {

// The year list of the birth-data form: "1901" … "2050", 150 items.
inline constexpr int kFirstBirthYear = 1901;
inline constexpr int kBirthYearCount = 150;
inline constexpr int kLastBirthYear = kFirstBirthYear + kBirthYearCount - 1;

// The twelve signs, three letters each, 0 Aries … 11 Pisces.
inline constexpr std::string_view SignAbbreviations = "AriTauGemCanLeoVirLibScoSagCapAquPis";

// Full sign names, 0 Aries … 11 Pisces.
inline constexpr std::array<std::string_view, 12> kSignNames = {"Aries",       "Taurus",    "Gemini",   "Cancer",
                                                                "Leo",         "Virgo",     "Libra",    "Scorpio",
                                                                "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

// The chart's bodies, slots 0..10: their names and unmarked labels.
inline constexpr std::array<std::string_view, 11> kBodyNames = {
    "Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};
inline constexpr std::size_t kMoonSlot = 1;
inline constexpr std::size_t kAscendantSlot = 10;

// English month names, 0 January … 11 December.
inline constexpr std::array<std::string_view, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                                 "May",       "June",     "July",     "August",
                                                                 "September", "October",  "November", "December"};

// Month 1 "January" … 12 "December"; empty for any other number.
constexpr std::string_view MonthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[static_cast<std::size_t>(month - 1)] : std::string_view{};
}

}  // namespace qv
