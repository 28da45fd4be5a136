// The registry reader behind the default browser and the link's web-page
// handler, on keys of the current user made for the test.
#include "platform/win32/Registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

namespace {

const char kTestKey[] = "Software\\QuillbankTest\\Registry";

struct DefaultValueCase {
    const char* what;
    DWORD type;
    std::string stored;  // the bytes as stored, terminators included
    std::optional<std::string> read;
};

TEST(Registry, ReadsTheDefaultValueOnlyWhenItIsText)
{
    const std::string longText(5000, 'x');
    const DefaultValueCase cases[] = {
        {"left unexpanded", REG_EXPAND_SZ, std::string("%ProgramFiles%\\b.exe\0", 21), "%ProgramFiles%\\b.exe"},
        {"cut at the first NUL", REG_SZ, std::string("first\0second\0", 13), "first"},
        {"without a terminator", REG_SZ, "bare", "bare"},
        {"of any length", REG_SZ, longText + '\0', longText},
        {"a number is not text", REG_DWORD, std::string("\x07\0\0\0", 4), std::nullopt},
    };
    for (const DefaultValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kTestKey, nullptr, c.type, c.stored.data(),
                                  static_cast<DWORD>(c.stored.size())),
                  ERROR_SUCCESS);
        EXPECT_EQ(qb::readDefaultValue(HKEY_CURRENT_USER, kTestKey), c.read);
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    EXPECT_EQ(qb::readDefaultValue(HKEY_CURRENT_USER, kTestKey), std::nullopt) << "no such key";
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuillbankTest");
}

}  // namespace
