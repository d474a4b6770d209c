#include "HidapiBackend.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <set>

#include <hidapi.h>

#include "InputReportQueue.h"
#include "TransferWorker.h"

namespace {

// A hidraw device file, used by its transfer thread only.
class HidapiFile : public ReportFile
{
public:
    explicit HidapiFile(hid_device *device)
        : m_device(device)
    {
    }
    ~HidapiFile() override { hid_close(m_device); }

    HidapiFile(const HidapiFile &) = delete;
    HidapiFile &operator=(const HidapiFile &) = delete;

    int write(const QByteArray &report) override
    {
        return hid_write(m_device, reinterpret_cast<const unsigned char *>(report.constData()),
            static_cast<size_t>(report.size()));
    }
    int read(unsigned char *buffer, int size, int timeoutMs) override
    {
        return hid_read_timeout(m_device, buffer, static_cast<size_t>(size), timeoutMs);
    }

private:
    hid_device *m_device;
};

} // namespace

namespace HidapiEnumeration {

QList<HidInterface> uniqueInterfaces(const QList<HidEnumerationEntry> &entries)
{
    QList<HidInterface> interfaces;
    std::set<QString> seen;
    for (const HidEnumerationEntry &entry : entries) {
        if (seen.insert(entry.path).second)
            interfaces.append({ entry.path, entry.vendorId, entry.productId });
    }
    return interfaces;
}

} // namespace HidapiEnumeration

HidapiBackend::HidapiBackend()
    : m_initialized(hid_init() == 0)
{
}

HidapiBackend::~HidapiBackend()
{
    m_transfers.clear();
    for (const auto &[handle, identify] : m_identify)
        hid_close(identify.device);
    if (m_initialized)
        hid_exit();
}

QList<HidInterface> HidapiBackend::enumerateInterfaces()
{
    QList<HidEnumerationEntry> entries;
    // Vendor and product 0 list everything; the caller compares the IDs itself, since hidapi would treat
    // the adapter's product 0 as a wildcard.
    errno = 0;
    hid_device_info *list = hid_enumerate(0, 0);
    m_lastError = errno;
    for (const hid_device_info *info = list; info; info = info->next)
        entries.append({ QString::fromLocal8Bit(info->path), info->vendor_id, info->product_id });
    hid_free_enumeration(list);

    const QList<HidInterface> interfaces = HidapiEnumeration::uniqueInterfaces(entries);
    m_listed.clear();
    for (const HidInterface &interface : interfaces)
        m_listed.emplace(interface.path, interface);
    return interfaces;
}

qint32 HidapiBackend::openPath(const QString &path, HidOpenMode mode)
{
    errno = 0;
    hid_device *device = hid_open_path(path.toLocal8Bit().constData());
    // Taken at once: the permission case (EACCES, EPERM) is told apart by the caller.
    const int error = errno;
    if (!device) {
        m_lastError = error != 0 ? error : EIO;
        return -1;
    }
    m_lastError = 0;
    const qint32 handle = m_nextHandle++;
    if (mode == HidOpenMode::Identify) {
        m_identify.emplace(handle, IdentifyHandle { path, device });
    } else {
        m_transferPaths.emplace(handle, path);
        m_transfers.emplace(handle, std::make_unique<TransferWorker>(std::make_unique<HidapiFile>(device)));
    }
    return handle;
}

std::optional<HidAttributes> HidapiBackend::readAttributes(qint32 handle)
{
    QString path;
    if (const auto identify = m_identify.find(handle); identify != m_identify.end())
        path = identify->second.path;
    else if (const auto transfer = m_transferPaths.find(handle); transfer != m_transferPaths.end())
        path = transfer->second;
    // hidapi 0.13 has no call for an open device's IDs; the enumeration read them from the same device.
    const auto listed = m_listed.find(path);
    if (path.isEmpty() || listed == m_listed.end()) {
        m_lastError = EBADF;
        return std::nullopt;
    }
    m_lastError = 0;
    return HidAttributes { listed->second.vendorId, listed->second.productId };
}

bool HidapiBackend::isAttached(qint32 handle)
{
    const auto identify = m_identify.find(handle);
    if (identify == m_identify.end()) {
        m_lastError = EBADF;
        return false;
    }
    // A hidraw file of an unplugged device reports an error from poll. This handle is never read
    // otherwise, so taking a report from its own copy of the stream loses nothing.
    std::array<unsigned char, TransferWorker::ReadBufferSize> buffer {};
    errno = 0;
    const bool attached = hid_read_timeout(identify->second.device, buffer.data(), buffer.size(), 0) >= 0;
    m_lastError = attached ? 0 : (errno != 0 ? errno : ENODEV);
    return attached;
}

TransferWorker *HidapiBackend::worker(qint32 handle) const
{
    const auto found = m_transfers.find(handle);
    return found == m_transfers.end() ? nullptr : found->second.get();
}

bool HidapiBackend::setInputQueueDepth(qint32 handle, int reports)
{
    TransferWorker *transfer = worker(handle);
    m_lastError = transfer ? 0 : EBADF;
    if (transfer)
        transfer->queue().setCapacity(std::max(reports, InputReportQueue::DefaultCapacity));
    return transfer != nullptr;
}

bool HidapiBackend::writeOutputReport(qint32 handle, const QByteArray &report)
{
    TransferWorker *transfer = worker(handle);
    m_lastError = transfer ? 0 : EBADF;
    if (transfer)
        transfer->writeOutputReport(report);
    return transfer != nullptr;
}

HidReadResult HidapiBackend::readInputReport(qint32 handle, QDeadlineTimer deadline)
{
    TransferWorker *transfer = worker(handle);
    if (!transfer) {
        m_lastError = EBADF;
        return { HidReadResult::Status::Failed, {}, false, {} };
    }
    HidReadResult result = transfer->queue().take(deadline);
    m_lastError = result.status == HidReadResult::Status::Failed ? ENODEV : 0;
    return result;
}

void HidapiBackend::cancel(qint32 handle)
{
    if (TransferWorker *transfer = worker(handle))
        transfer->queue().interrupt();
    m_lastError = 0;
}

bool HidapiBackend::close(qint32 handle)
{
    if (const auto identify = m_identify.find(handle); identify != m_identify.end()) {
        hid_close(identify->second.device);
        m_identify.erase(identify);
        m_lastError = 0;
        return true;
    }
    if (const auto transfer = m_transfers.find(handle); transfer != m_transfers.end()) {
        m_transfers.erase(transfer);
        m_transferPaths.erase(handle);
        m_lastError = 0;
        return true;
    }
    m_lastError = EBADF;
    return false;
}

qint32 HidapiBackend::createCompletionEvent()
{
    const qint32 event = m_nextHandle++;
    m_events.insert(event);
    m_lastError = 0;
    return event;
}

bool HidapiBackend::resetCompletionEvent(qint32 event)
{
    const bool known = m_events.contains(event);
    m_lastError = known ? 0 : EBADF;
    return known;
}

void HidapiBackend::closeCompletionEvent(qint32 event)
{
    m_lastError = m_events.erase(event) > 0 ? 0 : EBADF;
}

int HidapiBackend::lastError() const
{
    return m_lastError;
}
