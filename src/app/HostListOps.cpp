#include "app/HostListOps.h"

#include <algorithm>

namespace qb {

std::vector<ContextMenuItem> hostContextMenu(const std::string& title, bool forgetPasswords)
{
    const std::string quoted = "\"" + title + "\"";
    std::vector<ContextMenuItem> menu = {
        {CmdAddItem, "Add new item"},
        {CmdDelete, "Delete " + quoted},
        {CmdCopy, "Copy " + quoted},
        {0, ""},
        {CmdOptions, "Options..."},
        {0, ""},
        {CmdProperties, "Properties for " + quoted},
    };
    if (forgetPasswords)
        menu.push_back({CmdForgetPasswords, "Forget remembered passwords"});
    return menu;
}

HostListOps::HostListOps(HostCatalogue& hosts, AppOptions& options, HostListUi& ui)
    : m_hosts(hosts), m_options(options), m_ui(ui)
{}

bool HostListOps::editHost(HostItem& host)
{
    // The editor never sees a catalogue host, so a cancelled edit cannot
    // leave half-made changes behind.
    auto working = newHost();
    qb::copyHost(host, *working);
    const bool ok = m_ui.runHostEditor(*working, m_options.rdpWidth, m_options.rdpHeight);
    if (ok)
        qb::copyHost(*working, host);
    return ok;
}

void HostListOps::addHost()
{
    auto host = newHost();
    if (!editHost(*host))
        return;
    const HostItem* added = host.get();
    m_hosts.push_back(std::move(host));
    m_ui.fillHostList(added);
    m_ui.saveCatalogue();
}

void HostListOps::deleteHost(HostItem& host)
{
    auto found = std::find_if(m_hosts.begin(), m_hosts.end(),
                              [&](const std::unique_ptr<HostItem>& item) { return item.get() == &host; });
    // A host outside the catalogue is not ours to free; the list only holds
    // catalogue hosts, so this is a stale row at worst.
    if (found == m_hosts.end())
        return;
    m_hosts.erase(found);
    m_ui.fillHostList(nullptr);
    m_ui.saveCatalogue();
}

void HostListOps::copyHost(const HostItem& host)
{
    auto copy = duplicateHost(host);
    const HostItem* added = nullptr;
    if (editHost(*copy)) {
        added = copy.get();
        m_hosts.push_back(std::move(copy));
    }
    // Rebuilt and saved after a cancel as well: the file is rewritten unchanged.
    m_ui.fillHostList(added);
    m_ui.saveCatalogue();
}

void HostListOps::hostProperties(HostItem& host)
{
    if (!editHost(host))
        return;
    m_ui.fillHostList(&host);
    m_ui.saveCatalogue();
}

void HostListOps::editOptions()
{
    OptionsForm form = optionsToForm(m_options);
    if (m_ui.runOptionsDialog(form))
        applyOptionsForm(form, m_options);
}

void HostListOps::runCommand(int id, HostItem& host)
{
    switch (id) {
    case CmdAddItem: addHost(); break;
    case CmdDelete: deleteHost(host); break;
    case CmdCopy: copyHost(host); break;
    case CmdOptions: editOptions(); break;
    case CmdProperties: hostProperties(host); break;
    default: break;
    }
}

}  // namespace qb
