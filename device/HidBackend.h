#pragma once

#include <chrono>
#include <optional>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QtGlobal>

// The adapter's identity: the HID device whose attributes report these IDs. Nothing else is tested.
namespace AdapterIdentity {
inline constexpr quint16 VendorId = 0x11D2;
inline constexpr quint16 ProductId = 0x0000;

[[nodiscard]] constexpr bool matches(quint16 vendorId, quint16 productId)
{
    return vendorId == VendorId && productId == ProductId;
}
} // namespace AdapterIdentity

// One HID interface as the platform lists it, with the identity it advertises before anyone opens it.
struct HidInterface
{
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

struct HidAttributes
{
    quint16 vendorId = 0;
    quint16 productId = 0;
};

enum class HidOpenMode
{
    Identify, // a plain handle, used to read the attributes and to test that the device is still attached
    Transfer, // the handle that carries the output report and queues every input report
};

// One input report taken from a transfer handle's queue.
struct HidReadResult
{
    enum class Status
    {
        Report,
        Timeout,
        Failed, // the device is gone or the handle is not a transfer handle
    };

    Status status = Status::Timeout;
    QByteArray data; // the report's data bytes, without the report ID
    // Reports were dropped after this one because the queue was full.
    bool lossAfter = false;
    // When the report entered the queue.
    std::chrono::steady_clock::time_point arrival;
};

// Everything the adapter class needs of the platform's HID layer. Handles are positive numbers; a failed
// open gives -1. All calls are made from one thread; implementations do their own I/O threading.
class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // The interfaces present now, in the platform's order, each path once.
    [[nodiscard]] virtual QList<HidInterface> enumerateInterfaces() = 0;
    [[nodiscard]] virtual qint32 openPath(const QString &path, HidOpenMode mode) = 0;
    [[nodiscard]] virtual std::optional<HidAttributes> readAttributes(qint32 handle) = 0;
    [[nodiscard]] virtual bool isAttached(qint32 handle) = 0;
    // Input reports a transfer handle keeps for the reader; a backend may keep more, never fewer.
    virtual bool setInputQueueDepth(qint32 handle, int reports) = 0;
    // Queues the report for the transfer handle's I/O; does not wait for the device.
    virtual bool writeOutputReport(qint32 handle, const QByteArray &report) = 0;
    // Takes the oldest queued input report, waiting until the deadline for one to arrive.
    [[nodiscard]] virtual HidReadResult readInputReport(qint32 handle, QDeadlineTimer deadline) = 0;
    // Abandons a pending wait on the handle.
    virtual void cancel(qint32 handle) = 0;
    virtual bool close(qint32 handle) = 0;

    // The completion event of transfers: created once per opening, reset after each report.
    [[nodiscard]] virtual qint32 createCompletionEvent() = 0;
    virtual bool resetCompletionEvent(qint32 event) = 0;
    virtual void closeCompletionEvent(qint32 event) = 0;

    // The error code (errno values) left by the last call; 0 when it succeeded.
    [[nodiscard]] virtual int lastError() const = 0;
};
