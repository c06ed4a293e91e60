// Cost of the analysis and the wheel per chart, and of reading a reading
// file that is far too large (time and peak memory).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/elements.h"
#include "chart/chart_wheel.h"
#include "formats/reading_file.h"

namespace {

qv::ChartState SampleChart() {
    const char* positions[] = {"21 Can 23", "08 Tau 11", "05 Leo 40", "29 Gem 02", "17 Can 55", "26 Ari 14",
                               "15 Sag 30", "23 Sag 10", "06 Cap 18", "07 Sco 45", "12 Aqu 03"};
    const char* labels[] = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                            "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};
    const char* abbrevs[] = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};
    qv::ChartState s;
    for (int i = 0; i < 11; ++i) {
        s.PlanetPosition[i] = positions[i];
        s.BodyLabel[i] = qv::FixedText::Of(labels[i]);  // literals: lasting
    }
    for (int i = 0; i < 12; ++i) s.SignAbbrevList[i] = abbrevs[i];
    s.AscendantText = "12\xC2\xB0 3' 0\" Aqu";
    return s;
}

void BM_Analyse(benchmark::State& bench) {
    qv::ChartState s = SampleChart();
    for (auto _ : bench) {
        qv::AnalyseElementsQualityHouse(s);
        benchmark::DoNotOptimize(s.InterpretationRuns.data());
    }
}
BENCHMARK(BM_Analyse);

void BM_FillChartWheel(benchmark::State& bench) {
    const qv::ChartState s = SampleChart();
    qv::ChartWheel wheel;
    for (auto _ : bench) {
        qv::FillChartWheel(s, wheel);
        benchmark::DoNotOptimize(wheel.signBoxes.data());
    }
}
BENCHMARK(BM_FillChartWheel);

// A 100 MB file without a single line end; reports the peak resident memory.
void BM_ReadHugeReading(benchmark::State& bench) {
    const auto file = std::filesystem::temp_directory_path() / ("qv-bench-huge-" + std::to_string(::getpid()) + ".qvn");
    {
        std::ofstream out(file, std::ios::binary);
        const std::string chunk(1 << 20, 'x');
        for (int i = 0; i < 100; ++i) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    for (auto _ : bench) {
        auto loaded = qv::LoadReading(file);
        benchmark::DoNotOptimize(loaded);
    }
    std::filesystem::remove(file);
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    bench.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ReadHugeReading)->Unit(benchmark::kMillisecond);

}  // namespace
