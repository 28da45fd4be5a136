// Loading and saving generated catalogues of 1,000 to 100,000 hosts with ten
// entries each, beside baselines that only read the same file line by line
// and only write the same bytes; and merging two edited copies of one such
// catalogue. Each benchmark runs once untimed first, so that all of them meet
// a warm heap and page cache. The files live in QB_BENCH_DIR (default: the
// current folder).
#include "catalogue/CatalogueFile.h"
#include "catalogue/CatalogueMerge.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// One store for the whole run, as a program has one.
qb::FileStore& store()
{
    static const std::unique_ptr<qb::FileStore> files = qb::makePlatformFileStore();
    return *files;
}

class StillWindow final : public qb::CatalogueWindow
{
public:
    void moveTopLeftTo(int32_t, int32_t) override {}
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override
    {
        x = 1180;
        y = 240;
    }
};

qb::HostCatalogue makeCatalogue(int hosts)
{
    qb::HostCatalogue catalogue;
    catalogue.reserve(static_cast<size_t>(hosts));
    for (int i = 0; i < hosts; ++i) {
        auto host = qb::newHost();
        std::string name = "srv" + std::to_string(i) + ".corp.example.org";
        host->title = "Server " + std::to_string(i) + " (rack " + std::to_string(i % 40) + ")";
        host->hostName = name;
        host->icon = i % 120;
        host->colour = i % 3 == 0 ? -1 : 0x00336699 + i;
        for (int e = 0; e < 10; ++e) {
            qb::CommandEntry entry;
            entry.icon = (i + e) % 120;
            switch (e % 5) {
            case 0:
            case 1:
                entry.kind = qb::CustomCommand;
                entry.name = "Console " + std::to_string(e);
                entry.program = "C:\\Windows\\System32\\cmd.exe";
                entry.params = "/k ping -t %HOST% -n ??? " + std::to_string(e);
                entry.confirm = e == 1;
                entry.bold = e == 0;
                break;
            case 2:
                entry.kind = qb::WindowsTemplate;
                entry.templateHost = name;
                entry.drives = "c,d,admin$";
                break;
            case 3: entry.kind = qb::Separator; break;
            default:
                entry.kind = qb::Url;
                entry.url = "https://%HOST%:8443/status/" + std::to_string(e);
                entry.urlName = "Status page " + std::to_string(e);
                entry.alternateBrowser = e % 2 == 0;
                break;
            }
            host->entries.push_back(entry);
        }
        catalogue.push_back(std::move(host));
    }
    return catalogue;
}

std::string benchFolder()
{
    const char* folder = std::getenv("QB_BENCH_DIR");
    return folder && *folder ? folder : ".";
}

struct Fixture {
    qb::HostCatalogue catalogue;
    qb::AppOptions options;
    std::string bytes;
    std::string path;
};

// One catalogue and its file per size, made once for all benchmarks.
const Fixture& fixture(int hosts)
{
    static std::map<int, Fixture> fixtures;
    auto found = fixtures.find(hosts);
    if (found != fixtures.end())
        return found->second;
    Fixture& made = fixtures[hosts];
    made.catalogue = makeCatalogue(hosts);
    made.bytes = qb::formatCatalogue(made.catalogue, made.options, 1180, 240);
    made.path = benchFolder() + "/bench-" + std::to_string(hosts) + ".ini";
    std::ofstream out(made.path, std::ios::binary | std::ios::trunc);
    out.write(made.bytes.data(), static_cast<std::streamsize>(made.bytes.size()));
    return made;
}

// Freeing what was read is left out of the timing, here and in the baseline:
// the program frees its catalogue when its window closes, not as it loads,
// and freeing a million heap records is bound by cache misses, not by the
// reader.
void BM_Load(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    StillWindow window;
    auto load = [&] {
        qb::HostCatalogue hosts;
        qb::AppOptions options;
        qb::loadCatalogue(hosts, options, window, store(), data.path);
        benchmark::DoNotOptimize(hosts.data());
        return hosts;
    };
    if (load().size() != data.catalogue.size())
        state.SkipWithError("catalogue read back incompletely");
    for (auto _ : state) {
        qb::HostCatalogue hosts = load();
        state.PauseTiming();
        hosts.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.bytes.size()));
}

// What any line reader must do at least: every line in a string of its own,
// read through the same store and pieces as the load. The strings are kept
// as a reader keeps what it reads, in small blocks: one vector of a million
// strings would outgrow the heap into memory of its own, mapped afresh and
// faulted in page by page at every run, which the load never pays.
void BM_ReadLinesBaseline(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    auto read = [&] {
        std::deque<std::string> lines;
        std::string partial;
        // Lines end in CR LF, as the program writes them.
        auto take = [&](std::string_view line) {
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            lines.emplace_back(line);
        };
        store().readChunks(data.path, [&](std::string_view piece) {
            for (size_t end; (end = piece.find('\n')) != std::string_view::npos; piece.remove_prefix(end + 1)) {
                if (partial.empty()) {
                    take(piece.substr(0, end));
                } else {
                    take(partial.append(piece.substr(0, end)));
                    partial.clear();
                }
            }
            partial.append(piece);
        });
        if (!partial.empty())
            take(partial);
        benchmark::DoNotOptimize(lines.size());
        return lines;
    };
    if (read().size() != 11 * data.catalogue.size() + 1)
        state.SkipWithError("lines read back incompletely");
    for (auto _ : state) {
        std::deque<std::string> lines = read();
        state.PauseTiming();
        lines.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.bytes.size()));
}

void BM_Save(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    StillWindow window;
    const std::string path = data.path + ".save";
    auto save = [&] {
        return qb::saveCatalogue(
            data.catalogue, data.options, window, [](const std::string&) {}, store(), path);
    };
    if (!save())
        state.SkipWithError("save failed");
    for (auto _ : state)
        save();
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.bytes.size()));
}

// Each piece written as it comes, then one flush to disk: as durably as a
// save writes its bytes.
bool writeAndFlush(const std::string& path, qb::ByteSource& bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool whole = true;
    for (std::string_view piece = bytes.next(); whole && !piece.empty(); piece = bytes.next()) {
        while (!piece.empty()) {
            ssize_t wrote = ::write(fd, piece.data(), piece.size());
            if (wrote <= 0) {
                whole = false;
                break;
            }
            piece.remove_prefix(static_cast<size_t>(wrote));
        }
    }
    ::fsync(fd);
    ::close(fd);
    return whole;
}

bool writeAndFlush(const std::string& path, const std::string& bytes)
{
    qb::WholeBytes whole(bytes);
    return writeAndFlush(path, whole);
}

// The same bytes written without formatting or replacing.
void BM_WriteBaseline(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    const std::string path = data.path + ".write";
    if (!writeAndFlush(path, data.bytes))
        state.SkipWithError("cannot write the file");
    for (auto _ : state)
        writeAndFlush(path, data.bytes);
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.bytes.size()));
}

// The save's write: the catalogue formatted a piece at a time, each piece
// written as it is made, then flushed as the baseline flushes. What the
// whole save (BM_Save) adds after it is putting the new file in place: a
// rename and flushing the folder.
void BM_SaveWrite(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    const std::string path = data.path + ".format";
    auto write = [&] {
        qb::CatalogueFormatter bytes(data.catalogue, data.options, 1180, 240);
        return writeAndFlush(path, bytes);
    };
    if (!write())
        state.SkipWithError("cannot write the file");
    for (auto _ : state)
        write();
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.bytes.size()));
}

// Two programs that each changed a few hosts of the same catalogue: mine
// edits, deletes and appends, theirs edits, inserts and deletes elsewhere.
void BM_Merge(benchmark::State& state)
{
    const Fixture& data = fixture(static_cast<int>(state.range(0)));
    auto copyOf = [&] {
        qb::CatalogueVersion version{{}, data.options, 1180, 240};
        version.hosts.reserve(data.catalogue.size() + 1);
        for (const auto& host : data.catalogue) {
            version.hosts.push_back(qb::newHost());
            qb::copyHost(*host, *version.hosts.back());
        }
        return version;
    };
    const qb::CatalogueVersion base = copyOf();
    qb::CatalogueVersion mine = copyOf(), theirs = copyOf();
    const size_t n = base.hosts.size();
    mine.hosts[n / 10]->title += " (moved)";
    mine.hosts[n / 2]->entries.pop_back();
    mine.hosts.erase(mine.hosts.begin() + static_cast<long>(n / 3));
    mine.hosts.push_back(qb::newHost());
    theirs.hosts[n / 4]->hostName += ".new";
    theirs.hosts[n - 1]->colour = 255;
    theirs.hosts.insert(theirs.hosts.begin() + static_cast<long>(n / 5), qb::newHost());
    theirs.hosts.erase(theirs.hosts.begin() + static_cast<long>(2 * n / 3));
    auto merge = [&] { return qb::mergeCatalogues(base, mine, theirs); };
    if (merge().merged.hosts.size() != n)
        state.SkipWithError("merge lost or doubled hosts");
    for (auto _ : state) {
        qb::CatalogueMergeResult result = merge();
        state.PauseTiming();
        result = {};
        state.ResumeTiming();
    }
}

void sizes(benchmark::internal::Benchmark* bench)
{
    bench->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_Load)->Apply(sizes);
BENCHMARK(BM_ReadLinesBaseline)->Apply(sizes);
BENCHMARK(BM_Save)->Apply(sizes);
BENCHMARK(BM_WriteBaseline)->Apply(sizes);
BENCHMARK(BM_SaveWrite)->Apply(sizes);
BENCHMARK(BM_Merge)->Apply(sizes);

// Page faults cost about 15 microseconds each on the virtual machines we
// measure on, and glibc's moving thresholds decide, differently for each
// benchmark, whether freed memory goes back to the system between
// iterations. Fixed thresholds give every benchmark the same, long-running
// process's heap, so the figures compare the code and not the allocator's
// history.
int main(int argc, char** argv)
{
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
