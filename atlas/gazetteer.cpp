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
// the GeoNames number and the state's code beside what the getters give:
// (number, name, state code, state, country code, country, zone, population,
// latitude, longitude). A record of another shape gives neither.
void ReadNumberAndStateCode(GeonamesCity* city, Place& place) {
    if (!g_variant_is_of_type(city, G_VARIANT_TYPE("(sssssssudd)"))) return;
    const gchar* number = nullptr;
    const gchar* stateCode = nullptr;
    g_variant_get_child(city, 0, "&s", &number);
    g_variant_get_child(city, 2, "&s", &stateCode);
    std::uint32_t id = 0;
    const char* end = number + std::strlen(number);
    if (std::from_chars(number, end, id).ptr == end) place.id = id;
    place.stateCode = stateCode;
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
        p.name = Text(geonames_city_get_name(city));
        p.state = Text(geonames_city_get_state(city));
        p.country = Text(geonames_city_get_country(city));
        p.countryCode = Text(geonames_city_get_country_code(city));
        p.latitude = geonames_city_get_latitude(city);
        p.longitude = geonames_city_get_longitude(city);
        p.zoneId = Text(geonames_city_get_timezone(city));
        p.population = geonames_city_get_population(city);
        ReadNumberAndStateCode(city, p);
        geonames_city_free(city);
    }
    for (Place& lacking : CitiesTheGazetteerLacks()) {
        const auto same = [&](const Place& p) { return p.id == lacking.id; };
        if (std::none_of(places.begin(), places.end(), same)) places.push_back(std::move(lacking));
    }
    return WithInstalledZones(std::move(places));
}

}  // namespace qv
