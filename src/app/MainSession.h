// The main window's logic with no window in it: the catalogue and the
// options it owns, when the file is read, merged and saved, the list's
// operations, and what waits while a menu, an editor, a prompt or a message
// box runs its own loop. The window turns messages into calls on it and
// shows what it says through MainView.
#pragma once

#include "app/CatalogueSession.h"
#include "app/HostListOps.h"
#include "app/HostRows.h"
#include "app/Services.h"
#include "app/VirtualStore.h"
#include "launch/HostMenu.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qb {

// What the session needs of the window that shows it: where it stands (for
// the file), its rows, its editors, and a close or refresh carried out
// later.
class MainView : public CatalogueWindow
{
public:
    // The rows changed: show them and fit the window to them. The keyboard
    // focus goes to focusRow, or stays at the same row index when -1.
    virtual void showRows(int focusRow) = 0;
    // Carries out a close request, or a refresh, once the caller has
    // returned to the message loop.
    virtual void postClose() = 0;
    virtual void postRefresh() = 0;
    // The row a press of a list button selected (-1: none), and that
    // selection put back on a row once a rebuild has dropped it.
    virtual int pressedRow() const = 0;
    virtual void selectRow(int row) = 0;
    // The host editor on a working host it may change; true for OK.
    virtual bool runHostEditor(HostItem& working, int32_t rdpWidth, int32_t rdpHeight) = 0;
    // The Options dialog on the form it may change; true for OK.
    virtual bool runOptionsDialog(OptionsForm& form) = 0;
    // The hotkey (the hotkey control's value; 0: none) registered for the
    // window in place of the one it had; false, the previous one kept, when
    // another program holds it.
    virtual bool registerHotkey(uint32_t value) = 0;
    // The name the system gives the hotkey's key.
    virtual std::string keyName(uint32_t value) = 0;
};

class MainSession final : private HostListUi
{
public:
    MainSession(Services& services, MainView& view, std::string path = kCatalogueFileName);

    Services& services() { return m_services; }
    const HostCatalogue& hosts() const { return m_hosts; }
    const HostRows& rows() const { return m_rows; }

    // Start: the file read (its failures told), the redirected copy offered
    // when one was found, the rows shown, the user's hotkey taken (a taken
    // one told once; the program runs without it).
    void start(const std::optional<VirtualStoreCopy>& copy);

    // The find field opened: its texts folded now, so that the keystrokes
    // only search; the rows stay as they are.
    void startFind(const CaseTable& fold);
    // The find field's text: the rows shown through it (HostRows::filter),
    // the first found focused. Rebuilds keep it until endFind.
    void find(std::string_view text, const CaseTable& fold);
    // The find field closed: every row again, the focus on `focused` (the
    // host focused among those found) or, with none, at the same row.
    void endFind(const HostItem* focused);

    // Registers the hotkey control's `value` for the window; the words that
    // say why not when another program holds it.
    std::optional<std::string> takeHotkey(uint32_t value);

    // Held while a nested loop runs from the window (a menu, an editor, a
    // prompt, a message box). A close request or a refresh that comes
    // meanwhile is posted once the outermost has returned, so that nothing
    // an open dialog or menu refers to is freed under it.
    class NestedLoop
    {
    public:
        explicit NestedLoop(MainSession& session);
        ~NestedLoop();
        NestedLoop(const NestedLoop&) = delete;
        NestedLoop& operator=(const NestedLoop&) = delete;

    private:
        MainSession& m_session;
    };

    bool inNestedLoop() const { return m_nestedLoops > 0; }

    // Merges another program's save into the catalogue (the rows shown
    // again); waits while a nested loop runs. True when the catalogue
    // changed: every host is a new one then.
    bool refresh();
    // The window became active: not at the first time, the start, which
    // has just read the file.
    void activated();
    // The folder watch began, after the first paint. A save made since the
    // start read the file told no one: the file is read again when its stamp
    // differs from the one taken before that read (a large file is not read
    // twice for nothing; a save missed here still merges at the next look).
    void watchStarted(const FileStamp& beforeStart, const FileStamp& now);

    // The host whose menu a click on `row` opens: the file is looked at
    // first (a share may not tell of a colleague's save) and the host found
    // again in what was merged; null when it is gone or the row is empty.
    HostItem* hostToOpen(int row);
    // The host's menu as data; the command slots it fills are the session's.
    HostMenu hostMenu(const HostItem& host, CommandImages& images);
    // Runs what picking `id` of the host's last menu chose; `askAgain` (Ctrl
    // held) asks for a remembered password again. A failure of the password
    // store is told once the launch is over.
    void launch(int id, const HostItem& host, bool askAgain = false);

    // The host's context menu: the list operations, and forgetting its host
    // name's remembered passwords when it has any.
    std::vector<ContextMenuItem> contextMenu(const HostItem& host);
    // A context-menu command: "Add new item" needs no host, the others do
    // nothing without one.
    void runListCommand(int id, HostItem* host);
    // Delete by a key, which is easier to press by mistake than a menu
    // item: asked first, No the default.
    void askAndDelete(HostItem& host);
    // Hosts that `append` adds (an import), shown and saved when it added
    // any; it returns how many.
    void addHosts(const std::function<size_t(HostCatalogue& hosts)>& append);

    // Saves, merged with what another program saved since; what it had to
    // say is told once the rows show what it said it about.
    bool save();
    // A close request. True when the window may end now: saved, or the
    // changes given up by the user's answer; then release() frees the
    // catalogue. A request during a nested loop waits for it.
    bool close();
    // The log-off or shut-down goes ahead: saved at once, nothing freed.
    void endSession();
    // The catalogue and the rows freed, once the window shows no rows.
    void release();

private:
    // HostListUi: the list operations' dialogs are the window's, their
    // rebuild and save the session's.
    bool runHostEditor(HostItem& working, int32_t rdpWidth, int32_t rdpHeight) override;
    bool runOptionsDialog(OptionsForm& form) override;
    void fillHostList(const HostItem* focus) override;
    void saveCatalogue() override { save(); }

    void offerCopy(const VirtualStoreCopy& copy);
    // Asks, then deletes every password remembered for the host's host name.
    void forgetPasswords(const HostItem& host);
    // The catalogue's host that is the same as `host` (by its texts), or
    // null.
    HostItem* sameAs(const HostItem& host);
    // True while a nested loop runs, with `deferred` set for its end.
    bool waitsForLoop(bool& deferred);
    void tell(const std::vector<std::string>& messages);
    // The save (the one before a close with beforeClose), the rows shown
    // again when it merged, what it said told.
    SaveOutcome saveAndTell(bool beforeClose);
    void loopEnded();

    Services& m_services;
    MainView& m_view;
    CatalogueSession m_catalogue;
    HostCatalogue m_hosts;
    AppOptions m_options;
    HostRows m_rows;
    CommandSlots m_commandSlots{};
    int m_nestedLoops = 0;
    bool m_closeDeferred = false;
    bool m_refreshDeferred = false;
    bool m_closing = false;
    bool m_activatedBefore = false;
    // The user's hotkey as stored, registered or not.
    uint32_t m_hotkey = 0;
};

}  // namespace qb
