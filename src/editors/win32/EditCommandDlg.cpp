#include "editors/win32/EditCommandDlg.h"

#include "controls/IconStrip.h"
#include "editors/EntryKindFields.h"
#include "res/resource.h"
#include "win/Handles.h"

namespace {

using SHAutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);

qb::KindRadios readRadios(const win::Dialog& dialog)
{
    qb::KindRadios radios;
    radios.custom = dialog.IsDlgButtonChecked(IDC_KIND_CUSTOM);
    radios.windowsTemplate = dialog.IsDlgButtonChecked(IDC_KIND_TEMPLATE);
    radios.separator = dialog.IsDlgButtonChecked(IDC_KIND_SEPARATOR);
    radios.url = dialog.IsDlgButtonChecked(IDC_KIND_URL);
    return radios;
}

} // namespace

static_assert(IDC_ENTRY_NAME == qb::entry_ctl::kName && IDC_PARAMS == qb::entry_ctl::kParams &&
                  IDC_COMMAND == qb::entry_ctl::kCommand && IDC_CONFIRM == qb::entry_ctl::kConfirm &&
                  IDC_BOLD == qb::entry_ctl::kBold && IDC_ENTRY_TEMPLATE_HOST == qb::entry_ctl::kTemplateHost &&
                  IDC_ENTRY_DRIVES == qb::entry_ctl::kDrives &&
                  IDC_USE_ALTERNATE_BROWSER == qb::entry_ctl::kAlternateBrowser && IDC_URL == qb::entry_ctl::kUrl &&
                  IDC_URL_NAME == qb::entry_ctl::kUrlName && IDC_ENTRY_ICON == qb::entry_ctl::kIcon &&
                  IDC_KIND_CUSTOM == qb::entry_ctl::kRadioCustom &&
                  IDC_KIND_TEMPLATE == qb::entry_ctl::kRadioTemplate &&
                  IDC_KIND_SEPARATOR == qb::entry_ctl::kRadioSeparator && IDC_KIND_URL == qb::entry_ctl::kRadioUrl,
              "the kind table and the template agree on control ids");

bool EnableAutoComplete(HWND window, DWORD flags)
{
    if (!window)
        return false;
    // Process-wide and never freed: completion objects may still call into
    // the library after any one edit control has gone.
    static HMODULE shellUtilities = nullptr;
    if (!shellUtilities)
        shellUtilities = ::LoadLibraryA("SHLWAPI.DLL");
    if (!shellUtilities)
        return false;
    auto autoComplete =
        reinterpret_cast<SHAutoCompleteFn>(reinterpret_cast<void*>(::GetProcAddress(shellUtilities, "SHAutoComplete")));
    if (!autoComplete)
        return false;
    return SUCCEEDED(autoComplete(window, flags));
}

CEditCommandDlg::CEditCommandDlg(HWND parent) : win::Dialog(IDD_EDIT_COMMAND, parent)
{
}

void CEditCommandDlg::LoadFrom(const qb::CommandEntry& entry)
{
    m_kind = entry.kind;
    m_name = entry.name;
    m_command = entry.program;
    m_params = entry.params;
    m_icon = entry.icon;
    m_confirm = entry.confirm;
    m_bold = entry.bold;
    m_templateHost = entry.templateHost;
    m_drives = entry.drives;
    m_url = entry.url;
    m_useAlternateBrowser = entry.alternateBrowser;
    m_urlName = entry.urlName;
}

void CEditCommandDlg::StoreTo(qb::CommandEntry& entry) const
{
    entry.kind = m_kind;
    entry.name = m_name;
    entry.program = m_command;
    entry.params = m_params;
    entry.icon = m_icon;
    entry.confirm = m_confirm;
    entry.bold = m_bold;
    entry.templateHost = m_templateHost;
    entry.drives = m_drives;
    entry.url = m_url;
    entry.alternateBrowser = m_useAlternateBrowser;
    entry.urlName = m_urlName;
}

void CEditCommandDlg::DoDataExchange(win::DataExchange& dx)
{
    dx.text(IDC_ENTRY_NAME, m_name);
    dx.text(IDC_PARAMS, m_params);
    dx.text(IDC_COMMAND, m_command);
    dx.check(IDC_CONFIRM, m_confirm);
    dx.check(IDC_BOLD, m_bold);
    dx.text(IDC_ENTRY_TEMPLATE_HOST, m_templateHost);
    dx.text(IDC_ENTRY_DRIVES, m_drives);
    dx.check(IDC_USE_ALTERNATE_BROWSER, m_useAlternateBrowser);
    dx.text(IDC_URL, m_url);
    dx.text(IDC_URL_NAME, m_urlName);
}

BOOL CEditCommandDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    m_smallIcon = win::LoadSmallIconResource(IDR_MAINFRAME);
    SetIcon(m_smallIcon.get(), false);
    EnableAutoComplete(GetDlgItem(IDC_COMMAND), 1 /* SHACF_FILESYSTEM */);
    m_iconPicker.SubclassDlgItem(IDC_ENTRY_ICON, m_hwnd);
    FillIconPicker(m_iconPicker, m_imageList);
    const int radio = qb::radioForKind(m_kind);
    for (int id : {IDC_KIND_CUSTOM, IDC_KIND_TEMPLATE, IDC_KIND_SEPARATOR, IDC_KIND_URL})
        CheckDlgButton(id, id == radio);
    OnKindChanged();
    SelectPickerIcon(m_iconPicker, m_icon);
    return TRUE;
}

bool CEditCommandDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_KIND_CUSTOM:
    case IDC_KIND_TEMPLATE:
    case IDC_KIND_SEPARATOR:
    case IDC_KIND_URL:
        if (code == BN_CLICKED) {
            // The clicked button is the kind: keep exactly one of the group
            // checked, whoever sent the click.
            for (int other : {IDC_KIND_CUSTOM, IDC_KIND_TEMPLATE, IDC_KIND_SEPARATOR, IDC_KIND_URL})
                CheckDlgButton(other, other == id);
            OnKindChanged();
            return true;
        }
        return false;
    default:
        return win::Dialog::OnCommand(id, code, control);
    }
}

void CEditCommandDlg::OnKindChanged()
{
    const qb::EntryKind kind = qb::kindForFields(readRadios(*this));
    for (const qb::KindField& field : qb::kKindFields)
        ::EnableWindow(GetDlgItem(field.controlId), qb::fieldEnabled(field.controlId, kind) ? TRUE : FALSE);
}

void CEditCommandDlg::OnOK()
{
    m_icon = PickedIcon(m_iconPicker);
    m_kind = qb::kindOnOk(readRadios(*this), m_kind);
    win::Dialog::OnOK();
}
