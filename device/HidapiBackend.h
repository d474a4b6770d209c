#pragma once

#include <map>
#include <memory>
#include <set>

#include <QList>
#include <QString>

#include "HidBackend.h"

struct hid_device_;
class TransferWorker;

// What one entry of hid_enumerate carries that the backend needs.
struct HidEnumerationEntry
{
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

namespace HidapiEnumeration {

// hidapi may list one path more than once: the first entry of each path stays, in enumeration order.
[[nodiscard]] QList<HidInterface> uniqueInterfaces(const QList<HidEnumerationEntry> &entries);

} // namespace HidapiEnumeration

// The HID layer on hidapi's hidraw backend. hidapi is not thread-safe per handle, so each transfer
// handle's device is owned by its TransferWorker thread, which writes the output report and reads
// continuously into the program's queue; the kernel's own queue of 63 reports per file never fills.
class HidapiBackend : public HidBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;

    HidapiBackend(const HidapiBackend &) = delete;
    HidapiBackend &operator=(const HidapiBackend &) = delete;

    [[nodiscard]] QList<HidInterface> enumerateInterfaces() override;
    [[nodiscard]] qint32 openPath(const QString &path, HidOpenMode mode) override;
    [[nodiscard]] std::optional<HidAttributes> readAttributes(qint32 handle) override;
    [[nodiscard]] bool isAttached(qint32 handle) override;
    bool setInputQueueDepth(qint32 handle, int reports) override;
    bool writeOutputReport(qint32 handle, const QByteArray &report) override;
    [[nodiscard]] HidReadResult readInputReport(qint32 handle, QDeadlineTimer deadline) override;
    void cancel(qint32 handle) override;
    bool close(qint32 handle) override;
    [[nodiscard]] qint32 createCompletionEvent() override;
    bool resetCompletionEvent(qint32 event) override;
    void closeCompletionEvent(qint32 event) override;
    [[nodiscard]] int lastError() const override;

private:
    struct IdentifyHandle
    {
        QString path;
        hid_device_ *device = nullptr;
    };

    [[nodiscard]] TransferWorker *worker(qint32 handle) const;

    bool m_initialized = false;
    std::map<QString, HidInterface> m_listed;
    std::map<qint32, IdentifyHandle> m_identify;
    std::map<qint32, QString> m_transferPaths;
    std::map<qint32, std::unique_ptr<TransferWorker>> m_transfers;
    std::set<qint32> m_events;
    qint32 m_nextHandle = 1;
    int m_lastError = 0;
};
