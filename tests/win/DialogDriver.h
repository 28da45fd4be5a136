// Drives this thread's modal dialogs: each, once active, runs the script queued for its caption (or
// the next caption-less one) inside its own modal loop; unscripted or lingering dialogs fail the test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "win/Dialog.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qbtest {

class DialogDriver
{
public:
    using Script = std::function<void(HWND dialog)>;

    DialogDriver()
    {
        current() = this;
        m_hook = SetWindowsHookExA(WH_CBT, &DialogDriver::cbt, nullptr, GetCurrentThreadId());
        m_safety = SetTimer(nullptr, 0, 20000, &DialogDriver::safety);
    }
    explicit DialogDriver(Script script) : DialogDriver() { on(std::string(), std::move(script)); }
    ~DialogDriver()
    {
        KillTimer(nullptr, m_safety);
        UnhookWindowsHookEx(m_hook);
        current() = nullptr;
        for (const auto& [caption, scripts] : m_scripts)
            EXPECT_TRUE(scripts.empty()) << "no dialog \"" << caption << "\" appeared";
        for (const std::string& caption : m_unexpected)
            ADD_FAILURE() << "unexpected dialog \"" << caption << "\"";
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    void on(const std::string& caption, Script script) { m_scripts[caption].push_back(std::move(script)); }
    // Runs as each driven dialog is destroyed, while its controls still exist.
    void onDestroy(Script script) { m_onDestroy = std::move(script); }

private:
    static DialogDriver*& current()
    {
        static thread_local DialogDriver* driver = nullptr;
        return driver;
    }

    static bool isDialog(HWND hwnd)
    {
        char name[16] = "";
        GetClassNameA(hwnd, name, sizeof name);
        return std::string(name) == "#32770";
    }

    static LRESULT CALLBACK cbt(int code, WPARAM wp, LPARAM lp)
    {
        DialogDriver* self = current();
        const HWND hwnd = reinterpret_cast<HWND>(wp);
        if (self && code == HCBT_ACTIVATE && isDialog(hwnd) && self->m_started.insert(hwnd).second) {
            self->m_pending.push_back(hwnd);
            SetTimer(nullptr, 0, 30, &DialogDriver::runNext);
        }
        if (self && code == HCBT_DESTROYWND && self->m_started.erase(hwnd) && self->m_onDestroy)
            self->m_onDestroy(hwnd);
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    static void CALLBACK runNext(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        DialogDriver* self = current();
        if (!self || self->m_pending.empty())
            return;
        const HWND dialog = self->m_pending.front();
        self->m_pending.pop_front();
        if (!IsWindow(dialog))
            return;
        const std::string text = win::windowTextOf(dialog);
        auto* queue = self->m_scripts[text].empty() ? &self->m_scripts[std::string()] : &self->m_scripts[text];
        if (queue->empty()) {
            self->m_unexpected.push_back(text);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        Script script = std::move(queue->front());
        queue->pop_front();
        script(dialog);
    }

    static BOOL CALLBACK cancelOne(HWND hwnd, LPARAM)
    {
        if (isDialog(hwnd) && IsWindowVisible(hwnd))
            PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    static void CALLBACK safety(HWND, UINT, UINT_PTR, DWORD)
    {
        ADD_FAILURE() << "a dialog was still open after 20 s";
        EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::cancelOne, 0);
    }

    HHOOK m_hook = nullptr;
    UINT_PTR m_safety = 0;
    Script m_onDestroy;
    std::set<HWND> m_started;
    std::deque<HWND> m_pending;
    std::map<std::string, std::deque<Script>> m_scripts;
    std::vector<std::string> m_unexpected;
};

// Runs `body` inside the dialog's modal loop, then ends it with OK; DoModal's result.
inline INT_PTR runModal(win::Dialog& dialog, const std::function<void()>& body)
{
    DialogDriver driver([&](HWND) {
        body();
        dialog.EndDialog(IDOK);
    });
    return dialog.DoModal();
}

inline void click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Posted, for buttons that end the dialog: the script returns to the modal loop first.
inline void postClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string itemText(HWND dialog, int id)
{
    return win::windowTextOf(GetDlgItem(dialog, id));
}

}  // namespace qbtest
