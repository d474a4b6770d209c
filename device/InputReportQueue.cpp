#include "device/InputReportQueue.h"

#include <algorithm>

InputReportQueue::InputReportQueue(int capacity)
    : m_capacity(std::max(1, capacity))
{
}

void InputReportQueue::setCapacity(int capacity)
{
    const std::lock_guard lock(m_mutex);
    m_capacity = std::max(1, capacity);
}

int InputReportQueue::capacity() const
{
    const std::lock_guard lock(m_mutex);
    return m_capacity;
}

bool InputReportQueue::push(const QByteArray &data)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_failed)
            return false;
        if (static_cast<int>(m_entries.size()) >= m_capacity) {
            m_entries.back().lossAfter = true;
            return false;
        }
        m_entries.push_back({ data, false, std::chrono::steady_clock::now() });
    }
    m_changed.notify_all();
    return true;
}

void InputReportQueue::fail()
{
    {
        const std::lock_guard lock(m_mutex);
        m_failed = true;
    }
    m_changed.notify_all();
}

void InputReportQueue::interrupt()
{
    {
        const std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_changed.notify_all();
}

HidReadResult InputReportQueue::take(QDeadlineTimer deadline)
{
    std::unique_lock lock(m_mutex);
    m_interrupted = false;
    const auto ready = [this] { return !m_entries.empty() || m_failed || m_interrupted; };
    if (deadline.isForever())
        m_changed.wait(lock, ready);
    else
        m_changed.wait_until(lock, deadline.deadline<std::chrono::steady_clock>(), ready);

    HidReadResult result;
    if (!m_entries.empty()) {
        Entry entry = std::move(m_entries.front());
        m_entries.pop_front();
        result.status = HidReadResult::Status::Report;
        result.data = std::move(entry.data);
        result.lossAfter = entry.lossAfter;
        result.arrival = entry.arrival;
    } else if (m_failed) {
        result.status = HidReadResult::Status::Failed;
    }
    m_interrupted = false;
    return result;
}
