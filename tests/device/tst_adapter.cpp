#include <optional>
#include <thread>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "device/LorimetAdapter.h"
#include "device/simulated/SimulatedHidBus.h"
#include "tests/support/TestFiles.h"

using namespace std::chrono_literals;
using Bus = SimulatedHidBus;
using Open = Bus::OpenBehaviour;

namespace {

const Bus::DeviceSettings Adapter {};

Bus::DeviceSettings otherDevice(Open open = Open::Opens)
{
    return { .vendorId = 0x046D, .productId = 0xC52B, .open = open };
}

bool isClosed(const LorimetAdapter &adapter)
{
    return adapter.HIDHandle() == 0 && adapter.ReadHandle() == 0 && adapter.EventHandle() == 0;
}

// An input report as the adapter sends it: report ID 0, then the data, filled up with 0x04 (ignored).
QByteArray inputReport(const QByteArray &data)
{
    return QByteArray(1, '\0') + data.leftJustified(8, '\x04');
}

// One numbered line per report: seven digits and the end of line.
QString numberedLine(int number)
{
    return QString::number(number).rightJustified(7, QLatin1Char('0'));
}

QList<Bus::ScheduledInput> numberedReports(int first, int count, std::chrono::milliseconds interval)
{
    QList<Bus::ScheduledInput> inputs;
    for (int i = first; i < first + count; ++i)
        inputs.append({ interval, inputReport(numberedLine(i).toLatin1() + '\n') });
    return inputs;
}

// A bus with one adapter, opened, whose lines go to the list.
struct Rig
{
    explicit Rig(std::optional<std::chrono::milliseconds> limit = 500ms)
        : device(bus.addDevice())
        , adapter(bus)
    {
        if (limit)
            adapter.setReadTimeout(*limit);
        adapter.setOutputListBox(&list);
    }

    // Answers each output report with the inputs.
    void answerWith(QList<Bus::ScheduledInput> inputs)
    {
        bus.setOutputReportHandler(
            device, [this, inputs](int, const QByteArray &) { bus.scheduleInputReports(device, inputs); });
    }

    Bus bus;
    int device;
    RecordingList list;
    LorimetAdapter adapter;
};

} // namespace

// Finding and opening the adapter, and its transfers.
class TestAdapter : public QObject
{
    Q_OBJECT

private slots:
    void opensTheFirstAdapter_data();
    void opensTheFirstAdapter();
    void unplugReplugAndClose();
    void halfOpenStaysIdentifiedUntilClosed_data();
    void halfOpenStaysIdentifiedUntilClosed();
    void platformCallsLetTheUserInterfaceRun();
    void eachTransferStartsAfresh();
    void reportsQueueWhileTheUserInterfaceIsBlocked_data();
    void reportsQueueWhileTheUserInterfaceIsBlocked();
    void damagedUnfinishedLastLineIsKept();
    void stopFromHandlerEndsAfterTheCurrentReport_data();
    void stopFromHandlerEndsAfterTheCurrentReport();
    void realReadLimit();
};

void TestAdapter::opensTheFirstAdapter_data()
{
    QTest::addColumn<QList<Bus::DeviceSettings>>("devices");
    QTest::addColumn<int>("opened"); // the device kept open, -1 for none
    QTest::addColumn<bool>("accessDenied");
    const auto row
        = [](const char *name, const QList<Bus::DeviceSettings> &devices, int opened,
              bool accessDenied = false) { QTest::newRow(name) << devices << opened << accessDenied; };

    const Bus::DeviceSettings denied { .open = Open::AccessDenied };
    row("first of two adapters", { Adapter, Adapter }, 0);
    // hid_enumerate takes product 0 as "any product"; the comparison must not.
    row("product 0x0001 is closed again", { { .productId = 0x0001 }, Adapter }, 1);
    row("other vendor, product 0", { { .vendorId = 0x11D3 }, Adapter }, 1);
    row("unopenable devices before the adapter",
        { otherDevice(Open::Fails), otherDevice(Open::AccessDenied), Adapter }, 2);
    row("unreadable attributes never match", { { .attributesReadable = false }, Adapter }, 1);
    row("other devices only", { otherDevice(), { .productId = 0x0001 } }, -1);
    row("adapter that cannot be opened", { otherDevice(), { .open = Open::Fails } }, -1);
    row("adapter denied", { denied }, -1, true);
    row("adapter denied, a second one opens", { denied, Adapter }, 1);
    row("another device denied", { otherDevice(Open::AccessDenied) }, -1);
}

void TestAdapter::opensTheFirstAdapter()
{
    QFETCH(QList<Bus::DeviceSettings>, devices);
    QFETCH(int, opened);
    QFETCH(bool, accessDenied);

    Bus bus;
    for (const Bus::DeviceSettings &settings : devices)
        bus.addDevice(settings);
    LorimetAdapter adapter(bus);

    QCOMPARE(adapter.InitDevice(), opened >= 0);
    QCOMPARE(adapter.accessDenied(), accessDenied);
    for (int device = 0; device < devices.size(); ++device) {
        QList<Bus::BusEvent> events = bus.events();
        events.removeIf([device](const Bus::BusEvent &event) { return event.device != device; });
        if (device == opened) {
            QCOMPARE(events.size(), 2);
            QCOMPARE(events.at(0).mode, HidOpenMode::Identify);
            QCOMPARE(events.at(0).handle, adapter.HIDHandle());
            QCOMPARE(events.at(1).mode, HidOpenMode::Transfer);
            QCOMPARE(events.at(1).handle, adapter.ReadHandle());
        } else {
            QVERIFY2(events.isEmpty() == (opened >= 0 && device > opened), "tried before, untouched after");
        }
    }
    // Every device tried and rejected was closed again.
    QCOMPARE(bus.openHandleCount(), opened >= 0 ? 2 : 0);
    QCOMPARE(isClosed(adapter), opened < 0);
}

void TestAdapter::unplugReplugAndClose()
{
    Bus bus;
    const int device = bus.addDevice();
    {
        LorimetAdapter adapter(bus);
        QVERIFY(adapter.InitDevice());
        const qint32 hidHandle = adapter.HIDHandle();
        const qsizetype eventCount = bus.events().size();
        // Still attached: only tested, nothing opened again.
        QVERIFY(adapter.InitDevice());
        QCOMPARE(bus.events().size(), eventCount);
        QCOMPARE(adapter.HIDHandle(), hidHandle);

        bus.unplug(device);
        QVERIFY(!adapter.InitDevice());
        QVERIFY(isClosed(adapter));
        QCOMPARE(bus.openHandleCount(), 0);
        QVERIFY(!adapter.InitDevice());
        // Closing what is closed touches nothing.
        const int callCount = bus.backendCallCount();
        adapter.CloseDevice();
        QCOMPARE(bus.backendCallCount(), callCount);

        bus.plug(device);
        QVERIFY(adapter.InitDevice());
        QCOMPARE(bus.openHandleCount(), 2);
    }
    // Ending the object closes the device.
    QCOMPARE(bus.openHandleCount(), 0);
}

void TestAdapter::halfOpenStaysIdentifiedUntilClosed_data()
{
    QTest::addColumn<bool>("transferOpenFails"); // otherwise creating the event fails

    QTest::newRow("transfer open fails") << true;
    QTest::newRow("event creation fails") << false;
}

void TestAdapter::halfOpenStaysIdentifiedUntilClosed()
{
    QFETCH(bool, transferOpenFails);

    Bus bus;
    bus.addDevice({ .transferOpenFails = transferOpenFails });
    bus.setEventCreationFails(!transferOpenFails);
    LorimetAdapter adapter(bus);

    QVERIFY(!adapter.InitDevice());
    QVERIFY(adapter.HIDHandle() > 0);
    QCOMPARE(adapter.ReadHandle() == -1, transferOpenFails);
    QVERIFY(adapter.ReadHandle() != 0);
    const int callCount = bus.backendCallCount();
    QVERIFY(!adapter.InitDevice());
    QCOMPARE(bus.backendCallCount(), callCount);

    adapter.CloseDevice();
    QVERIFY(isClosed(adapter));
    QCOMPARE(bus.openHandleCount(), 0);
    bus.setEventCreationFails(false);
    QCOMPARE(adapter.InitDevice(), !transferOpenFails);
    QVERIFY(bus.backendCallCount() > callCount);
}

void TestAdapter::platformCallsLetTheUserInterfaceRun()
{
    Bus bus;
    bus.addDevice(otherDevice());
    bus.addDevice();
    LorimetAdapter adapter(bus);
    int timerRuns = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&timerRuns] { ++timerRuns; });
    timer.start(0);

    QVERIFY(adapter.InitDevice());
    // Enumeration, two opens, two attribute reads, a close, the transfer open, the queue depth, the event.
    QVERIFY2(timerRuns >= 5, qPrintable(QString::number(timerRuns)));
}

void TestAdapter::eachTransferStartsAfresh()
{
    Rig rig;
    rig.answerWith(
        { { 0ms, inputReport("AB\nC") }, { 5ms, inputReport("D\n") }, { 5ms, inputReport("EF") } });
    QVERIFY(rig.adapter.InitDevice());
    QCOMPARE(rig.adapter.ReadDevice(), false);
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));

    // Neither the unfinished line nor a cancel requested between transfers reaches the next transfer.
    rig.adapter.CancelReading();
    rig.answerWith({ { 0ms, inputReport("G\n") }, { 5ms, inputReport("H\n") } });
    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD", "G", "H" }));
    QCOMPARE(rig.list.selected, qint16(3));
    const Bus::BusEvent write = rig.bus.events().constLast();
    QCOMPARE(write.kind, Bus::EventKind::OutputReport);
    QCOMPARE(write.report, QByteArray(2, '\0'));
    QCOMPARE(write.handle, rig.adapter.ReadHandle());
}

void TestAdapter::reportsQueueWhileTheUserInterfaceIsBlocked_data()
{
    QTest::addColumn<int>("capacity"); // 0: the queue the adapter asks for
    QTest::addColumn<int>("blockMs");
    QTest::addColumn<QList<Bus::ScheduledInput>>("inputs"); // numbered 0 on
    QTest::addColumn<bool>("loss");

    // The device file alone keeps 63 reports; the rest arrive while the loop is blocked.
    QTest::newRow("600 reports all arrive") << 0 << 2000 << numberedReports(0, 600, 1ms) << false;
    // Two reports after the overflow carry the mark into a finished line.
    QTest::newRow("overflow marks the error character")
        << 8 << 300
        << numberedReports(0, 40, 2ms) + numberedReports(40, 1, 350ms) + numberedReports(41, 1, 2ms) << true;
}

void TestAdapter::reportsQueueWhileTheUserInterfaceIsBlocked()
{
    QFETCH(int, capacity);
    QFETCH(int, blockMs);
    QFETCH(QList<Bus::ScheduledInput>, inputs);
    QFETCH(bool, loss);

    Rig rig(300ms);
    if (capacity > 0)
        rig.bus.setQueueCapacity(capacity);
    rig.answerWith(inputs);
    rig.list.onAdd = [blockMs](qsizetype count) {
        if (count == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(blockMs));
    };
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();

    // Every report in order, except that after a loss the lines resume later, the first one marked.
    QStringList expected;
    for (int i = 0; i < inputs.size(); ++i)
        expected += numberedLine(i);
    if (loss) {
        const qsizetype gap = rig.list.lines.indexOf(QRegularExpression("\x7F\\d{7}"));
        QVERIFY2(gap > 0, qPrintable(rig.list.lines.join(QLatin1Char(','))));
        expected.remove(gap, rig.list.lines.at(gap).mid(1).toInt() - gap);
        expected[gap].prepend(QChar(0x7F));
    }
    QCOMPARE(rig.list.lines, expected);
}

void TestAdapter::damagedUnfinishedLastLineIsKept()
{
    // While the loop is blocked on the first line, "CD" fills the one-report queue and "EF" is lost.
    Rig rig(300ms);
    rig.bus.setQueueCapacity(1);
    rig.answerWith(
        { { 0ms, inputReport("AB\n") }, { 250ms, inputReport("CD") }, { 2ms, inputReport("EF") } });
    rig.list.onAdd = [](qsizetype count) {
        if (count == 1)
            std::this_thread::sleep_for(700ms);
    };
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();
    // The unfinished line is the only trace of the loss: it stays, marked, for the save to warn about.
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD\u007F" }));
}

void TestAdapter::stopFromHandlerEndsAfterTheCurrentReport_data()
{
    QTest::addColumn<bool>("close"); // CloseDevice instead of CancelReading

    QTest::newRow("CancelReading") << false;
    QTest::newRow("CloseDevice") << true;
}

void TestAdapter::stopFromHandlerEndsAfterTheCurrentReport()
{
    QFETCH(bool, close);

    Rig rig;
    rig.answerWith(QList<Bus::ScheduledInput>(50, { 2ms, inputReport("A\nB\n") }));
    rig.list.onAdd = [&rig, close](qsizetype count) {
        if (count == 3 && close)
            rig.adapter.CloseDevice();
        else if (count == 3)
            rig.adapter.CancelReading();
    };
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "A", "B", "A", "B" }));
}

void TestAdapter::realReadLimit()
{
    // Left at the limit a download uses; each read waits up to it, measured from the start of that read.
    Rig rig(std::nullopt);
    rig.answerWith(
        { { 0ms, inputReport("AB\n") }, { 850ms, inputReport("CD\n") }, { 1450ms, inputReport("EF\n") } });
    QVERIFY(rig.adapter.InitDevice());

    QElapsedTimer elapsed;
    elapsed.start();
    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));
    QVERIFY2(elapsed.elapsed() >= 1840 && elapsed.elapsed() < 2700,
        qPrintable(QString::number(elapsed.elapsed())));
}

QTEST_GUILESS_MAIN(TestAdapter)
#include "tst_adapter.moc"
