// Remembered passwords in the Credential Manager (Wine's keeps them in its
// registry), and the shell's search for a bare program name.
#include "launch/win32/RememberedPasswordsWin32.h"

#include "catalogue/TextRules.h"

#include "../core/catalogue_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace {

// Written, then read back by a name in other case (Windows matches without regard to case and gives it back as
// written); a listing by our prefix finds it under its exact host name (escaped, so its "*" is no wildcard); once
// deleted it is gone, and a second delete is no failure. The e2e credentials script runs the rest through the program.
TEST(CredentialStore, WrittenReadListedAndDeleted)
{
    CredentialStore store;
    const std::string hostName = "QB-test-" + std::to_string(GetCurrentProcessId()) + "/*";
    const std::string target = qb::rememberedTarget(hostName, "Login");
    std::string error;
    ASSERT_TRUE(store.write({target, "binding-1", "S3cret pass"}, error)) << error;
    qb::RememberedPassword kept;
    ASSERT_EQ(store.read(qb::asciiLowered(target), kept, error), qb::SecretStore::Status::Found) << error;
    EXPECT_EQ(kept.target, target);
    EXPECT_EQ(kept.binding, "binding-1");
    EXPECT_EQ(kept.secret, "S3cret pass");

    std::vector<std::string> targets;
    ASSERT_TRUE(qb::rememberedTargetsOf(store, hostName, targets, error)) << error;
    EXPECT_EQ(targets, std::vector<std::string>{target});
    targets.clear();
    ASSERT_TRUE(qb::rememberedTargetsOf(store, "QB-test", targets, error));
    EXPECT_TRUE(targets.empty());

    EXPECT_TRUE(store.remove(target, error)) << error;
    EXPECT_EQ(store.read(target, kept, error), qb::SecretStore::Status::NotFound);
    EXPECT_TRUE(store.remove(target, error)) << error;
}

// The working folder first, a name without extension tried with PATHEXT's; then the system's folders.
TEST(ShellProgramFinder, TheWorkingFolderBeforeTheSystemsFolders)
{
    const qbtest::TempFolder work;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work.path);
    qbtest::writeFile(work.file("tool.exe"), "MZ");
    qbtest::writeFile(work.file("notepad.exe"), "MZ");

    using Place = qb::ProgramFinder::Place;
    const std::pair<const char*, Place> cases[] = {
        {"tool.exe", Place::WorkingFolder}, {"tool", Place::WorkingFolder}, {"notepad", Place::WorkingFolder},
        {"regedit.exe", Place::Elsewhere},  {"regedit", Place::Elsewhere},  {"qb-no-such-program", Place::NotFound},
    };
    ShellProgramFinder finder;
    for (auto [name, place] : cases)
        EXPECT_EQ(finder.find(name), place) << name;

    std::filesystem::current_path(before);
}

}  // namespace
