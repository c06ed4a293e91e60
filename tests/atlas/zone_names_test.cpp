#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "atlas/places.h"
#include "atlas/zone_file.h"
#include "atlas/zone_names.h"

namespace qv {
namespace {

// clang-format off
TEST(ParseZoneTable, ReadsZoneLinesAndLeavesOutTheRest) {
    const std::string text =
        "# tzdb timezone descriptions\n"
        "#codes\tcoordinates\tTZ\tcomments\n"
        "MX\t+3144-10629\tAmerica/Ciudad_Juarez\tChihuahua (US border - west)\n"
        "US\t+384038-0873143\tAmerica/Indiana/Vincennes\tEastern - IN (Da, Du, K, Mn)\n"
        "CA,BS\t+4339-07923\tAmerica/Toronto\tEastern - ON & QC (most areas)\n"
        "CL\t-4534-07204\tAmerica/Coyhaique\n"
        "\n"
        "XX\t+4339-079\tBad/Longitude\n"
        "XX\t+4360-07923\tBad/Minutes\n"
        "XX\t4339-07923\tBad/Sign\n"
        "XX\t+4339-07923x\tBad/Tail\n"
        "XX\t+4339-07923\n";
    const std::vector<ZoneTableEntry> expected = {
        {{"MX"}, 31 + 44 / 60.0, -(106 + 29 / 60.0), "America/Ciudad_Juarez"},
        {{"US"}, 38 + 40 / 60.0 + 38 / 3600.0, -(87 + 31 / 60.0 + 43 / 3600.0), "America/Indiana/Vincennes"},
        {{"CA", "BS"}, 43 + 39 / 60.0, -(79 + 23 / 60.0), "America/Toronto"},
        {{"CL"}, -(45 + 34 / 60.0), -(72 + 4 / 60.0), "America/Coyhaique"},
    };
    EXPECT_EQ(ParseZoneTable(text), expected);
}
// clang-format on

Place City(const char* name, const char* code, double latitude, double longitude, const char* zone) {
    return {name, "", "", code, latitude, longitude, zone, 0};
}

// clang-format off
TEST(FitZonesToDatabase, ExemplarCitiesTakeTheirZonesAndMissingZonesAreDropped) {
    const std::vector<ZoneTableEntry> table = {
        {{"MX"}, 31.733, -106.483, "America/Ciudad_Juarez"},
        {{"MX"}, 29.567, -104.417, "America/Ojinaga"},
        {{"US"}, 38.677, -87.529, "America/Indiana/Vincennes"},
        {{"US"}, 38.492, -87.279, "America/Indiana/Petersburg"},
        {{"CA", "BS"}, 43.65, -79.383, "America/Toronto"},
        {{"UA"}, 50.433, 30.517, "Europe/Kyiv"},
        {{"XX"}, 10.0, 10.0, "Nowhere/Gone"},  // listed, but its file is not installed
        {{"ES"}, 35.883, -5.317, "Africa/Ceuta"},
    };
    const std::set<std::string> installed = {"America/Ciudad_Juarez", "America/Ojinaga", "America/Denver", "America/Indiana/Vincennes",
        "America/Indiana/Petersburg", "America/Toronto", "America/Nassau", "America/Chicago", "America/New_York",
        "Europe/Kiev", "Europe/Kyiv", "Europe/Madrid", "Africa/Ceuta"};
    struct Case { Place city; const char* zone; };
    const Case cases[] = {
        // The exemplar city, spelled with accents or blanks, takes its zone.
        {City("Ciudad Juárez", "MX", 31.72, -106.46, "America/Ojinaga"), "America/Ciudad_Juarez"},
        {City("Vincennes", "US", 38.68, -87.53, "America/Chicago"), "America/Indiana/Vincennes"},
        {City("Kyiv", "UA", 50.45, 30.52, "Europe/Kiev"), "Europe/Kyiv"},
        {City("Ceuta", "ES", 35.89, -5.32, "Europe/Madrid"), "Africa/Ceuta"},
        // A zone of several countries: a city of either.
        {City("Toronto", "CA", 43.70, -79.42, "America/Toronto"), "America/Toronto"},
        {City("Toronto", "BS", 43.70, -79.42, "America/Nassau"), "America/Toronto"},
        // Namesakes far from the exemplar, or in another country, keep their zones.
        {City("Petersburg", "US", 37.23, -77.40, "America/New_York"), "America/New_York"},
        {City("Ciudad Juárez", "US", 31.72, -106.46, "America/Denver"), "America/Denver"},
        {City("Vincennes", "FR", 48.85, 2.44, "Europe/Paris"), ""},  // and Europe/Paris is not installed here
        // Near an exemplar, but another city.
        {City("El Paso", "MX", 31.76, -106.49, "America/Ojinaga"), "America/Ojinaga"},
        // A zone the database lacks is dropped; an exemplar whose file is missing is never taken.
        {City("Old Town", "US", 40.0, -90.0, "America/Gone"), ""},
        {City("Gone", "XX", 10.0, 10.0, "Nowhere/Gone"), ""},
        {City("No Zone", "US", 40.0, -90.0, ""), ""},
    };
    std::vector<Place> places;
    for (const auto& c : cases) places.push_back(c.city);
    std::set<std::string> asked;
    FitZonesToDatabase(places, table, [&](const std::string& zone) {
        EXPECT_TRUE(asked.insert(zone).second) << zone << " asked twice";
        return installed.contains(zone);
    });
    for (std::size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(places[i].zoneId, cases[i].zone) << cases[i].city.name << ", " << cases[i].city.countryCode;
        EXPECT_EQ(places[i].name, cases[i].city.name);
    }
}
// clang-format on

const Place* Find(const std::vector<Place>& places, const std::string& name, const std::string& state) {
    for (const Place& p : places)
        if (p.name == name && p.state == state) return &p;
    return nullptr;
}

// The gazetteer as the program reads it, against the installed database.
TEST(WithInstalledZones, TheGazetteersCitiesTakeTheInstalledZones) {
    const std::vector<Place> places = ReadGazetteer();
    struct Case {
        const char* name;
        const char* state;
        const char* zone;
    };
    const bool coyhaique = CheckZoneFile("America/Coyhaique").state == ZoneFileState::Usable;
    const Case cases[] = {
        {"Ciudad Juárez", "Chihuahua", "America/Ciudad_Juarez"},
        {"Vincennes", "Indiana", "America/Indiana/Vincennes"},
        {"Coyhaique", "Aysén", coyhaique ? "America/Coyhaique" : "America/Santiago"},
        {"Kyiv", "Kyiv City", "Europe/Kyiv"},
        {"Ceuta", "Ceuta", "Africa/Ceuta"},
        // Namesakes of exemplar cities elsewhere in the country keep their zones.
        {"Petersburg", "Virginia", "America/New_York"},
        {"Louisville", "Colorado", "America/Denver"},
        {"Matamoros", "Coahuila", "America/Monterrey"},
        {"Kirov", "Kaluga", "Europe/Moscow"},
        {"Chicago", "Illinois", "America/Chicago"},
    };
    for (const auto& c : cases) {
        const Place* p = Find(places, c.name, c.state);
        ASSERT_TRUE(p) << c.name;
        EXPECT_EQ(p->zoneId, c.zone) << c.name;
    }
    std::set<std::string> zones;
    for (const Place& p : places) zones.insert(p.zoneId);
    for (const std::string& zone : zones) EXPECT_EQ(CheckZoneFile(zone).state, ZoneFileState::Usable) << zone;
}

}  // namespace
}  // namespace qv
