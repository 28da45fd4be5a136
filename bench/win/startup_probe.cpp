// The launcher built for timing its start-up: the same application and main
// window, except that the process ends once the window and its list have
// been painted the first time, saving nothing. The shipped program has no
// such switch.
#include <windows.h>

#include "app/win32/MainApp.h"
#include "app/win32/MainDlg.h"
#include "win/Handles.h"

namespace {

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
        runMainWindow<CFirstPaintDlg>(qb::platformFileStore());
        return false;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CFirstPaintApp app;
    return app.Run();
}
