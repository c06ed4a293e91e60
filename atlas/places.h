// The offline gazetteer: cities with their state, country, coordinates and
// IANA time zone, searched by any of their names as the user types one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "atlas/place_tables.h"
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
    std::uint32_t id = 0;     // the gazetteer's number of the place (2867714 for Munich); 0 when it has none
    std::string stateCode;    // the gazetteer's code of the state within its country ("IL", "08"); may be empty
    std::string alias;        // the other name that a search matched ("München"); empty when the name matched
    std::string labelDetail;  // what tells the place from others of the same label: "24°35′N 73°43′E"
    bool operator==(const Place&) const = default;
};

// A search key: accents transliterated, lower case, apostrophes dropped, every
// run of other characters than letters and digits one blank ("São Paulo" ->
// "sao paulo", "St. John's" -> "st johns").
std::string FoldForSearch(std::string_view text);

// FoldForSearch for many texts: the same keys, with the transliteration of
// each character asked of GLib once and kept.
class SearchFolder {
public:
    std::string Fold(std::string_view text);

private:
    const std::string& LettersOf(std::uint32_t c);
    // The plain letters of the code points below U+10000 met so far, by
    // blocks of 256 (a text's script uses few); higher ones one by one.
    struct Block {
        std::string letters[256];
        bool known[256] = {};
    };
    std::vector<std::unique_ptr<Block>> blocks_;
    std::unordered_map<std::uint32_t, std::string> higher_;
};

// An angle in degrees rounded to the nearest minute, as the form's boxes
// take it: south or west when negative, never for 0° 0'.
Coordinate RoundToMinute(double degrees);

// "City, State, Country", leaving out empty parts. The other name that the
// search matched follows the city in parentheses ("Munich (München), Bavaria,
// Germany"), and the label detail ends it in parentheses ("Udaipur, Rajasthan,
// India (24°35′N 73°43′E)").
std::string PlaceLabel(const Place& place);

// Another name of a place, from the gazetteer's translation catalogs (views
// into the text that holds them).
struct PlaceName {
    std::string_view key;        // a city's number ("2867714"), a state's "country.code" ("DE.02"), a country ("DE")
    std::string_view text;       // "München"
    std::uint32_t catalogs = 1;  // how many catalogs give this name
    bool operator==(const PlaceName&) const = default;
};

// Places searchable by any of their names. Kept compact: each text once,
// states, countries and zones shared, one sorted table of the words' starts.
// The tables are built in memory or mapped from the atlas file
// (atlas/atlas_file.h); either way the search reads them alike.
class PlaceIndex {
public:
    // The cities, and the other names of cities, states and countries, built in memory.
    explicit PlaceIndex(const std::vector<Place>& places, const std::vector<PlaceName>& names = {});
    // An index over tables held elsewhere: `keep` holds their bytes for as
    // long as the index and its copies live.
    PlaceIndex(const place_tables::Views& tables, std::shared_ptr<const void> keep);

    // Matches of a place as people write it, best first, at most `limit`. A
    // city's own label (PlaceLabel, also without its commas) comes first.
    // Otherwise "name[, state or country[, the other]]", or without commas
    // "name state-or-country": the name equal to one of the city's names
    // (its own, another language's or an earlier one), then starting with it,
    // then one of its later words starting with it; then the closer state or
    // country (its whole name, code or short form before a word's start);
    // then the larger population, a name given by one catalog only after
    // the others. "St", "Ft", "Mt" are "Saint", "Fort", "Mount".
    std::vector<Place> Find(std::string_view text, std::size_t limit) const;

    // The same search reading every key in turn instead of the table of word
    // starts: slow, the tests' judge of the index.
    std::vector<Place> FindByScanning(std::string_view text, std::size_t limit) const;

    std::size_t size() const { return t_.cities.size(); }
    // City `i` (< size()) with its label detail, in the order given.
    Place at(std::size_t i) const { return ToPlace(static_cast<std::uint32_t>(i), place_tables::kNoAlias); }
    // City `i`'s latitude and longitude in degrees, without building its Place.
    std::pair<double, double> CoordinatesAt(std::size_t i) const {
        return {t_.cities[i].latitude, t_.cities[i].longitude};
    }
    // The tables, for the atlas file and the search of nearby places.
    const place_tables::Views& Tables() const { return t_; }
    // Bytes held in memory, including the containers' spare capacity; 0 for
    // tables mapped from a file.
    std::size_t MemoryBytes() const { return memoryBytes_; }

private:
    struct Hit;

    Place ToPlace(std::uint32_t city, std::uint32_t alias) const;
    std::string LabelKey(std::uint32_t city) const;
    std::vector<std::uint32_t> EntriesOfLabel(std::string_view text) const;
    std::vector<Place> Search(std::string_view text, std::size_t limit, bool scan) const;
    void AddMatches(const std::vector<std::string>& names, const std::vector<std::string>& qualifiers, std::int8_t rank,
                    bool scan, std::vector<Hit>& hits) const;
    std::vector<std::uint32_t> RegionsNamed(std::string_view qualifier) const;
    std::string_view RegionText(place_tables::TextRef ref) const {
        return t_.regionText.substr(ref.offset, ref.length);
    }

    place_tables::Views t_;
    std::shared_ptr<const void> keep_;
    std::size_t memoryBytes_ = 0;
};

// Every city of the system's gazetteer (libgeonames), names in English, and
// the few it lacks (Singapore, Macau, …).
std::vector<Place> ReadGazetteer();

// The gazetteer's index with the names of its catalogs, at its first use
// (thread-safe): mapped from the atlas file, or built when no file holds it
// (atlas/atlas_load.h).
const PlaceIndex& Atlas();

// Atlas().Find(text, limit).
std::vector<Place> FindPlaces(std::string_view text, std::size_t limit);

// Reads the atlas now, for a background thread started before the first search.
void LoadAtlas();

}  // namespace qv
