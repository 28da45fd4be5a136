#include "catalogue/HostRecords.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

using namespace qb;

// A host's entries are kept packed; whatever was done to the list, each
// entry reads back with all twelve fields, and equal lists are laid out alike.
TEST(Records, EntryListKeepsEveryFieldThroughEachChange)
{
    std::mt19937 random(20);
    auto text = [&](size_t most) {
        std::string made(random() % most, '\0');
        for (char& c : made)
            c = static_cast<char>(random());
        return made;
    };
    auto flag = [&] { return random() % 2 == 0; };
    auto anyEntry = [&] {
        const auto kind = static_cast<EntryKind>(random() % 5);
        return CommandEntry{kind,   text(4), text(300), text(4),   static_cast<int32_t>(random()),
                            flag(), flag(),  text(4),   text(200), text(4),
                            flag(), text(4)};
    };
    auto fields = [](const CommandEntry& e) {
        return std::tie(e.kind, e.name, e.program, e.params, e.icon, e.confirm, e.bold, e.templateHost, e.drives, e.url,
                        e.alternateBrowser, e.urlName);
    };
    std::vector<CommandEntry> model;
    EntryList list;
    for (int step = 0; step < 3000; ++step) {
        const size_t at = model.empty() ? 0 : random() % model.size(),
                     other = model.empty() ? 0 : random() % model.size();
        const CommandEntry entry = anyEntry();
        switch (model.empty() ? 0 : random() % 6) {
        case 1: model[at] = entry, list.set(at, entry); break;
        case 2: model.erase(model.begin() + static_cast<std::ptrdiff_t>(at)), list.erase(at); break;
        case 3: std::swap(model[at], model[other]), list.swap(at, other); break;
        case 4: model.pop_back(), list.pop_back(); break;
        default: model.push_back(entry), list.push_back(entry); break;  // as often as both removals
        }
        ASSERT_EQ(list.size(), model.size()) << step;
        EntryList rebuilt;
        for (size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(fields(list[i].toEntry()), fields(model[i])) << step << " " << i;
            rebuilt.push_back(model[i]);
        }
        ASSERT_TRUE(list == rebuilt) << step;
    }
}
