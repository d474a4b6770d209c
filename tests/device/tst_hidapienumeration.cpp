#include <QTest>

#include "HidapiBackend.h"
#include "ReportDecoder.h"

class TestHidapiEnumeration : public QObject
{
    Q_OBJECT

private slots:
    void adapterIdentity_data();
    void adapterIdentity();
    void repeatedPathsAreListedOnce();
    void inputReportDataBytes_data();
    void inputReportDataBytes();
};

void TestHidapiEnumeration::adapterIdentity_data()
{
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<bool>("adapter");

    QTest::newRow("the adapter") << 0x11D2 << 0x0000 << true;
    // hid_enumerate would take product 0 as "any product"; the comparison must not.
    QTest::newRow("same vendor, product 1") << 0x11D2 << 0x0001 << false;
    QTest::newRow("same vendor, product FFFF") << 0x11D2 << 0xFFFF << false;
    QTest::newRow("other vendor, product 0") << 0x11D3 << 0x0000 << false;
    QTest::newRow("vendor 0, product 0") << 0x0000 << 0x0000 << false;
    QTest::newRow("swapped") << 0x0000 << 0x11D2 << false;
}

void TestHidapiEnumeration::adapterIdentity()
{
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    QFETCH(bool, adapter);

    QCOMPARE(
        AdapterIdentity::matches(static_cast<quint16>(vendorId), static_cast<quint16>(productId)), adapter);
}

void TestHidapiEnumeration::repeatedPathsAreListedOnce()
{
    const QList<HidEnumerationEntry> entries = {
        { QStringLiteral("/dev/hidraw3"), 0x046D, 0xC52B },
        { QStringLiteral("/dev/hidraw1"), 0x11D2, 0x0000 },
        { QStringLiteral("/dev/hidraw3"), 0x046D, 0xC52B },
        { QStringLiteral("/dev/hidraw0"), 0x11D2, 0x0000 },
        // A repeat that differs keeps the first entry's identity.
        { QStringLiteral("/dev/hidraw1"), 0x11D2, 0x0001 },
    };
    const QList<HidInterface> interfaces = HidapiEnumeration::uniqueInterfaces(entries);
    QCOMPARE(interfaces.size(), 3);
    QCOMPARE(interfaces.at(0).path, QStringLiteral("/dev/hidraw3"));
    QCOMPARE(interfaces.at(1).path, QStringLiteral("/dev/hidraw1"));
    QCOMPARE(interfaces.at(1).productId, quint16(0x0000));
    QCOMPARE(interfaces.at(2).path, QStringLiteral("/dev/hidraw0"));
}

void TestHidapiEnumeration::inputReportDataBytes_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("9 bytes: report ID first") << QByteArray::fromHex("00 41 42 43 44 45 46 47 48")
                                              << QByteArray::fromHex("41 42 43 44 45 46 47 48");
    QTest::newRow("9 bytes with a report ID of its own") << QByteArray::fromHex("05 0A 04 04 04 04 04 04 41")
                                                         << QByteArray::fromHex("0A 04 04 04 04 04 04 41");
    QTest::newRow("8 bytes: no report ID")
        << QByteArray::fromHex("00 41 42 43 44 45 46 47") << QByteArray::fromHex("00 41 42 43 44 45 46 47");
    QTest::newRow("longer read: ID, then 8 data bytes") << QByteArray::fromHex(
        "01 41 42 43 44 45 46 47 48 49 4A") << QByteArray::fromHex("41 42 43 44 45 46 47 48");
    QTest::newRow("short read: data only") << QByteArray::fromHex("41 0A") << QByteArray::fromHex("41 0A");
}

void TestHidapiEnumeration::inputReportDataBytes()
{
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, data);

    QCOMPARE(dataBytesOfInputReport(read), data);
}

QTEST_GUILESS_MAIN(TestHidapiEnumeration)
#include "tst_hidapienumeration.moc"
