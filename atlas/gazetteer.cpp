// The gazetteer's cities as libgeonames holds them.
#include <geonames.h>
#include <libintl.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "atlas/place_words.h"
#include "atlas/places.h"
#include "atlas/zone_names.h"

namespace qv {

namespace {

std::string Text(const gchar* s) { return s ? s : ""; }

// The library's record of a city (a GVariant, as its header declares) holds
// (number, name, state code, state, country code, country, zone, population,
// latitude, longitude): the getters' fields, the GeoNames number and the
// state's code. Read whole at once, as the getters would read it seven times
// (about 0.3 µs each). False for a record of another shape.
bool ReadRecord(GeonamesCity* city, Place& p) {
    if (!g_variant_is_of_type(city, G_VARIANT_TYPE("(sssssssudd)"))) return false;
    const gchar *number = nullptr, *name = nullptr, *stateCode = nullptr, *state = nullptr, *countryCode = nullptr,
                *country = nullptr, *zone = nullptr;
    guint32 population = 0;
    gdouble latitude = 0, longitude = 0;
    g_variant_get(city, "(&s&s&s&s&s&s&sudd)", &number, &name, &stateCode, &state, &countryCode, &country, &zone,
                  &population, &latitude, &longitude);
    p.name = name;
    p.state = state;
    p.country = country;
    p.countryCode = countryCode;
    p.latitude = latitude;
    p.longitude = longitude;
    p.zoneId = zone;
    p.population = population;
    const char* end = number + std::strlen(number);
    if (std::uint32_t id = 0; std::from_chars(number, end, id).ptr == end) p.id = id;
    p.stateCode = stateCode;
    return true;
}

}  // namespace

std::vector<Place> ReadGazetteer() {
    // The library translates names into the desktop's language; the program
    // keeps the gazetteer's English names, so that the form, the command and the
    // saved readings say the same whatever the language. An empty catalogue
    // directory turns the translation off for the library's domain only.
    bindtextdomain("geonames", "/nonexistent");
    const gint n = geonames_get_n_cities();
    std::vector<Place> places;
    places.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (gint i = 0; i < n; ++i) {
        GeonamesCity* city = geonames_get_city(i);
        if (!city) continue;
        Place& p = places.emplace_back();
        if (!ReadRecord(city, p)) {
            p.name = Text(geonames_city_get_name(city));
            p.state = Text(geonames_city_get_state(city));
            p.country = Text(geonames_city_get_country(city));
            p.countryCode = Text(geonames_city_get_country_code(city));
            p.latitude = geonames_city_get_latitude(city);
            p.longitude = geonames_city_get_longitude(city);
            p.zoneId = Text(geonames_city_get_timezone(city));
            p.population = geonames_city_get_population(city);
        }
        geonames_city_free(city);
    }
    for (Place& lacking : CitiesTheGazetteerLacks()) {
        const auto same = [&](const Place& p) { return p.id == lacking.id; };
        if (std::none_of(places.begin(), places.end(), same)) places.push_back(std::move(lacking));
    }
    return WithInstalledZones(std::move(places));
}

}  // namespace qv
