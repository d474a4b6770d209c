#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include <QByteArray>
#include <QDeadlineTimer>

#include "device/HidBackend.h"

// The program's own queue of input reports between a transfer handle's I/O thread (which pushes) and the
// reader (which takes). When it is full the newest report is dropped and the report before the gap is
// marked, so the loss reaches the decoded text instead of vanishing.
class InputReportQueue
{
public:
    static constexpr int DefaultCapacity = 4096;

    explicit InputReportQueue(int capacity = DefaultCapacity);

    void setCapacity(int capacity);
    [[nodiscard]] int capacity() const;

    // Returns false when the report was dropped because the queue was full.
    bool push(const QByteArray &data);
    // The device is gone: reports already queued can still be taken, then every take fails.
    void fail();
    // Wakes a waiting take, which then reports a timeout.
    void interrupt();
    [[nodiscard]] HidReadResult take(QDeadlineTimer deadline);

private:
    struct Entry
    {
        QByteArray data;
        bool lossAfter = false;
        std::chrono::steady_clock::time_point arrival;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Entry> m_entries;
    int m_capacity;
    bool m_failed = false;
    bool m_interrupted = false;
};
