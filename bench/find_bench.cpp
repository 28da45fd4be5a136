// One keystroke of a find among 100,000 hosts: the rows filtered in the core
// for each text of a typed sequence, in a field just opened (which folded
// the texts); and the opening itself. Titles and host names as a large
// estate names its machines.
#include "app/HostRows.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kHosts = 100000;

const qb::HostCatalogue& catalogue()
{
    static const qb::HostCatalogue hosts = [] {
        qb::HostCatalogue made;
        made.reserve(kHosts);
        for (int i = 0; i < kHosts; ++i) {
            auto host = qb::newHost();
            host->title = "Server " + std::to_string(i) + " (rack " + std::to_string(i % 40) + ")";
            host->hostName = "srv" + std::to_string(i) + ".corp.example.org";
            host->colour = i % 3 == 0 ? -1 : 0x00336699 + i;
            made.push_back(std::move(host));
        }
        return made;
    }();
    return hosts;
}

// The texts typed one keystroke after another.
const std::vector<std::string> kTyped = {"s", "sr", "srv", "srv9", "srv99", "srv99 ", "srv99 r", "srv99 rack 1"};

// Each keystroke of the sequence.
void BM_FindKeystroke(benchmark::State& state)
{
    const size_t keystroke = static_cast<size_t>(state.range(0));
    qb::HostRows rows;
    rows.rebuild(catalogue());
    const qb::CaseTable fold = qb::asciiCaseTable();
    rows.filter("", fold);
    for (auto _ : state) {
        state.PauseTiming();
        for (size_t typed = 0; typed < keystroke; ++typed)
            rows.filter(kTyped[typed], fold);
        state.ResumeTiming();
        rows.filter(kTyped[keystroke], fold);
        benchmark::DoNotOptimize(rows.count());
    }
    state.SetLabel("\"" + kTyped[keystroke] + "\", " + std::to_string(rows.count()) + " found");
}

// Opening the field: every title and host name folded.
void BM_FindOpen(benchmark::State& state)
{
    qb::HostRows rows;
    rows.rebuild(catalogue());
    const qb::CaseTable fold = qb::asciiCaseTable();
    for (auto _ : state) {
        rows.filter("", fold);
        state.PauseTiming();
        rows.showAll();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_FindKeystroke)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
