// Built-in retrograde station tables of Mercury to Pluto, and the test of a
// birth date against them.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qv {

// One retrograde period as row texts "month,day,year,hour,minute," (UT, no
// leading zeros, trailing comma): station retrograde, then station direct.
struct StationRow {
    std::string_view start;
    std::string_view end;
};

// The planets that have station tables, in RetrogradeFlag order.
enum class StationPlanet { Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto };
inline constexpr std::size_t kStationPlanetCount = 8;

// "Mercury" … "Pluto".
std::string_view StationPlanetName(StationPlanet planet);

// The planet of an exact name "Mercury" … "Pluto"; nothing for any other text.
std::optional<StationPlanet> StationPlanetFromName(std::string_view name);

// A planet's start list (stations retrograde) and end list (stations
// direct). Rows 0 … n−1 hold the n periods in order; slot n stays empty.
struct StationLists {
    std::span<const std::string_view> start;
    std::span<const std::string_view> end;
    std::size_t PeriodCount() const { return start.empty() ? 0 : start.size() - 1; }
};

// The built-in lists of a planet; every call gives the same constant lists.
StationLists LoadStations(StationPlanet planet);

// True when the calendar date of the birth lies strictly between the calendar
// days of the two stations of one period; the clock time plays no part. The
// birth date is the local civil date, compared with the UT station dates as
// they are. Unknown planet names give false.
bool IsRetrograde(std::chrono::local_time<std::chrono::minutes> birth, StationPlanet planet);
bool IsRetrograde(std::chrono::local_time<std::chrono::minutes> birth, std::string_view planetName);

// All eight at once: bit f set when planet f is retrograde on the birth's
// date (one look-up in a table of days for the form's years).
std::uint8_t RetrogradePlanets(std::chrono::local_time<std::chrono::minutes> birth);

namespace station_detail {

// Whole number of one to four digits without leading zeros; -1 when malformed.
constexpr int ParseField(std::string_view text) {
    if (text.empty() || text.size() > 4 || (text.size() > 1 && text[0] == '0')) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace station_detail

// UT moment of a row text "month,day,year,hour,minute,"; nothing when the
// text is not exactly that form or is not a valid date and time.
constexpr std::optional<std::chrono::sys_time<std::chrono::minutes>> ParseStationRow(std::string_view row) {
    using namespace std::chrono;
    int fields[5] = {};
    for (int& field : fields) {
        const std::size_t comma = row.find(',');
        if (comma == std::string_view::npos) return std::nullopt;
        field = station_detail::ParseField(row.substr(0, comma));
        if (field < 0) return std::nullopt;
        row.remove_prefix(comma + 1);
    }
    if (!row.empty()) return std::nullopt;
    const auto [m, d, y, h, mi] = fields;
    if (y < 1000 || m < 1 || m > 12 || d < 1 || d > 31 || h > 23 || mi > 59) return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return sys_days{date} + hours{h} + minutes{mi};
}

}  // namespace qv
