// quorvane-report --batch end to end in memory: CSV parsing, the charts and
// the JSON lines, on one job and on two. Items are rows; the output goes to
// a stream that counts and drops it. bench/batch.sh measures the same on a
// file of 1,000,000 rows with the built program, peak memory included.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <streambuf>
#include <string>

#include "cli/batch.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"

namespace {

// Random valid rows after the header, as bench/batch_rows.py writes them.
std::string MakeCsv(int rows) {
    std::mt19937 rng(7);
    auto pick = [&](int low, int high) { return std::to_string(low + static_cast<int>(rng() % (high - low + 1))); };
    std::string csv = std::string(qv::report::kBatchHeader) + "\r\n";
    for (int n = 0; n < rows; ++n) {
        csv += "Asha," + pick(qv::kFirstBirthYear, qv::kLastBirthYear) + "," + pick(1, 12) + "," + pick(1, 28) + "," +
               pick(0, 23) + "," + pick(0, 59) + "," + pick(0, qv::kTimeZoneCount - 1) + "," + pick(0, 89) + "," +
               pick(0, 59) + "," + (rng() % 2 ? "N" : "S") + "," + pick(0, 179) + "," + pick(0, 59) + "," +
               (rng() % 2 ? "E" : "W") + "," + pick(0, 1) + ",\"New Delhi\",Delhi,India\r\n";
    }
    return csv;
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

void BM_Batch(benchmark::State& st) {
    constexpr int kRows = 20000;
    static const std::string csv = MakeCsv(kRows);
    qv::report::BatchSettings settings;
    settings.jobs = static_cast<int>(st.range(0));
    std::size_t bytes = 0;
    for (auto _ : st) {
        std::istringstream in(csv);
        CountingBuffer sink;
        std::ostream out(&sink);
        std::ostringstream err;
        if (qv::report::RunBatch(in, out, err, settings) != 0) st.SkipWithError("batch refused rows");
        bytes += sink.bytes;
    }
    st.SetItemsProcessed(st.iterations() * kRows);
    st.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_Batch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
