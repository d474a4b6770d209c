#include "device/simulated/SimulatedHidBus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "device/TransferWorker.h"

class SimulatedHidBus::File : public ReportFile
{
public:
    File(SimulatedHidBus &bus, std::shared_ptr<FileState> state)
        : m_bus(bus)
        , m_state(std::move(state))
    {
    }

    int write(const QByteArray &report) override { return m_bus.fileWrite(m_state, report); }
    int read(unsigned char *buffer, int size, int timeoutMs) override
    {
        return m_bus.fileRead(m_state, buffer, size, timeoutMs);
    }
    void wake() override { m_bus.fileWake(m_state); }

private:
    SimulatedHidBus &m_bus;
    std::shared_ptr<FileState> m_state;
};

SimulatedHidBus::SimulatedHidBus() = default;

SimulatedHidBus::~SimulatedHidBus()
{
    // The I/O threads use the bus: stop them before anything else goes.
    stopTransfers();
}

int SimulatedHidBus::addDevice(const DeviceSettings &settings)
{
    const std::lock_guard lock(m_mutex);
    m_devices.push_back(Device { settings, true, {}, {}, {} });
    return static_cast<int>(m_devices.size()) - 1;
}

QString SimulatedHidBus::devicePath(int device) const
{
    return QStringLiteral("/dev/hidraw-sim%1").arg(device);
}

void SimulatedHidBus::unplug(int device)
{
    {
        const std::lock_guard lock(m_mutex);
        Device &entry = m_devices.at(static_cast<std::size_t>(device));
        entry.present = false;
        entry.schedule.clear();
        entry.stream.reset();
        for (auto &[handle, file] : m_files) {
            if (file->device == device)
                file->alive = false;
        }
    }
    m_changed.notify_all();
}

void SimulatedHidBus::plug(int device)
{
    const std::lock_guard lock(m_mutex);
    m_devices.at(static_cast<std::size_t>(device)).present = true;
}

void SimulatedHidBus::setOutputReportHandler(int device, OutputReportHandler handler)
{
    const std::lock_guard lock(m_mutex);
    m_devices.at(static_cast<std::size_t>(device)).handler = std::move(handler);
}

void SimulatedHidBus::respondWithCapture(int device, const QList<CapturedReport> &reports)
{
    QList<ScheduledInput> inputs;
    for (const CapturedReport &report : reports)
        inputs.append({ report.delay, report.bytes });
    setOutputReportHandler(
        device, [this, inputs](int target, const QByteArray &) { scheduleInputReports(target, inputs); });
}

void SimulatedHidBus::scheduleInputReports(int device, const QList<ScheduledInput> &inputs)
{
    {
        const std::lock_guard lock(m_mutex);
        Clock::time_point due = Clock::now();
        for (const ScheduledInput &input : inputs) {
            due += input.delay;
            addPending(device, { due, input.report });
        }
    }
    m_changed.notify_all();
}

void SimulatedHidBus::scheduleEndlessStream(
    int device, std::chrono::milliseconds interval, const QByteArray &report)
{
    {
        const std::lock_guard lock(m_mutex);
        interval = std::max(interval, std::chrono::milliseconds(1));
        m_devices.at(static_cast<std::size_t>(device)).stream
            = Stream { Clock::now() + interval, interval, report };
    }
    m_changed.notify_all();
}

void SimulatedHidBus::addPending(int device, Pending pending)
{
    std::deque<Pending> &schedule = m_devices.at(static_cast<std::size_t>(device)).schedule;
    const auto later = std::upper_bound(schedule.begin(), schedule.end(), pending.due,
        [](Clock::time_point due, const Pending &p) { return due < p.due; });
    schedule.insert(later, std::move(pending));
}

void SimulatedHidBus::setQueueCapacity(int reports)
{
    const std::lock_guard lock(m_mutex);
    m_queueCapacity = reports;
}

void SimulatedHidBus::setEventCreationFails(bool fails)
{
    m_eventCreationFails = fails;
}

QList<SimulatedHidBus::BusEvent> SimulatedHidBus::events() const
{
    const std::lock_guard lock(m_mutex);
    return m_log;
}

int SimulatedHidBus::backendCallCount() const
{
    return m_backendCalls;
}

int SimulatedHidBus::openHandleCount() const
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_files.size());
}

void SimulatedHidBus::advance(Clock::time_point now)
{
    for (std::size_t index = 0; index < m_devices.size(); ++index) {
        const int device = static_cast<int>(index);
        Device &entry = m_devices[index];
        for (;;) {
            const bool scheduleDue = !entry.schedule.empty() && entry.schedule.front().due <= now;
            const bool streamDue = entry.stream && entry.stream->next <= now;
            if (!scheduleDue && !streamDue)
                break;
            if (scheduleDue && (!streamDue || entry.schedule.front().due <= entry.stream->next)) {
                const Pending pending = std::move(entry.schedule.front());
                entry.schedule.pop_front();
                deliver(device, pending.report);
                continue;
            }
            // A stream far behind only overfills the files: skip what they would drop anyway.
            const auto behind = (now - entry.stream->next) / entry.stream->interval;
            if (behind > FileBufferLimit)
                entry.stream->next += entry.stream->interval * (behind - FileBufferLimit);
            deliver(device, entry.stream->report);
            entry.stream->next += entry.stream->interval;
        }
    }
}

void SimulatedHidBus::deliver(int device, const QByteArray &report)
{
    for (auto &[handle, file] : m_files) {
        if (file->device != device || !file->alive || file->mode != HidOpenMode::Transfer)
            continue;
        if (static_cast<int>(file->unread.size()) < FileBufferLimit)
            file->unread.push_back(report);
    }
}

std::optional<SimulatedHidBus::Clock::time_point> SimulatedHidBus::nextDue() const
{
    std::optional<Clock::time_point> next;
    for (const Device &device : m_devices) {
        if (!device.schedule.empty() && (!next || device.schedule.front().due < *next))
            next = device.schedule.front().due;
        if (device.stream && (!next || device.stream->next < *next))
            next = device.stream->next;
    }
    return next;
}

int SimulatedHidBus::fileRead(
    const std::shared_ptr<FileState> &file, unsigned char *buffer, int size, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const Clock::time_point now = Clock::now();
        advance(now);
        if (!file->alive)
            return -1;
        if (!file->unread.empty()) {
            const QByteArray report = file->unread.front();
            file->unread.pop_front();
            const int length = std::min(size, static_cast<int>(report.size()));
            std::memcpy(buffer, report.constData(), static_cast<std::size_t>(length));
            return length;
        }
        if (file->woken || now >= deadline) {
            file->woken = false;
            return 0;
        }
        const std::optional<Clock::time_point> due = nextDue();
        m_changed.wait_until(lock, due ? std::min(*due, deadline) : deadline);
    }
}

int SimulatedHidBus::fileWrite(const std::shared_ptr<FileState> &file, const QByteArray &report)
{
    OutputReportHandler handler;
    {
        const std::lock_guard lock(m_mutex);
        advance(Clock::now());
        if (!file->alive)
            return -1;
        qint32 handle = 0;
        for (const auto &[number, state] : m_files) {
            if (state == file)
                handle = number;
        }
        m_log.append({ EventKind::OutputReport, file->device, handle, file->mode, report });
        handler = m_devices.at(static_cast<std::size_t>(file->device)).handler;
    }
    if (handler)
        handler(file->device, report);
    return static_cast<int>(report.size());
}

void SimulatedHidBus::fileWake(const std::shared_ptr<FileState> &file)
{
    {
        const std::lock_guard lock(m_mutex);
        file->woken = true;
    }
    m_changed.notify_all();
}

QList<HidInterface> SimulatedHidBus::enumerateInterfaces()
{
    countCall();
    const std::lock_guard lock(m_mutex);
    advance(Clock::now());
    QList<HidInterface> interfaces;
    for (std::size_t index = 0; index < m_devices.size(); ++index) {
        const Device &device = m_devices[index];
        if (device.present)
            interfaces.append(
                { devicePath(static_cast<int>(index)), device.settings.vendorId, device.settings.productId });
    }
    setLastError(0);
    return interfaces;
}

qint32 SimulatedHidBus::openPath(const QString &path, HidOpenMode mode)
{
    countCall();
    std::shared_ptr<FileState> state;
    qint32 handle = -1;
    std::optional<int> capacity;
    {
        const std::lock_guard lock(m_mutex);
        advance(Clock::now());
        int device = -1;
        for (std::size_t index = 0; index < m_devices.size(); ++index) {
            if (devicePath(static_cast<int>(index)) == path)
                device = static_cast<int>(index);
        }
        int error = 0;
        if (device < 0 || !m_devices[static_cast<std::size_t>(device)].present) {
            error = ENOENT;
        } else {
            switch (m_devices[static_cast<std::size_t>(device)].settings.open) {
            case OpenBehaviour::Opens:
                break;
            case OpenBehaviour::Fails:
                error = EBUSY;
                break;
            case OpenBehaviour::AccessDenied:
                error = EACCES;
                break;
            }
            if (error == 0 && mode == HidOpenMode::Transfer
                && m_devices[static_cast<std::size_t>(device)].settings.transferOpenFails)
                error = EBUSY;
        }
        setLastError(error);
        if (error != 0) {
            m_log.append({ EventKind::OpenFailed, device, -1, mode, {} });
            return -1;
        }
        handle = newHandle();
        state = std::make_shared<FileState>();
        state->device = device;
        state->mode = mode;
        m_files.emplace(handle, state);
        m_log.append({ EventKind::Opened, device, handle, mode, {} });
        capacity = m_queueCapacity;
    }
    if (mode == HidOpenMode::Transfer)
        startTransfer(handle, std::make_unique<File>(*this, state), capacity);
    return handle;
}

std::optional<HidAttributes> SimulatedHidBus::readAttributes(qint32 handle)
{
    countCall();
    const std::lock_guard lock(m_mutex);
    advance(Clock::now());
    const auto found = m_files.find(handle);
    if (found == m_files.end() || !found->second->alive) {
        setLastError(found == m_files.end() ? EBADF : ENODEV);
        return std::nullopt;
    }
    const DeviceSettings &settings = m_devices.at(static_cast<std::size_t>(found->second->device)).settings;
    if (!settings.attributesReadable) {
        setLastError(EIO);
        return std::nullopt;
    }
    setLastError(0);
    return HidAttributes { settings.vendorId, settings.productId };
}

bool SimulatedHidBus::isAttached(qint32 handle)
{
    countCall();
    const std::lock_guard lock(m_mutex);
    advance(Clock::now());
    const auto found = m_files.find(handle);
    const bool attached = found != m_files.end() && found->second->alive;
    setLastError(attached ? 0 : ENODEV);
    return attached;
}

bool SimulatedHidBus::close(qint32 handle)
{
    countCall();
    // Stops the I/O thread, which needs the bus, before the file goes.
    stopTransfer(handle);

    const std::lock_guard lock(m_mutex);
    const auto found = m_files.find(handle);
    if (found == m_files.end()) {
        setLastError(EBADF);
        return false;
    }
    m_log.append({ EventKind::Closed, found->second->device, handle, found->second->mode, {} });
    m_files.erase(found);
    setLastError(0);
    return true;
}

qint32 SimulatedHidBus::createCompletionEvent()
{
    if (!m_eventCreationFails)
        return TransferWorkerBackend::createCompletionEvent();
    countCall();
    setLastError(ENOMEM);
    return 0;
}
