#include "platform/win32/FolderWatch.h"

#include <utility>

namespace qb {

FolderWatch::FolderWatch(const std::string& folder, std::function<void()> changed)
    : m_changed(std::move(changed)), m_stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_notification(::FindFirstChangeNotificationA(folder.c_str(), FALSE,
                                                    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                                        FILE_NOTIFY_CHANGE_SIZE))
{
    if (m_stop && m_notification)
        m_thread = std::thread([this] { run(); });
}

FolderWatch::~FolderWatch()
{
    if (m_thread.joinable()) {
        ::SetEvent(m_stop);
        m_thread.join();
    }
}

void FolderWatch::run()
{
    const HANDLE waits[] = {m_stop.get(), m_notification.get()};
    while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        m_changed();
        if (!::FindNextChangeNotification(m_notification))
            return;
    }
}

}  // namespace qb
