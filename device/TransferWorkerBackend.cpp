#include "device/TransferWorkerBackend.h"

#include <algorithm>
#include <cerrno>

#include "device/InputReportQueue.h"
#include "device/TransferWorker.h"

TransferWorkerBackend::~TransferWorkerBackend() = default;

qint32 TransferWorkerBackend::newHandle()
{
    return m_nextHandle++;
}

void TransferWorkerBackend::setLastError(int error)
{
    m_lastError = error;
}

int TransferWorkerBackend::lastError() const
{
    return m_lastError;
}

void TransferWorkerBackend::startTransfer(
    qint32 handle, std::unique_ptr<ReportFile> file, std::optional<int> queueCapacity)
{
    auto transfer = std::make_unique<TransferWorker>(std::move(file));
    if (queueCapacity)
        transfer->queue().setCapacity(*queueCapacity);
    m_transfers.emplace(handle, Transfer { std::move(transfer), queueCapacity.has_value() });
}

bool TransferWorkerBackend::stopTransfer(qint32 handle)
{
    return m_transfers.erase(handle) > 0;
}

void TransferWorkerBackend::stopTransfers()
{
    m_transfers.clear();
}

TransferWorker *TransferWorkerBackend::worker(qint32 handle) const
{
    const auto found = m_transfers.find(handle);
    return found == m_transfers.end() ? nullptr : found->second.worker.get();
}

bool TransferWorkerBackend::setInputQueueDepth(qint32 handle, int reports)
{
    countCall();
    const auto found = m_transfers.find(handle);
    if (found == m_transfers.end()) {
        setLastError(EBADF);
        return false;
    }
    if (!found->second.capacityFixed)
        found->second.worker->queue().setCapacity(std::max(reports, InputReportQueue::DefaultCapacity));
    setLastError(0);
    return true;
}

bool TransferWorkerBackend::writeOutputReport(qint32 handle, const QByteArray &report)
{
    countCall();
    TransferWorker *transfer = worker(handle);
    setLastError(transfer ? 0 : EBADF);
    if (transfer)
        transfer->writeOutputReport(report);
    return transfer != nullptr;
}

HidReadResult TransferWorkerBackend::readInputReport(qint32 handle, QDeadlineTimer deadline)
{
    countCall();
    TransferWorker *transfer = worker(handle);
    if (!transfer) {
        setLastError(EBADF);
        return { HidReadResult::Status::Failed, {}, false, {} };
    }
    HidReadResult result = transfer->queue().take(deadline);
    setLastError(result.status == HidReadResult::Status::Failed ? ENODEV : 0);
    return result;
}

void TransferWorkerBackend::cancel(qint32 handle)
{
    countCall();
    if (TransferWorker *transfer = worker(handle))
        transfer->queue().interrupt();
    setLastError(0);
}

qint32 TransferWorkerBackend::createCompletionEvent()
{
    countCall();
    const qint32 event = newHandle();
    m_events.insert(event);
    setLastError(0);
    return event;
}

bool TransferWorkerBackend::resetCompletionEvent(qint32 event)
{
    countCall();
    const bool known = m_events.contains(event);
    setLastError(known ? 0 : EBADF);
    return known;
}

void TransferWorkerBackend::closeCompletionEvent(qint32 event)
{
    countCall();
    setLastError(m_events.erase(event) > 0 ? 0 : EBADF);
}
