#include "app/MainSession.h"

#include "app/Hotkey.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue/FileStore.h"
#include "launch/RememberedPasswords.h"
#include "launch/RunCommand.h"

#include <algorithm>
#include <utility>

namespace qb {

namespace {

const char kUnableToForget[] = "Unable to forget the remembered passwords: ";

// Kept for telling once the rows show what was said about them.
SaveReport collectInto(std::vector<std::string>& messages)
{
    return [&messages](const std::string& message) { messages.push_back(message); };
}

}  // namespace

MainSession::MainSession(Services& services, MainView& view, std::string path)
    : m_services(services), m_view(view), m_catalogue(services.files, std::move(path))
{}

void MainSession::start(const std::optional<VirtualStoreCopy>& copy)
{
    {
        // The window is not shown yet; a message box runs its own loop.
        NestedLoop loop(*this);
        m_catalogue.load(m_hosts, m_options, m_view,
                         [this](const std::string& message) { m_services.messages.tell(message); });
        if (copy)
            offerCopy(*copy);
    }
    fillHostList(nullptr);
    m_hotkey = m_services.settings.readNumber(kHotkeySetting).value_or(0);
    if (const auto refused = m_hotkey ? takeHotkey(m_hotkey) : std::nullopt)
        tell({*refused});
}

std::optional<std::string> MainSession::takeHotkey(uint32_t value)
{
    if (m_view.registerHotkey(value))
        return std::nullopt;
    return hotkeyInUseMessage(hotkeyFromControl(value), m_view.keyName(value));
}

void MainSession::startFind(const CaseTable& fold)
{
    m_rows.filter("", fold);
}

void MainSession::find(std::string_view text, const CaseTable& fold)
{
    m_rows.filter(text, fold);
    m_view.showRows(m_rows.count() > 0 ? 0 : -1);
}

void MainSession::endFind(const HostItem* focused)
{
    m_rows.showAll();
    m_view.showRows(m_rows.rowOf(focused));
}

void MainSession::offerCopy(const VirtualStoreCopy& copy)
{
    const std::string declined = m_services.settings.readText(kDeclinedCopySetting).value_or("");
    if (!shouldOfferCopy(copy.path, copy.copy, copy.local, declined))
        return;
    const MessageBoxes::Answer answer = m_services.messages.ask(
        takeOverQuestion(copy.path, copy.folder, copy.local.exists), MessageBoxes::Question::YesFirst);
    if (answer == MessageBoxes::Answer::No)
        m_services.settings.writeText(kDeclinedCopySetting, copyMark(copy.path, copy.copy));
    if (answer != MessageBoxes::Answer::Yes)
        return;
    const FileReadResult taken = m_services.files.readAll(copy.path);
    if (!taken.whole()) {
        m_services.messages.tell("Unable to read " + copy.path + ": " + taken.error);
        return;
    }
    m_catalogue.takeOver(taken.bytes, m_hosts, m_options, m_view,
                         [this](const std::string& message) { m_services.messages.tell(message); });
}

MainSession::NestedLoop::NestedLoop(MainSession& session) : m_session(session)
{
    ++m_session.m_nestedLoops;
}

MainSession::NestedLoop::~NestedLoop()
{
    if (--m_session.m_nestedLoops == 0)
        m_session.loopEnded();
}

void MainSession::loopEnded()
{
    if (m_closeDeferred && !m_closing) {
        m_closeDeferred = false;
        // Posted: the caller finishes its operation (list, save) first.
        m_view.postClose();
    }
    if (m_refreshDeferred) {
        m_refreshDeferred = false;
        m_view.postRefresh();
    }
}

void MainSession::tell(const std::vector<std::string>& messages)
{
    NestedLoop loop(*this);
    for (const std::string& message : messages)
        m_services.messages.tell(message);
}

void MainSession::fillHostList(const HostItem* focus)
{
    m_rows.rebuild(m_hosts);
    m_view.showRows(m_rows.rowOf(focus));
}

bool MainSession::waitsForLoop(bool& deferred)
{
    if (m_nestedLoops == 0)
        return false;
    deferred = true;
    return true;
}

bool MainSession::refresh()
{
    if (m_closing || waitsForLoop(m_refreshDeferred))
        return false;
    NestedLoop loop(*this);
    // A list may select a row at the button's press and report the click at
    // its release: a rebuild in between keeps the pressed host selected, so
    // that the click still finds it.
    std::optional<HostItem> pressed;
    if (const HostItem* host = m_rows.host(m_view.pressedRow()))
        copyHost(*host, pressed.emplace());
    std::vector<std::string> messages;
    if (!m_catalogue.refresh(m_hosts, m_options, m_view, collectInto(messages)))
        return false;
    fillHostList(nullptr);
    if (pressed)
        m_view.selectRow(m_rows.rowOf(sameAs(*pressed)));
    tell(messages);
    return true;
}

void MainSession::watchStarted(const FileStamp& beforeStart, const FileStamp& now)
{
    if (now.exists != beforeStart.exists || now.writeTime != beforeStart.writeTime || now.size != beforeStart.size)
        refresh();
}

void MainSession::activated()
{
    if (m_activatedBefore)
        refresh();
    m_activatedBefore = true;
}

HostItem* MainSession::hostToOpen(int row)
{
    HostItem* host = m_rows.host(row);
    if (!host)
        return nullptr;
    HostItem clicked;
    copyHost(*host, clicked);
    return refresh() ? sameAs(clicked) : host;
}

HostItem* MainSession::sameAs(const HostItem& host)
{
    const auto same =
        std::find_if(m_hosts.begin(), m_hosts.end(), [&](const auto& item) { return sameHost(*item, host); });
    return same == m_hosts.end() ? nullptr : same->get();
}

HostMenu MainSession::hostMenu(const HostItem& host, CommandImages& images)
{
    return buildHostMenu(host, m_options, m_services.browsers, m_commandSlots, images);
}

void MainSession::launch(int id, const HostItem& host, bool askAgain)
{
    if (id <= 0 || static_cast<size_t>(id) >= m_commandSlots.size())
        return;
    NestedLoop loop(*this);
    PasswordMemory memory{m_services.secrets, m_services.programs, askAgain};
    const std::string problem = RunCommand(m_commandSlots[static_cast<size_t>(id)], host, m_services.prompts,
                                           m_services.shell, m_services.browsers, &memory);
    if (!problem.empty())
        m_services.messages.tell(problem);
}

std::vector<ContextMenuItem> MainSession::contextMenu(const HostItem& host)
{
    std::vector<std::string> targets;
    std::string error;
    // A store that cannot be read offers nothing to forget.
    rememberedTargetsOf(m_services.secrets, host.hostName, targets, error);
    return hostContextMenu(host.title, !targets.empty());
}

void MainSession::forgetPasswords(const HostItem& host)
{
    std::vector<std::string> targets;
    std::string error;
    if (!rememberedTargetsOf(m_services.secrets, host.hostName, targets, error)) {
        m_services.messages.tell(kUnableToForget + error);
        return;
    }
    if (targets.empty())
        return;
    const std::string question =
        "Forget " + std::to_string(targets.size()) + " remembered passwords for \"" + host.hostName + "\"?";
    if (m_services.messages.ask(question, MessageBoxes::Question::NoFirst) != MessageBoxes::Answer::Yes)
        return;
    std::string firstError;
    for (const std::string& target : targets) {
        if (!m_services.secrets.remove(target, error) && firstError.empty())
            firstError = error;
    }
    if (!firstError.empty())
        m_services.messages.tell(kUnableToForget + firstError);
}

bool MainSession::runHostEditor(HostItem& working, int32_t rdpWidth, int32_t rdpHeight)
{
    return m_view.runHostEditor(working, rdpWidth, rdpHeight);
}

bool MainSession::runOptionsDialog(OptionsForm& form)
{
    form.hotkey = m_hotkey;
    if (!m_view.runOptionsDialog(form))
        return false;
    // The dialog took the hotkey at OK: kept for the next start.
    if (form.hotkey != m_hotkey) {
        m_hotkey = form.hotkey;
        m_services.settings.writeNumber(kHotkeySetting, m_hotkey);
    }
    return true;
}

void MainSession::runListCommand(int id, HostItem* host)
{
    // The editors and the Options dialog refer to catalogue hosts until they
    // return.
    NestedLoop loop(*this);
    HostListOps ops(m_hosts, m_options, *this);
    if (id == CmdForgetPasswords && host)
        forgetPasswords(*host);
    else if (id == CmdAddItem)
        ops.addHost();
    else if (host)
        ops.runCommand(id, *host);
}

void MainSession::askAndDelete(HostItem& host)
{
    MessageBoxes::Answer answer;
    {
        NestedLoop loop(*this);
        answer = m_services.messages.ask("Delete \"" + host.title + "\"?", MessageBoxes::Question::NoFirst);
    }
    if (answer == MessageBoxes::Answer::Yes)
        runListCommand(CmdDelete, &host);
}

void MainSession::addHosts(const std::function<size_t(HostCatalogue& hosts)>& append)
{
    if (append(m_hosts) == 0)
        return;
    fillHostList(nullptr);
    save();
}

SaveOutcome MainSession::saveAndTell(bool beforeClose)
{
    NestedLoop loop(*this);
    std::vector<std::string> messages;
    const SaveOutcome outcome = beforeClose
                                    ? m_catalogue.saveBeforeClose(m_hosts, m_options, m_view, collectInto(messages))
                                    : m_catalogue.save(m_hosts, m_options, m_view, collectInto(messages));
    if (outcome.changed)
        fillHostList(nullptr);
    tell(messages);
    return outcome;
}

bool MainSession::save()
{
    return saveAndTell(false).saved;
}

bool MainSession::close()
{
    // A second request while the first one's save shows a message: the
    // first one decides.
    if (m_closing || waitsForLoop(m_closeDeferred))
        return false;
    m_closing = true;
    NestedLoop loop(*this);
    const SaveOutcome outcome = saveAndTell(true);
    const std::string question = closeAnywayQuestion(outcome);
    // The changes would be lost: only the user may choose that.
    if (!question.empty() &&
        m_services.messages.ask(question, MessageBoxes::Question::Warning) != MessageBoxes::Answer::Yes) {
        m_closing = false;
        return false;
    }
    return true;
}

void MainSession::endSession()
{
    // The process ends when this returns, whatever dialog or menu is open:
    // no waiting for it, and nothing freed under it.
    if (!m_closing)
        save();
}

void MainSession::release()
{
    m_rows.clear();
    m_hosts.clear();
}

}  // namespace qb
