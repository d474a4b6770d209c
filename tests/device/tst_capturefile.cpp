#include <QTest>

#include "CaptureFile.h"

using namespace std::chrono_literals;

class TestCaptureFile : public QObject
{
    Q_OBJECT

private slots:
    void parsesReports();
    void rejectsMalformedLines_data();
    void rejectsMalformedLines();
    void formatsOneReportPerLine();
};

void TestCaptureFile::parsesReports()
{
    const QByteArray text = "# A transfer of two lines\n"
                            "\n"
                            "00 41 42 0a 04 04 04 04 04\n"
                            "  +250\t00 43 44 0A 04 04 04 04 04   # the second line\r\n"
                            "+1200 FF 00 00 00 00 00 00 00 00\n";
    const CaptureParseResult result = CaptureFile::parse(text);
    QVERIFY(!result.error);
    const QList<CapturedReport> expected = {
        { 0ms, QByteArray::fromHex("00414 20A0404040404") },
        { 250ms, QByteArray::fromHex("0043440A0404040404") },
        { 1200ms, QByteArray::fromHex("FF0000000000000000") },
    };
    QCOMPARE(result.reports, expected);
}

void TestCaptureFile::rejectsMalformedLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");

    const QByteArray good = "00 41 42 0A 04 04 04 04 04\n";
    QTest::newRow("eight bytes") << QByteArray(good + "# note\n00 41 42 0A 04 04 04 04\n") << 3;
    QTest::newRow("ten bytes") << QByteArray("00 41 42 0A 04 04 04 04 04 04\n") << 1;
    QTest::newRow("not hex") << QByteArray(good + good + "00 41 42 0A 04 04 04 04 G4\n") << 3;
    QTest::newRow("one digit") << QByteArray("00 41 42 0A 04 04 04 04 4\n") << 1;
    QTest::newRow("three digits") << QByteArray("00 41 42 0A 04 04 04 04 004\n") << 1;
    QTest::newRow("bytes run together") << QByteArray("004142 0A 04 04 04 04 04 04\n") << 1;
    QTest::newRow("delay without digits") << QByteArray("+ 00 41 42 0A 04 04 04 04 04\n") << 1;
    QTest::newRow("negative delay") << QByteArray(good + "+-5 00 41 42 0A 04 04 04 04 04\n") << 2;
    QTest::newRow("delay not a number") << QByteArray("+1s 00 41 42 0A 04 04 04 04 04\n") << 1;
    QTest::newRow("delay only") << QByteArray("+20\n") << 1;
}

void TestCaptureFile::rejectsMalformedLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);

    const CaptureParseResult result = CaptureFile::parse(text);
    QVERIFY(result.error);
    QCOMPARE(result.error->line, line);
    QVERIFY(!result.error->message.isEmpty());
    QVERIFY(result.reports.isEmpty());
}

void TestCaptureFile::formatsOneReportPerLine()
{
    const QList<CapturedReport> reports = {
        { 12ms, QByteArray::fromHex("00480A1BFB9620ABFF") },
        { 0ms, QByteArray::fromHex("000A040404040404FF") },
    };
    QCOMPARE(CaptureFile::format(reports, QStringLiteral("recorded\nby hand")),
        QByteArray("# recorded\n"
                   "# by hand\n"
                   "+12 00 48 0A 1B FB 96 20 AB FF\n"
                   "+0 00 0A 04 04 04 04 04 04 FF\n"));
}

QTEST_GUILESS_MAIN(TestCaptureFile)
#include "tst_capturefile.moc"
