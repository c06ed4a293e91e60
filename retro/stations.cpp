#include "retro/stations.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "retro/station_table.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

using std::chrono::days;
using std::chrono::floor;

// A planet's lists and the UT day number (days since 1970-01-01) of each
// station, all worked out by the compiler from the row texts. A row that does
// not parse, a spare slot that is not empty or rows out of order stop the build.
template <std::size_t Slots>
struct PlanetTable {
    std::array<std::string_view, Slots> start{};
    std::array<std::string_view, Slots> end{};
    std::array<std::int32_t, Slots - 1> startDay{};
    std::array<std::int32_t, Slots - 1> endDay{};
};

// Day number of a row text (days since 1970-01-01, UT date).
consteval std::int32_t RowDay(std::string_view row) {
    const auto moment = ParseStationRow(row);
    if (!moment) throw "station row does not parse";
    return floor<days>(*moment).time_since_epoch().count();
}

template <std::size_t Slots>
consteval PlanetTable<Slots> BuildTable(const StationRow (&rows)[Slots]) {
    static_assert(Slots >= 1);
    PlanetTable<Slots> table;
    for (std::size_t k = 0; k + 1 < Slots; ++k) {
        table.start[k] = rows[k].start;
        table.end[k] = rows[k].end;
        table.startDay[k] = RowDay(rows[k].start);
        table.endDay[k] = RowDay(rows[k].end);
        if (*ParseStationRow(rows[k].start) >= *ParseStationRow(rows[k].end)) {
            throw "station rows out of order";
        }
        if (k > 0 && *ParseStationRow(rows[k - 1].end) >= *ParseStationRow(rows[k].start)) {
            throw "station rows out of order";
        }
    }
    if (!rows[Slots - 1].start.empty() || !rows[Slots - 1].end.empty()) {
        throw "the spare slot of a station list must stay empty";
    }
    return table;
}

constexpr auto kMercury = BuildTable(station_rows::kMercury);
constexpr auto kVenus = BuildTable(station_rows::kVenus);
constexpr auto kMars = BuildTable(station_rows::kMars);
constexpr auto kJupiter = BuildTable(station_rows::kJupiter);
constexpr auto kSaturn = BuildTable(station_rows::kSaturn);
constexpr auto kUranus = BuildTable(station_rows::kUranus);
constexpr auto kNeptune = BuildTable(station_rows::kNeptune);
constexpr auto kPluto = BuildTable(station_rows::kPluto);

// Size-free view of one PlanetTable.
struct TableView {
    std::span<const std::string_view> start;
    std::span<const std::string_view> end;
    std::span<const std::int32_t> startDay;
    std::span<const std::int32_t> endDay;
};

template <std::size_t Slots>
constexpr TableView View(const PlanetTable<Slots>& table) {
    return {table.start, table.end, table.startDay, table.endDay};
}

constexpr std::array<TableView, kStationPlanetCount> kTables{
    View(kMercury), View(kVenus),  View(kMars),    View(kJupiter),
    View(kSaturn),  View(kUranus), View(kNeptune), View(kPluto),
};

constexpr std::array<std::string_view, kStationPlanetCount> kNames{
    "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto",
};

const TableView& TableOf(StationPlanet planet) { return kTables[static_cast<std::size_t>(planet)]; }

// Whether day number `day` lies strictly between the station days of one
// period: the last period starting before that day must end after it.
bool StrictlyInsidePeriod(const TableView& table, std::int32_t day) {
    const auto next = std::lower_bound(table.startDay.begin(), table.startDay.end(), day);
    if (next == table.startDay.begin()) return false;
    const auto k = static_cast<std::size_t>(next - table.startDay.begin()) - 1;
    return day < table.endDay[k];
}

// Every day of the birth-data form's years with one bit per planet that is
// retrograde on it (bit f for flag f), worked out by the compiler from the
// station days: a birth's flags are one look-up.
constexpr std::int32_t kFirstTableDay =
    std::chrono::sys_days{std::chrono::year{kFirstBirthYear} / 1 / 1}.time_since_epoch().count();
constexpr std::int32_t kLastTableDay =
    std::chrono::sys_days{std::chrono::year{kLastBirthYear} / 12 / 31}.time_since_epoch().count();

constexpr auto kRetrogradeDays = [] {
    std::array<std::uint8_t, static_cast<std::size_t>(kLastTableDay - kFirstTableDay + 1)> bits{};
    for (std::size_t f = 0; f < kStationPlanetCount; ++f) {
        const TableView& table = kTables[f];
        for (std::size_t k = 0; k < table.startDay.size(); ++k) {
            const std::int32_t first = std::max(table.startDay[k] + 1, kFirstTableDay);
            const std::int32_t last = std::min(table.endDay[k] - 1, kLastTableDay);
            for (std::int32_t day = first; day <= last; ++day)
                bits[static_cast<std::size_t>(day - kFirstTableDay)] |= static_cast<std::uint8_t>(1u << f);
        }
    }
    return bits;
}();

// The bits of the planets retrograde on day number `day`.
std::uint8_t RetrogradeBitsOn(std::int32_t day) {
    if (day >= kFirstTableDay && day <= kLastTableDay)
        return kRetrogradeDays[static_cast<std::size_t>(day - kFirstTableDay)];
    std::uint8_t bits = 0;
    for (std::size_t f = 0; f < kStationPlanetCount; ++f)
        if (StrictlyInsidePeriod(kTables[f], day)) bits = static_cast<std::uint8_t>(bits | 1u << f);
    return bits;
}

}  // namespace

std::string_view StationPlanetName(StationPlanet planet) { return kNames[static_cast<std::size_t>(planet)]; }

std::optional<StationPlanet> StationPlanetFromName(std::string_view name) {
    const auto found = std::find(kNames.begin(), kNames.end(), name);
    if (found == kNames.end()) return std::nullopt;
    return static_cast<StationPlanet>(found - kNames.begin());
}

StationLists LoadStations(StationPlanet planet) {
    const TableView& table = TableOf(planet);
    return {table.start, table.end};
}

std::uint8_t RetrogradePlanets(std::chrono::local_time<std::chrono::minutes> birth) {
    return RetrogradeBitsOn(static_cast<std::int32_t>(floor<days>(birth).time_since_epoch().count()));
}

bool IsRetrograde(std::chrono::local_time<std::chrono::minutes> birth, StationPlanet planet) {
    return (RetrogradePlanets(birth) >> static_cast<unsigned>(planet) & 1u) != 0;
}

bool IsRetrograde(std::chrono::local_time<std::chrono::minutes> birth, std::string_view planetName) {
    const auto planet = StationPlanetFromName(planetName);
    return planet && IsRetrograde(birth, *planet);
}

}  // namespace qv
