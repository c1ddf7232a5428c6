// Shared by the palette tests: the palette's advisory lock held as another Huebrook writer would.
#pragma once

#include <QFile>
#include <condition_variable>
#include <mutex>
#include <sys/file.h>
#include <thread>

// Holds the palette's advisory lock, as another Huebrook writer would, for as long as it lives
// or until released; released at the latest after a while, so that a change run on the
// caller's thread fails the test instead of hanging it.
class HeldLock
{
public:
    explicit HeldLock(const QString &path) : m_file(path)
    {
        if (m_file.open(QIODevice::ReadWrite))
            m_held = ::flock(m_file.handle(), LOCK_EX) == 0;
        m_guard = std::thread([this] {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::seconds(3), [this] { return m_released; });
            ::flock(m_file.handle(), LOCK_UN);
        });
    }
    ~HeldLock() { release(); }
    bool held() const { return m_held; }
    void release()
    {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_wake.notify_all();
        if (m_guard.joinable())
            m_guard.join();
    }

private:
    QFile m_file;
    bool m_held = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_released = false;
    std::thread m_guard;
};
