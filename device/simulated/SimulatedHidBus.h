#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

#include "device/CaptureFile.h"
#include "device/TransferWorkerBackend.h"

// An in-process HID bus with simulated devices, for tests and the demo. It behaves like the Linux hidraw
// stack behind hidapi: each open transfer file gets its own copy of every input report and keeps at most 63
// unread ones, and a transfer handle drains its file on an I/O thread into the program's queue, exactly like
// the hidapi backend. Input reports are scheduled relative to the moment they are scheduled, which is the
// moment the output report arrives when the output report handler schedules them.
// The functions that set up and watch the bus are thread-safe; the HidBackend calls come from the one thread
// that drives the backend, as for any backend. Output report handlers run on the transfer's I/O thread.
class SimulatedHidBus : public TransferWorkerBackend
{
public:
    using Clock = std::chrono::steady_clock;

    enum class OpenBehaviour
    {
        Opens,
        Fails,
        AccessDenied,
    };

    struct DeviceSettings
    {
        quint16 vendorId = AdapterIdentity::VendorId;
        quint16 productId = AdapterIdentity::ProductId;
        OpenBehaviour open = OpenBehaviour::Opens;
        // Opens for transfers can fail on their own while plain opens work.
        bool transferOpenFails = false;
        bool attributesReadable = true;
    };

    // An input report (report ID first) due delay after the previous one, the first after scheduling.
    struct ScheduledInput
    {
        std::chrono::milliseconds delay { 0 };
        QByteArray report;
    };

    enum class EventKind
    {
        Opened,
        OpenFailed,
        Closed,
        OutputReport,
    };

    struct BusEvent
    {
        EventKind kind = EventKind::Opened;
        int device = -1;
        qint32 handle = 0;
        HidOpenMode mode = HidOpenMode::Identify;
        QByteArray report;
    };

    // Runs on each output report the device receives; may schedule the device's answer.
    using OutputReportHandler = std::function<void(int device, const QByteArray &report)>;

    // The most unread reports one open file keeps, like hidraw; newer ones are dropped.
    static constexpr int FileBufferLimit = 63;

    SimulatedHidBus();
    ~SimulatedHidBus() override;

    // Adds a device, plugged in; devices are listed in the order they were added.
    int addDevice(const DeviceSettings &settings);
    int addDevice() { return addDevice(DeviceSettings {}); }
    [[nodiscard]] QString devicePath(int device) const;
    // Pulls the device: its open files fail from now on and its pending input is forgotten.
    void unplug(int device);
    // Plugs it in again on the same path; files opened before stay dead.
    void plug(int device);

    void setOutputReportHandler(int device, OutputReportHandler handler);
    // Answers every output report with the captured reports and their delays.
    void respondWithCapture(int device, const QList<CapturedReport> &reports);
    void scheduleInputReports(int device, const QList<ScheduledInput> &inputs);
    // The report every interval, without end, from one interval after now.
    void scheduleEndlessStream(int device, std::chrono::milliseconds interval, const QByteArray &report);

    // Queue capacity of transfer handles opened from now on, whatever depth is asked for.
    void setQueueCapacity(int reports);
    void setEventCreationFails(bool fails);

    [[nodiscard]] QList<BusEvent> events() const;
    [[nodiscard]] int openHandleCount() const;
    // Calls made through the HidBackend interface so far.
    [[nodiscard]] int backendCallCount() const;

    // HidBackend
    [[nodiscard]] QList<HidInterface> enumerateInterfaces() override;
    [[nodiscard]] qint32 openPath(const QString &path, HidOpenMode mode) override;
    [[nodiscard]] std::optional<HidAttributes> readAttributes(qint32 handle) override;
    [[nodiscard]] bool isAttached(qint32 handle) override;
    bool close(qint32 handle) override;
    [[nodiscard]] qint32 createCompletionEvent() override;

protected:
    void countCall() override { ++m_backendCalls; }

private:
    class File;
    friend class File;

    struct Pending
    {
        Clock::time_point due;
        QByteArray report;
    };

    struct Stream
    {
        Clock::time_point next;
        std::chrono::milliseconds interval;
        QByteArray report;
    };

    struct Device
    {
        DeviceSettings settings;
        bool present = true;
        std::deque<Pending> schedule;
        std::optional<Stream> stream;
        OutputReportHandler handler;
    };

    struct FileState
    {
        int device = -1;
        HidOpenMode mode = HidOpenMode::Identify;
        bool alive = true;
        bool woken = false;
        std::deque<QByteArray> unread;
    };

    // Moves every input that is due by now into the open files; the caller holds m_mutex.
    void advance(Clock::time_point now);
    void deliver(int device, const QByteArray &report);
    [[nodiscard]] std::optional<Clock::time_point> nextDue() const;
    void addPending(int device, Pending pending);

    int fileRead(const std::shared_ptr<FileState> &file, unsigned char *buffer, int size, int timeoutMs);
    int fileWrite(const std::shared_ptr<FileState> &file, const QByteArray &report);
    void fileWake(const std::shared_ptr<FileState> &file);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Device> m_devices;
    std::map<qint32, std::shared_ptr<FileState>> m_files;
    QList<BusEvent> m_log;
    std::optional<int> m_queueCapacity;
    std::atomic<bool> m_eventCreationFails { false };
    std::atomic<int> m_backendCalls { 0 };
};
