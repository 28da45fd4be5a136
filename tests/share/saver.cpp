// Several programs sharing one catalogue, as a team on a network folder does:
// saver prepare ROUNDS | save ROUNDS NAME OTHER [FILE] | read | check ROUNDS NAME...
// (FILE: the name each round's catalogue is reached by, quillbank.ini or a link to it)
// Paths are relative, so a native program and one under Wine see the same names.
#include "../core/catalogue_test_support.h"
#include "app/CatalogueSession.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace qb;

namespace {

std::string roundFile(int round, const std::string& name = kCatalogueFileName)
{
    return std::to_string(round) + "/" + name;
}

// Rounds differ in size; every tenth has no file at all.
HostCatalogue startingHosts(int round)
{
    HostCatalogue hosts;
    if (round % 10 == 0)
        return hosts;
    for (int i = 0; i < (round * 7) % 31; ++i) {
        auto host = newHost();
        host->title = "start " + std::to_string(round) + "." + std::to_string(i);
        host->hostName = "h" + std::to_string(i);
        host->icon = i % 120;
        hosts.push_back(std::move(host));
    }
    return hosts;
}

int prepare(int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        std::filesystem::create_directories(std::to_string(round));
        if (round % 10 == 0)
            continue;
        std::string error;
        if (!qbtest::platformStore().replaceAll(roundFile(round),
                                                formatCatalogue(startingHosts(round), AppOptions{}, 0, 0), error)) {
            std::cerr << "prepare: " << error << '\n';
            return 2;
        }
    }
    return 0;
}

bool waitFor(const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int save(int rounds, const std::string& name, const std::string& other, const std::string& file)
{
    std::ofstream(name + ".ready").put('\n');
    if (!waitFor("go"))
        return 2;
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(name)));
    std::ofstream failed("failed-" + name);
    int merges = 0;
    for (int round = 0; round < rounds; ++round) {
        CatalogueSession session(qbtest::platformStore(), roundFile(round, file));
        HostCatalogue hosts;
        AppOptions options;
        NoCatalogueWindow window;
        const SaveReport report = [&](const std::string& message) {
            std::cout << name << " round " << round << ": " << message << '\n';
        };
        session.load(hosts, options, window, report);
        // Both load before either saves, so one save always finds the other's change.
        std::ofstream(std::to_string(round) + "/loaded-" + name).put('\n');
        if (!waitFor(std::to_string(round) + "/loaded-" + other))
            return 2;
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        auto host = newHost();
        host->title = name;
        host->hostName = name;
        hosts.push_back(std::move(host));
        const SaveOutcome outcome = session.save(hosts, options, window, report);
        if (!outcome.saved)
            failed << round << '\n';
        merges += outcome.changed ? 1 : 0;
    }
    std::cout << name << ": " << rounds << " saves, " << merges << " merged with the other's\n";
    return 0;
}

int read()
{
    long reads = 0;
    long torn = 0;
    int rounds = 0;
    while (std::filesystem::is_directory(std::to_string(rounds)))
        ++rounds;
    std::ofstream("reader.ready").put('\n');
    while (!std::filesystem::exists("stop")) {
        for (int round = 0; round < rounds; ++round) {
            FileStore& files = qbtest::platformStore();
            std::string error;
            auto lock = files.lock(roundFile(round), FileStore::LockMode::Shared, error);
            if (!lock)
                continue;
            FileReadResult file = files.readAll(roundFile(round));
            lock.reset();
            if (file.missing)
                continue;
            ++reads;
            // Whole: every line ended, and it reads back to the same bytes.
            HostCatalogue hosts;
            AppOptions options;
            NoCatalogueWindow window;
            parseCatalogue(file.bytes, hosts, options, window);
            if (!file.whole() || formatCatalogue(hosts, options, 0, 0) != file.bytes)
                ++torn;
        }
    }
    std::cout << "reader: " << reads << " reads, " << torn << " torn\n";
    return torn == 0 && reads > 0 ? 0 : 1;
}

int check(int rounds, const std::vector<std::string>& names)
{
    std::vector<std::set<int>> failed;
    for (const std::string& name : names) {
        std::ifstream in("failed-" + name);
        failed.emplace_back();
        for (int round; in >> round;)
            failed.back().insert(round);
    }
    int wrong = 0;
    for (int round = 0; round < rounds; ++round) {
        FileReadResult file = qbtest::platformStore().readAll(roundFile(round));
        HostCatalogue hosts;
        AppOptions options;
        NoCatalogueWindow window;
        parseCatalogue(file.bytes, hosts, options, window);
        // The starting hosts in order, then each saver's host once, in either order.
        std::vector<std::string> expected = qbtest::titlesOf(startingHosts(round));
        std::multiset<std::string> added;
        for (size_t n = 0; n < names.size(); ++n)
            if (!failed[n].count(round))
                added.insert(names[n]);
        const std::vector<std::string> got = qbtest::titlesOf(hosts);
        const bool ok =
            got.size() == expected.size() + added.size() && std::equal(expected.begin(), expected.end(), got.begin()) &&
            std::multiset<std::string>(got.begin() + static_cast<long>(expected.size()), got.end()) == added;
        wrong += ok ? 0 : 1;
        if (!ok)
            std::cout << "round " << round << ": " << got.size() - expected.size() << " hosts added\n";
    }
    std::cout << "check: " << rounds << " rounds, " << wrong << " with a change lost or doubled\n";
    return wrong == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "prepare")
        return prepare(std::stoi(args[1]));
    if ((args.size() == 4 || args.size() == 5) && args[0] == "save")
        return save(std::stoi(args[1]), args[2], args[3], args.size() == 5 ? args[4] : kCatalogueFileName);
    if (args.size() == 1 && args[0] == "read")
        return read();
    if (args.size() >= 3 && args[0] == "check")
        return check(std::stoi(args[1]), std::vector<std::string>(args.begin() + 2, args.end()));
    return 2;
}
