// quorvane-oracle [--charts N] [--seed S] [--jobs J] [--scalar]
//
// Computes N random charts (default 10,000,000) with the program's whole road
// (its engine's vector path where the CPU has one, or with --scalar its
// scalar path) and with the literal engine, labels, wheel and analysis, and
// prints how many differ in any text, list, wheel entry or text export, how
// many JSON lines of the program differ from the JSON library's line of the
// same chart, the largest longitude difference per slot, and how close the
// literal longitudes came to an arcsecond step. Exit status 0 when all agree
// and every longitude lies within the text-step margin, 1 otherwise, 2 for a
// bad command line.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "astro/positions.h"
#include "astro/text_steps.h"
#include "astro/vector_math.h"
#include "state/fixed_lists.h"
#include "tests/oracle/chart_comparison.h"

namespace {

bool ParseCount(const char* text, std::uint64_t& out) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || text[0] == '-') return false;
    out = value;
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: quorvane-oracle [--charts N] [--seed S] [--jobs 1..64] [--scalar]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t charts = 10'000'000, seed = 15, jobs = std::max(1u, std::thread::hardware_concurrency());
    for (int k = 1; k < argc; ++k) {
        const std::string_view option = argv[k];
        if (option == "--scalar") {
            qv::SetVectorMath(false);
            continue;
        }
        std::uint64_t* target = option == "--charts" ? &charts
                                : option == "--seed" ? &seed
                                : option == "--jobs" ? &jobs
                                                     : nullptr;
        if (!target || k + 1 >= argc || !ParseCount(argv[++k], *target)) return Usage();
    }
    if (jobs < 1 || jobs > 64) return Usage();

    const auto start = std::chrono::steady_clock::now();
    std::vector<qv::oracle::Tally> tallies(jobs);
    std::vector<std::thread> workers;
    for (std::uint64_t job = 0; job < jobs; ++job)
        workers.emplace_back([&, job] {
            qv::oracle::ProgramCharts program;
            for (std::uint64_t index = job; index < charts; index += jobs)
                qv::oracle::Compare(qv::oracle::RandomBirth(seed, index), program, tallies[job]);
        });
    for (std::thread& w : workers) w.join();
    qv::oracle::Tally total;
    for (const auto& t : tallies) total.Add(t);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("charts: %llu (seed %llu, %s path, %llu jobs, %.1f s)\n", static_cast<unsigned long long>(total.charts),
                static_cast<unsigned long long>(seed), qv::VectorMathActive() ? "vector" : "scalar",
                static_cast<unsigned long long>(jobs), seconds);
    std::printf("charts with a differing text, list, wheel entry or export: %llu\n",
                static_cast<unsigned long long>(total.mismatchedCharts));
    std::printf("JSON lines differing from the library's: %llu\n",
                static_cast<unsigned long long>(total.mismatchedLines));
    if (!total.firstMismatch.empty()) std::printf("first: %s\n", total.firstMismatch.c_str());
    std::printf("largest longitude difference: %.3g deg\n", total.LargestDifference());
    for (std::size_t slot = 0; slot < total.largestDifference.size(); ++slot)
        std::printf("  %-8s %.3g\n", std::string(qv::kBodyNames[slot]).c_str(), total.largestDifference[slot]);
    std::printf("literal longitudes within %.0e deg of an arcsecond step: %llu\n", qv::kTextStepMargin,
                static_cast<unsigned long long>(total.nearStep));
    std::printf("closest to a step: %.3g deg\n", total.nearestStep);
    const bool same = total.mismatchedCharts == 0 && total.mismatchedLines == 0;
    return same && total.LargestDifference() < qv::kTextStepMargin ? 0 : 1;
}
