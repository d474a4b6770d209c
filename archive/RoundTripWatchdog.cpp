#include "archive/RoundTripWatchdog.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

RoundTripWatchdog::RoundTripWatchdog(std::chrono::milliseconds limit, int socket)
    : m_limit(limit)
    , m_socket(socket)
    , m_thread([this] { watch(); })
{
}

RoundTripWatchdog::~RoundTripWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_one();
    m_thread.join();
}

RoundTripWatchdog::Trip::Trip(RoundTripWatchdog *watchdog)
    : m_watchdog(watchdog)
{
    if (m_watchdog)
        m_watchdog->arm();
}

RoundTripWatchdog::Trip::~Trip()
{
    if (m_watchdog)
        m_watchdog->disarm();
}

bool RoundTripWatchdog::expired() const
{
    const std::lock_guard lock(m_mutex);
    return m_expired;
}

void RoundTripWatchdog::arm()
{
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = std::chrono::steady_clock::now() + m_limit;
    }
    m_changed.notify_one();
}

void RoundTripWatchdog::disarm()
{
    const std::lock_guard lock(m_mutex);
    m_deadline.reset();
}

void RoundTripWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, *m_deadline) == std::cv_status::no_timeout)
            continue;
        if (!m_deadline || std::chrono::steady_clock::now() < *m_deadline)
            continue;
            // Under the lock: the connection, and so its socket, lives until the trip is over.
#ifdef Q_OS_WIN
        ::shutdown(static_cast<SOCKET>(m_socket), SD_BOTH);
#else
        ::shutdown(m_socket, SHUT_RDWR);
#endif
        m_expired = true;
        m_deadline.reset();
    }
}
