#include "editors/TemplateEntries.h"

namespace qb {

namespace {

void appendCommand(EntryList& entries, std::string name, std::string program, std::string params, int32_t icon,
                   bool confirm, bool bold)
{
    CommandEntry entry;
    entry.kind = CustomCommand;
    entry.name = std::move(name);
    entry.program = std::move(program);
    entry.params = std::move(params);
    entry.icon = icon;
    entry.confirm = confirm;
    entry.bold = bold;
    entries.push_back(entry);
}

}  // namespace

void appendTemplateEntries(EntryList& entries, const std::string& host, const std::string& drives, int32_t rdpWidth,
                           int32_t rdpHeight)
{
    if (!entries.empty()) {
        CommandEntry separator;
        separator.kind = Separator;
        entries.push_back(separator);
    }
    appendCommand(entries, host, "mstsc", remoteDesktopParams(host, rdpWidth, rdpHeight), kIconRemoteDesktop, false,
                  true);
    for (char drive : drives)
        appendCommand(entries, std::string(1, drive) + ":", "\\\\" + host + "\\" + drive + "$", "", kIconDriveShare,
                      false, false);
    appendCommand(entries, "Manage", "compmgmt.msc", "/computer:" + host, kIconManage, false, false);
    appendCommand(entries, "Reboot", "shutdown.exe", "-r -m \\\\" + host, kIconReboot, true, false);
    appendCommand(entries, "Shutdown", "shutdown.exe", "-s -m \\\\" + host, kIconShutdown, true, false);
}

}  // namespace qb
