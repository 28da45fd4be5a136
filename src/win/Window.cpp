#include "win/Window.h"

#include <unordered_map>
#include <utility>

namespace win {

std::string windowTextOf(HWND hwnd)
{
    if (!hwnd)
        return std::string();
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return std::string();
    // The length may be an overestimate for multi-byte text; trust the copy.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hwnd, message, wParam, lParam);
}

std::string Window::GetText() const
{
    return windowTextOf(m_hwnd);
}

void Window::SetText(const std::string& text) const
{
    ::SetWindowTextA(m_hwnd, text.c_str());
}

HWND Window::GetParent() const
{
    return ::GetParent(m_hwnd);
}

HWND Window::GetDlgItem(int id) const
{
    return ::GetDlgItem(m_hwnd, id);
}

void Window::Enable(bool enable) const
{
    ::EnableWindow(m_hwnd, enable ? TRUE : FALSE);
}

RECT Window::GetClientRect() const
{
    RECT rect{};
    ::GetClientRect(m_hwnd, &rect);
    return rect;
}

RECT Window::GetWindowRect() const
{
    RECT rect{};
    ::GetWindowRect(m_hwnd, &rect);
    return rect;
}

RECT Window::GetRectInParent() const
{
    RECT rect = GetWindowRect();
    const HWND parent = (GetStyle() & WS_CHILD) ? ::GetParent(m_hwnd) : nullptr;
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Window::Invalidate(bool erase) const
{
    ::InvalidateRect(m_hwnd, nullptr, erase ? TRUE : FALSE);
}

void Window::InvalidateRect(const RECT& rect, bool erase) const
{
    ::InvalidateRect(m_hwnd, &rect, erase ? TRUE : FALSE);
}

void Window::Update() const
{
    ::UpdateWindow(m_hwnd);
}

LONG_PTR Window::GetStyle() const
{
    return ::GetWindowLongPtrA(m_hwnd, GWL_STYLE);
}

namespace {

void modifyLong(HWND hwnd, int index, LONG_PTR remove, LONG_PTR add)
{
    const LONG_PTR old = ::GetWindowLongPtrA(hwnd, index);
    const LONG_PTR changed = (old & ~remove) | add;
    if (changed != old)
        ::SetWindowLongPtrA(hwnd, index, changed);
}

}  // namespace

void Window::ModifyStyle(LONG_PTR remove, LONG_PTR add) const
{
    modifyLong(m_hwnd, GWL_STYLE, remove, add);
}

void Window::ModifyExStyle(LONG_PTR remove, LONG_PTR add) const
{
    modifyLong(m_hwnd, GWL_EXSTYLE, remove, add);
}

HFONT Window::GetFont() const
{
    return reinterpret_cast<HFONT>(Send(WM_GETFONT));
}

void Window::SetFont(HFONT font, bool redraw) const
{
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void Window::SetIcon(HICON icon, bool big) const
{
    Send(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// ---------------------------------------------------------------------------

namespace {

// A control whose window procedure we replaced. `wrapper` is null once the
// wrapper let go while someone else's procedure still calls ours.
struct Hook {
    Control* wrapper;
    WNDPROC previous;
};

// Our subclassed controls. They all live on the UI thread, which alone
// touches this table; a lookup here costs nothing, unlike a window property.
std::unordered_map<HWND, Hook>& hooks()
{
    static std::unordered_map<HWND, Hook> table;
    return table;
}

LRESULT callPrevious(WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return previous ? ::CallWindowProcA(previous, hwnd, message, wParam, lParam)
                    : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

bool isOurProcedure(HWND hwnd, WNDPROC ours)
{
    return ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ours);
}

// Offers the failure to the control and its parents, nearest first; outside a
// window that takes it nothing happens.
void reportFailure(HWND control, std::exception_ptr failure)
{
    const HWND desktop = ::GetDesktopWindow();
    for (HWND window = control; window && window != desktop; window = ::GetAncestor(window, GA_PARENT)) {
        if (::SendMessageA(window, controlFailedMessage(), 0, reinterpret_cast<LPARAM>(&failure)))
            return;
    }
}

}  // namespace

UINT controlFailedMessage()
{
    static const UINT message = ::RegisterWindowMessageA("Quillbank.ControlFailed");
    return message;
}

Control::~Control()
{
    Unhook();
}

bool Control::Attach(HWND hwnd)
{
    if (m_hwnd || !hwnd)
        return false;
    m_hwnd = hwnd;
    return true;
}

HWND Control::Detach()
{
    Unhook();
    return std::exchange(m_hwnd, nullptr);
}

void Control::Unhook() noexcept
{
    if (m_subclassed && m_hwnd) {
        auto& table = hooks();
        const auto it = table.find(m_hwnd);
        if (it != table.end() && it->second.wrapper == this) {
            if (isOurProcedure(m_hwnd, &Control::WindowProc)) {
                ::SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
                table.erase(it);
            } else if (::IsWindow(m_hwnd)) {
                // Someone subclassed after us and still calls our procedure:
                // putting ours back would cut theirs off, so ours stays and
                // only passes messages on until the window goes.
                it->second.wrapper = nullptr;
            } else {
                table.erase(it);
            }
        }
    }
    m_subclassed = false;
    m_previousProc = nullptr;
}

bool Control::SubclassWindow(HWND hwnd)
{
    if (m_hwnd || !hwnd || !::IsWindow(hwnd))
        return false;
    auto& table = hooks();
    if (table.count(hwnd) != 0)
        return false;  // another wrapper, or our procedure still in its chain
    m_hwnd = hwnd;
    PreSubclassWindow();
    Hook* hook = nullptr;
    try {
        // Nodes stay put when the table grows: the pointer stays good.
        hook = &table.emplace(hwnd, Hook{this, nullptr}).first->second;
    } catch (...) {
        m_hwnd = nullptr;
        return false;
    }
    ::SetLastError(0);
    const LONG_PTR previous = ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::WindowProc));
    if (previous == 0 && ::GetLastError() != 0) {
        table.erase(hwnd);
        m_hwnd = nullptr;
        return false;
    }
    m_previousProc = reinterpret_cast<WNDPROC>(previous);
    hook->previous = m_previousProc;
    m_subclassed = true;
    return true;
}

bool Control::SubclassDlgItem(int id, HWND parentDialog)
{
    return SubclassWindow(::GetDlgItem(parentDialog, id));
}

Control* Control::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    const auto& table = hooks();
    const auto it = table.find(hwnd);
    return it != table.end() ? it->second.wrapper : nullptr;
}

bool Control::PreTranslateMessage(MSG&)
{
    return false;
}

bool Control::OnReflect(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

void Control::PreSubclassWindow()
{}

bool Control::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT Control::DefProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Not subclassed, or the window went while a handler ran.
    if (!m_previousProc || !m_hwnd)
        return 0;
    return ::CallWindowProcA(m_previousProc, m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& table = hooks();
    const auto it = table.find(hwnd);
    if (it == table.end())
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    Control* const self = it->second.wrapper;
    // Copied: a handler may destroy the window, and the entry with it.
    const WNDPROC previous = it->second.previous;
    if (message == WM_NCDESTROY) {
        // Last message: unhook first so that the wrapper never sees a dead handle.
        table.erase(it);
        if (isOurProcedure(hwnd, &Control::WindowProc))
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        if (self) {
            self->m_subclassed = false;
            self->m_previousProc = nullptr;
            self->m_hwnd = nullptr;
        }
        return callPrevious(previous, hwnd, message, wParam, lParam);
    }
    if (self) {
        // Exceptions must not unwind through the system's frames: the
        // dialog that holds the control ends and rethrows it from DoModal,
        // and the message gets its default handling.
        try {
            LRESULT result = 0;
            if (self->OnMessage(message, wParam, lParam, result))
                return result;
        } catch (...) {
            reportFailure(hwnd, std::current_exception());
        }
    }
    return callPrevious(previous, hwnd, message, wParam, lParam);
}

}  // namespace win
