#include "tools/fuzz/fuzz_targets.h"

#include <unistd.h>
#include <array>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Abseil's zone reader itself, below the cache of absl::LoadTimeZone.
#include <absl/time/internal/cctz/include/cctz/time_zone.h>
#include <absl/time/internal/cctz/src/time_zone_if.h>
#include <nlohmann/json.hpp>

#include "atlas/atlas_file.h"
#include "atlas/nearest.h"
#include "atlas/place_names.h"
#include "atlas/places.h"
#include "atlas/zone_file.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"
#include "cli/batch.h"
#include "cli/csv_reader.h"
#include "cli/report_options.h"
#include "formats/chart_json.h"
#include "formats/reading_file.h"
#include "formats/text_export.h"

namespace qv::fuzz {

namespace {

// One scratch file per process for the reading target.
const std::filesystem::path& ScratchReading() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qv_fuzz_" + std::to_string(::getpid()) + ".qvn");
    return path;
}

// Messages reach a terminal: no byte of the user's may steer it. Line ends
// of the messages themselves are the only control characters allowed.
void RequireNoRawControls(std::string_view message) {
    for (const char c : message) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\n') || b == 0x7F) __builtin_trap();
    }
}

// One scratch folder per process for the zone-file target, made the zone
// folder ($TZDIR) and removed when the process ends.
const std::filesystem::path& ScratchZoneFolder() {
    struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("qv_fuzz_tz_" + std::to_string(::getpid()));
        Folder() {
            std::filesystem::create_directories(path / "Fuzz");
            ::setenv("TZDIR", path.c_str(), 1);
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

namespace cctz = absl::time_internal::cctz;

// An offset a zone may hold: less than a day either way.
void RequireSoundOffset(int offset) {
    if (offset <= -86400 || offset >= 86400) __builtin_trap();
}

// Abseil's answer for a local clock reading, held to what it claims: one
// instant that shows that reading; two instants, the clocks put back between
// them, that both show it; or none, the clocks put forward over it.
void RequireSoundLocalTime(const cctz::TimeZoneIf& zone, const cctz::civil_second& local) {
    const cctz::time_zone::civil_lookup found = zone.MakeTime(local);
    const auto shows = [&](const cctz::time_point<cctz::seconds>& t) {
        const cctz::time_zone::absolute_lookup clock = zone.BreakTime(t);
        RequireSoundOffset(clock.offset);
        return clock.cs == local;
    };
    // Far from the years people are born in, the instants may not be representable; no
    // claim is checked there.
    if (local.year() < -100000 || local.year() > 100000) return;
    switch (found.kind) {
        case cctz::time_zone::civil_lookup::UNIQUE:
            if (found.pre != found.trans || found.trans != found.post || !shows(found.pre)) __builtin_trap();
            break;
        case cctz::time_zone::civil_lookup::REPEATED:
            if (!(found.pre < found.trans && found.trans <= found.post) || !shows(found.pre) || !shows(found.post))
                __builtin_trap();
            break;
        case cctz::time_zone::civil_lookup::SKIPPED: {
            if (!(found.pre >= found.trans && found.trans > found.post)) __builtin_trap();
            const int before = zone.BreakTime(found.trans - cctz::seconds(1)).offset;
            const int after = zone.BreakTime(found.trans).offset;
            RequireSoundOffset(before);
            RequireSoundOffset(after);
            if (before >= after) __builtin_trap();
            break;
        }
    }
}

}  // namespace

void ReadingFileTarget(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(ScratchReading(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) return;
    }
    // As the command opens a reading: its form, then the form's checks.
    const auto loaded = LoadReading(ScratchReading());
    std::error_code ignored;
    std::filesystem::remove(ScratchReading(), ignored);
    const auto* form = std::get_if<BirthFormData>(&loaded);
    if (!form) return;
    ChartState state;
    LoadFixedLists(state);
    ChartWheel wheel;
    if (CalculateChartOfForm(*form, state, wheel)) return;
    (void)ChartJsonText(state, wheel);
    (void)MakeTextExport(state);
    std::string bytes;
    (void)ReadingFileBytes(state, bytes);
}

void CsvReaderTarget(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(text);
        report::CsvReader reader(in, 64);
        report::CsvRecord record;
        while (reader.Next(record)) {}
    }
    // Two jobs for one input in eight: threads cost more than the rows.
    std::istringstream in(text);
    std::ostringstream out, err;
    report::BatchSettings settings;
    settings.jobs = size % 8 == 0 ? 2 : 1;
    (void)report::RunBatch(in, out, err, settings);
    RequireNoRawControls(err.str());
}

void ReportOptionsTarget(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            args.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[k]));
        }
    }
    if (!current.empty() || size == 0) args.push_back(std::move(current));
    const auto parsed = report::ParseReportOptions(args);
    if (const auto* refused = std::get_if<report::OptionError>(&parsed)) RequireNoRawControls(refused->message);
    if (const auto* options = std::get_if<report::ReportOptions>(&parsed); options && options->help)
        (void)report::ReportUsage();
}

void JsonLineTarget(const std::uint8_t* data, std::size_t size) {
    using Json = nlohmann::ordered_json;
    struct Chart {
        ChartState state;
        ChartWheel wheel;
    };
    static const Chart calculated = [] {
        Chart c;
        const BirthData asha{.name = "Asha",
                             .local = {1975, 6, 15, 14, 30},
                             .zoneSlot = 34,
                             .latitude = {28, 37},
                             .longitude = {77, 13},
                             .city = "New Delhi",
                             .state = "Delhi",
                             .country = "India"};
        if (CalculateChartOf(asha, c.state, c.wheel)) __builtin_trap();
        return c;
    }();
    Chart chart = calculated;
    ChartState& s = chart.state;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() >= sizeof(double)) {
        std::memcpy(&s.BodyLongitude[static_cast<std::size_t>(data[0]) % 11], data, sizeof(double));
        bytes.remove_prefix(sizeof(double));
    }
    AtlasUse atlas;
    std::array<std::string, 6> fixed;  // kept here for the fixed texts that show them
    std::string* const texts[] = {
        &atlas.place,     &atlas.zoneId, &s.BirthName, &s.BirthCity,       &s.BirthState,        &s.BirthCountry,
        &s.AscendantText, &s.MoonText,   &fixed[0],    &s.PositionName[3], &s.PlanetPosition[5], &fixed[1],
        &s.HouseSign[0],  &fixed[2],     &fixed[3],    &fixed[4],          &s.TimeZoneName[34]};
    for (std::string* text : texts) {
        const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
        text->assign(bytes.substr(0, cut));
        bytes.remove_prefix(std::min(cut + 1, bytes.size()));
    }
    fixed[5].assign(bytes);
    s.MoonSignName = FixedText::Of(fixed[0]);
    s.BodyLabel[9] = FixedText::Of(fixed[1]);
    s.ElementResult[1] = FixedText::Of(fixed[2]);
    s.QualityResult[2] = FixedText::Of(fixed[3]);
    s.HouseTypeResult[0] = FixedText::Of(fixed[4]);
    s.BodyLabel[0] = FixedText::Of(fixed[5]);
    chart.wheel.signBoxes[static_cast<std::size_t>(chart.wheel.firstHouseSign)].bodies |= 1u | 1u << 9;

    // The line reads as JSON, and holds what the single chart's text holds.
    ChartJsonLineWriter writer;
    std::string line;
    writer.AppendChart(line, size, s, chart.wheel, atlas);
    Json parsed = Json::parse(line, nullptr, false);
    if (parsed.is_discarded() || !parsed.contains("row")) __builtin_trap();
    parsed.erase("row");
    const Json single = Json::parse(ChartJsonText(s, chart.wheel, atlas), nullptr, false);
    if (single.is_discarded() || parsed != single) __builtin_trap();

    const std::string message(reinterpret_cast<const char*>(data), size);
    line.clear();
    writer.AppendError(line, size, message);
    const Json library = Json({{"row", size}, {"error", message}});
    if (line != library.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n") __builtin_trap();
}

void ZoneFileTarget(const std::uint8_t* data, std::size_t size) {
    const std::string zone = "Fuzz/Zone";
    const std::filesystem::path path = ScratchZoneFolder() / zone;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) return;
    }
    const ZoneFileCheck check = CheckZoneFile(zone);
    RequireNoRawControls(check.problem);
    if (check.state == ZoneFileState::Missing || (check.state == ZoneFileState::Usable) != check.problem.empty())
        __builtin_trap();
    if (check.state != ZoneFileState::Usable) return;
    // Abseil's reader as absl::LoadTimeZone runs it, without the library's cache
    // of zones by name, which would keep every input until the process ends.
    const std::unique_ptr<cctz::TimeZoneIf> read = cctz::TimeZoneIf::Load(zone);
    if (!read) return;

    // Birth moments over the years the program takes and far beyond.
    for (const int year : {1, 1000, 1800, 1850, 1883, 1901, 1918, 1942, 1962, 1975, 2000, 2037, 2038, 2050, 2100, 9999})
        for (const cctz::civil_second t :
             {cctz::civil_second(year, 1, 1, 0, 0, 0), cctz::civil_second(year, 6, 15, 12, 30, 0),
              cctz::civil_second(year, 12, 31, 23, 59, 59)})
            RequireSoundLocalTime(*read, t);
    // The clock readings around the zone's first changes from 1800 on, to the second.
    cctz::time_zone::civil_transition change;
    auto t = std::chrono::time_point_cast<cctz::seconds>(std::chrono::system_clock::from_time_t(-5364662400));  // 1800
    for (int n = 0; n < 24 && read->NextTransition(t, &change); ++n) {
        for (const cctz::civil_second at : {change.from - 1, change.from, change.to - 1, change.to, change.to + 1800})
            RequireSoundLocalTime(*read, at);
        const auto next = read->MakeTime(change.to).trans;
        if (next <= t) break;
        t = next;
    }
}

namespace {

Place City(const char* name, const char* state, const char* country, const char* code, std::uint32_t population,
           std::uint32_t id, const char* stateCode, double latitude, double longitude) {
    Place p;
    p.name = name;
    p.state = state;
    p.country = country;
    p.countryCode = code;
    p.latitude = latitude;
    p.longitude = longitude;
    p.zoneId = "Etc/UTC";
    p.population = population;
    p.id = id;
    p.stateCode = stateCode;
    return p;
}

// A few cities with the traits that the search treats apart: a name with a
// comma, two of one label, "St." and "Saint", a city named as its country.
const std::vector<Place>& SmallWorld() {
    static const std::vector<Place> world = {
        City("Munich", "Bavaria", "Germany", "DE", 1260391, 2867714, "02", 48.137, 11.575),
        City("Saint Petersburg", "Saint Petersburg", "Russia", "RU", 5028000, 498817, "66", 59.939, 30.314),
        City("St. Petersburg", "Florida", "United States of America", "US", 257083, 4171563, "FL", 27.771, -82.679),
        City("Chicago", "Illinois", "United States of America", "US", 2720546, 4887398, "IL", 41.85, -87.65),
        City("Udaipur", "Rajasthan", "India", "IN", 422784, 1253986, "24", 24.586, 73.713),
        City("Udaipur", "Rajasthan", "India", "IN", 30264, 1253985, "24", 27.723, 75.472),
        City("Burgdorf, Hanover", "Lower Saxony", "Germany", "DE", 30899, 2941405, "06", 52.446, 10.006),
        City("Singapore", "", "Singapore", "SG", 5600000, 1880252, "", 1.29, 103.85),
        City("Frankfurt (Oder)", "Brandenburg", "Germany", "DE", 57015, 2925535, "11", 52.347, 14.551),
    };
    return world;
}

// The index must find what reading every key finds.
void RequireJudgeAgrees(const PlaceIndex& index, std::string_view text, std::size_t limit) {
    if (index.Find(text, limit) != index.FindByScanning(text, limit)) __builtin_trap();
}

}  // namespace

void PlaceSearchTarget(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const PlaceIndex small(SmallWorld(), {{"2867714", "München", 9}, {"SG", "Singapur", 20}});
    RequireJudgeAgrees(small, text, 5);
    const std::vector<Place> found = FindPlaces(text, 10);
    if (found.size() > 10) __builtin_trap();
    if (!found.empty()) {
        Place first = found.front();
        first.alias.clear();
        const std::vector<Place> again = FindPlaces(PlaceLabel(first), 1);
        if (again.size() != 1 || again[0].id != first.id || again[0].latitude != first.latitude) __builtin_trap();
    }
}

void PlaceNamesTarget(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::pair<std::string_view, std::string_view>> messages = ParseMessageCatalog(bytes);
    if (messages.empty()) {
        for (std::size_t start = 0; start < bytes.size();) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string_view::npos) end = bytes.size();
            const std::string_view line = bytes.substr(start, end - start);
            const std::size_t tab = line.find('\t');
            if (tab != std::string_view::npos) messages.emplace_back(line.substr(0, tab), line.substr(tab + 1));
            start = end + 1;
        }
    }
    // As ReadPlaceNames keeps them.
    std::vector<PlaceName> names;
    for (const auto& [key, text] : messages)
        if (!key.empty() && key.size() <= 16 && UsablePlaceName(text))
            names.push_back({key, text, static_cast<std::uint32_t>(1 + key.size() % 3)});
    const PlaceIndex index(SmallWorld(), names);
    for (std::size_t i = 0; i < index.size(); ++i) {
        const Place city = index.at(i);
        const std::vector<Place> found = index.Find(PlaceLabel(city), 1);
        if (found.size() != 1 || found[0].id != city.id || found[0].latitude != city.latitude) __builtin_trap();
    }
    for (std::size_t i = 0; i < names.size() && i < 8; ++i) {
        RequireJudgeAgrees(index, names[i].text, 4);
        RequireJudgeAgrees(index, std::string(names[i].text) + ", " + std::string(names[i].key), 4);
    }
}

void AtlasFileTarget(const std::uint8_t* data, std::size_t size) {
    // At an address that is a multiple of eight, as a mapping's bytes are.
    std::vector<std::uint64_t> words(size / 8 + 1);
    std::memcpy(words.data(), data, size);
    char* bytes = reinterpret_cast<char*>(words.data());
    if (size >= kAtlasChecksumAt + 8 &&
        std::string_view(bytes + kAtlasChecksumAt, 8) != std::string_view("\xff\xff\xff\xff\xff\xff\xff\xff", 8)) {
        const std::uint64_t checksum = AtlasFileChecksum({bytes, size});
        std::memcpy(bytes + kAtlasChecksumAt, &checksum, sizeof checksum);
    }
    std::string problem;
    const std::optional<place_tables::Views> tables = ReadAtlasBytes({bytes, size}, std::nullopt, problem);
    if (!tables) {
        if (problem.empty()) __builtin_trap();
        return;
    }
    const PlaceIndex index(*tables, nullptr);
    const NearbyIndex nearby(index);
    for (std::size_t i = 0; i < index.size() && i < 32; ++i) {
        const Place city = index.at(i);
        index.Find(PlaceLabel(city), 3);
        index.Find(city.name.substr(0, 3), 5);
        index.FindByScanning(city.name, 3);
        nearby.Nearest(city.latitude, city.longitude, 3, 300);
    }
    for (const char* text : {"m", "Mun", "st petersburg", "Udaipur, India", "Singapur", "x, y, z"})
        index.Find(text, 10);
    nearby.Nearest(0, 0, 5, 20100);
}

TargetFunction TargetByName(std::string_view name) {
    if (name == "reading_file") return ReadingFileTarget;
    if (name == "csv_reader") return CsvReaderTarget;
    if (name == "report_options") return ReportOptionsTarget;
    if (name == "json_line") return JsonLineTarget;
    if (name == "zone_file") return ZoneFileTarget;
    if (name == "place_search") return PlaceSearchTarget;
    if (name == "place_names") return PlaceNamesTarget;
    if (name == "atlas_file") return AtlasFileTarget;
    return nullptr;
}

}  // namespace qv::fuzz
