#include "editors/win32/EditItemDlg.h"

#include "screen/DisplayScale.h"
#include "controls/IconStrip.h"
#include "editors/EntryListOps.h"
#include "editors/EntryRows.h"
#include "editors/RefusedTexts.h"
#include "editors/TemplateEntries.h"
#include "editors/win32/EditCommandDlg.h"
#include "res/resource.h"
#include "win/CommonDialogs.h"
#include "win/Dpi.h"

const char* const kMakerAddress = "https://quillbank.example/";

CEditItemDlg::CEditItemDlg(qb::LinkSystem& links, HWND parent)
    : win::Dialog(IDD_EDIT_ITEM, parent, IDR_MAINFRAME), m_link(links)
{}

void CEditItemDlg::DoDataExchange(win::DataExchange&)
{
    // Values move through the controls directly.
}

BOOL CEditItemDlg::OnInitDialog()
{
    win::Dialog::OnInitDialog();
    m_iconPicker.SubclassDlgItem(IDC_HOST_ICON, m_hwnd);
    m_titleEdit.SubclassDlgItem(IDC_HOST_TITLE, m_hwnd);
    m_hostEdit.SubclassDlgItem(IDC_HOST_NAME, m_hwnd);

    m_entryList.SubclassDlgItem(IDC_ENTRY_LIST, m_hwnd);
    // The widths are pixels at 96 DPI; the headings' font grows with the dialog.
    const int dpi = int(win::dpiForWindow(m_hwnd));
    int column = 0;
    for (const qb::EntryColumn& heading : qb::kEntryColumns)
        m_entryList.InsertColumn(column++, heading.heading, qb::scaledForDpi(heading.width, dpi));
    m_entryList.SetImageList(m_imageList, LVSIL_SMALL);
    m_entryList.SetHighlightMode(HighlightMode::OwnerDrawnToEdge);
    m_entryList.m_rowColour = ::GetSysColor(COLOR_WINDOW);
    // Headings are neither clicked nor dragged: the order is the menu's.
    ::EnableWindow(m_entryList.GetHeader(), FALSE);

    FillEntryList();

    fillIconPicker(m_iconPicker, m_imageList);
    selectPickerIcon(m_iconPicker, m_host ? m_host->icon : 0);
    if (m_host) {
        m_titleEdit.SetText(m_host->title);
        m_hostEdit.SetText(m_host->hostName);
    }

    m_link.SubclassDlgItem(IDC_LINK, m_hwnd);
    m_link.SetTarget(kMakerAddress);
    m_link.SetUnderlined(true);
    return TRUE;
}

void CEditItemDlg::OnOK()
{
    qb::HostItem typed;
    typed.title = m_titleEdit.GetText();
    typed.hostName = m_hostEdit.GetText();
    if (const auto refused = qb::refuseHostText(typed)) {
        RefuseControlText(refused->field == &qb::HostItem::title ? IDC_HOST_TITLE : IDC_HOST_NAME, refused->message);
        return;
    }
    if (m_host) {
        m_host->icon = pickedIcon(m_iconPicker);
        m_host->title = std::move(typed.title);
        m_host->hostName = std::move(typed.hostName);
    }
    EndDialog(IDOK);
}

bool CEditItemDlg::PreTranslateMessage(MSG& message)
{
    // Enter on the entries list opens the selected entry, as a double-click
    // does; the dialog manager would take it for OK and end the editor.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == m_entryList) {
        OnEntryEdit();
        return true;
    }
    return win::Dialog::PreTranslateMessage(message);
}

bool CEditItemDlg::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED || !m_host)
        return win::Dialog::OnCommand(id, code, control);
    switch (id) {
    case IDC_ENTRY_UP: OnEntryUp(); return true;
    case IDC_ENTRY_DOWN: OnEntryDown(); return true;
    case IDC_ENTRY_DELETE: OnEntryDelete(); return true;
    case IDC_ENTRY_ADD: OnEntryAdd(); return true;
    case IDC_TEMPLATE_ADD: OnAddTemplateEntries(); return true;
    case IDC_BACKGROUND_COLOUR: OnBackgroundColour(); return true;
    default: return win::Dialog::OnCommand(id, code, control);
    }
}

bool CEditItemDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    if (header.idFrom == IDC_ENTRY_LIST && header.code == NM_DBLCLK) {
        OnEntryDoubleClick();
        result = 0;
        return true;
    }
    return win::Dialog::OnNotify(header, result);
}

bool CEditItemDlg::OnPaint()
{
    win::PaintDC dc(m_hwnd);
    HWND swatch = GetDlgItem(IDC_COLOUR_SWATCH);
    if (!swatch)
        return true;
    const RECT rect = win::Window(swatch).GetRectInParent();
    const bool noColour = !m_host || m_host->colour == qb::kNoColour;
    win::Brush brush(
        ::CreateSolidBrush(noColour ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(m_host->colour)));
    ::FillRect(dc, &rect, brush);
    return true;
}

std::optional<qb::CommandEntry> CEditItemDlg::EntryAt(int index) const
{
    return m_host ? qb::entryAt(m_host->entries, index) : std::nullopt;
}

int CEditItemDlg::SelectedRow() const
{
    return m_entryList.GetFirstSelected();
}

void CEditItemDlg::SelectRow(int row, bool scroll)
{
    if (row < 0)
        return;
    m_entryList.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (scroll)
        m_entryList.EnsureVisible(row);
}

void CEditItemDlg::FillEntryList()
{
    m_entryList.DeleteAllItems();
    if (!m_host)
        return;
    int index = 0;
    for (const qb::EntryRow& row : qb::entryRows(m_host->entries)) {
        const int item =
            m_entryList.InsertItem(index, row.cells[0], row.hasImage ? row.image : win::ListView::kNoImage);
        for (int column = 1; column < qb::kEntryColumnCount; ++column)
            m_entryList.SetItemText(item, column, row.cells[static_cast<size_t>(column)]);
        ++index;
    }
}

void CEditItemDlg::OnEntryDoubleClick()
{
    OnEntryEdit();
}

void CEditItemDlg::OnEntryEdit()
{
    const int row = SelectedRow();
    std::optional<qb::CommandEntry> entry = EntryAt(row);
    if (!entry)
        return;
    CEditCommandDlg editor;
    editor.m_imageList = m_imageList;
    editor.m_entry = std::move(*entry);
    if (editor.DoModal() != IDOK)
        return;
    m_host->entries.set(static_cast<size_t>(row), editor.m_entry);
    FillEntryList();
    SelectRow(row, false);
}

void CEditItemDlg::OnEntryAdd()
{
    CEditCommandDlg editor;
    editor.m_imageList = m_imageList;
    qb::resetEntry(editor.m_entry);
    if (editor.DoModal() != IDOK)
        return;
    m_host->entries.push_back(editor.m_entry);
    FillEntryList();
    SelectLastRow();
}

void CEditItemDlg::OnEntryDelete()
{
    const int row = SelectedRow();
    const qb::EntryListChange change = qb::deleteEntry(m_host->entries, row);
    if (!change.changed)
        return;
    m_entryList.DeleteItem(row);
    SelectRow(change.select, false);
}

void CEditItemDlg::OnEntryUp()
{
    const qb::EntryListChange change = qb::moveEntryUp(m_host->entries, SelectedRow());
    if (!change.changed)
        return;
    FillEntryList();
    SelectRow(change.select, true);
}

void CEditItemDlg::OnEntryDown()
{
    const qb::EntryListChange change = qb::moveEntryDown(m_host->entries, SelectedRow());
    if (!change.changed)
        return;
    FillEntryList();
    SelectRow(change.select, true);
}

void CEditItemDlg::OnAddTemplateEntries()
{
    const std::string host = GetDlgItemText(IDC_TEMPLATE_HOSTNAME);
    const std::string drives = GetDlgItemText(IDC_TEMPLATE_DRIVES);
    if (const auto refused = qb::refuseTemplateTexts(host, drives)) {
        RefuseControlText(refused->hostField ? IDC_TEMPLATE_HOSTNAME : IDC_TEMPLATE_DRIVES, refused->message);
        return;
    }
    qb::appendTemplateEntries(m_host->entries, host, drives, m_rdpWidth, m_rdpHeight);
    FillEntryList();
    SelectLastRow();
}

void CEditItemDlg::SelectLastRow()
{
    // New entries go at the end; a long list would otherwise show its top
    // with nothing selected, hiding what was just added.
    SelectRow(static_cast<int>(m_host->entries.size()) - 1, true);
}

void CEditItemDlg::OnBackgroundColour()
{
    const COLORREF initial = m_host->colour == qb::kNoColour ? RGB(0, 0, 0) : static_cast<COLORREF>(m_host->colour);
    if (std::optional<COLORREF> chosen = win::chooseColour(m_hwnd, initial)) {
        m_host->colour = static_cast<int32_t>(*chosen);
        ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}
