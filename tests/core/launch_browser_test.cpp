#include <gtest/gtest.h>

#include "launch/Browser.h"

namespace {

TEST(DefaultBrowser, ProgramPathOfRegisteredCommand)
{
    const struct {
        const char* registered;
        const char* expected;
    } cases[] = {
        {R"("C:\windows\system32\winebrowser.exe" "%1")", R"(C:\windows\system32\winebrowser.exe)"},
        {R"("" -url %1)", ""},
        {R"(C:\Program Files\Web\web.exe %1)", R"(C:\Program)"},
        {"browser", "browser"},
        // Unclosed quote: up to the first blank after the last backslash.
        {R"("C:\Program Files\Web\web.exe -url %1)", R"("C:\Program Files\Web\web.exe)"},
        {R"("no backslash at all)", R"("no backslash at all)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qb::defaultBrowserFromCommand(c.registered), c.expected) << c.registered;
}

}  // namespace
