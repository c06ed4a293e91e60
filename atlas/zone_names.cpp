#include "atlas/zone_names.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <unordered_map>

#include "atlas/zone_file.h"

namespace qv {

namespace {

// One coordinate of ISO 6709 as the tables write it: sign, degrees of
// `degreeDigits` digits, minutes, and optionally seconds ("+3144", "-10629",
// "+384038"). Advances `text` past it; NaN when malformed.
double ReadCoordinate(std::string_view& text, std::size_t degreeDigits) {
    if (text.empty() || (text[0] != '+' && text[0] != '-')) return NAN;
    std::size_t digits = 1;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    const std::size_t length = digits - 1;
    if (length != degreeDigits + 2 && length != degreeDigits + 4) return NAN;
    const auto number = [&](std::size_t at, std::size_t n) {
        int value = 0;
        std::from_chars(text.data() + at, text.data() + at + n, value);
        return value;
    };
    const int degrees = number(1, degreeDigits), minutes = number(1 + degreeDigits, 2);
    const int seconds = length == degreeDigits + 4 ? number(3 + degreeDigits, 2) : 0;
    if (minutes > 59 || seconds > 59) return NAN;
    const double value = degrees + minutes / 60.0 + seconds / 3600.0;
    const bool negative = text[0] == '-';
    text.remove_prefix(digits);
    return negative ? -value : value;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// Length of a degree of latitude.
constexpr double kKmPerDegree = 111.19;

// Great-circle distance on a sphere of the Earth's mean radius.
double DistanceKm(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kRadian = std::numbers::pi / 180, kEarthKm = 6371.0;
    const double dLat = (lat2 - lat1) * kRadian, dLon = (lon2 - lon1) * kRadian;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1 * kRadian) * std::cos(lat2 * kRadian) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthKm * std::asin(std::sqrt(std::fmin(1.0, a)));
}

// "America/Indiana/Vincennes" -> "vincennes", "America/St_Johns" -> "st johns".
std::string ExemplarKey(std::string_view zone) {
    std::string city(zone.substr(zone.rfind('/') + 1));
    for (char& c : city)
        if (c == '_') c = ' ';
    return FoldForSearch(city);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::vector<ZoneTableEntry> ParseZoneTable(std::string_view text) {
    std::vector<ZoneTableEntry> entries;
    for (std::string_view line : SplitAt(text, '\n')) {
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> fields = SplitAt(line, '\t');
        if (fields.size() < 3 || fields[0].empty() || fields[2].empty()) continue;
        ZoneTableEntry entry;
        for (std::string_view code : SplitAt(fields[0], ',')) entry.countries.emplace_back(code);
        std::string_view place = fields[1];
        entry.latitude = ReadCoordinate(place, 2);
        entry.longitude = ReadCoordinate(place, 3);
        if (std::isnan(entry.latitude) || std::isnan(entry.longitude) || !place.empty()) continue;
        entry.zone = fields[2];
        entries.push_back(std::move(entry));
    }
    return entries;
}

void FitZonesToDatabase(std::vector<Place>& places, const std::vector<ZoneTableEntry>& table,
                        const std::function<bool(const std::string&)>& zoneExists) {
    std::unordered_map<std::string, bool> exists;  // each zone asked about once
    const auto known = [&](const std::string& zone) {
        const auto [it, added] = exists.try_emplace(zone, false);
        if (added) it->second = zoneExists(zone);
        return it->second;
    };
    struct Exemplar {
        const ZoneTableEntry* entry;
        std::string key;
    };
    std::unordered_map<std::string, std::vector<Exemplar>> byCountry;
    for (const ZoneTableEntry& entry : table) {
        const std::string key = ExemplarKey(entry.zone);
        for (const std::string& country : entry.countries) byCountry[country].push_back({&entry, key});
    }
    for (Place& place : places) {
        const auto candidates = byCountry.find(place.countryCode);
        const ZoneTableEntry* nearest = nullptr;
        double nearestKm = kExemplarReachKm;
        std::string key;  // the city's, folded only when a zone's place is near
        if (candidates != byCountry.end()) {
            // A degree of longitude shrunk to what it is at most at a place within reach (half a degree
            // of latitude nearer the pole), with a tenth to spare for the great circle's shortcut.
            const double cosLatitude = 0.9 * std::cos((std::fabs(place.latitude) + 0.5) * std::numbers::pi / 180);
            for (const Exemplar& e : candidates->second) {
                // Most zones are degrees away: no need for the trigonometry.
                if (std::fabs(place.latitude - e.entry->latitude) * kKmPerDegree > nearestKm) continue;
                const double dLon = std::fabs(place.longitude - e.entry->longitude);
                if (std::fmin(dLon, 360 - dLon) * kKmPerDegree * cosLatitude > nearestKm) continue;
                const double km = DistanceKm(place.latitude, place.longitude, e.entry->latitude, e.entry->longitude);
                if (km > nearestKm) continue;
                if (key.empty()) key = FoldForSearch(place.name);
                if (key == e.key && known(e.entry->zone)) nearest = e.entry, nearestKm = km;
            }
        }
        if (nearest)
            place.zoneId = nearest->zone;
        else if (!place.zoneId.empty() && !known(place.zoneId))
            place.zoneId.clear();
    }
}

std::vector<Place> WithInstalledZones(std::vector<Place> places) {
    const std::string directory = ZoneInfoDirectory();
    std::vector<ZoneTableEntry> table = ParseZoneTable(ReadText(directory + "/zone1970.tab"));
    for (ZoneTableEntry& entry : ParseZoneTable(ReadText(directory + "/zone.tab"))) table.push_back(std::move(entry));
    FitZonesToDatabase(places, table, [](const std::string& zone) { return ZoneFileIsThere(zone); });
    return places;
}

}  // namespace qv
