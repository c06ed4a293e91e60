// A chart allocates nothing after the first, and a batch row nothing once
// the batch has warmed up: every operator new of the process is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "cli/batch.h"
#include "formats/chart_json.h"
#include "state/time_zones.h"
#include "tests/oracle/chart_comparison.h"

namespace {
std::atomic<std::size_t> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace qv {
namespace {

std::size_t Allocations() { return g_allocations.load(std::memory_order_relaxed); }

// Texts from one to sixty bytes, most beyond any short-string buffer.
std::string TextOfLength(std::mt19937& rng) { return std::string(1 + rng() % 60, static_cast<char>('a' + rng() % 26)); }

// Texts from 16 to 60 bytes: each outgrows a short-string buffer at once.
std::string LongText(std::mt19937& rng) { return std::string(16 + rng() % 45, static_cast<char>('a' + rng() % 26)); }

// The form of random birth `index`, its texts of random lengths.
BirthFormData RandomForm(std::mt19937& rng, std::uint64_t index) {
    BirthFormData f = oracle::FormOf(oracle::RandomBirth(7, index));
    for (std::string* text : {&f.txtName, &f.txtCity, &f.txtState, &f.txtCountry}) *text = TextOfLength(rng);
    return f;
}

TEST(Allocations, NonePerChartAfterTheFirst) {
    std::mt19937 rng(1);
    std::vector<BirthFormData> forms;
    for (std::uint64_t k = 0; k < 20000; ++k) forms.push_back(RandomForm(rng, k));
    ChartState state;
    LoadFixedLists(state);
    ChartWheel wheel;
    ChartJsonLineWriter writer;
    std::string line;
    BirthData birth;
    // The road of a batch row: the form's checks into one birth value, then the chart.
    const auto calculate = [&](const BirthFormData& form) {
        EXPECT_EQ(CheckBirthForm(form, birth), std::nullopt);
        EXPECT_EQ(RunChartCalculation(birth, state, wheel), std::nullopt);
    };
    calculate(forms[0]);
    writer.AppendChart(line, 1, state, wheel);
    line.reserve(64 * 1024);

    const std::size_t before = Allocations();
    for (std::size_t k = 1; k < forms.size(); ++k) {
        calculate(forms[k]);
        line.clear();
        writer.AppendChart(line, k + 1, state, wheel);
    }
    EXPECT_EQ(Allocations() - before, 0u);
}

// Drops what is written.
class NullBuffer : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// Allocations of a whole batch of `rows` random valid rows on `jobs` jobs.
std::size_t BatchAllocations(std::size_t rows, int jobs, bool aspects = false) {
    std::mt19937 rng(2);
    std::string csv = std::string(report::kBatchHeader) + "\n";
    for (std::size_t k = 0; k < rows; ++k) {
        const oracle::Birth b = oracle::RandomBirth(9, k);
        csv += LongText(rng) + "," + std::to_string(b.year) + "," + std::to_string(b.month) + "," +
               std::to_string(b.day) + "," + std::to_string(b.hour) + "," + std::to_string(b.minute) + "," +
               std::to_string(b.zoneSlot) + "," + std::to_string(b.latDeg) + "," + std::to_string(b.latMin) +
               (b.south ? ",S," : ",N,") + std::to_string(b.lonDeg) + "," + std::to_string(b.lonMin) +
               (b.east ? ",E," : ",W,") + (b.dst ? "1," : "0,") + LongText(rng) + "," + LongText(rng) + "," +
               LongText(rng) + "\n";
    }
    std::istringstream in(csv);
    NullBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    report::BatchSettings settings;
    settings.jobs = jobs;
    settings.aspects = aspects;
    const std::size_t before = Allocations();
    EXPECT_EQ(report::RunBatch(in, out, err, settings), 0) << err.str();
    return Allocations() - before;
}

// Rows beyond the first chunks, whose buffers are then all in use, cost
// nothing: a long batch allocates what a short one does (once the tables
// made at the first use are made). Its texts outgrow a short string at once,
// as a record's field then grows once to the room of a typed text.
TEST(Allocations, NoneForRowsAfterTheBatchWarmedUp) {
    BatchAllocations(10, 1);
    for (int jobs : {1, 2}) {
        const std::size_t warm = BatchAllocations(4000, jobs);
        EXPECT_EQ(BatchAllocations(20000, jobs), warm) << jobs << " jobs";
    }
    // With the aspects (--aspects) too.
    const std::size_t warm = BatchAllocations(4000, 1, true);
    EXPECT_EQ(BatchAllocations(20000, 1, true), warm) << "with aspects";
}

}  // namespace
}  // namespace qv
