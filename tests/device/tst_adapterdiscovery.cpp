#include <QTest>
#include <QTimer>

#include "LorimetAdapter.h"
#include "SimulatedHidBus.h"

using Bus = SimulatedHidBus;

namespace {

QList<Bus::BusEvent> eventsOf(const Bus &bus, int device)
{
    QList<Bus::BusEvent> events;
    for (const Bus::BusEvent &event : bus.events()) {
        if (event.device == device)
            events.append(event);
    }
    return events;
}

bool isOpen(const LorimetAdapter &adapter)
{
    return adapter.HIDHandle() > 0 && adapter.ReadHandle() > 0 && adapter.EventHandle() > 0;
}

bool isClosed(const LorimetAdapter &adapter)
{
    return adapter.HIDHandle() == 0 && adapter.ReadHandle() == 0 && adapter.EventHandle() == 0;
}

Bus::DeviceSettings otherDevice(Bus::OpenBehaviour open = Bus::OpenBehaviour::Opens)
{
    Bus::DeviceSettings settings;
    settings.vendorId = 0x046D;
    settings.productId = 0xC52B;
    settings.open = open;
    return settings;
}

} // namespace

class TestAdapterDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void firstOfTwoAdaptersWins();
    void sameVendorOtherProductIsClosedAgain();
    void unopenableDeviceBeforeAdapterIsSkipped();
    void unreadableAttributesNeverMatch();
    void noAdapterLeavesEverythingClosed_data();
    void noAdapterLeavesEverythingClosed();
    void accessDeniedOnlyForTheAdapter_data();
    void accessDeniedOnlyForTheAdapter();
    void openAttachedAdapterIsOnlyTested();
    void unplugThenReplug();
    void closeDeviceTwiceChangesNothing();
    void failedTransferOpenStaysIdentifiedUntilClosed();
    void failedEventCreationStaysIdentified();
    void endingTheObjectClosesTheDevice();
    void platformCallsLetTheUserInterfaceRun();
};

void TestAdapterDiscovery::firstOfTwoAdaptersWins()
{
    Bus bus;
    const int first = bus.addDevice();
    const int second = bus.addDevice();
    LorimetAdapter adapter(bus);

    QVERIFY(adapter.InitDevice());
    QVERIFY(isOpen(adapter));
    QVERIFY(eventsOf(bus, second).isEmpty());
    const QList<Bus::BusEvent> events = eventsOf(bus, first);
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.at(0).mode, HidOpenMode::Identify);
    QCOMPARE(events.at(0).handle, adapter.HIDHandle());
    QCOMPARE(events.at(1).mode, HidOpenMode::Transfer);
    QCOMPARE(events.at(1).handle, adapter.ReadHandle());
}

void TestAdapterDiscovery::sameVendorOtherProductIsClosedAgain()
{
    Bus bus;
    Bus::DeviceSettings productOne;
    productOne.productId = 0x0001;
    const int other = bus.addDevice(productOne);
    const int adapterDevice = bus.addDevice();
    LorimetAdapter adapter(bus);

    QVERIFY(adapter.InitDevice());
    const QList<Bus::BusEvent> events = eventsOf(bus, other);
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.at(0).kind, Bus::EventKind::Opened);
    QCOMPARE(events.at(1).kind, Bus::EventKind::Closed);
    QCOMPARE(events.at(1).handle, events.at(0).handle);
    QCOMPARE(eventsOf(bus, adapterDevice).size(), 2);
    QCOMPARE(bus.openHandleCount(), 2);
}

void TestAdapterDiscovery::unopenableDeviceBeforeAdapterIsSkipped()
{
    Bus bus;
    bus.addDevice(otherDevice(Bus::OpenBehaviour::Fails));
    bus.addDevice(otherDevice(Bus::OpenBehaviour::AccessDenied));
    const int adapterDevice = bus.addDevice();
    LorimetAdapter adapter(bus);

    QVERIFY(adapter.InitDevice());
    QVERIFY(isOpen(adapter));
    QVERIFY(!adapter.AccessDenied());
    QCOMPARE(bus.events().at(0).kind, Bus::EventKind::OpenFailed);
    QCOMPARE(bus.events().at(1).kind, Bus::EventKind::OpenFailed);
    QCOMPARE(bus.events().at(2).device, adapterDevice);
}

void TestAdapterDiscovery::unreadableAttributesNeverMatch()
{
    Bus bus;
    Bus::DeviceSettings unreadable;
    unreadable.attributesReadable = false;
    const int mute = bus.addDevice(unreadable);
    const int adapterDevice = bus.addDevice();
    LorimetAdapter adapter(bus);

    QVERIFY(adapter.InitDevice());
    QCOMPARE(eventsOf(bus, mute).size(), 2);
    QCOMPARE(eventsOf(bus, mute).at(1).kind, Bus::EventKind::Closed);
    QCOMPARE(eventsOf(bus, adapterDevice).at(0).handle, adapter.HIDHandle());
}

void TestAdapterDiscovery::noAdapterLeavesEverythingClosed_data()
{
    QTest::addColumn<QList<Bus::DeviceSettings>>("devices");

    Bus::DeviceSettings failing;
    failing.open = Bus::OpenBehaviour::Fails;
    Bus::DeviceSettings otherProduct;
    otherProduct.productId = 0x0001;

    QTest::newRow("no devices") << QList<Bus::DeviceSettings> {};
    QTest::newRow("other devices only") << QList<Bus::DeviceSettings> { otherDevice(), otherProduct };
    QTest::newRow("adapter that cannot be opened") << QList<Bus::DeviceSettings> { otherDevice(), failing };
}

void TestAdapterDiscovery::noAdapterLeavesEverythingClosed()
{
    QFETCH(QList<Bus::DeviceSettings>, devices);

    Bus bus;
    for (const Bus::DeviceSettings &settings : devices)
        bus.addDevice(settings);
    LorimetAdapter adapter(bus);

    QVERIFY(!adapter.InitDevice());
    QVERIFY(isClosed(adapter));
    QVERIFY(!adapter.AccessDenied());
    QCOMPARE(bus.openHandleCount(), 0);
}

void TestAdapterDiscovery::accessDeniedOnlyForTheAdapter_data()
{
    QTest::addColumn<bool>("adapterDenied");
    QTest::addColumn<bool>("secondAdapterOpens");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("accessDenied");

    QTest::newRow("adapter denied") << true << false << false << true;
    QTest::newRow("adapter denied, a second one opens") << true << true << true << false;
    QTest::newRow("only another device denied") << false << false << false << false;
}

void TestAdapterDiscovery::accessDeniedOnlyForTheAdapter()
{
    QFETCH(bool, adapterDenied);
    QFETCH(bool, secondAdapterOpens);
    QFETCH(bool, found);
    QFETCH(bool, accessDenied);

    Bus bus;
    Bus::DeviceSettings denied;
    denied.open = Bus::OpenBehaviour::AccessDenied;
    bus.addDevice(adapterDenied ? denied : otherDevice(Bus::OpenBehaviour::AccessDenied));
    if (secondAdapterOpens)
        bus.addDevice();
    LorimetAdapter adapter(bus);

    QCOMPARE(adapter.InitDevice(), found);
    QCOMPARE(adapter.AccessDenied(), accessDenied);
    QCOMPARE(isOpen(adapter), found);
}

void TestAdapterDiscovery::openAttachedAdapterIsOnlyTested()
{
    Bus bus;
    bus.addDevice();
    LorimetAdapter adapter(bus);
    QVERIFY(adapter.InitDevice());
    const qint32 hidHandle = adapter.HIDHandle();
    const qint32 readHandle = adapter.ReadHandle();
    const qsizetype eventCount = bus.events().size();

    QVERIFY(adapter.InitDevice());
    QCOMPARE(bus.events().size(), eventCount);
    QCOMPARE(adapter.HIDHandle(), hidHandle);
    QCOMPARE(adapter.ReadHandle(), readHandle);
}

void TestAdapterDiscovery::unplugThenReplug()
{
    Bus bus;
    const int device = bus.addDevice();
    LorimetAdapter adapter(bus);
    QVERIFY(adapter.InitDevice());

    bus.unplug(device);
    QVERIFY(!adapter.InitDevice());
    QVERIFY(isClosed(adapter));
    QCOMPARE(bus.openHandleCount(), 0);
    QVERIFY(!adapter.InitDevice());
    QVERIFY(isClosed(adapter));

    bus.plug(device);
    QVERIFY(adapter.InitDevice());
    QVERIFY(isOpen(adapter));
}

void TestAdapterDiscovery::closeDeviceTwiceChangesNothing()
{
    Bus bus;
    bus.addDevice();
    LorimetAdapter adapter(bus);
    QVERIFY(adapter.InitDevice());

    adapter.CloseDevice();
    QVERIFY(isClosed(adapter));
    QCOMPARE(bus.openHandleCount(), 0);
    const qsizetype eventCount = bus.events().size();
    const int callCount = bus.backendCallCount();

    adapter.CloseDevice();
    QVERIFY(isClosed(adapter));
    QCOMPARE(bus.events().size(), eventCount);
    QCOMPARE(bus.backendCallCount(), callCount);
}

void TestAdapterDiscovery::failedTransferOpenStaysIdentifiedUntilClosed()
{
    Bus bus;
    Bus::DeviceSettings settings;
    settings.transferOpenFails = true;
    bus.addDevice(settings);
    LorimetAdapter adapter(bus);

    QVERIFY(!adapter.InitDevice());
    QVERIFY(adapter.HIDHandle() > 0);
    QCOMPARE(adapter.ReadHandle(), -1);

    const int callCount = bus.backendCallCount();
    QVERIFY(!adapter.InitDevice());
    QCOMPARE(bus.backendCallCount(), callCount);

    // Reading in this state writes nothing and does not wait.
    QCOMPARE(adapter.ReadDevice(), false);

    adapter.CloseDevice();
    QVERIFY(isClosed(adapter));
    QCOMPARE(bus.openHandleCount(), 0);
    QVERIFY(!adapter.InitDevice());
    QVERIFY(bus.backendCallCount() > callCount);
}

void TestAdapterDiscovery::failedEventCreationStaysIdentified()
{
    Bus bus;
    bus.addDevice();
    bus.setEventCreationFails(true);
    LorimetAdapter adapter(bus);

    QVERIFY(!adapter.InitDevice());
    QVERIFY(adapter.HIDHandle() > 0);
    QVERIFY(adapter.ReadHandle() > 0);
    QVERIFY(adapter.EventHandle() <= 0);

    bus.setEventCreationFails(false);
    QVERIFY(!adapter.InitDevice());
    adapter.CloseDevice();
    QCOMPARE(bus.openHandleCount(), 0);
    QVERIFY(adapter.InitDevice());
    QVERIFY(isOpen(adapter));
}

void TestAdapterDiscovery::endingTheObjectClosesTheDevice()
{
    Bus bus;
    bus.addDevice();
    {
        LorimetAdapter adapter(bus);
        QVERIFY(adapter.InitDevice());
        QCOMPARE(bus.openHandleCount(), 2);
    }
    QCOMPARE(bus.openHandleCount(), 0);
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
