#include "win/Dialog.h"

#include "screen/WindowPlacement.h"
#include "win/App.h"
#include "win/CommonDialogs.h"
#include "win/Dpi.h"

#include <utility>

namespace win {

// ---------------------------------------------------------------------------
// DataExchange

void DataExchange::Text(int id, std::string& value) const
{
    const HWND control = ::GetDlgItem(m_dialog, id);
    if (!control)
        return;  // a missing control must not wipe the member
    if (m_saving)
        value = windowTextOf(control);
    else
        ::SetWindowTextA(control, value.c_str());
}

void DataExchange::Check(int id, bool& value) const
{
    if (!::GetDlgItem(m_dialog, id))
        return;
    if (m_saving)
        value = ::IsDlgButtonChecked(m_dialog, id) == BST_CHECKED;
    else
        ::CheckDlgButton(m_dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void DataExchange::Hotkey(int id, uint32_t& value) const
{
    const HWND control = ::GetDlgItem(m_dialog, id);
    if (!control)
        return;
    if (m_saving)
        value = static_cast<uint32_t>(::SendMessageA(control, HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
    else
        ::SendMessageA(control, HKM_SETHOTKEY, value & 0xFFFF, 0);
}

// ---------------------------------------------------------------------------
// Dialog

namespace {

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: the seven requests for a
// control's colours, numbered one after another.
bool isCtlColor(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Messages whose answer is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool answersDirectly(UINT message)
{
    if (isCtlColor(message))
        return true;
    switch (message) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG: return true;
    default: return false;
    }
}

bool offerToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    Control* wrapper = Control::FromHandle(control);
    return wrapper && wrapper->OnReflect(message, wParam, lParam, result);
}

// The window, its frame and every child drawn again, erased first.
void repaintAll(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent, int captionIcon)
    : m_templateId(templateId), m_parent(parent), m_captionIconId(captionIcon)
{}

Dialog::~Dialog()
{
    if (m_hwnd && ::IsWindow(m_hwnd)) {
        // The window must never call into a destroyed object.
        ::SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
        ::DestroyWindow(m_hwnd);
    }
}

INT_PTR Dialog::DoModal()
{
    if (m_hwnd)
        return -1;  // already running
    m_ended = false;
    m_result = -1;
    m_failure = nullptr;
    m_owner = m_parent ? m_parent : ::GetActiveWindow();
    if (m_owner)
        m_owner = ::GetAncestor(m_owner, GA_ROOT);

    const HWND hwnd = ::CreateDialogParamA(moduleInstance(), MAKEINTRESOURCEA(m_templateId), m_owner,
                                           &Dialog::StaticProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        m_hwnd = nullptr;
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
        return -1;
    }

    const bool disableOwner = m_owner && ::IsWindowEnabled(m_owner);
    if (disableOwner)
        ::EnableWindow(m_owner, FALSE);
    if (!m_ended) {
        if (!::IsWindowVisible(hwnd))
            ::ShowWindow(hwnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    // Owner first, so that activation returns to it when the dialog goes.
    if (disableOwner)
        ::EnableWindow(m_owner, TRUE);
    if (m_owner && ::GetActiveWindow() == hwnd)
        ::SetActiveWindow(m_owner);
    ::DestroyWindow(hwnd);
    m_hwnd = nullptr;

    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    return m_result;
}

void Dialog::RunModalLoop()
{
    MSG message;
    while (!m_ended) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // Someone quits the program: leave, and let the outer loops see it too.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        try {
            if (PreTranslateTree(message))
                continue;
        } catch (...) {
            if (!m_failure)
                m_failure = std::current_exception();
            break;
        }
        if (m_hwnd && ::IsDialogMessageA(m_hwnd, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

bool Dialog::PreTranslateTree(MSG& message)
{
    if (!m_hwnd || !message.hwnd)
        return false;
    if (message.hwnd != m_hwnd && !::IsChild(m_hwnd, message.hwnd))
        return false;
    for (HWND h = message.hwnd; h && h != m_hwnd; h = ::GetParent(h)) {
        Control* wrapper = Control::FromHandle(h);
        if (wrapper && wrapper->PreTranslateMessage(message))
            return true;
    }
    return PreTranslateMessage(message);
}

void Dialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    // Wakes the loop should it be waiting.
    if (m_hwnd)
        ::PostMessageA(m_hwnd, WM_NULL, 0, 0);
}

bool Dialog::UpdateData(bool save)
{
    DataExchange dx(m_hwnd, save);
    DoDataExchange(dx);
    return true;
}

void Dialog::CentreOnWorkArea()
{
    if (!m_hwnd)
        return;
    // The owner's monitor, so that a dialog opens where its program is.
    const HWND reference = m_owner && ::IsWindowVisible(m_owner) ? m_owner : m_hwnd;
    const RECT area = workAreaOf(reference);
    const RECT window = GetWindowRect();
    const qb::ScreenPoint at = qb::centreOnWorkArea(window.right - window.left, window.bottom - window.top,
                                                    {area.left, area.top, area.right, area.bottom});
    ::SetWindowPos(m_hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::RefuseControlText(int id, const std::string& message)
{
    showMessage(message, MB_OK | MB_ICONEXCLAMATION, m_hwnd);
    const HWND control = GetDlgItem(id);
    if (!control)
        return;
    // As Tab moves the focus, so that the default button follows.
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
}

std::string Dialog::GetDlgItemText(int id) const
{
    return windowTextOf(::GetDlgItem(m_hwnd, id));
}

void Dialog::SetDlgItemText(int id, const std::string& text) const
{
    ::SetDlgItemTextA(m_hwnd, id, text.c_str());
}

bool Dialog::IsDlgButtonChecked(int id) const
{
    return ::IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED;
}

void Dialog::CheckDlgButton(int id, bool checked) const
{
    ::CheckDlgButton(m_hwnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL Dialog::OnInitDialog()
{
    UpdateData(false);
    if (m_captionIconId != 0) {
        // Kept until the dialog goes: the caption only borrows it.
        m_captionIcon = loadSmallIconResource(m_captionIconId);
        SetIcon(m_captionIcon.get(), false);
    }
    return TRUE;
}

void Dialog::DoDataExchange(DataExchange&)
{}

void Dialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool Dialog::OnCommand(int, int, HWND)
{
    return false;
}

bool Dialog::OnNotify(NMHDR&, LRESULT&)
{
    return false;
}

bool Dialog::OnPaint()
{
    return false;
}

bool Dialog::OnClose()
{
    return false;
}

HBRUSH Dialog::OnCtlColor(HDC, HWND, UINT)
{
    return nullptr;
}

bool Dialog::OnDrawItem(int, DRAWITEMSTRUCT&)
{
    return false;
}

bool Dialog::OnMeasureItem(int, MEASUREITEMSTRUCT&)
{
    return false;
}

bool Dialog::OnInitMenuPopup(HMENU, UINT, bool)
{
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

bool Dialog::PreTranslateMessage(MSG&)
{
    return false;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Dialog* self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
        return self->HandleInit();
    }
    Dialog* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self)
        return FALSE;  // before WM_INITDIALOG: the dialog manager's defaults
    if (message == WM_WINDOWPOSCHANGING && self->m_initialising) {
        const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOMOVE))
            self->m_movedDuringInit = true;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
        return FALSE;
    }
    if (message == controlFailedMessage()) {
        // A control wrapper's handler threw: the dialog ends and DoModal
        // rethrows it, as for the dialog's own handlers.
        if (!self->m_failure)
            self->m_failure = *reinterpret_cast<const std::exception_ptr*>(lParam);
        self->EndDialog(-1);
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR Dialog::HandleInit()
{
    m_initialising = true;
    m_movedDuringInit = false;
    const RECT before = GetWindowRect();
    BOOL focusDefault = FALSE;
    try {
        focusDefault = OnInitDialog();
    } catch (...) {
        if (!m_failure)
            m_failure = std::current_exception();
        EndDialog(-1);
    }
    m_initialising = false;
    const RECT after = GetWindowRect();
    // Initialisation that placed the window (even at the same spot) keeps
    // its place; otherwise the dialog opens centred.
    const bool placed = m_movedDuringInit || before.left != after.left || before.top != after.top;
    if (!m_ended && !placed && !(GetStyle() & WS_CHILD))
        CentreOnWorkArea();
    return focusDefault;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        LRESULT result = 0;
        if (!Route(message, wParam, lParam, result))
            return FALSE;
        if (answersDirectly(message))
            return static_cast<INT_PTR>(result);
        // Set only when it differs: under Wine each set is a round trip to
        // the server, and a list's rows bring several notifications each.
        if (m_hwnd && ::GetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT) != result)
            ::SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        // Exceptions must not unwind through the system's frames: end the
        // dialog and let DoModal rethrow.
        if (!m_failure)
            m_failure = std::current_exception();
        EndDialog(-1);
        return FALSE;
    }
}

bool Dialog::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (OnMessage(message, wParam, lParam, result))
        return true;

    if (isCtlColor(message)) {
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (control != m_hwnd && offerToControl(control, message, wParam, lParam, result))
            return true;
        const HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), control, message);
        result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    switch (message) {
    case WM_COMMAND: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (control && offerToControl(control, message, wParam, lParam, result))
            return true;
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        result = 0;
        if (OnCommand(id, code, control))
            return true;
        if (code == BN_CLICKED && id == IDOK) {
            OnOK();
            return true;
        }
        if (code == BN_CLICKED && id == IDCANCEL) {
            OnCancel();
            return true;
        }
        return false;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header)
            return false;
        if (offerToControl(header->hwndFrom, message, wParam, lParam, result))
            return true;
        return OnNotify(*header, result);
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!item)
            return false;
        if (item->CtlType != ODT_MENU && offerToControl(item->hwndItem, message, wParam, lParam, result))
            return true;
        result = TRUE;
        return OnDrawItem(static_cast<int>(wParam), *item);
    }
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!item)
            return false;
        if (item->CtlType != ODT_MENU &&
            offerToControl(::GetDlgItem(m_hwnd, static_cast<int>(item->CtlID)), message, wParam, lParam, result))
            return true;
        result = TRUE;
        return OnMeasureItem(static_cast<int>(wParam), *item);
    }
    case WM_PAINT: result = 0; return OnPaint();
    case WM_CLOSE: result = 0; return OnClose();
    case WM_INITMENUPOPUP:
        result = 0;
        return OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
    case WM_SYSCOLORCHANGE:
        // The common controls keep copies of the colours: they hear of it
        // only from their parent.
        for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ::SendMessageA(child, message, wParam, lParam);
        repaintAll(m_hwnd);
        return false;
    case WM_SETTINGCHANGE:
        // Our own drawing asks about High Contrast as it paints.
        if (wParam == SPI_SETHIGHCONTRAST)
            repaintAll(m_hwnd);
        return false;
    default: return false;
    }
}

}  // namespace win
