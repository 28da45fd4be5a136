#include "fakes.h"
#include "launch/WebLink.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(WebLinkCommandLine, RegisteredCommandFormsRefusedRatherThanCutAt520)
{
    const std::string fits(kLinkCommandLineBuffer - 1 - 6, 'x');  // after "b.exe "
    const std::tuple<const char*, std::string, std::optional<std::string>> cases[] = {
        {"C:\\b\\b.exe %1", "T", "C:\\b\\b.exe  T"},
        {"C:\\b\\b.exe -nohome", "T", "C:\\b\\b.exe -nohome T"},
        {"b.exe %1 \"%1\"", "T", "b.exe %1  T"},  // the quoted form wins wherever it is
        {"b.exe", fits, "b.exe " + fits},
        {"b.exe", fits + "x", std::nullopt},
    };
    for (const auto& [registered, target, line] : cases)
        EXPECT_EQ(handlerCommandLine(registered, target), line) << registered << " " << target.size();
}

// The shell first, else the registered web page handler, else the shell's code.
TEST(WebLinkOpen, FallsBackToTheWebPageHandler)
{
    qbtest::FakeLinkSystem sys;
    EXPECT_EQ(openLinkTarget("https://q/", 5, sys), 42);
    EXPECT_TRUE(sys.started.empty());

    sys.shellResult = 27;
    EXPECT_EQ(openLinkTarget("t", 5, sys), 27);  // no class for web pages
    sys.registry[".htm"] = "htmlfile";
    EXPECT_EQ(openLinkTarget("t", 5, sys), 27);  // no command for it
    sys.registry["htmlfile\\shell\\open\\command"] = "\"c:\\web.exe\" -x \"%1\"";
    EXPECT_EQ(openLinkTarget(std::string(600, 'a'), 5, sys), 27);  // too long to start
    EXPECT_TRUE(sys.started.empty());

    sys.shows.clear();
    EXPECT_EQ(openLinkTarget("https://q/", 5, sys), 33);
    EXPECT_EQ(sys.started, std::vector<std::string>{"\"c:\\web.exe\" -x  https://q/"});
    EXPECT_EQ(sys.shows, (std::vector<int>{5, 5}));
    sys.startResult = 2;  // the starter's failure is what is reported
    EXPECT_EQ(openLinkTarget("https://q/", 5, sys), 2);
}
