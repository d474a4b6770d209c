#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>

#include <poll.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>

#include <hidapi.h>

#include "device/HidapiBackend.h"
#include "device/LorimetAdapter.h"
#include "tests/support/TestFiles.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A scripted stand-in for the hidapi calls the backend makes, with their C signatures. A device answers its
// output report with the scripted steps: a report (hex bytes), "EINTR" (a read interrupted by a signal) or
// "unplug". A read waits in poll() like hidapi's, so a signal interrupts it as it would the real one.
namespace {

struct ScriptedDevice
{
    const char *path;
    unsigned short listedVendor, listedProduct; // what the enumeration says
    unsigned short vendor, product; // what the open device says of itself
    int openError = 0;
};

struct Script
{
    QList<ScriptedDevice> devices;
    QStringList answer;
    int interruptedCalls = 0; // the write and the attachment check are interrupted this often first
    QStringList opened;
    QList<QByteArray> writes;
    Clock::time_point firstWrite;
    int openDevices = 0;
};

std::mutex scriptMutex;
Script script;

} // namespace

struct hid_device_
{
    hid_device_info info {};
    int pipe[2] = { -1, -1 }; // one byte waits in the pipe per step ready to be read
    std::deque<QString> ready;
    int interruptedWrites = 0;
    int interruptedChecks = 0;
};

extern "C" {

int hid_init(void)
{
    return 0;
}

int hid_exit(void)
{
    return 0;
}

hid_device_info *hid_enumerate(unsigned short, unsigned short)
{
    const std::lock_guard lock(scriptMutex);
    hid_device_info *list = nullptr;
    for (qsizetype i = script.devices.size() - 1; i >= 0; --i) {
        const ScriptedDevice &device = script.devices.at(i);
        list = new hid_device_info { strdup(device.path), device.listedVendor, device.listedProduct, nullptr,
            0, nullptr, nullptr, 0, 0, 0, list, HID_API_BUS_USB };
    }
    return list;
}

void hid_free_enumeration(hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        free(devs->path);
        delete devs;
        devs = next;
    }
}

hid_device *hid_open_path(const char *path)
{
    const std::lock_guard lock(scriptMutex);
    script.opened.append(QString::fromLatin1(path));
    for (const ScriptedDevice &device : std::as_const(script.devices)) {
        if (std::strcmp(device.path, path) != 0)
            continue;
        if (device.openError != 0) {
            errno = device.openError;
            return nullptr;
        }
        auto *opened = new hid_device_;
        opened->info.path = const_cast<char *>(device.path);
        opened->info.vendor_id = device.vendor;
        opened->info.product_id = device.product;
        opened->interruptedWrites = opened->interruptedChecks = script.interruptedCalls;
        if (pipe(opened->pipe) != 0)
            qFatal("no pipe");
        ++script.openDevices;
        return opened;
    }
    errno = ENOENT;
    return nullptr;
}

void hid_close(hid_device *dev)
{
    const std::lock_guard lock(scriptMutex);
    ::close(dev->pipe[0]);
    ::close(dev->pipe[1]);
    delete dev;
    --script.openDevices;
}

hid_device_info *hid_get_device_info(hid_device *dev)
{
    return &dev->info;
}

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    const std::lock_guard lock(scriptMutex);
    if (dev->interruptedWrites > 0) {
        --dev->interruptedWrites;
        errno = EINTR;
        return -1;
    }
    if (script.writes.isEmpty())
        script.firstWrite = Clock::now();
    script.writes.append(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length)));
    for (const QString &step : std::as_const(script.answer)) {
        dev->ready.push_back(step);
        if (::write(dev->pipe[1], "", 1) != 1)
            qFatal("pipe full");
    }
    return static_cast<int>(length);
}

int hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    {
        const std::lock_guard lock(scriptMutex);
        if (milliseconds == 0 && dev->interruptedChecks > 0) {
            --dev->interruptedChecks;
            errno = EINTR;
            return -1;
        }
    }
    pollfd waiting { dev->pipe[0], POLLIN, 0 };
    const int polled = poll(&waiting, 1, milliseconds);
    if (polled <= 0)
        return polled;
    const std::lock_guard lock(scriptMutex);
    const QString step = dev->ready.front();
    if (step == "unplug")
        return -1; // as hidapi after POLLHUP: no errno
    char byte = 0;
    if (::read(dev->pipe[0], &byte, 1) != 1)
        qFatal("pipe empty");
    dev->ready.pop_front();
    if (step == "EINTR") {
        errno = EINTR;
        return -1;
    }
    const QByteArray report = QByteArray::fromHex(step.toLatin1());
    const size_t copied = std::min(length, static_cast<size_t>(report.size()));
    std::memcpy(data, report.constData(), copied);
    return static_cast<int>(copied);
}

} // extern "C"

namespace {

// The first device lists itself as the adapter but is another device once opened; the second is the
// adapter behind another identity in the list, which also repeats its path.
const QList<ScriptedDevice> Devices {
    { "/dev/hidraw0", 0x11D2, 0x0000, 0x11D2, 0x0001 },
    { "/dev/hidraw1", 0x046D, 0xC52B, 0x11D2, 0x0000 },
    { "/dev/hidraw1", 0x046D, 0xC52B, 0x11D2, 0x0000 },
};

} // namespace

class TestHidapiBackend : public QObject
{
    Q_OBJECT

private slots:
    void init() { script = Script(); }
    void transfer_data();
    void transfer();
    void accessDeniedOnOpen();
};

void TestHidapiBackend::transfer_data()
{
    QTest::addColumn<QStringList>("answer");
    QTest::addColumn<int>("interruptedCalls");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("8-byte reports, no report ID")
        << QStringList { "41420A0404040404", "43440A0404040404" } << 0 << QStringList { "AB", "CD" };
    // A device that numbers its reports also puts the ID before a short one; a long one gives 8 data bytes.
    QTest::newRow("9-byte, longer and short numbered reports") << QStringList { "0141420A0404040404",
        "0145460A040404040447480A", "0143440A" } << 0 << QStringList { "AB", "EF", "CD" };
    QTest::newRow("interrupted write, reads and attachment checks") << QStringList { "0041420A0404040404",
        "EINTR", "EINTR", "0043440A0404040404" } << 2 << QStringList { "AB", "CD" };
    // Reports read before the unplug still arrive; then the loop ends without waiting for the read limit.
    QTest::newRow("unplugged mid-transfer")
        << QStringList { "0041420A0404040404", "0043440A0404040404", "unplug", "0045460A0404040404" } << 0
        << QStringList { "AB", "CD" };
}

void TestHidapiBackend::transfer()
{
    QFETCH(QStringList, answer);
    QFETCH(int, interruptedCalls);
    QFETCH(QStringList, lines);
    const bool unplugged = answer.contains("unplug");
    script.devices = Devices;
    script.answer = answer;
    script.interruptedCalls = interruptedCalls;

    RecordingList list;
    {
        HidapiBackend backend;
        LorimetAdapter adapter(backend);
        adapter.setOutputListBox(&list);
        adapter.setReadTimeout(unplugged ? 10s : 150ms);
        QVERIFY(adapter.InitDevice());
        // The attachment check of an open adapter.
        QVERIFY(adapter.InitDevice());
        QCOMPARE(adapter.HIDHandle() > 0 && adapter.ReadHandle() > 0, true);

        QElapsedTimer elapsed;
        elapsed.start();
        const Clock::time_point start = Clock::now();
        adapter.ReadDevice();
        QVERIFY(!unplugged || elapsed.elapsed() < 5000);
        // The reader is woken for the output report, not left to its read timeout of a second.
        QVERIFY(script.firstWrite - start < 400ms);
        adapter.CloseDevice();
    }
    QCOMPARE(list.lines, lines);
    QCOMPARE(script.writes, QList<QByteArray> { QByteArray(2, '\0') });
    QCOMPARE(script.opened, (QStringList { "/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw1" }));
    QCOMPARE(script.openDevices, 0);
}

void TestHidapiBackend::accessDeniedOnOpen()
{
    script.devices = { { "/dev/hidraw0", 0x11D2, 0x0000, 0x11D2, 0x0000, EACCES } };
    HidapiBackend backend;
    LorimetAdapter adapter(backend);
    QVERIFY(!adapter.InitDevice());
    QVERIFY(adapter.accessDenied());
    QCOMPARE(backend.lastError(), EACCES);
    QCOMPARE(script.openDevices, 0);
}

QTEST_GUILESS_MAIN(TestHidapiBackend)
#include "tst_hidapibackend.moc"
