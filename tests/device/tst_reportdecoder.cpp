#include <QTest>

#include "ReportDecoder.h"

using namespace std::chrono_literals;

class TestReportDecoder : public QObject
{
    Q_OBJECT

private slots:
    void decodesStream_data();
    void decodesStream();
    void lineSplitAcrossReportsIsJoined();
    void endOfTransferDropsUnfinishedLine();
    void lossMarksTheLineInProgress();
    void lossOnLastUnfinishedLineStaysVisible();
    void capturedTransfersEndAtTheReadLimit_data();
    void capturedTransfersEndAtTheReadLimit();
};

void TestReportDecoder::decodesStream_data()
{
    QTest::addColumn<QByteArray>("reports");
    QTest::addColumn<QStringList>("lines");

    // Reports are joined, as the stream does not care where a report ends.
    QTest::newRow("two lines in two reports padded with 0x04") << QByteArray::fromHex("41420A0404040404"
                                                                                      "43440A0404040404")
                                                               << QStringList { "AB", "CD" };
    QTest::newRow("underscore mode on and off") << QByteArray::fromHex("1BFB4120421BFA2043"
                                                                       "0A")
                                                << QStringList { "A_B C" };
    QTest::newRow("underscore mode outlives the line")
        << QByteArray::fromHex("1BFB41200A20420A") << QStringList { "A_", "_B" };
    QTest::newRow("escape then end of line: next byte is the command")
        << QByteArray::fromHex("58 1B 0A 41 42 0A") << QStringList { "X", "B" };
    QTest::newRow("escape then 0x04 keeps the escape pending")
        << QByteArray::fromHex("1B 04 FB 20 0A") << QStringList { "_" };
    QTest::newRow("escape then escape keeps it pending")
        << QByteArray::fromHex("1B 1B FB 20 0A") << QStringList { "_" };
    QTest::newRow("other command bytes have no effect")
        << QByteArray::fromHex("1BF8 1BF9 1BFC 1BFF 1B41 20 0A") << QStringList { " " };
    QTest::newRow("0x96 is the digit 2") << QByteArray::fromHex("48 96 53 0A") << QStringList { "H2S" };
    QTest::newRow("0x96 after underscore mode still 2")
        << QByteArray::fromHex("1BFB 96 20 0A") << QStringList { "2_" };
    QTest::newRow("0x04 anywhere adds nothing")
        << QByteArray::fromHex("04 41 04 0A 04 04 42 0A 04") << QStringList { "A", "B" };
    QTest::newRow("empty lines are lines") << QByteArray::fromHex("0A 0A") << QStringList { "", "" };
    QTest::newRow("control bytes are text") << QByteArray::fromHex("00 0D 7F 0A")
                                            << QStringList { QString(QChar(0)) + QChar(0x0D) + QChar(0x7F) };
    QTest::newRow("code page: euro, undefined bytes as C1 controls, Latin-1")
        << QByteArray::fromHex("80 81 8D 8F 90 9D 9F E9 0A")
        << QStringList { QStringLiteral("\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E9") };
    QTest::newRow("text after the last end of line is not a line")
        << QByteArray::fromHex("41 0A 42 43") << QStringList { "A" };
}

void TestReportDecoder::decodesStream()
{
    QFETCH(QByteArray, reports);
    QFETCH(QStringList, lines);

    ReportDecoder decoder;
    QStringList decoded;
    for (qsizetype i = 0; i < reports.size(); i += 8)
        decoded
            += decoder.decode(QByteArrayView(reports).sliced(i, std::min<qsizetype>(8, reports.size() - i)));
    QCOMPARE(decoded, lines);
    QCOMPARE(decoder.finish(), std::nullopt);
}

void TestReportDecoder::lineSplitAcrossReportsIsJoined()
{
    ReportDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("LIFE")), QStringList());
    QCOMPARE(decoder.decode(QByteArray(" REMAINING")), QStringList());
    QCOMPARE(decoder.decode(QByteArray(":\n")), QStringList { "LIFE REMAINING:" });
}

void TestReportDecoder::endOfTransferDropsUnfinishedLine()
{
    ReportDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("AB\nCD")), QStringList { "AB" });
    QCOMPARE(decoder.finish(), std::nullopt);
    // Nothing of the dropped line reaches the next line either.
    QCOMPARE(decoder.decode(QByteArray("EF\n")), QStringList { "EF" });
}

void TestReportDecoder::lossMarksTheLineInProgress()
{
    ReportDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("AB\nC")), QStringList { "AB" });
    decoder.markLoss();
    QCOMPARE(decoder.decode(QByteArray("D\nE\n")),
        (QStringList { QStringLiteral("C\x7F"
                                      "D"),
            "E" }));
    QCOMPARE(decoder.finish(), std::nullopt);
}

void TestReportDecoder::lossOnLastUnfinishedLineStaysVisible()
{
    ReportDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("AB\nC")), QStringList { "AB" });
    decoder.markLoss();
    QCOMPARE(decoder.finish(), std::optional<QString>(QStringLiteral("C\x7F")));
    QCOMPARE(decoder.finish(), std::nullopt);
}

void TestReportDecoder::capturedTransfersEndAtTheReadLimit_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("gap below the limit joins") << 999 << QStringList { "AB", "CD" };
    QTest::newRow("gap at the limit ends the transfer") << 1000 << QStringList { "AB", "D" };
    QTest::newRow("longer gap ends the transfer") << 5000 << QStringList { "AB", "D" };
}

void TestReportDecoder::capturedTransfersEndAtTheReadLimit()
{
    QFETCH(int, gapMs);
    QFETCH(QStringList, lines);

    // "C" is left unfinished when the first report is the last of its transfer: the next transfer must
    // not continue it.
    const QList<CapturedReport> reports = {
        { 0ms, QByteArray::fromHex("00 41 42 0A 43 04 04 04 04") },
        { std::chrono::milliseconds(gapMs), QByteArray::fromHex("00 44 0A 04 04 04 04 04 04") },
    };
    QCOMPARE(decodeCapturedTransfers(reports, 1000ms), lines);
}

QTEST_GUILESS_MAIN(TestReportDecoder)
#include "tst_reportdecoder.moc"
