#include "device/TransferWorker.h"

#include <array>

#include "device/ReportDecoder.h"

TransferWorker::TransferWorker(std::unique_ptr<ReportFile> file)
    : m_file(std::move(file))
    , m_thread([this] { run(); })
{
}

TransferWorker::~TransferWorker()
{
    m_stop = true;
    m_file->wake();
    m_thread.join();
}

void TransferWorker::writeOutputReport(const QByteArray &report)
{
    {
        const std::lock_guard lock(m_writeMutex);
        m_pendingWrite = report;
    }
    m_file->wake();
}

void TransferWorker::run()
{
    std::array<unsigned char, ReadBufferSize> buffer {};
    InputReportFraming framing;
    while (!m_stop) {
        std::optional<QByteArray> write;
        {
            const std::lock_guard lock(m_writeMutex);
            write.swap(m_pendingWrite);
        }
        if (write)
            m_file->write(*write);

        const int length = m_file->read(buffer.data(), static_cast<int>(buffer.size()), ReadTimeoutMs);
        if (length < 0) {
            // A read error is never data: the reader takes what is queued, then sees the failure.
            m_queue.fail();
            return;
        }
        if (length > 0) {
            m_queue.push(framing.dataBytes(QByteArrayView(buffer.data(), length)));
        }
    }
}
