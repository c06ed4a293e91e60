// The gazetteer's cities as libgeonames holds them.
#include <geonames.h>
#include <libintl.h>

#include "atlas/places.h"
#include "atlas/zone_names.h"

namespace qv {

namespace {

std::string Text(const gchar* s) { return s ? s : ""; }

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
        places.push_back({Text(geonames_city_get_name(city)), Text(geonames_city_get_state(city)),
                          Text(geonames_city_get_country(city)), Text(geonames_city_get_country_code(city)),
                          geonames_city_get_latitude(city), geonames_city_get_longitude(city),
                          Text(geonames_city_get_timezone(city)), geonames_city_get_population(city)});
        geonames_city_free(city);
    }
    return WithInstalledZones(std::move(places));
}

}  // namespace qv
