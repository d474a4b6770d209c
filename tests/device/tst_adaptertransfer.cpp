#include <functional>
#include <optional>
#include <thread>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include "common/OutputList.h"
#include "device/LorimetAdapter.h"
#include "device/simulated/SimulatedHidBus.h"

using namespace std::chrono_literals;
using Bus = SimulatedHidBus;

namespace {

// Keeps the lines and can run a handler as each arrives, as the main window's handlers do mid-transfer.
class RecordingList : public OutputList
{
public:
    void AddItem(const QString &line) override
    {
        lines.append(line);
        if (onAdd)
            onAdd(lines.size());
    }
    [[nodiscard]] qint16 ListCount() const override { return static_cast<qint16>(lines.size()); }
    void SetListIndex(qint16 index) override { selected = index; }

    QStringList lines;
    qint16 selected = -1;
    std::function<void(qsizetype count)> onAdd;
};

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
    explicit Rig(std::optional<std::chrono::milliseconds> limit = 150ms)
        : device(bus.addDevice())
        , adapter(bus)
    {
        if (limit)
            adapter.setReadTimeout(*limit);
        adapter.setOutputListBox(&list);
    }

    // Answers each output report with the inputs; the adapter is pulled unplugAfter later.
    void answerWith(
        QList<Bus::ScheduledInput> inputs, std::optional<std::chrono::milliseconds> unplugAfter = {})
    {
        bus.setOutputReportHandler(device, [this, inputs, unplugAfter](int, const QByteArray &) {
            bus.scheduleInputReports(device, inputs);
            if (unplugAfter)
                bus.scheduleUnplug(device, *unplugAfter);
        });
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
    void eachTransferStartsAfresh();
    void reportsQueueWhileTheUserInterfaceIsBlocked_data();
    void reportsQueueWhileTheUserInterfaceIsBlocked();
    void damagedUnfinishedLastLineIsKept();
    void unplugMidTransferKeepsFinishedLines();
    void stopFromHandlerEndsAfterTheCurrentReport_data();
    void stopFromHandlerEndsAfterTheCurrentReport();
    void realReadLimit();
};

void TestAdapterTransfer::eachTransferStartsAfresh()
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

void TestAdapterTransfer::reportsQueueWhileTheUserInterfaceIsBlocked_data()
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

void TestAdapterTransfer::reportsQueueWhileTheUserInterfaceIsBlocked()
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
        const qsizetype gap = rig.list.lines.indexOf(QRegularExpression(QStringLiteral("\x7F\\d{7}")));
        QVERIFY2(gap > 0, qPrintable(rig.list.lines.join(QLatin1Char(','))));
        expected.remove(gap, rig.list.lines.at(gap).mid(1).toInt() - gap);
        expected[gap].prepend(QChar(0x7F));
    }
    QCOMPARE(rig.list.lines, expected);
}

void TestAdapterTransfer::damagedUnfinishedLastLineIsKept()
{
    // While the loop is blocked on the first line, "CD" fills the one-report queue and "EF" is lost.
    Rig rig(300ms);
    rig.bus.setQueueCapacity(1);
    rig.answerWith({ { 0ms, inputReport("AB\n") }, { 100ms, inputReport("CD") }, { 2ms, inputReport("EF") } });
    rig.list.onAdd = [](qsizetype count) {
        if (count == 1)
            std::this_thread::sleep_for(400ms);
    };
    QVERIFY(rig.adapter.InitDevice());
    rig.adapter.ReadDevice();
    // The unfinished line is the only trace of the loss: it stays, marked, for the save to warn about.
    QCOMPARE(rig.list.lines, (QStringList { "AB", QStringLiteral("CD\u007F") }));
}

void TestAdapterTransfer::unplugMidTransferKeepsFinishedLines()
{
    Rig rig(3000ms);
    rig.answerWith(
        { { 0ms, inputReport("AB\n") }, { 5ms, inputReport("CD\nE") }, { 100ms, inputReport("F\n") } }, 50ms);
    QVERIFY(rig.adapter.InitDevice());

    QElapsedTimer elapsed;
    elapsed.start();
    rig.adapter.ReadDevice();
    // The failed read ends the loop at once instead of waiting out the limit.
    QVERIFY(elapsed.elapsed() < 1000);
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));
}

void TestAdapterTransfer::stopFromHandlerEndsAfterTheCurrentReport_data()
{
    QTest::addColumn<bool>("close"); // CloseDevice instead of CancelReading

    QTest::newRow("CancelReading") << false;
    QTest::newRow("CloseDevice") << true;
}

void TestAdapterTransfer::stopFromHandlerEndsAfterTheCurrentReport()
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

void TestAdapterTransfer::realReadLimit()
{
    // Left at the limit a download uses; each read waits up to it, measured from the start of that read.
    Rig rig(std::nullopt);
    rig.answerWith(
        { { 0ms, inputReport("AB\n") }, { 850ms, inputReport("CD\n") }, { 1150ms, inputReport("EF\n") } });
    QVERIFY(rig.adapter.InitDevice());

    QElapsedTimer elapsed;
    elapsed.start();
    rig.adapter.ReadDevice();
    QCOMPARE(rig.list.lines, (QStringList { "AB", "CD" }));
    QVERIFY2(elapsed.elapsed() >= 1840 && elapsed.elapsed() < 2700,
        qPrintable(QString::number(elapsed.elapsed())));
}

QTEST_GUILESS_MAIN(TestAdapterTransfer)
#include "tst_adaptertransfer.moc"
