// Windows seen from C++: a non-owning window handle with the everyday helpers,
// and the base of our control wrappers, which may subclass their control to
// see its messages.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace win {

// A window handle plus helpers. Does not own the window: copies are cheap and
// nothing is destroyed when one goes.
class Window
{
public:
    Window() noexcept = default;
    explicit Window(HWND hwnd) noexcept : m_hwnd(hwnd) {}

    HWND GetSafeHwnd() const noexcept { return m_hwnd; }
    operator HWND() const noexcept { return m_hwnd; }
    bool IsWindow() const noexcept { return m_hwnd != nullptr && ::IsWindow(m_hwnd) != FALSE; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The window text, of any length, in the ANSI code page.
    std::string GetText() const;
    void SetText(const std::string& text) const;

    HWND GetParent() const;
    HWND GetDlgItem(int id) const;

    void Enable(bool enable) const;

    RECT GetClientRect() const;
    // Screen coordinates.
    RECT GetWindowRect() const;
    // The window's rectangle in the client coordinates of its parent (or of
    // the screen for a top-level window).
    RECT GetRectInParent() const;

    void Invalidate(bool erase = true) const;
    void InvalidateRect(const RECT& rect, bool erase = true) const;
    void Update() const;

    LONG_PTR GetStyle() const;
    // Removes then adds style bits (GWL_STYLE, GWL_EXSTYLE).
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const;
    void ModifyExStyle(LONG_PTR remove, LONG_PTR add) const;

    HFONT GetFont() const;
    void SetFont(HFONT font, bool redraw = true) const;

    // WM_SETICON: `big` for the caption/Alt+Tab icon, else the small one.
    void SetIcon(HICON icon, bool big) const;

protected:
    HWND m_hwnd = nullptr;
};

// The text of any window (as Window::GetText).
std::string windowTextOf(HWND hwnd);

// Sent up a control's parents when its wrapper's handler threw, lParam
// pointing to the std::exception_ptr; the first window that takes the failure
// answers non-zero. Registered, so that no window reads it as anything else.
UINT controlFailedMessage();

// Base of the control wrappers. A wrapper is either only attached (it sends
// messages to the control) or subclassed (it also sees the control's messages
// through OnMessage, messages that the parent dialog reflects back to it
// through OnReflect, and its own share of the dialog's message loop through
// PreTranslateMessage). Subclassing replaces the control's window procedure
// directly and finds the wrapper in a table private to the UI thread: under
// Wine, SetWindowSubclass and window properties cost a trip to the server on
// every message, which made start-up with many hosts markedly slower. The
// subclass is removed when the control gets WM_NCDESTROY, after which the
// wrapper is empty again. Wrappers are members of their dialog, belong to the
// UI thread, and cannot be copied.
class Control : public Window
{
public:
    Control() noexcept = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Wraps `hwnd` without subclassing it. False when already holding one.
    bool Attach(HWND hwnd);
    // Forgets the window (removing our subclass first if any) and returns it.
    HWND Detach();

    // Wraps and subclasses `hwnd`: stores it, calls PreSubclassWindow, then
    // installs the subclass. False (and nothing held) on failure, or when
    // the control is already subclassed by a wrapper.
    bool SubclassWindow(HWND hwnd);
    // SubclassWindow for the dialog's control `id`.
    bool SubclassDlgItem(int id, HWND parentDialog);

    // The wrapper that subclassed `hwnd`, or null.
    static Control* FromHandle(HWND hwnd);

    // Called by the dialog's message loop for messages to this control (or
    // to its children) before they are dispatched. True consumes the message.
    virtual bool PreTranslateMessage(MSG& message);

    // A message that the parent received about this control (WM_COMMAND,
    // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*), offered here
    // before the parent's own handlers. Return true when handled, with the
    // result the parent should give (for WM_CTLCOLOR* the brush).
    virtual bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Runs with the handle set but before the subclass is installed: messages
    // sent from here get the control's own handling.
    virtual void PreSubclassWindow();

    // Every message of a subclassed control. Return true when handled, with
    // its result; false passes it on to the control's own procedure. Call
    // DefProc to run that procedure first and then add to it.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The control's own procedure (the one our subclass replaced).
    LRESULT DefProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes our procedure off the control (when nobody hooked in after us)
    // and forgets the wrapper.
    void Unhook() noexcept;
    WNDPROC m_previousProc = nullptr;
    bool m_subclassed = false;
};

}  // namespace win
