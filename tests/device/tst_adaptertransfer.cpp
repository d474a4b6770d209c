#include <thread>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include "LorimetAdapter.h"
#include "RecordingList.h"
#include "ReportDecoder.h"
#include "SimulatedHidBus.h"

using namespace std::chrono_literals;
using Bus = SimulatedHidBus;

namespace {

constexpr auto ShortLimit = 150ms;

// One numbered line per report: seven characters and the end of line.
QByteArray numberedReport(int number)
{
    return inputReport(QByteArray::number(number).rightJustified(7, '0') + '\n');
}

QList<Bus::ScheduledInput> numberedReports(int count, std::chrono::milliseconds interval)
{
    QList<Bus::ScheduledInput> inputs;
    for (int i = 0; i < count; ++i)
        inputs.append({ interval, numberedReport(i) });
    return inputs;
}

// A bus with one adapter that answers each output report with the given reports.
struct Rig
{
    explicit Rig(std::chrono::milliseconds limit = ShortLimit)
        : device(bus.addDevice())
        , adapter(bus)
    {
        adapter.setReadTimeout(limit);
        adapter.setOutputListBox(&list);
    }

    void answerWith(QList<Bus::ScheduledInput> inputs)
    {
        bus.setOutputReportHandler(device,
            [this, inputs](int target, const QByteArray &) { bus.scheduleInputReports(target, inputs); });
    }

    Bus bus;
    int device;
    RecordingList list;
    LorimetAdapter adapter;
};

} // namespace

class TestAdapterTransfer : public QObject
{
    Q_OBJECT

private slots:
    void linesAcrossTwoReports();
    void outputReportIsTwoZeroBytes();
    void closedObjectNeitherWritesNorWaits();
    void silentAdapterEndsAfterTheLimit();
    void eachReportWithinTheLimitKeepsTheTransferGoing();
    void unfinishedLineIsNotContinuedByTheNextTransfer();
    void withoutListBoxLinesAreDropped();
    void queueHoldsReportsWhileTheUserInterfaceIsBlocked();
    void overflowMarksTheErrorCharacter();
    void unplugMidTransferKeepsFinishedLines();
    void cancelFromHandlerEndsAfterTheCurrentReport();
    void cancelBetweenTransfersIsIgnored();
    void closingFromHandlerEndsTheTransfer();
    void capturedReplayGivesTheDecodedLines();
    void realReadLimit();
};

void TestAdapterTransfer::linesAcrossTwoReports()
{
    Rig rig;
    rig.answerWith(
        { { 0ms, inputReport("AB\nC") }, { 5ms, inputReport("D\n") }, { 5ms, inputReport("EF") } });
    QVERIFY(rig.adapter.InitDevice());

    QCOMPARE(rig.adapter.ReadDevice(), false);
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));
    QCOMPARE(rig.list.selected, qint16(1));
}

void TestAdapterTransfer::outputReportIsTwoZeroBytes()
{
    Rig rig;
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();
    rig.adapter.ReadDevice();

    QList<Bus::BusEvent> writes;
    for (const Bus::BusEvent &event : rig.bus.events()) {
        if (event.kind == Bus::EventKind::OutputReport)
            writes.append(event);
    }
    QCOMPARE(writes.size(), 2);
    for (const Bus::BusEvent &write : writes) {
        QCOMPARE(write.report, QByteArray(2, '\0'));
        QCOMPARE(write.handle, rig.adapter.ReadHandle());
    }
}

void TestAdapterTransfer::closedObjectNeitherWritesNorWaits()
{
    Rig rig(5000ms);
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(rig.adapter.ReadDevice(), false);
    QVERIFY(elapsed.elapsed() < 1000);
    QVERIFY(rig.list.lines.isEmpty());
    QVERIFY(rig.bus.events().isEmpty());
}

void TestAdapterTransfer::silentAdapterEndsAfterTheLimit()
{
    Rig rig;
    QVERIFY(rig.adapter.InitDevice());
    QElapsedTimer elapsed;
    elapsed.start();
    rig.adapter.ReadDevice();
    QVERIFY(elapsed.elapsed() >= ShortLimit.count());
    QVERIFY(elapsed.elapsed() < ShortLimit.count() + 500);
    QVERIFY(rig.list.lines.isEmpty());
}

void TestAdapterTransfer::eachReportWithinTheLimitKeepsTheTransferGoing()
{
    Rig rig;
    // Together far longer than the limit, each well within it; then one too late for this transfer.
    QList<Bus::ScheduledInput> inputs = numberedReports(6, 90ms);
    inputs.append({ 400ms, inputReport("LATE\n") });
    rig.answerWith(inputs);
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    QCOMPARE(
        rig.list.lines, (QStringList { "0000000", "0000001", "0000002", "0000003", "0000004", "0000005" }));
}

void TestAdapterTransfer::unfinishedLineIsNotContinuedByTheNextTransfer()
{
    Rig rig;
    rig.answerWith({ { 0ms, inputReport("AB\nC") } });
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();
    rig.answerWith({ { 0ms, inputReport("D\n") } });
    rig.adapter.ReadDevice();

    QCOMPARE(rig.list.lines, (QStringList { "AB", "D" }));
}

void TestAdapterTransfer::withoutListBoxLinesAreDropped()
{
    Rig rig;
    rig.adapter.setOutputListBox(nullptr);
    rig.answerWith({ { 0ms, inputReport("AB\n") }, { 5ms, inputReport("CD\n") } });
    QVERIFY(rig.adapter.InitDevice());
    int reports = 0;
    rig.adapter.setInputReportObserver([&reports](const QByteArray &, auto) { ++reports; });

    rig.adapter.ReadDevice();
    QCOMPARE(reports, 2);
    QVERIFY(rig.list.lines.isEmpty());
}

void TestAdapterTransfer::queueHoldsReportsWhileTheUserInterfaceIsBlocked()
{
    Rig rig(300ms);
    rig.answerWith(numberedReports(600, 1ms));
    rig.list.onAdd = [&rig](const QString &) {
        if (rig.list.lines.size() == 1)
            std::this_thread::sleep_for(2s);
    };
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    // The device file alone keeps 63 reports; the rest arrived while the loop was blocked.
    QCOMPARE(rig.list.lines.size(), 600);
    for (int i = 0; i < 600; ++i)
        QCOMPARE(rig.list.lines.at(i), QString::number(i).rightJustified(7, '0'));
}

void TestAdapterTransfer::overflowMarksTheErrorCharacter()
{
    Rig rig(300ms);
    rig.bus.setQueueCapacity(8);
    QList<Bus::ScheduledInput> inputs = numberedReports(40, 2ms);
    inputs += { { 350ms, numberedReport(40) }, { 2ms, numberedReport(41) } };
    rig.answerWith(inputs);
    rig.list.onAdd = [&rig](const QString &) {
        if (rig.list.lines.size() == 1)
            std::this_thread::sleep_for(300ms);
    };
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    const QStringList &lines = rig.list.lines;
    QVERIFY2(lines.size() < 40, qPrintable(lines.join(QLatin1Char(','))));
    // The line after the gap carries the mark; every line is still a whole report, in order.
    int marked = 0;
    int previous = -1;
    static const QRegularExpression linePattern(QStringLiteral("^(\x7F?)(\\d{7})$"));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = linePattern.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        if (!match.captured(1).isEmpty()) {
            ++marked;
            QVERIFY(match.captured(2).toInt() > previous + 1);
        } else {
            QCOMPARE(match.captured(2).toInt(), previous + 1);
        }
        previous = match.captured(2).toInt();
    }
    QCOMPARE(marked, 1);
    QCOMPARE(lines.last(), QStringLiteral("0000041"));
}

void TestAdapterTransfer::unplugMidTransferKeepsFinishedLines()
{
    Rig rig(3000ms);
    rig.bus.setOutputReportHandler(rig.device, [&rig](int device, const QByteArray &) {
        rig.bus.scheduleInputReports(device, { { 0ms, inputReport("AB\n") }, { 5ms, inputReport("CD\nE") } });
        rig.bus.scheduleUnplug(device, 50ms);
        rig.bus.scheduleInputReports(device, { { 100ms, inputReport("F\n") } });
    });
    QVERIFY(rig.adapter.InitDevice());

    QElapsedTimer elapsed;
    elapsed.start();
    rig.adapter.ReadDevice();
    // The failed read ends the loop at once instead of waiting out the limit.
    QVERIFY(elapsed.elapsed() < 1000);
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));

    QVERIFY(!rig.adapter.InitDevice());
    QCOMPARE(rig.adapter.HIDHandle(), 0);
    QCOMPARE(rig.bus.openHandleCount(), 0);
}

void TestAdapterTransfer::cancelFromHandlerEndsAfterTheCurrentReport()
{
    Rig rig(1000ms);
    rig.bus.setOutputReportHandler(rig.device, [&rig](int device, const QByteArray &) {
        rig.bus.scheduleEndlessStream(device, 2ms, inputReport("A\nB\n"));
    });
    rig.list.onAdd = [&rig](const QString &) {
        if (rig.list.lines.size() == 3)
            rig.adapter.CancelReading();
        // Ends the endless stream should the request be lost, so that the test fails instead of hanging.
        if (rig.list.lines.size() == 100)
            rig.adapter.CloseDevice();
    };
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "A", "B", "A", "B" }));
}

void TestAdapterTransfer::cancelBetweenTransfersIsIgnored()
{
    Rig rig;
    rig.answerWith(numberedReports(3, 2ms));
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.CancelReading();
    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines.size(), 3);
}

void TestAdapterTransfer::closingFromHandlerEndsTheTransfer()
{
    Rig rig;
    rig.answerWith(numberedReports(10, 2ms));
    rig.list.onAdd = [&rig](const QString &) {
        if (rig.list.lines.size() == 2)
            rig.adapter.CloseDevice();
    };
    QVERIFY(rig.adapter.InitDevice());

    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines.size(), 2);
    QCOMPARE(rig.bus.openHandleCount(), 0);
}

void TestAdapterTransfer::capturedReplayGivesTheDecodedLines()
{
    const CaptureParseResult capture
        = CaptureFile::read(QStringLiteral(LORIMET_TEST_DATA_DIR "/event-log.cap"));
    QVERIFY(!capture.error);
    const QStringList expected = decodeCapturedTransfers(capture.reports, 1000ms);
    QVERIFY(expected.size() > 10);

    Rig rig(1000ms);
    rig.bus.respondWithCapture(rig.device, capture.reports);
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, expected);
}

void TestAdapterTransfer::realReadLimit()
{
    Rig rig;
    rig.answerWith(
        { { 0ms, inputReport("AB\n") }, { 850ms, inputReport("CD\n") }, { 1150ms, inputReport("EF\n") } });
    // A fresh adapter: its read limit is the one a download uses.
    LorimetAdapter adapter(rig.bus);
    adapter.setOutputListBox(&rig.list);
    QVERIFY(adapter.InitDevice());

    QElapsedTimer elapsed;
    elapsed.start();
    adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));
    QVERIFY2(elapsed.elapsed() >= 1840 && elapsed.elapsed() < 2700,
        qPrintable(QString::number(elapsed.elapsed())));
}

QTEST_GUILESS_MAIN(TestAdapterTransfer)
#include "tst_adaptertransfer.moc"
