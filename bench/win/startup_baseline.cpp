// The start-up baseline: the smallest program that shows the same dialog
// template as the launcher (102, an empty list view in it) through the plain
// Win32 dialog loop. It ends as soon as the dialog and its list have been
// painted once, as the launcher's timing build does, so that whole runs of
// both can be timed side by side.
#include <windows.h>
#include <commctrl.h>

namespace {

constexpr int kMainDialogId = 102;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        EndPaint(dialog, &paint);
        // The list paints after its parent; have it done before ending.
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        // At once: hiding a window costs Wine a wait of its own.
        ExitProcess(0);
    }
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(kMainDialogId), nullptr, dialogProc, 0);
    return result == -1 ? 1 : 0;
}
