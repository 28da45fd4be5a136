// The host list as another program reads it: a screen reader asks each row's text across processes.
#include "app/win32/MainDlg.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include "../core/catalogue_test_support.h"
#include "DialogDriver.h"

#include <string>

namespace {

// The folder of this test program, where the build puts its helper programs.
std::string programFolder()
{
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, &path[0], DWORD(path.size())));
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Runs `commandLine` and returns what it printed, answering the messages it sends this thread's
// windows meanwhile; empty when it could not run or failed.
std::string outputOf(std::string commandLine, const std::string& outputFile)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(output);
    if (!started)
        return {};
    // Peeking delivers the messages sent from the other program, and nothing else.
    MSG message;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0 ? qbtest::readFile(outputFile) : std::string();
}

}  // namespace

// Every row reads as its title as shown: no "||" and colour, whether the colour is the host's or
// written into its title.
TEST(ScreenReader, AnotherProgramReadsEveryRowAsItsTitleAlone)
{
    const qbtest::TempFolder folder;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    qbtest::writeFile("quillbank.ini", "<ITEM>Mail server<HOST>mail01<ICON>3<COL>255\n"
                                       "<ITEM>Web||65280<HOST>web01<ICON>4<COL>-1\n"
                                       "<ITEM>Alpha<HOST>dc02<ICON>5<COL>-1\n");
    WindowsServices services;
    CMainDlg dialog{services};
    std::string read;
    qbtest::runModal(dialog, [&] {
        // Found by its title, which no other window of the test run has.
        SetWindowTextA(dialog, "Quillbank read out");
        read = outputOf("\"" + programFolder() + "poke.exe\" texts \"Quillbank read out\" " +
                            std::to_string(IDC_HOST_LIST),
                        folder.file("read.txt"));
    });
    std::filesystem::current_path(previous);
    EXPECT_EQ(read, "Alpha\r\nMail server\r\nWeb\r\n");
}
