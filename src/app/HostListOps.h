// The host list's right-click operations as changes to the catalogue: add,
// delete, copy and edit hosts and edit the options. The dialogs, the list and
// the file come in through HostListUi, so every rule about working copies,
// rebuilds and saves is checked without a window.
#pragma once

#include "catalogue/HostRecords.h"
#include "editors/OptionsValues.h"

#include <string>
#include <vector>

namespace qb {

// Context-menu command ids.
constexpr int CmdAddItem = 1025;
constexpr int CmdDelete = 1026;
constexpr int CmdProperties = 1027;
constexpr int CmdCopy = 1028;
constexpr int CmdOptions = 4700;
// Shown only for a host name with remembered passwords; carried out by the
// session, which holds the password store.
constexpr int CmdForgetPasswords = 1029;

struct ContextMenuItem {
    int id = 0;  // 0: a separator
    std::string text;
};

// The menu for the host with this title, top to bottom. The title goes in
// unchanged (an ampersand in it acts as the menu's mnemonic marker).
// "Forget remembered passwords" ends it when the host name has any.
std::vector<ContextMenuItem> hostContextMenu(const std::string& title, bool forgetPasswords = false);

class HostListUi
{
public:
    virtual ~HostListUi() = default;
    // The host editor on a working host it may change; true for OK.
    virtual bool runHostEditor(HostItem& working, int32_t rdpWidth, int32_t rdpHeight) = 0;
    // The Options dialog on the form it may change; true for OK.
    virtual bool runOptionsDialog(OptionsForm& form) = 0;
    // Rebuild the list from the catalogue; the keyboard focus goes to
    // `focus` (the host just edited or added), or stays at its row when null.
    virtual void fillHostList(const HostItem* focus) = 0;
    // Write the catalogue file (failures are shown by the implementation).
    virtual void saveCatalogue() = 0;
};

class HostListOps
{
public:
    HostListOps(HostCatalogue& hosts, AppOptions& options, HostListUi& ui);

    // Runs the editor on a deep copy; on OK the copy replaces the host's
    // content (entries, title, host name, icon, colour). Cancel leaves the
    // host exactly as it was.
    bool editHost(HostItem& host);

    // A right click away from every row, and "Add new item".
    void addHost();
    // `host` is the host of the clicked row. Acts on any row of the list.
    void deleteHost(HostItem& host);
    void copyHost(const HostItem& host);
    void hostProperties(HostItem& host);
    // Changes the options in memory only; they reach the file at the next save.
    void editOptions();

    // Carries out a chosen context-menu id for the row's host; any other id
    // (0 for a dismissed menu included) does nothing.
    void runCommand(int id, HostItem& host);

private:
    HostCatalogue& m_hosts;
    AppOptions& m_options;
    HostListUi& m_ui;
};

}  // namespace qb
