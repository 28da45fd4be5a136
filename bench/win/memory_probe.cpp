// The working set of the launcher with a catalogue loaded and shown, split
// into what the records take and what showing them adds. Writes one line of
// figures (bytes) to memory.txt in the current folder and ends:
//
//   memory_probe records   start, and after loading quillbank.ini alone
//   memory_probe window    start, and at the main window's first paint
//
// Run in a folder without quillbank.ini, the window figure is the program's
// own cost, which scripts/bench-memory.sh subtracts.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "app/win32/MainApp.h"
#include "app/win32/MainDlg.h"
#include "catalogue/CatalogueFile.h"
#include "win/Handles.h"

namespace {

SIZE_T g_atStart = 0;

SIZE_T workingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

void report(SIZE_T now)
{
    if (FILE* out = std::fopen("memory.txt", "w")) {
        std::fprintf(out, "%llu %llu\n", static_cast<unsigned long long>(g_atStart),
                     static_cast<unsigned long long>(now));
        std::fclose(out);
    }
}

class StillWindow final : public qb::CatalogueWindow
{
public:
    void moveTopLeftTo(int32_t, int32_t) override {}
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override { x = y = 0; }
};

class CMeasuredDlg final : public CMainDlg
{
public:
    using CMainDlg::CMainDlg;

protected:
    bool OnPaint() override
    {
        if (CMainDlg::OnPaint())
            return true;
        {
            win::PaintDC paint(m_hwnd);
        }
        RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        report(workingSet());
        ExitProcess(0);
    }
};

class CMeasuredApp final : public win::Application
{
protected:
    bool InitInstance() override
    {
        runMainWindow<CMeasuredDlg>(qb::platformFileStore());
        return false;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    g_atStart = workingSet();
    if (std::strstr(commandLine, "records")) {
        qb::HostCatalogue hosts;
        qb::AppOptions options;
        StillWindow window;
        qb::loadCatalogue(hosts, options, window, qb::platformFileStore(), qb::kCatalogueFileName);
        report(workingSet());
        ExitProcess(0);
    }
    CMeasuredApp app;
    return app.Run();
}
