// quorvane-report --batch with a place column, in memory, on one job: the
// atlas fills each row's coordinates and clock. A list of births repeats its
// cities (200 places over 1,000,000 rows); the other run names another place
// in each row, further apart than the look-up cache holds. Items are rows
// (about one in a hundred is refused: a clock time that did not exist, or an
// offset no zone row gives). bench/batch.sh measures the built program's
// speed and peak memory on such files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "atlas/places.h"
#include "cli/batch.h"
#include "state/fixed_lists.h"

namespace {

// Cities of the atlas, largest first.
std::vector<qv::Place> Cities() {
    const qv::PlaceIndex& atlas = qv::Atlas();
    std::vector<qv::Place> cities;
    for (std::size_t i = 0; i < atlas.size(); ++i) cities.push_back(atlas.at(i));
    std::stable_sort(cities.begin(), cities.end(),
                     [](const qv::Place& a, const qv::Place& b) { return a.population > b.population; });
    return cities;
}

std::string Quoted(const std::string& field) {
    std::string out = "\"";
    for (const char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Rows with random births at the places in turn.
std::string MakeCsv(const std::vector<std::string>& places, int rows) {
    std::mt19937 rng(11);
    auto pick = [&](int low, int high) { return std::to_string(low + static_cast<int>(rng() % (high - low + 1))); };
    std::string csv = "name,year,month,day,hour,minute,place\r\n";
    for (int n = 0; n < rows; ++n) {
        csv += "Asha," + pick(qv::kFirstBirthYear, qv::kLastBirthYear) + "," + pick(1, 12) + "," + pick(1, 28) + "," +
               pick(0, 23) + "," + pick(0, 59) + "," + Quoted(places[static_cast<std::size_t>(n) % places.size()]) +
               "\r\n";
    }
    return csv;
}

// The ways people write a place: its label, without the state, with the
// country code, in lower case, and more.
std::vector<std::string> Writings(const qv::Place& p) {
    std::string lower = qv::PlaceLabel(p);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return {qv::PlaceLabel(p),
            p.name + ", " + p.country,
            p.name + ", " + p.state,
            p.name + " " + p.countryCode,
            lower,
            p.name + ",  " + p.state + ", " + p.countryCode,
            p.name + ", " + p.countryCode,
            p.name + " " + p.state};
}

// Counts what is written and keeps none of it.
class CountingBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        ++bytes;
        return traits_type::not_eof(c);
    }
};

void RunRows(benchmark::State& st, const std::string& csv, int rows) {
    qv::report::BatchSettings settings;
    std::size_t bytes = 0;
    for (auto _ : st) {
        std::istringstream in(csv);
        CountingBuffer sink;
        std::ostream out(&sink);
        std::ostringstream err;
        qv::report::RunBatch(in, out, err, settings);
        bytes += sink.bytes;
    }
    st.SetItemsProcessed(st.iterations() * rows);
    st.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void BM_BatchRepeatedPlaces(benchmark::State& st) {
    constexpr int kRows = 1000000;
    static const std::string csv = [] {
        const std::vector<qv::Place> cities = Cities();
        std::vector<std::string> places;
        for (std::size_t i = 0; i < 200; ++i) places.push_back(Writings(cities[i])[i % 4]);
        return MakeCsv(places, kRows);
    }();
    RunRows(st, csv, kRows);
}
BENCHMARK(BM_BatchRepeatedPlaces)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void BM_BatchEveryRowAnotherPlace(benchmark::State& st) {
    constexpr int kRows = 200000;
    static const std::string csv = [] {
        std::vector<std::string> places;
        for (const qv::Place& p : Cities())
            for (std::string& w : Writings(p)) places.push_back(std::move(w));
        std::shuffle(places.begin(), places.end(), std::mt19937(3));
        places.resize(std::min<std::size_t>(places.size(), kRows));
        return MakeCsv(places, kRows);
    }();
    RunRows(st, csv, kRows);
}
BENCHMARK(BM_BatchEveryRowAnotherPlace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

}  // namespace
