#include <gtest/gtest.h>

#include "fakes.h"

namespace {

TEST(ReplaceAll, EveryOccurrenceOnceAndInsertedTextNeverAgain)
{
    const std::array<const char*, 4> cases[] = {
        // text, placeholder, replacement, expected
        {"-a %host%", "%HOST%", "pc1", "-a %host%"},
        {"a????b", "???", "X", "aX?b"},
        {"%HOST%/%HOST%", "%HOST%", "x%HOST%", "x%HOST%/x%HOST%"},
        {"??", "?", "??", "????"},
        {"abc", "", "x", "abc"},
    };
    for (auto [text, placeholder, replacement, expected] : cases)
        EXPECT_EQ(qb::ReplaceAll(text, placeholder, replacement), expected) << text;
}

// "???" answered empty stays empty; a "***" typed into it asks too (the rest: the companion's compose checks).
TEST(RunCommand, TheTextAnswerIsUsedAsTypedAndAStarredOneAsksForAPassword)
{
    const struct {
        const char* params;
        std::optional<std::string> input;
        std::vector<std::string> events;
        std::optional<std::string> started;  // parameters handed over, if any
    } cases[] = {
        {"-u ???", "", {"User Input"}, "-u "},
        {"-u ???", "a***b", {"User Input", "Password Input"}, "-u apwb"},
    };
    for (const auto& c : cases) {
        qbtest::FakeLauncher r;
        r.input = c.input;
        r.password = "pw";
        r.run("tool.exe", c.params);
        EXPECT_EQ(r.events, c.events) << c.params;
        EXPECT_EQ(r.call ? std::optional<std::string>(r.call->parameters) : std::nullopt, c.started) << c.params;
    }
}

// The host goes into the program too, but "???" and "***" there ask nothing.
TEST(RunCommand, OnlyTheFirstFourLettersMakeAnAddress)
{
    const std::pair<const char*, bool> cases[] = {
        {"http://%HOST%/admin", true}, {"HTTPS://x/", true},           {"httpd.exe", true}, {"ht", false},
        {" http://x/", false},         {R"(\\%HOST%\??? ***)", false},
    };
    for (auto [given, address] : cases) {
        SCOPED_TRACE(given);
        qbtest::FakeLauncher r;
        r.run(given, "--dropped");
        ASSERT_TRUE(r.call);
        EXPECT_TRUE(r.events.empty());
        const std::string program = qb::ReplaceAll(given, "%HOST%", "pc1");
        EXPECT_EQ(r.call->ownerIsMainWindow, !address);
        EXPECT_EQ(r.call->verb.has_value(), !address);
        EXPECT_EQ(r.call->file, address ? R"(C:\Web\web.exe)" : program);
        EXPECT_EQ(r.call->parameters, address ? program : "--dropped");
    }
}

}  // namespace
