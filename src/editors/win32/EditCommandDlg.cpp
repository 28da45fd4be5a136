#include "editors/win32/EditCommandDlg.h"

#include "controls/IconStrip.h"
#include "editors/EntryKindFields.h"
#include "editors/RefusedTexts.h"
#include "res/resource.h"
#include "win/Handles.h"

#include <shlwapi.h>

#include <string>
#include <utility>

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

// The control of each kind-dependent field.
int controlOf(qb::EntryField field)
{
    switch (field) {
    case qb::EntryField::Name: return IDC_ENTRY_NAME;
    case qb::EntryField::Command: return IDC_COMMAND;
    case qb::EntryField::Params: return IDC_PARAMS;
    case qb::EntryField::Bold: return IDC_BOLD;
    case qb::EntryField::Confirm: return IDC_CONFIRM;
    case qb::EntryField::Icon: return IDC_ENTRY_ICON;
    case qb::EntryField::TemplateHost: return IDC_ENTRY_TEMPLATE_HOST;
    case qb::EntryField::Drives: return IDC_ENTRY_DRIVES;
    case qb::EntryField::Url: return IDC_URL;
    case qb::EntryField::UrlName: return IDC_URL_NAME;
    case qb::EntryField::AlternateBrowser: return IDC_USE_ALTERNATE_BROWSER;
    }
    return 0;
}

constexpr int kKindRadios[] = {IDC_KIND_CUSTOM, IDC_KIND_TEMPLATE, IDC_KIND_SEPARATOR, IDC_KIND_URL};

// The edit control of each text of the entry.
const std::pair<int, std::string qb::CommandEntry::*> kTextControls[] = {
    {IDC_ENTRY_NAME, &qb::CommandEntry::name},     {IDC_PARAMS, &qb::CommandEntry::params},
    {IDC_COMMAND, &qb::CommandEntry::program},     {IDC_ENTRY_TEMPLATE_HOST, &qb::CommandEntry::templateHost},
    {IDC_ENTRY_DRIVES, &qb::CommandEntry::drives}, {IDC_URL, &qb::CommandEntry::url},
    {IDC_URL_NAME, &qb::CommandEntry::urlName},
};

int controlOf(std::string qb::CommandEntry::*text)
{
    for (const auto& [id, member] : kTextControls) {
        if (member == text)
            return id;
    }
    return 0;
}

}  // namespace

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

CEditCommandDlg::CEditCommandDlg(HWND parent) : win::Dialog(IDD_EDIT_COMMAND, parent, IDR_MAINFRAME)
{}

void CEditCommandDlg::DoDataExchange(win::DataExchange& dx)
{
    for (const auto& [id, member] : kTextControls)
        dx.Text(id, m_entry.*member);
    dx.Check(IDC_CONFIRM, m_entry.confirm);
    dx.Check(IDC_BOLD, m_entry.bold);
    dx.Check(IDC_USE_ALTERNATE_BROWSER, m_entry.alternateBrowser);
}

BOOL CEditCommandDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    EnableAutoComplete(GetDlgItem(IDC_COMMAND), SHACF_FILESYSTEM);
    m_iconPicker.SubclassDlgItem(IDC_ENTRY_ICON, m_hwnd);
    fillIconPicker(m_iconPicker, m_imageList);
    const int radio = kKindRadios[qb::radioKind(m_entry.kind)];
    for (int id : kKindRadios)
        CheckDlgButton(id, id == radio);
    OnKindChanged();
    selectPickerIcon(m_iconPicker, m_entry.icon);
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
            for (int other : kKindRadios)
                CheckDlgButton(other, other == id);
            OnKindChanged();
            return true;
        }
        return false;
    default: return win::Dialog::OnCommand(id, code, control);
    }
}

void CEditCommandDlg::OnKindChanged()
{
    const qb::EntryKind kind = qb::kindForFields(readRadios(*this));
    for (const qb::KindField& row : qb::kKindFields)
        ::EnableWindow(GetDlgItem(controlOf(row.field)), qb::fieldEnabled(row.field, kind) ? TRUE : FALSE);
}

void CEditCommandDlg::OnOK()
{
    m_entry.icon = pickedIcon(m_iconPicker);
    m_entry.kind = qb::kindOnOk(readRadios(*this), m_entry.kind);
    UpdateData(true);
    // Only the chosen kind's texts reach the file; the others may hold anything.
    if (const auto refused = qb::refuseEntryText(m_entry)) {
        RefuseControlText(controlOf(refused->field), refused->message);
        return;
    }
    EndDialog(IDOK);
}
