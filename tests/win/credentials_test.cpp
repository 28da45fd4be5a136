// Remembered passwords in the Credential Manager (Wine's keeps them in its
// registry), and the shell's search for a bare program name.
#include "launch/win32/RememberedPasswordsWin32.h"

#include "catalogue/TextRules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const char kTargetVariable[] = "QB_TEST_CREDENTIAL";
const char kSecret[] = "S3cret pass";
const char kBinding[] = "binding-1";

// Runs this program's test `name` alone in a second process; its exit status.
DWORD runInSecondProcess(const std::string& name)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = "\"" + std::string(self) + "\" --gtest_also_run_disabled_tests --gtest_filter=" + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return DWORD(-1);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

// What one process keeps, another reads back; a listing by our prefix finds it under its exact host name (escaped,
// so its "*" is no wildcard); once deleted it is gone, and a second delete is no failure.
TEST(CredentialStore, WrittenReadByAnotherProcessListedAndDeleted)
{
    CredentialStore store;
    const std::string hostName = "QB-test-" + std::to_string(GetCurrentProcessId()) + "/*";
    const std::string target = qb::rememberedTarget(hostName, "Login");
    std::string error;
    ASSERT_TRUE(store.write({target, kBinding, kSecret}, error)) << error;
    SetEnvironmentVariableA(kTargetVariable, target.c_str());
    EXPECT_EQ(runInSecondProcess("CredentialStore.DISABLED_ReadBack"), 0u);

    std::vector<std::string> targets;
    ASSERT_TRUE(qb::rememberedTargetsOf(store, hostName, targets, error)) << error;
    EXPECT_EQ(targets, std::vector<std::string>{target});
    targets.clear();
    ASSERT_TRUE(qb::rememberedTargetsOf(store, "QB-test", targets, error));
    EXPECT_TRUE(targets.empty());

    EXPECT_TRUE(store.remove(target, error)) << error;
    qb::RememberedPassword gone;
    EXPECT_EQ(store.read(target, gone, error), qb::SecretStore::Status::NotFound);
    EXPECT_TRUE(store.remove(target, error)) << error;
}

// Run by the test above in a process of its own.
TEST(CredentialStore, DISABLED_ReadBack)
{
    const char* target = std::getenv(kTargetVariable);
    ASSERT_TRUE(target);
    CredentialStore store;
    qb::RememberedPassword kept;
    std::string error;
    // Windows finds a name without regard to case and gives it back as written.
    ASSERT_EQ(store.read(qb::asciiLowered(target), kept, error), qb::SecretStore::Status::Found) << error;
    EXPECT_EQ(kept.target, target);
    EXPECT_EQ(kept.binding, kBinding);
    EXPECT_EQ(kept.secret, kSecret);
}

// The working folder first, a name without extension tried with PATHEXT's; then the system's folders.
TEST(ShellProgramFinder, TheWorkingFolderBeforeTheSystemsFolders)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string work = std::string(folder) + "qb-finder-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(work.c_str(), nullptr);
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));
    std::ofstream(work + "\\tool.exe") << "MZ";
    std::ofstream(work + "\\notepad.exe") << "MZ";

    using Place = qb::ProgramFinder::Place;
    const std::pair<const char*, Place> cases[] = {
        {"tool.exe", Place::WorkingFolder}, {"tool", Place::WorkingFolder}, {"notepad", Place::WorkingFolder},
        {"regedit.exe", Place::Elsewhere},  {"regedit", Place::Elsewhere},  {"qb-no-such-program", Place::NotFound},
    };
    ShellProgramFinder finder;
    for (auto [name, place] : cases)
        EXPECT_EQ(finder.find(name), place) << name;

    SetCurrentDirectoryA(before);
    DeleteFileA((work + "\\tool.exe").c_str());
    DeleteFileA((work + "\\notepad.exe").c_str());
    RemoveDirectoryA(work.c_str());
}

}  // namespace
