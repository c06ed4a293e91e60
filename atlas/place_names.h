// Names of the gazetteer's places in other languages, from its translation
// catalogs (GNU gettext, domain "geonames", Debian libgeonames-common): each
// catalog maps a city's number, a state's "country.code" or a country's code
// to its name in one language.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "atlas/places.h"

namespace qv {

// The folder that holds the catalogs, <folder>/<language>/LC_MESSAGES/geonames.mo.
inline constexpr std::string_view kGazetteerCatalogFolder = "/usr/share/locale";

// The names of the catalogs: each distinct key and name once, in the order
// first met (catalogs by folder name), with the number of catalogs that give
// it; the names are views into `catalogs`, the bytes of the catalogs read.
struct PlaceNames {
    std::vector<std::string> catalogs;
    std::vector<PlaceName> names;
};

// Every name of every catalog under `folder`. A catalog that cannot be read
// (not an ordinary file, over 64 MiB, damaged) is left out, and so are names
// that are not valid UTF-8, hold a control character or are over 200 bytes.
PlaceNames ReadPlaceNames(std::string_view folder = kGazetteerCatalogFolder);

// The messages of a GNU gettext catalog (.mo) held in `bytes`: each original
// (up to its first NUL, which starts a plural form) with its translation (its
// first form), in the catalog's order. Empty when the bytes are no catalog or
// an entry lies outside them.
std::vector<std::pair<std::string_view, std::string_view>> ParseMessageCatalog(std::string_view bytes);

// Whether a catalog's text may be a place's name: valid UTF-8 without control
// characters, 1 to 200 bytes.
bool UsablePlaceName(std::string_view text);

}  // namespace qv
