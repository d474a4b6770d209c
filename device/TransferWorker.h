#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QByteArray>

#include "device/InputReportQueue.h"

// One open device file as the transfer thread sees it. Only that thread calls it.
class ReportFile
{
public:
    virtual ~ReportFile() = default;

    // Returns the byte count written, or a negative number on failure.
    virtual int write(const QByteArray &report) = 0;
    // Reads one input report into buffer: its length, 0 when none came within the timeout, negative when
    // the device failed (for example, it was unplugged).
    virtual int read(unsigned char *buffer, int size, int timeoutMs) = 0;
    // Called from another thread to make a read that is waiting, or the next one, return 0 at once.
    virtual void wake() = 0;
};

// Owns a transfer handle's device file on a thread of its own: writes the output report when asked and
// reads continuously into the queue, so that reports keep moving while the reader is busy.
class TransferWorker
{
public:
    static constexpr int ReadBufferSize = 65;
    // The file is woken for a write and for the end, so a read need not time out for those.
    static constexpr int ReadTimeoutMs = 1000;

    explicit TransferWorker(std::unique_ptr<ReportFile> file);
    ~TransferWorker();

    TransferWorker(const TransferWorker &) = delete;
    TransferWorker &operator=(const TransferWorker &) = delete;

    void writeOutputReport(const QByteArray &report);
    [[nodiscard]] InputReportQueue &queue() { return m_queue; }

private:
    void run();

    std::unique_ptr<ReportFile> m_file;
    InputReportQueue m_queue;
    std::mutex m_writeMutex;
    std::optional<QByteArray> m_pendingWrite;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};
