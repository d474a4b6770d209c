#include <QTest>

#include "device/CaptureFile.h"
#include "device/ReportDecoder.h"

using namespace std::chrono_literals;

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void decodesTransfer_data();
    void decodesTransfer();
    void capturedTransfersEndAtTheReadLimit();
    void readsAndWritesCaptures();
    void rejectsMalformedCaptureLines_data();
    void rejectsMalformedCaptureLines();
};

void TestReports::decodesTransfer_data()
{
    QTest::addColumn<QByteArray>("reports"); // hex data bytes, "|" between reports, "!" for lost reports
    QTest::addColumn<QString>("lines"); // "|" between lines, including what finish() keeps
    const auto row = [](const char *name, const char *reports, const QString &lines) {
        QTest::newRow(name) << QByteArray(reports) << lines;
    };

    row("line split across reports", "4C49|4645|0A04040404040404|4243", "LIFE");
    row("underscore mode on, across lines, and off", "1BFB41200A2042|1BFA20430A", "A_|_B C");
    row("escape then end of line: next byte is the command", "58 1B 0A 41 42 0A", "X|B");
    row("escape then 0x04 keeps the escape pending", "1B 04 FB 20 0A", "_");
    row("escape then escape keeps it pending", "1B 1B FB 20 0A", "_");
    row("escape pending across reports", "1B|FB 20 0A", "_");
    row("other command bytes have no effect", "1BF8 1BF9 1BFC 1BFF 1B41 20 0A", " ");
    row("0x96 is the digit 2, also in underscore mode", "48 96 53 0A 1BFB 96 20 0A", "H2S|2_");
    row("0x04 anywhere adds nothing", "04 41 04 0A 04 04 42 0A 04", "A|B");
    row("empty lines are lines", "0A 0A", "|");
    row("control bytes are text", "00 0D 7F 0A", QString(QChar(0)) + QChar(0x0D) + QChar(0x7F));
    row("code page: euro, undefined bytes as C1 controls, Latin-1", "80 81 8D 8F 90 9D 9F E9 0A",
        "\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E9");
    row("text after the last end of line is dropped", "41 0A 42 43", "A");
    row("loss marks the line in progress", "41420A43|!|440A450A", "AB|C\u007FD|E");
    row("a marked unfinished line stays", "41420A43|!", "AB|C\u007F");
}

void TestReports::decodesTransfer()
{
    QFETCH(QByteArray, reports);
    QFETCH(QString, lines);

    ReportDecoder decoder;
    QStringList decoded;
    for (const QByteArray &report : reports.split('|')) {
        if (report == "!")
            decoder.markLoss();
        else
            decoded += decoder.decode(QByteArray::fromHex(report));
    }
    if (const std::optional<QString> rest = decoder.finish())
        decoded += *rest;
    QCOMPARE(decoded, lines.split(QLatin1Char('|')));
}

void TestReports::capturedTransfersEndAtTheReadLimit()
{
    // The first report leaves "C" and an escape pending: within the limit the escape takes 0x44 as its
    // command; at the limit a fresh transfer starts with neither.
    QList<CapturedReport> reports = {
        { 0ms, QByteArray::fromHex("00 41 42 0A 43 1B 04 04 04") },
        { 999ms, QByteArray::fromHex("00 44 0A 04 04 04 04 04 04") },
    };
    QCOMPARE(decodeCapturedTransfers(reports, 1000ms), (QStringList { "AB", "C" }));
    reports[1].delay = 1000ms;
    QCOMPARE(decodeCapturedTransfers(reports, 1000ms), (QStringList { "AB", "D" }));
}

void TestReports::readsAndWritesCaptures()
{
    CaptureError error;
    const std::optional<QList<CapturedReport>> read
        = CaptureFile::parse("# A transfer of two lines\n"
                             "\n"
                             "00 41 42 0a 04 04 04 04 04\n"
                             "  +250\t00 43 44 0A 04 04 04 04 04   # the second line\r\n"
                             "+1200 FF 00 00 00 00 00 00 00 00\n",
            &error);
    const QList<CapturedReport> reports = {
        { 0ms, QByteArray::fromHex("0041420A0404040404") },
        { 250ms, QByteArray::fromHex("0043440A0404040404") },
        { 1200ms, QByteArray::fromHex("FF0000000000000000") },
    };
    QCOMPARE(read, reports);
    QCOMPARE(CaptureFile::format(reports, "recorded\nby hand"),
        QByteArray("# recorded\n"
                   "# by hand\n"
                   "+0 00 41 42 0A 04 04 04 04 04\n"
                   "+250 00 43 44 0A 04 04 04 04 04\n"
                   "+1200 FF 00 00 00 00 00 00 00 00\n"));
}

void TestReports::rejectsMalformedCaptureLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");

    const QByteArray good = "00 41 42 0A 04 04 04 04 04\n";
    QTest::newRow("eight bytes") << QByteArray(good + "# note\n00 41 42 0A 04 04 04 04\n") << 3;
    QTest::newRow("ten bytes") << QByteArray("00 41 42 0A 04 04 04 04 04 04\n") << 1;
    QTest::newRow("not hex") << QByteArray(good + good + "00 41 42 0A 04 04 04 04 G4\n") << 3;
    QTest::newRow("one digit") << QByteArray("00 41 42 0A 04 04 04 04 4\n") << 1;
    QTest::newRow("bytes run together") << QByteArray("004142 0A 04 04 04 04 04 04\n") << 1;
    QTest::newRow("delay without digits") << QByteArray("+ 00 41 42 0A 04 04 04 04 04\n") << 1;
    QTest::newRow("negative delay") << QByteArray(good + "+-5 00 41 42 0A 04 04 04 04 04\n") << 2;
    QTest::newRow("delay only") << QByteArray("+20\n") << 1;
}

void TestReports::rejectsMalformedCaptureLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);

    CaptureError error;
    QVERIFY(!CaptureFile::parse(text, &error));
    QCOMPARE(error.line, line);
    QVERIFY(!error.message.isEmpty());
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
