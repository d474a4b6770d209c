#include <atomic>
#include <cstring>
#include <thread>

#include <QElapsedTimer>
#include <QTest>

#include "InputReportQueue.h"
#include "TransferWorker.h"

using namespace std::chrono_literals;
using Status = HidReadResult::Status;

namespace {

// A device file that returns the given reads one after another, then stays silent or fails.
class ScriptedFile : public ReportFile
{
public:
    ScriptedFile(QList<QByteArray> reads, bool failAtEnd, std::atomic<int> &writes)
        : m_reads(std::move(reads))
        , m_failAtEnd(failAtEnd)
        , m_writes(writes)
    {
    }

    int write(const QByteArray &report) override
    {
        ++m_writes;
        return static_cast<int>(report.size());
    }

    int read(unsigned char *buffer, int size, int timeoutMs) override
    {
        // Nothing is read before the output report has gone out.
        if (m_writes == 0 || m_reads.isEmpty()) {
            if (m_writes > 0 && m_failAtEnd)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return 0;
        }
        const QByteArray report = m_reads.takeFirst();
        const int length = std::min(size, static_cast<int>(report.size()));
        std::memcpy(buffer, report.constData(), static_cast<std::size_t>(length));
        return length;
    }

private:
    QList<QByteArray> m_reads;
    bool m_failAtEnd;
    std::atomic<int> &m_writes;
};

QByteArray data(char fill)
{
    return QByteArray(8, fill);
}

} // namespace

class TestTransferQueue : public QObject
{
    Q_OBJECT

private slots:
    void fullQueueMarksTheReportBeforeTheGap();
    void queuedReportsOutliveTheFailure();
    void takeWaitsUntilTheDeadline();
    void workerWritesThenQueuesDataBytes();
    void readErrorIsNeverData();
};

void TestTransferQueue::fullQueueMarksTheReportBeforeTheGap()
{
    InputReportQueue queue(3);
    QVERIFY(queue.push(data('a')));
    QVERIFY(queue.push(data('b')));
    QVERIFY(queue.push(data('c')));
    QVERIFY(!queue.push(data('d')));
    QVERIFY(!queue.push(data('e')));

    const HidReadResult first = queue.take(QDeadlineTimer(0));
    QCOMPARE(first.data, data('a'));
    QVERIFY(!first.lossAfter);
    QVERIFY(queue.push(data('f')));
    QCOMPARE(queue.take(QDeadlineTimer(0)).lossAfter, false);
    const HidReadResult beforeGap = queue.take(QDeadlineTimer(0));
    QCOMPARE(beforeGap.data, data('c'));
    QVERIFY(beforeGap.lossAfter);
    QCOMPARE(queue.take(QDeadlineTimer(0)).data, data('f'));
    QCOMPARE(queue.take(QDeadlineTimer(0)).status, Status::Timeout);
}

void TestTransferQueue::queuedReportsOutliveTheFailure()
{
    InputReportQueue queue;
    QVERIFY(queue.push(data('a')));
    queue.fail();
    QVERIFY(!queue.push(data('b')));
    QCOMPARE(queue.take(QDeadlineTimer(0)).status, Status::Report);
    QCOMPARE(queue.take(QDeadlineTimer(1000)).status, Status::Failed);
}

void TestTransferQueue::takeWaitsUntilTheDeadline()
{
    InputReportQueue queue;
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(queue.take(QDeadlineTimer(120ms)).status, Status::Timeout);
    QVERIFY(elapsed.elapsed() >= 120);

    std::thread producer([&queue] {
        std::this_thread::sleep_for(50ms);
        queue.push(data('x'));
    });
    elapsed.restart();
    const HidReadResult result = queue.take(QDeadlineTimer(5s));
    producer.join();
    QCOMPARE(result.status, Status::Report);
    QVERIFY(elapsed.elapsed() < 2000);
}

void TestTransferQueue::workerWritesThenQueuesDataBytes()
{
    std::atomic<int> writes = 0;
    TransferWorker worker(std::make_unique<ScriptedFile>(
        QList<QByteArray> { QByteArray::fromHex("00 41 42 43 44 45 46 47 48"), QByteArray::fromHex("41 0A") },
        false, writes));
    QCOMPARE(worker.queue().take(QDeadlineTimer(100ms)).status, Status::Timeout);

    worker.writeOutputReport(QByteArray(2, '\0'));
    QCOMPARE(worker.queue().take(QDeadlineTimer(2s)).data, QByteArray("ABCDEFGH"));
    QCOMPARE(worker.queue().take(QDeadlineTimer(2s)).data, QByteArray("A\n"));
    QCOMPARE(writes.load(), 1);
}

void TestTransferQueue::readErrorIsNeverData()
{
    std::atomic<int> writes = 0;
    TransferWorker worker(std::make_unique<ScriptedFile>(
        QList<QByteArray> { QByteArray::fromHex("00 41 0A 04 04 04 04 04 04") }, true, writes));
    worker.writeOutputReport(QByteArray(2, '\0'));
    QCOMPARE(worker.queue().take(QDeadlineTimer(2s)).data, QByteArray::fromHex("41 0A 04 04 04 04 04 04"));
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(worker.queue().take(QDeadlineTimer(5s)).status, Status::Failed);
    QVERIFY(elapsed.elapsed() < 2000);
}

QTEST_GUILESS_MAIN(TestTransferQueue)
#include "tst_transferqueue.moc"
