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
