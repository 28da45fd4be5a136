// Works the program's top-level windows, found by exact title, with messages:
// dependable without a window manager (no focus or activation needed).
// Commands: see main(). "ready" means a click would be taken as a user's.
// QB_POKE_AT=X,Y: only a window holding that screen point (two instances share titles).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    const char* title;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    char text[512] = "";
    if (search->title) {
        GetWindowTextA(hwnd, text, sizeof text);
        if (std::string(text) != search->title)
            return TRUE;
    }
    if (search->className) {
        GetClassNameA(hwnd, text, sizeof text);
        if (std::string(text) != search->className)
            return TRUE;
    }
    if (const char* at = std::getenv("QB_POKE_AT")) {
        POINT point{};
        RECT rect{};
        if (std::sscanf(at, "%ld,%ld", &point.x, &point.y) == 2 && GetWindowRect(hwnd, &rect) &&
            !PtInRect(&rect, point))
            return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

HWND findTop(const char* title, const char* className = nullptr)
{
    Search search{title, className, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Found>
bool waitUntil(double seconds, Found found)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(50)) {
        if (found())
            return true;
    }
    return false;
}

HWND waitTop(const char* title, double seconds, const char* className = nullptr)
{
    HWND hwnd = nullptr;
    waitUntil(seconds, [&] { return (hwnd = findTop(title, className)) != nullptr; });
    return hwnd;
}

HWND controlOf(const char* title, const char* id)
{
    HWND dialog = waitTop(title, 10);
    HWND control = dialog ? GetDlgItem(dialog, std::atoi(id)) : nullptr;
    if (!control) {
        std::fprintf(stderr, "poke: no control %s in \"%s\"\n", id, title);
        std::exit(2);
    }
    return control;
}

void postKey(HWND hwnd, WPARAM key)
{
    PostMessageA(hwnd, WM_KEYDOWN, key, 1);
    PostMessageA(hwnd, WM_KEYUP, key, 0xC0000001);
    Sleep(30);
}

// A modal box, another active window, a capture or a tracking menu would divert a click.
bool takesClicks(HWND hwnd)
{
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || GetForegroundWindow() != hwnd)
        return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info))
        return false;
    const DWORD busy = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
    return info.hwndActive == hwnd && !info.hwndCapture && !(info.flags & busy);
}

bool waitReady(const char* title, double seconds)
{
    return waitUntil(seconds, [title] {
        HWND hwnd = findTop(title);
        // Still so once the thread has read its queue (pending focus events) again.
        DWORD_PTR ignored = 0;
        return hwnd && takesClicks(hwnd) &&
               SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) && takesClicks(hwnd);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string verb = argc > 1 ? argv[1] : "";
    if ((verb == "wait" || verb == "gone") && argc >= 3) {
        const double seconds = argc >= 4 ? std::atof(argv[3]) : 10;
        if (verb == "wait")
            return waitTop(argv[2], seconds) ? 0 : 1;
        return waitUntil(seconds, [&] { return !findTop(argv[2]); }) ? 0 : 1;
    }
    if (verb == "ready" && argc >= 3)
        return waitReady(argv[2], argc >= 4 ? std::atof(argv[3]) : 10) ? 0 : 1;
    if (verb == "settext" && argc == 5)
        return SendMessageA(controlOf(argv[2], argv[3]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
    if (verb == "gettext" && argc == 4) {
        // GetWindowText does not ask another process's control for its text.
        HWND control = controlOf(argv[2], argv[3]);
        const LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (verb == "check" && argc == 5) {
        SendMessageA(controlOf(argv[2], argv[3]), BM_SETCHECK, std::atoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
        return 0;
    }
    if (verb == "click" && argc == 4) {
        HWND control = controlOf(argv[2], argv[3]);
        const WPARAM command = MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED);
        return PostMessageA(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control)) ? 0 : 1;
    }
    if (verb == "rclick" && argc == 5) {
        HWND top = waitTop(argv[2], 10);
        if (!top)
            return 1;
        POINT point{std::atoi(argv[3]), std::atoi(argv[4])};
        HWND target = ChildWindowFromPointEx(top, point, CWP_SKIPINVISIBLE);
        target = target ? target : top;
        MapWindowPoints(top, target, &point, 1);
        const LPARAM where = MAKELPARAM(point.x, point.y);
        PostMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, where);
        PostMessageA(target, WM_RBUTTONUP, 0, where);
        return 0;
    }
    if (verb == "list" && argc == 4) {
        HWND list = controlOf(argv[2], argv[3]);
        std::printf("%d %d %d %d\n", int(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)),
                    int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)), int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)),
                    int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)));
        return 0;
    }
    if (verb == "appwindow" && argc == 3) {
        HWND top = waitTop(argv[2], 10);
        std::printf("%d\n", top && (GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_APPWINDOW) ? 1 : 0);
        return top ? 0 : 1;
    }
    if ((verb == "menu" && argc == 3) || verb == "menuclose") {
        // The menu loop of the tracking thread reads keys posted to its queue.
        HWND menu = waitTop(nullptr, 10, "#32768");
        if (!menu)
            return 1;
        for (int i = 0; verb == "menu" && i <= std::atoi(argv[2]); ++i)
            postKey(menu, VK_DOWN);
        postKey(menu, verb == "menu" ? VK_RETURN : VK_ESCAPE);
        return 0;
    }
    if (verb == "post" && (argc == 4 || argc == 5)) {
        HWND top = waitTop(argv[2], 10);
        const WPARAM wParam = argc == 5 ? std::strtoul(argv[4], nullptr, 0) : 0;
        return top && PostMessageA(top, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)), wParam, 0) ? 0 : 1;
    }
    std::fprintf(stderr, "poke: unknown command or arguments: %s\n", verb.c_str());
    return 2;
}
