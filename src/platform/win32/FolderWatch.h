// Tells that something in a folder changed (a file written, created, renamed
// or removed), from a thread of its own that sleeps in the system's change
// notification: nothing wakes while nothing changes.
#pragma once

#include "handles/Handles.h"

#include <functional>
#include <string>
#include <thread>

namespace qb {

class FolderWatch
{
public:
    // changed runs on the watching thread, once per notification; it should
    // only post a message. Without a notification for the folder (a path
    // that is gone) nothing is watched.
    FolderWatch(const std::string& folder, std::function<void()> changed);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

private:
    void run();

    std::function<void()> m_changed;
    win::KernelObject m_stop;
    win::ChangeNotification m_notification;
    std::thread m_thread;
};

}  // namespace qb
