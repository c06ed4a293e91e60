// The place index's tables as records of fixed layout, so that the same
// bytes serve an index built in memory and one mapped from the atlas file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct Place;
struct PlaceName;

namespace place_tables {

inline constexpr std::uint32_t kTopBit = 0x80000000u;
// The alias offset of a key that is the city's own name.
inline constexpr std::uint32_t kNoAlias = UINT32_MAX;

// A text within one of the tables' texts.
struct TextRef {
    std::uint32_t offset = 0, length = 0;
};

struct City {
    double latitude = 0, longitude = 0;  // degrees, north and east positive
    std::uint32_t name = 0;              // offset into `text`
    std::uint32_t nameLength = 0;
    std::uint32_t state = 0, country = 0, zone = 0;  // indexes into the tables
    std::uint32_t population = 0, id = 0;
    std::uint32_t unused = 0;  // written as 0, so that the record has no padding
};
static_assert(sizeof(City) == 48);

// A state or a country: its name, its search key and its code (the
// gazetteer's code of the state, or the country's ISO code), in `regionText`.
struct Region {
    TextRef text, folded, code;
};
static_assert(sizeof(Region) == 24);

struct Pair {
    std::uint32_t first = 0, second = 0;
    auto operator<=>(const Pair&) const = default;
};
static_assert(sizeof(Pair) == 8);

// A city's coordinates, for the search of the places nearest a point.
struct Point {
    double latitude = 0, longitude = 0;
    std::uint32_t city = 0;
    std::uint32_t unused = 0;
};
static_assert(sizeof(Point) == 24);

// The tables, wherever their bytes are held.
struct Views {
    // The cities' names (each `nameLength` bytes) and the label details that
    // tell apart cities of one label (each ended by a NUL).
    std::string_view text;
    std::span<const City> cities;
    // States, countries and zones: their texts, each ended by a NUL.
    std::string_view regionText;
    std::span<const Region> states, countries;
    std::span<const TextRef> zones;
    // (city, offset of its label detail in `text`), ordered.
    std::span<const Pair> details;
    // Every search key of every city, each followed by a NUL, its city (the
    // top bit set for a name given by one catalog only) and the offset of the
    // alias's own spelling in `aliases` (kNoAlias for the city's own name).
    std::string_view keys;
    std::string_view aliases;  // each ended by a NUL
    // Offsets into `keys` where a word starts (the top bit set where the key
    // starts), ordered by the text from there to the key's end.
    std::span<const std::uint32_t> starts;
    // Folded names, codes and short forms of states and countries (offsets
    // into `qualifierText`, each ended by a NUL) with the region they name
    // (the top bit set for a country), ordered by text.
    std::string_view qualifierText;
    std::span<const Pair> qualifiers;
    // Hash of each city's label key and the city, ordered.
    std::span<const Pair> labels;
    // Every city's coordinates, by latitude.
    std::span<const Point> points;
};

// The tables held in memory, as the index builds them.
struct Tables {
    std::string text, regionText, keys, aliases, qualifierText;
    std::vector<City> cities;
    std::vector<Region> states, countries;
    std::vector<TextRef> zones;
    std::vector<Pair> details, qualifiers, labels;
    std::vector<std::uint32_t> starts;
    std::vector<Point> points;

    Views View() const;
    // Bytes held, including the containers' spare capacity.
    std::size_t MemoryBytes() const;
};

// The index of the cities, and of the other names of cities, states and
// countries, built in named steps (atlas/place_tables_build.cpp).
Tables BuildTables(const std::vector<Place>& places, const std::vector<PlaceName>& names);

// The label key's hash (FNV-1a) that `labels` is ordered by.
std::uint32_t LabelHash(std::string_view key);

}  // namespace place_tables
}  // namespace qv
