#include "device/HidapiBackend.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include <pthread.h>

#include <hidapi.h>

#include "device/TransferWorker.h"

namespace {

// Sent to a transfer thread waiting inside hidapi: its handler does nothing, and as it is installed without
// SA_RESTART the wait returns EINTR.
int wakeSignal()
{
    return SIGRTMIN;
}

void installWakeHandler()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action
        {
        };
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        sigaction(wakeSignal(), &action, nullptr);
    });
}

// Runs a hidapi call again while a signal interrupts it.
template<typename Call> int retryOnInterrupt(Call call)
{
    for (;;) {
        errno = 0;
        const int result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// A hidraw device file, used by its transfer thread only, which wake() interrupts from other threads.
class HidapiFile : public ReportFile
{
public:
    explicit HidapiFile(hid_device *device)
        : m_device(device)
    {
        installWakeHandler();
    }
    ~HidapiFile() override { hid_close(m_device); }

    HidapiFile(const HidapiFile &) = delete;
    HidapiFile &operator=(const HidapiFile &) = delete;

    int write(const QByteArray &report) override
    {
        return retryOnInterrupt([&] {
            return hid_write(m_device, reinterpret_cast<const unsigned char *>(report.constData()),
                static_cast<size_t>(report.size()));
        });
    }

    int read(unsigned char *buffer, int size, int timeoutMs) override
    {
        {
            const std::lock_guard lock(m_mutex);
            if (std::exchange(m_woken, false))
                return 0;
            m_reader = pthread_self();
        }
        int length = 0;
        for (;;) {
            errno = 0;
            length = hid_read_timeout(m_device, buffer, static_cast<size_t>(size), timeoutMs);
            if (length >= 0 || errno != EINTR)
                break;
            // Any other signal is no reason to stop waiting.
            const std::lock_guard lock(m_mutex);
            if (std::exchange(m_woken, false)) {
                length = 0;
                break;
            }
        }
        {
            const std::lock_guard lock(m_mutex);
            m_reader.reset();
        }
        m_readerLeft.notify_all();
        return length;
    }

    void wake() override
    {
        std::unique_lock lock(m_mutex);
        m_woken = true;
        // A signal that arrives just before the thread starts waiting is lost, so it is sent again until the
        // thread has seen the request or has left hidapi (then its next read returns at once).
        while (m_woken && m_reader) {
            pthread_kill(*m_reader, wakeSignal());
            m_readerLeft.wait_for(lock, std::chrono::milliseconds(1));
        }
    }

private:
    hid_device *m_device;
    std::mutex m_mutex;
    std::condition_variable m_readerLeft;
    bool m_woken = false;
    std::optional<pthread_t> m_reader; // the thread inside hid_read_timeout, if any
};

// The identity the open device reports itself.
std::optional<HidAttributes> attributesOf(hid_device *device)
{
    const hid_device_info *info = hid_get_device_info(device);
    if (!info)
        return std::nullopt;
    return HidAttributes { info->vendor_id, info->product_id };
}

} // namespace

HidapiBackend::HidapiBackend()
    : m_initialized(hid_init() == 0)
{
}

HidapiBackend::~HidapiBackend()
{
    stopTransfers();
    for (const auto &[handle, device] : m_identify)
        hid_close(device);
    if (m_initialized)
        hid_exit();
}

QList<HidInterface> HidapiBackend::enumerateInterfaces()
{
    // Vendor and product 0 list everything; the caller compares the IDs itself, since hidapi would treat
    // the adapter's product 0 as a wildcard.
    errno = 0;
    hid_device_info *list = hid_enumerate(0, 0);
    setLastError(errno);
    // hidapi may list one path more than once: the first entry of each path stays.
    QList<HidInterface> interfaces;
    std::set<QString> seen;
    for (const hid_device_info *info = list; info; info = info->next) {
        const QString path = QString::fromLocal8Bit(info->path);
        if (seen.insert(path).second)
            interfaces.append({ path, info->vendor_id, info->product_id });
    }
    hid_free_enumeration(list);
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
    // Read now, while no other thread uses the device.
    m_attributes.emplace(handle, attributesOf(device));
    if (mode == HidOpenMode::Identify)
        m_identify.emplace(handle, device);
    else
        startTransfer(handle, std::make_unique<HidapiFile>(device));
    return handle;
}

std::optional<HidAttributes> HidapiBackend::readAttributes(qint32 handle)
{
    const auto found = m_attributes.find(handle);
    if (found == m_attributes.end()) {
        setLastError(EBADF);
        return std::nullopt;
    }
    setLastError(found->second ? 0 : EIO);
    return found->second;
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
    const bool attached = retryOnInterrupt([&] {
        return hid_read_timeout(identify->second, buffer.data(), buffer.size(), 0);
    }) >= 0;
    setLastError(attached ? 0 : (errno != 0 ? errno : ENODEV));
    return attached;
}

bool HidapiBackend::close(qint32 handle)
{
    m_attributes.erase(handle);
    if (const auto identify = m_identify.find(handle); identify != m_identify.end()) {
        hid_close(identify->second);
        m_identify.erase(identify);
        setLastError(0);
        return true;
    }
    if (stopTransfer(handle)) {
        setLastError(0);
        return true;
    }
    setLastError(EBADF);
    return false;
}
