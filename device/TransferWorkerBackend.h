#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "device/HidBackend.h"

class ReportFile;
class TransferWorker;

// What a backend does the same whatever device it drives: each transfer handle's TransferWorker and its
// queue, the completion events and the last error code. The backend opens, lists, identifies and closes the
// devices. Handles and events share one numbering. Called from the thread that drives the backend, except
// lastError, which any thread may read.
class TransferWorkerBackend : public HidBackend
{
public:
    ~TransferWorkerBackend() override;

    bool setInputQueueDepth(qint32 handle, int reports) override;
    bool writeOutputReport(qint32 handle, const QByteArray &report) override;
    [[nodiscard]] HidReadResult readInputReport(qint32 handle, QDeadlineTimer deadline) override;
    void cancel(qint32 handle) override;
    [[nodiscard]] qint32 createCompletionEvent() override;
    bool resetCompletionEvent(qint32 event) override;
    void closeCompletionEvent(qint32 event) override;
    [[nodiscard]] int lastError() const override;

protected:
    // Runs at the start of every call made here, for a backend that counts the calls it serves.
    virtual void countCall() { }
    [[nodiscard]] qint32 newHandle();
    void setLastError(int error);
    // Starts the handle's I/O thread on the file. A queue capacity given here stays whatever depth is asked
    // for later, so that tests can make the queue overflow.
    void startTransfer(
        qint32 handle, std::unique_ptr<ReportFile> file, std::optional<int> queueCapacity = {});
    // Stops the handle's I/O thread, which closes its file; false when it is no transfer handle.
    bool stopTransfer(qint32 handle);
    // For the backend's destructor: the I/O threads may use what the backend owns.
    void stopTransfers();

private:
    struct Transfer
    {
        std::unique_ptr<TransferWorker> worker;
        bool capacityFixed = false;
    };

    [[nodiscard]] TransferWorker *worker(qint32 handle) const;

    std::map<qint32, Transfer> m_transfers;
    std::set<qint32> m_events;
    qint32 m_nextHandle = 1;
    std::atomic<int> m_lastError { 0 };
};
