#include <gtest/gtest.h>

#include "launch/Browser.h"

TEST(DefaultBrowser, ProgramPathOfRegisteredCommand)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"("C:\windows\system32\winebrowser.exe" "%1")", R"(C:\windows\system32\winebrowser.exe)"},
        {R"("" -url %1)", ""},
        {R"(C:\Program Files\Web\web.exe %1)", R"(C:\Program)"},
        // Unclosed quote: up to the first blank after the last backslash.
        {R"("C:\Program Files\Web\web.exe -url %1)", R"("C:\Program Files\Web\web.exe)"},
        {R"("no backslash at all)", R"("no backslash at all)"},
    };
    for (const auto& [registered, expected] : cases)
        EXPECT_EQ(qb::defaultBrowserFromCommand(registered), expected) << registered;
}
