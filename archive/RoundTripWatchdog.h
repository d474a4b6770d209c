#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Closes a server connection whose round trip takes longer than its limit. A server whose processes
// stopped, or a network that dropped, answers nothing, and the database client would wait for it without
// end; once the socket is shut down, the waiting call fails at once, and the server rolls back what it
// had begun.
class RoundTripWatchdog
{
public:
    RoundTripWatchdog(std::chrono::milliseconds limit, int socket);
    ~RoundTripWatchdog();
    RoundTripWatchdog(const RoundTripWatchdog &) = delete;
    RoundTripWatchdog &operator=(const RoundTripWatchdog &) = delete;

    // Watches one round trip from now until the trip goes; a watchdog of null watches nothing.
    class Trip
    {
    public:
        explicit Trip(RoundTripWatchdog *watchdog);
        ~Trip();
        Trip(const Trip &) = delete;
        Trip &operator=(const Trip &) = delete;

    private:
        RoundTripWatchdog *m_watchdog;
    };

    [[nodiscard]] std::chrono::milliseconds limit() const { return m_limit; }
    // Whether it closed the connection.
    [[nodiscard]] bool expired() const;

private:
    void arm();
    void disarm();
    void watch();

    const std::chrono::milliseconds m_limit;
    const int m_socket;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    bool m_expired = false;
    bool m_stopping = false;
    std::thread m_thread;
};
