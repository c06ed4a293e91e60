// The offline gazetteer: cities with their state, country, coordinates and
// IANA time zone, searched as the user types a place name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/birth_data.h"

namespace qv {

struct Place {
    std::string name;         // "São Paulo"
    std::string state;        // first-level division by name ("Illinois"); may be empty
    std::string country;      // "United States of America"
    std::string countryCode;  // ISO 3166 alpha-2, "US"
    double latitude = 0;      // degrees, north positive
    double longitude = 0;     // degrees, east positive
    std::string zoneId;       // "America/Chicago"
    std::uint32_t population = 0;
    bool operator==(const Place&) const = default;
};

// A search key: accents transliterated, lower case, apostrophes dropped, every
// run of other characters than letters and digits one blank ("São Paulo" ->
// "sao paulo", "St. John's" -> "st johns").
std::string FoldForSearch(std::string_view text);

// An angle in degrees rounded to the nearest minute, as the form's boxes
// take it: south or west when negative, never for 0° 0'.
Coordinate RoundToMinute(double degrees);

// "City, State, Country", leaving out empty parts.
std::string PlaceLabel(const Place& place);

// Places searchable by name. Kept compact: each text once, states, countries
// and zones shared.
class PlaceIndex {
public:
    explicit PlaceIndex(const std::vector<Place>& places);

    // Matches of "name[, state or country[, …]]", best first, at most `limit`:
    // the name equal to the typed one, then starting with it, then one of its
    // later words starting with it; within each, the larger population first.
    // Each part after a comma must start a word of the state or the country,
    // or be the country code.
    std::vector<Place> Find(std::string_view text, std::size_t limit) const;

    std::size_t size() const { return entries_.size(); }
    // Bytes held, including the containers' spare capacity.
    std::size_t MemoryBytes() const;

private:
    struct Entry {
        std::uint32_t name = 0, folded = 0;  // offsets into text_
        std::uint16_t nameLength = 0, foldedLength = 0;
        std::uint32_t state = 0, country = 0, zone = 0;  // indexes into the tables
        std::uint32_t population = 0;
        double latitude = 0, longitude = 0;
    };
    struct Named {
        std::string text, folded;
    };
    std::string_view Folded(const Entry& e) const { return std::string_view(text_).substr(e.folded, e.foldedLength); }
    bool MatchesQualifier(const Entry& e, std::string_view qualifier) const;
    Place ToPlace(const Entry& e) const;

    std::string text_;
    std::vector<Entry> entries_;
    std::vector<Named> states_, countries_;
    std::vector<std::string> countryCodes_, zones_;
};

// Every city of the system's gazetteer (libgeonames), names in English.
std::vector<Place> ReadGazetteer();

// The gazetteer's index, read at its first use (thread-safe; about 30 ms).
const PlaceIndex& Atlas();

// Atlas().Find(text, limit).
std::vector<Place> FindPlaces(std::string_view text, std::size_t limit);

// Reads the atlas now, for a background thread started before the first search.
void LoadAtlas();

}  // namespace qv
