// The gazetteer's time zones held against the installed tz database. The
// gazetteer is older than the database, which has since given cities zones of
// their own (America/Ciudad_Juarez in 2022, split from America/Ojinaga) and
// renamed others (Europe/Kiev to Europe/Kyiv); a system may also lack a zone
// the gazetteer names.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/places.h"

namespace qv {

// One line of the database's zone1970.tab or zone.tab: the countries (ISO 3166
// codes) a zone covers, the place of its exemplar city, and the zone.
struct ZoneTableEntry {
    std::vector<std::string> countries;  // "US"; zone1970.tab lists several: "CA", "BS"
    double latitude = 0, longitude = 0;  // degrees, north and east positive
    std::string zone;                    // "America/Indiana/Vincennes"
    bool operator==(const ZoneTableEntry&) const = default;
};

// The zone lines of a table's text; comments and lines not of that form are left out.
std::vector<ZoneTableEntry> ParseZoneTable(std::string_view text);

// How far from a zone's listed place a city of its exemplar's name may lie
// and still be that city. Namesakes elsewhere in the country are farther
// (Petersburg, Virginia is 878 km from the exemplar of America/Indiana/Petersburg).
inline constexpr double kExemplarReachKm = 50;

// Fits the zones of `places` to a database whose zones are listed in `table`
// and whose zone files `zoneExists` tells:
//  1. a city named as the exemplar city of a zone that exists (the last part
//     of the zone's name, '_' read as a blank, names compared as search keys:
//     "Ciudad Juárez" is America/Ciudad_Juarez), in one of the zone's
//     countries and within kExemplarReachKm of the zone's listed place, takes
//     that zone (the nearest such zone, if several);
//  2. otherwise a zone that does not exist is dropped: the city has no zone,
//     and the user chooses one.
void FitZonesToDatabase(std::vector<Place>& places, const std::vector<ZoneTableEntry>& table,
                        const std::function<bool(const std::string&)>& zoneExists);

// `places` fitted to the installed database: its zone1970.tab and zone.tab
// under ZoneInfoDirectory(), and a zone existing when its file is there (a
// file there that cannot be used keeps the zone, so that the user is told
// what is wrong with it).
std::vector<Place> WithInstalledZones(std::vector<Place> places);

}  // namespace qv
