#include "HidapiBackend.h"

#include <array>
#include <cerrno>
#include <set>

#include <hidapi.h>

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
    stopTransfers();
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
    setLastError(errno);
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
        setLastError(error != 0 ? error : EIO);
        return -1;
    }
    setLastError(0);
    const qint32 handle = newHandle();
    if (mode == HidOpenMode::Identify) {
        m_identify.emplace(handle, IdentifyHandle { path, device });
    } else {
        m_transferPaths.emplace(handle, path);
        startTransfer(handle, std::make_unique<HidapiFile>(device));
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
        setLastError(EBADF);
        return std::nullopt;
    }
    setLastError(0);
    return HidAttributes { listed->second.vendorId, listed->second.productId };
}

bool HidapiBackend::isAttached(qint32 handle)
{
    const auto identify = m_identify.find(handle);
    if (identify == m_identify.end()) {
        setLastError(EBADF);
        return false;
    }
    // A hidraw file of an unplugged device reports an error from poll. This handle is never read
    // otherwise, so taking a report from its own copy of the stream loses nothing.
    std::array<unsigned char, TransferWorker::ReadBufferSize> buffer {};
    errno = 0;
    const bool attached = hid_read_timeout(identify->second.device, buffer.data(), buffer.size(), 0) >= 0;
    setLastError(attached ? 0 : (errno != 0 ? errno : ENODEV));
    return attached;
}

bool HidapiBackend::close(qint32 handle)
{
    if (const auto identify = m_identify.find(handle); identify != m_identify.end()) {
        hid_close(identify->second.device);
        m_identify.erase(identify);
        setLastError(0);
        return true;
    }
    if (stopTransfer(handle)) {
        m_transferPaths.erase(handle);
        setLastError(0);
        return true;
    }
    setLastError(EBADF);
    return false;
}
