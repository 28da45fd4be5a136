// Works the program's top-level windows, found by exact title, with messages:
// dependable without a window manager (no focus or activation needed).
// Commands: see main(). "ready" means a click would be taken as a user's;
// "input" says what a click met when it was not.
// "rows" and "fits" measure what shows at the display's scale; "texts" reads
// a list's rows as a screen reader does.
// QB_POKE_AT=X,Y: only a window holding that screen point (two instances share titles).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
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
// Returns what stands in the way, or nullptr.
const char* clickBlocker(HWND hwnd)
{
    if (!hwnd)
        return "no window";
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return "hidden or disabled";
    if (GetForegroundWindow() != hwnd)
        return "not the foreground window";
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info))
        return "no thread information";
    const DWORD busy = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
    if (info.hwndActive != hwnd)
        return "not the active window";
    if (info.hwndCapture || (info.flags & busy))
        return "a capture, a menu or a move";
    return nullptr;
}

// When the wait ends unready, says why on standard error, with the time
// waited by the tick count and by the performance counter (to tell a slow
// program from a clock that jumped).
bool waitReady(const char* title, double seconds)
{
    LARGE_INTEGER frequency{}, begun{}, ended{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begun);
    const DWORD startTick = GetTickCount();
    const char* blocker = "never checked";
    int checks = 0;
    const bool ready = waitUntil(seconds, [&] {
        ++checks;
        HWND hwnd = findTop(title);
        // Still so once the thread has read its queue (pending focus events) again.
        DWORD_PTR ignored = 0;
        blocker = clickBlocker(hwnd);
        if (!blocker && !SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored))
            blocker = "no answer within a second";
        if (!blocker)
            blocker = clickBlocker(hwnd);
        return !blocker;
    });
    if (!ready) {
        QueryPerformanceCounter(&ended);
        std::fprintf(stderr, "poke ready: %s after %lu ms by the tick count, %lld ms by the counter, %d checks\n",
                     blocker, static_cast<unsigned long>(GetTickCount() - startTick),
                     (ended.QuadPart - begun.QuadPart) * 1000 / frequency.QuadPart, checks);
    }
    return ready;
}

// GetWindowText does not ask another process's control for its text.
std::string controlText(HWND control)
{
    std::string text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(
        static_cast<size_t>(SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

// A window as a failure message names it.
std::string describe(HWND hwnd)
{
    if (!hwnd)
        return "none";
    std::string title(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    title.resize(static_cast<size_t>(GetWindowTextA(hwnd, &title[0], int(title.size()))));
    // A class name has at most 256 characters.
    std::string className(257, '\0');
    className.resize(static_cast<size_t>(GetClassNameA(hwnd, &className[0], int(className.size()))));
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(hwnd));
    return std::string(handle) + " " + className + " \"" + title + "\"";
}

// What a click or key meets in the window's thread, as Wine sees it.
int printInput(HWND top)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info))
        return 1;
    const HWND list = FindWindowExA(top, nullptr, WC_LISTVIEWA, nullptr);
    std::printf("foreground %s; active %s, focus %s, capture %s, menu owner %s, flags %#lx, %s; selected row %d\n",
                describe(GetForegroundWindow()).c_str(), describe(info.hwndActive).c_str(),
                describe(info.hwndFocus).c_str(), describe(info.hwndCapture).c_str(),
                describe(info.hwndMenuOwner).c_str(), info.flags, IsWindowEnabled(top) ? "enabled" : "disabled",
                list ? int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1);
    return 0;
}

// Memory in the process of another program's window, where that window's
// controls can read a request and write their answer.
class RemoteMemory
{
public:
    RemoteMemory(HWND window, size_t size)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (m_process)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteMemory()
    {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* address(size_t offset = 0) const { return static_cast<char*>(m_address) + offset; }
    bool write(const void* data, size_t size, size_t offset = 0) const
    {
        return m_address && WriteProcessMemory(m_process, address(offset), data, size, nullptr);
    }
    bool read(void* data, size_t size, size_t offset = 0) const
    {
        return m_address && ReadProcessMemory(m_process, address(offset), data, size, nullptr);
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

// A list view's row rectangle, asked as another program asks.
bool listItemRect(HWND list, int row, int part, RECT& rect)
{
    const RemoteMemory remote(list, sizeof rect);
    rect = {part, 0, 0, 0};
    return remote.write(&rect, sizeof rect) &&
           SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(remote.address())) &&
           remote.read(&rect, sizeof rect);
}

// Each row's text, one a line, read as a screen reader reads it.
int printTexts(HWND list)
{
    constexpr size_t kTextRoom = 1024;
    const RemoteMemory remote(list, sizeof(LVITEMA) + kTextRoom);
    const int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item{};
        item.pszText = remote.address(sizeof item);
        item.cchTextMax = int(kTextRoom);
        std::string text(kTextRoom, '\0');
        if (!remote.write(&item, sizeof item))
            return 1;
        text.resize(
            size_t(SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(remote.address()))));
        if (!remote.read(&text[0], text.size(), sizeof item))
            return 1;
        std::printf("%s\n", text.c_str());
    }
    return 0;
}

// Row height, icon width and height, the last row's bottom, the client height,
// the row count, and the first row's top left on the screen.
int printRows(HWND list)
{
    const int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    RECT first{}, icon{}, last{};
    if (count == 0 || !listItemRect(list, 0, LVIR_BOUNDS, first) || !listItemRect(list, 0, LVIR_ICON, icon) ||
        !listItemRect(list, count - 1, LVIR_BOUNDS, last))
        return 1;
    RECT client{};
    GetClientRect(list, &client);
    POINT origin{first.left, first.top};
    ClientToScreen(list, &origin);
    std::printf("%ld %ld %ld %ld %ld %d %ld %ld\n", first.bottom - first.top, icon.right - icon.left,
                icon.bottom - icon.top, last.bottom, client.bottom, count, origin.x, origin.y);
    return 0;
}

// The room a control's text needs beside it: a check box's or radio
// button's box, a push button's or group box's edges (at 96 DPI, scaled).
int textMargin(const std::string& className, LONG style, int dpi)
{
    if (className != "Button")
        return 0;
    const LONG type = style & BS_TYPEMASK;
    const bool boxed = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                       type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE || type == BS_GROUPBOX;
    return MulDiv(boxed ? 16 : 4, dpi, 96);
}

struct TextCheck {
    HDC dc;
    int dpi;
    int checked = 0;
    int clipped = 0;
};

// Labels, buttons and check boxes whose text (wrapped where the control
// wraps) is wider or taller than the control, and edits lower than a line.
BOOL CALLBACK checkText(HWND control, LPARAM param)
{
    auto& check = *reinterpret_cast<TextCheck*>(param);
    if (!IsWindowVisible(control))
        return TRUE;
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    const std::string className = name;
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    TEXTMETRICA metrics{};
    GetTextMetricsA(check.dc, &metrics);
    if (className == "Edit") {
        ++check.checked;
        if (!(style & ES_MULTILINE) && client.bottom < metrics.tmHeight) {
            std::printf("clipped: edit %d is %ld high for a %ld line\n", GetDlgCtrlID(control), client.bottom,
                        metrics.tmHeight);
            ++check.clipped;
        }
        return TRUE;
    }
    const bool label = className == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
    const bool plainLabel =
        className == "Static" && ((style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP || (style & SS_TYPEMASK) == SS_SIMPLE);
    if (!label && !plainLabel && className != "Button")
        return TRUE;
    const std::string text = controlText(control);
    if (text.empty())
        return TRUE;
    ++check.checked;
    const int margin = textMargin(className, style, check.dpi);
    const bool wraps = label || (className == "Button" && (style & BS_MULTILINE));
    RECT needed = {0, 0, std::max<LONG>(client.right - margin, 1), 0};
    UINT format = DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
    if (className == "Static" && (style & SS_NOPREFIX))
        format |= DT_NOPREFIX;
    DrawTextA(check.dc, text.c_str(), int(text.size()), &needed, format);
    const bool groupBox = className == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    if (needed.right + margin > client.right || (!groupBox && needed.bottom > client.bottom)) {
        std::printf("clipped: %s %d \"%s\" needs %ldx%ld, has %ldx%ld\n", name, GetDlgCtrlID(control), text.c_str(),
                    needed.right + margin, needed.bottom, client.right, client.bottom);
        ++check.clipped;
    }
    return TRUE;
}

// Every text of the dialog in its font, Tahoma 8 at the display's DPI,
// which this program shares with it.
int checkTexts(HWND dialog)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    const HFONT font = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    const HGDIOBJ previous = SelectObject(screen, font);
    TextCheck check{screen, dpi};
    EnumChildWindows(dialog, checkText, reinterpret_cast<LPARAM>(&check));
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    std::printf("%d texts, %d clipped\n", check.checked, check.clipped);
    return check.clipped == 0 && check.checked > 0 ? 0 : 1;
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
    if (verb == "input" && argc == 3) {
        HWND top = findTop(argv[2]);
        return top ? printInput(top) : 1;
    }
    if (verb == "held" && argc == 4) {
        // The desktop's key state: Wine has read the key from the display.
        const int key = int(std::strtol(argv[2], nullptr, 0));
        return waitUntil(std::atof(argv[3]), [key] { return (GetAsyncKeyState(key) & 0x8000) != 0; }) ? 0 : 1;
    }
    if (verb == "settext" && argc == 5)
        return SendMessageA(controlOf(argv[2], argv[3]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
    if (verb == "gettext" && argc == 4) {
        std::printf("%s\n", controlText(controlOf(argv[2], argv[3])).c_str());
        return 0;
    }
    if (verb == "check" && argc == 5) {
        SendMessageA(controlOf(argv[2], argv[3]), BM_SETCHECK, std::atoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
        return 0;
    }
    if (verb == "click" && argc == 4) {
        HWND control = controlOf(argv[2], argv[3]);
        HWND dialog = GetParent(control);
        const WPARAM command = MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED);
        if (PostMessageA(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(control)))
            return 0;
        // Once seen and not understood: what the post met, and what the title finds now.
        DWORD error = GetLastError(), process = 0, thread = GetWindowThreadProcessId(dialog, &process);
        std::fprintf(stderr,
                     "poke click: error %lu posting to %p (window %d, control %d, thread %lu, process %lu); now %p\n",
                     error, static_cast<void*>(dialog), IsWindow(dialog), IsWindow(control), thread, process,
                     static_cast<void*>(findTop(argv[2])));
        return 1;
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
    if (verb == "rows" && argc == 4)
        return printRows(controlOf(argv[2], argv[3]));
    if (verb == "texts" && argc == 4)
        return printTexts(controlOf(argv[2], argv[3]));
    if (verb == "fits" && argc == 3) {
        HWND top = waitTop(argv[2], 10);
        return top ? checkTexts(top) : 1;
    }
    if (verb == "appwindow" && argc == 3) {
        HWND top = waitTop(argv[2], 10);
        std::printf("%d\n", top && (GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_APPWINDOW) ? 1 : 0);
        return top ? 0 : 1;
    }
    if (verb == "outer" && argc == 4) {
        // The window's outer width and height, and whether the control shows a
        // horizontal and a vertical scroll bar (the styles say, from any process).
        HWND control = controlOf(argv[2], argv[3]);
        RECT outer{};
        GetWindowRect(GetAncestor(control, GA_ROOT), &outer);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        std::printf("%ld %ld %d %d\n", outer.right - outer.left, outer.bottom - outer.top, style & WS_HSCROLL ? 1 : 0,
                    style & WS_VSCROLL ? 1 : 0);
        return 0;
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
    if (verb == "hotkey" && (argc == 4 || argc == 5)) {
        // Another program's hotkey (MOD_* modifiers, virtual key): "held" and, with "hold", kept until killed;
        // else "error N" when it cannot be had.
        const UINT modifiers = UINT(std::strtoul(argv[2], nullptr, 0));
        const UINT key = UINT(std::strtoul(argv[3], nullptr, 0));
        if (!RegisterHotKey(nullptr, 1, modifiers, key)) {
            std::printf("error %lu\n", GetLastError());
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        if (argc == 5)
            Sleep(INFINITE);
        return 0;
    }
    if (verb == "hold") {
        // A user of the desktop until killed: without one, Wine ends its desktop process between
        // two programs, and a program starting just then loses its desktop.
        GetDesktopWindow();
        Sleep(INFINITE);
    }
    std::fprintf(stderr, "poke: unknown command or arguments: %s\n", verb.c_str());
    return 2;
}
