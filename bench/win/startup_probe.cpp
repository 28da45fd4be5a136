// The launcher built for timing its start-up: the same application and main
// window, except that the process ends once the window and its list have
// been painted the first time, saving nothing. The shipped program has no
// such switch.
//
//   startup_probe           ends at the first paint
//   startup_probe memory    also writes the working set at its start and at
//                           the first paint (bytes) to memory.txt
//   startup_probe records   loads quillbank.ini alone, with no window, and
//                           writes the working set at its start and after
//                           loading to memory.txt
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "app/win32/MainApp.h"
#include "app/win32/MainDlg.h"
#include "catalogue/CatalogueFile.h"
#include "win/Handles.h"

namespace {

SIZE_T g_startingWorkingSet = 0;
bool g_reportMemory = false;

SIZE_T workingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

void reportMemory()
{
    if (FILE* out = std::fopen("memory.txt", "w")) {
        std::fprintf(out, "%llu %llu\n", static_cast<unsigned long long>(g_startingWorkingSet),
                     static_cast<unsigned long long>(workingSet()));
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

class CFirstPaintDlg final : public CMainDlg
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
        // The list paints after its parent; have it done before ending.
        RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (g_reportMemory)
            reportMemory();
        // At once: hiding a window costs Wine a wait of its own that would
        // swamp the figure.
        ExitProcess(0);
    }
};

class CFirstPaintApp final : public win::Application
{
protected:
    bool InitInstance() override
    {
        runMainWindow<CFirstPaintDlg>(m_services);
        return false;
    }

private:
    WindowsServices m_services;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    g_startingWorkingSet = workingSet();
    g_reportMemory = std::strstr(commandLine, "memory") != nullptr;
    if (std::strstr(commandLine, "records")) {
        qb::HostCatalogue hosts;
        qb::AppOptions options;
        StillWindow window;
        qb::loadCatalogue(hosts, options, window, *qb::makePlatformFileStore(), qb::kCatalogueFileName);
        reportMemory();
        ExitProcess(0);
    }
    CFirstPaintApp app;
    return app.Run();
}
