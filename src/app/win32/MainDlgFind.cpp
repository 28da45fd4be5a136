// The find field above the list (Ctrl+F, F3) and the hotkey that summons the
// window with it from any program. What a find shows is the session's
// (HostRows::filter); the field only hands it the text and the keys that
// act on the list.
#include "app/win32/MainDlg.h"

#include "app/Hotkey.h"
#include "catalogue/TextRules.h"
#include "res/resource.h"

#include <objbase.h>
#include <initguid.h>

#include <oleacc.h>

#include <algorithm>

namespace {

// The only hotkey the window registers.
constexpr int kHotkeyId = 1;

bool held(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

// A field with no label beside it is named for screen readers through the
// system's annotation service.
void nameForScreenReaders(HWND field, const wchar_t* name)
{
    win::ComPtr<IAccPropServices> services;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(services.put()))))
        return;
    services->SetHwndPropStr(field, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name);
}

}  // namespace

void CMainDlg::SetUpFindField()
{
    m_findField = win::Window(GetDlgItem(IDC_FIND_TEXT));
    m_findHeight = m_findField.GetWindowRect().bottom - m_findField.GetWindowRect().top;
    // Shown also while the field has the keyboard, as long as it is empty.
    m_findField.Send(EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Find a host"));
}

void CMainDlg::OpenFind(bool empty)
{
    if (!m_findOpen) {
        // The service loads a library of its own: not at start, which is timed.
        nameForScreenReaders(m_findField, L"Find a host");
        m_session.startFind(m_caseTable);
        m_findOpen = true;
        ShowWindow(m_findField, SW_SHOWNA);
        FitWindowToList();
    }
    if (empty && !m_findField.GetText().empty())
        m_findField.SetText("");
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_findField.GetSafeHwnd()), TRUE);
    m_findField.Send(EM_SETSEL, 0, -1);
}

void CMainDlg::CloseFind()
{
    const qb::HostItem* focused = HostAt(FocusedRow());
    // Closed first: emptying the field finds nothing any more.
    m_findOpen = false;
    m_findField.SetText("");
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hostList.GetSafeHwnd()), TRUE);
    ShowWindow(m_findField, SW_HIDE);
    m_session.endFind(focused);
}

bool CMainDlg::OnCommand(int id, int code, HWND)
{
    if (id != IDC_FIND_TEXT || code != EN_CHANGE)
        return false;
    if (m_findOpen)
        m_session.find(m_findField.GetText(), m_caseTable);
    return true;
}

bool CMainDlg::OnFindKeyMessage(const MSG& message)
{
    if (message.message == WM_SYSKEYDOWN) {
        // Alt+Enter as F2; Shift+F10 comes as a system key.
        if (message.wParam == VK_RETURN || (message.wParam == VK_F10 && held(VK_SHIFT)))
            return OnListKeyDown(message.wParam == VK_RETURN ? VK_F2 : VK_F10, message.time);
        return false;
    }
    if (message.message != WM_KEYDOWN)
        return false;
    switch (message.wParam) {
    // Home and End stay the field's: they move in the text.
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RETURN:
    case VK_APPS:
    case VK_F2: return OnListKeyDown(message.wParam, message.time);
    case VK_ESCAPE: CloseFind(); return true;
    case VK_F3: OpenFind(false); return true;
    case 'F':
        if (!held(VK_CONTROL) || held(VK_MENU))
            return false;
        OpenFind(false);
        return true;
    default: return false;
    }
}

bool CMainDlg::registerHotkey(uint32_t value)
{
    if (value == m_hotkey)
        return true;
    if (m_hotkey)
        UnregisterHotKey(m_hwnd, kHotkeyId);
    const qb::Hotkey wanted = qb::hotkeyFromControl(value);
    if (wanted.key == 0 || RegisterHotKey(m_hwnd, kHotkeyId, wanted.modifiers, wanted.key)) {
        m_hotkey = wanted.key ? value : 0;
        return true;
    }
    // Refused: the previous one again, unless it was lost meanwhile.
    const qb::Hotkey previous = qb::hotkeyFromControl(m_hotkey);
    if (m_hotkey && !RegisterHotKey(m_hwnd, kHotkeyId, previous.modifiers, previous.key))
        m_hotkey = 0;
    return false;
}

std::string CMainDlg::keyName(uint32_t value)
{
    const UINT key = value & 0xFF;
    LONG code = static_cast<LONG>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16);
    if ((value >> 8) & HOTKEYF_EXT)
        code |= 1L << 24;
    std::string name(16, '\0');
    for (;;) {
        const int length = GetKeyNameTextA(code, name.data(), static_cast<int>(name.size()));
        if (length < static_cast<int>(name.size()) - 1) {
            name.resize(static_cast<size_t>(std::max(length, 0)));
            break;
        }
        name.resize(name.size() * 2);
    }
    return name.empty() ? "key " + qb::formatNumber(static_cast<int32_t>(key)) : name;
}

void CMainDlg::Summon()
{
    if (IsIconic(m_hwnd))
        ShowWindow(m_hwnd, SW_RESTORE);
    // An editor, a prompt or a menu of the window is open: it comes to the
    // front with the window, and no field opens behind it.
    const HWND popup = GetLastActivePopup(m_hwnd);
    SetForegroundWindow(popup ? popup : m_hwnd);
    if (m_session.inNestedLoop() || (popup && popup != m_hwnd))
        return;
    OpenFind(true);
}
