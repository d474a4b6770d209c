#include <QTest>
#include <QTimer>

#include "device/LorimetAdapter.h"
#include "device/simulated/SimulatedHidBus.h"

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

} // namespace

class TestAdapterDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void opensTheFirstAdapter_data();
    void opensTheFirstAdapter();
    void unplugReplugAndClose();
    void halfOpenStaysIdentifiedUntilClosed_data();
    void halfOpenStaysIdentifiedUntilClosed();
    void platformCallsLetTheUserInterfaceRun();
};

void TestAdapterDiscovery::opensTheFirstAdapter_data()
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
    row("vendor and product swapped", { { .vendorId = 0x0000, .productId = 0x11D2 } }, -1);
    row("unopenable devices before the adapter",
        { otherDevice(Open::Fails), otherDevice(Open::AccessDenied), Adapter }, 2);
    row("unreadable attributes never match", { { .attributesReadable = false }, Adapter }, 1);
    row("no devices", {}, -1);
    row("other devices only", { otherDevice(), { .productId = 0x0001 } }, -1);
    row("adapter that cannot be opened", { otherDevice(), { .open = Open::Fails } }, -1);
    row("adapter denied", { denied }, -1, true);
    row("adapter denied, a second one opens", { denied, Adapter }, 1);
    row("another device denied", { otherDevice(Open::AccessDenied) }, -1);
}

void TestAdapterDiscovery::opensTheFirstAdapter()
{
    QFETCH(QList<Bus::DeviceSettings>, devices);
    QFETCH(int, opened);
    QFETCH(bool, accessDenied);

    Bus bus;
    for (const Bus::DeviceSettings &settings : devices)
        bus.addDevice(settings);
    LorimetAdapter adapter(bus);

    QCOMPARE(adapter.InitDevice(), opened >= 0);
    QCOMPARE(adapter.AccessDenied(), accessDenied);
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

void TestAdapterDiscovery::unplugReplugAndClose()
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

void TestAdapterDiscovery::halfOpenStaysIdentifiedUntilClosed_data()
{
    QTest::addColumn<bool>("transferOpenFails"); // otherwise creating the event fails

    QTest::newRow("transfer open fails") << true;
    QTest::newRow("event creation fails") << false;
}

void TestAdapterDiscovery::halfOpenStaysIdentifiedUntilClosed()
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

void TestAdapterDiscovery::platformCallsLetTheUserInterfaceRun()
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

QTEST_GUILESS_MAIN(TestAdapterDiscovery)
#include "tst_adapterdiscovery.moc"
