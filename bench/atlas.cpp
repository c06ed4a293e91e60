// The atlas: opening the atlas file (once per run of the program, at the
// first key press in City or the first --place), building the index from the
// gazetteer and its catalogs (when no file holds it), one completion look-up
// for two to six typed letters, the best match of a whole place, and the
// clock and zone row of a place at a birth moment.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "atlas/atlas_file.h"
#include "atlas/atlas_load.h"
#include "atlas/place_names.h"
#include "atlas/places.h"
#include "atlas/zone_at.h"
#include "atlas/zone_names.h"
#include "atlas/zone_slot.h"

namespace {

// The data the figures were taken with.
const bool kContext = (benchmark::AddCustomContext("tzdata", qv::TzdataVersion()),
                       benchmark::AddCustomContext("gazetteer_cities", std::to_string(qv::Atlas().size())), true);

// As Atlas() builds it without an atlas file, and as the file is made: the
// gazetteer, the names of its catalogs, the index.
void BM_AtlasFirstLoad(benchmark::State& run) {
    std::size_t bytes = 0, keys = 0;
    for (auto _ : run) {
        const qv::PlaceNames names = qv::ReadPlaceNames();
        const qv::PlaceIndex index(qv::ReadGazetteer(), names.names);
        bytes = index.MemoryBytes();
        keys = names.names.size();
        benchmark::DoNotOptimize(bytes);
    }
    run.counters["index_bytes"] = static_cast<double>(bytes);
    run.counters["catalog_names"] = static_cast<double>(keys);
}
BENCHMARK(BM_AtlasFirstLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

// What a process does at its first look-up when the atlas file is there:
// the record of sources made and compared, the checksum, the mapping and the
// check of its tables.
void BM_AtlasOpenFile(benchmark::State& run) {
    const std::filesystem::path file = qv::DefaultAtlasLocations().files.front();
    for (auto _ : run) {
        const qv::AtlasFileRead read = qv::OpenAtlasFile(file, qv::CurrentAtlasSources());
        if (!read.index) run.SkipWithError((file.string() + ": " + read.problem).c_str());
        benchmark::DoNotOptimize(read.index);
    }
}
BENCHMARK(BM_AtlasOpenFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The record of sources alone: the catalogs' folder listed and every file's size and time.
void BM_AtlasSources(benchmark::State& run) {
    for (auto _ : run) benchmark::DoNotOptimize(qv::CurrentAtlasSources());
}
BENCHMARK(BM_AtlasSources)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The part of the first load that fits the gazetteer's zones to the installed
// tz database (its tables read, each zone's file looked for).
void BM_WithInstalledZones(benchmark::State& run) {
    const std::vector<qv::Place> gazetteer = qv::ReadGazetteer();
    for (auto _ : run) {
        run.PauseTiming();
        std::vector<qv::Place> places = gazetteer;
        run.ResumeTiming();
        benchmark::DoNotOptimize(qv::WithInstalledZones(std::move(places)));
    }
}
BENCHMARK(BM_WithInstalledZones)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The parts of the load one by one.
void BM_AtlasReadGazetteer(benchmark::State& run) {
    for (auto _ : run) benchmark::DoNotOptimize(qv::ReadGazetteer());
}
BENCHMARK(BM_AtlasReadGazetteer)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_AtlasReadCatalogs(benchmark::State& run) {
    for (auto _ : run) benchmark::DoNotOptimize(qv::ReadPlaceNames());
}
BENCHMARK(BM_AtlasReadCatalogs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_AtlasBuildIndex(benchmark::State& run) {
    const std::vector<qv::Place> places = qv::ReadGazetteer();
    const qv::PlaceNames names = qv::ReadPlaceNames();
    for (auto _ : run) {
        const qv::PlaceIndex index(places, names.names);
        benchmark::DoNotOptimize(index.size());
    }
}
BENCHMARK(BM_AtlasBuildIndex)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

// The first `letters` letters of names people type, in turn.
void BM_FindPlaces(benchmark::State& run) {
    constexpr std::string_view kNames[] = {"Chicago", "Sao Paulo", "London",  "Mumbai",   "Springfield",
                                           "Berlin",  "Kathmandu", "Winston", "Adelaide", "Moscow"};
    const auto letters = static_cast<std::size_t>(run.range(0));
    const qv::PlaceIndex& atlas = qv::Atlas();
    std::size_t i = 0;
    for (auto _ : run) {
        benchmark::DoNotOptimize(atlas.Find(kNames[i].substr(0, letters), 10));
        i = (i + 1) % std::size(kNames);
    }
}
BENCHMARK(BM_FindPlaces)->DenseRange(2, 6)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Whole places as a batch or --place gives them, the best match only.
void BM_FindBestPlace(benchmark::State& run) {
    constexpr std::string_view kPlaces[] = {
        "Chicago, Illinois", "München",         "Sao Paulo, Brazil",
        "London, UK",        "Houston TX",      "Москва",
        "St. Petersburg",    "Springfield, MO", "Udaipur, Rajasthan, India (27°43′N 75°28′E)",
        "Kathmandu"};
    const qv::PlaceIndex& atlas = qv::Atlas();
    std::size_t i = 0;
    for (auto _ : run) {
        benchmark::DoNotOptimize(atlas.Find(kPlaces[i], 1));
        i = (i + 1) % std::size(kPlaces);
    }
}
BENCHMARK(BM_FindBestPlace)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The clock of Chicago and its row, walking through the years (zone file cached).
void BM_ZoneAtAndRow(benchmark::State& run) {
    qv::LocalDateTime t{1901, 1, 15, 14, 30};
    for (auto _ : run) {
        const auto clock = qv::ZoneAt("America/Chicago", t);
        benchmark::DoNotOptimize(qv::ZoneSlotFor(clock.time));
        t.year = t.year < 2050 ? t.year + 1 : 1901;
        t.month = t.month % 12 + 1;
    }
}
BENCHMARK(BM_ZoneAtAndRow)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
