#include <chrono>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "TransferTiming.h"

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;

namespace {

// A clock that moves on by a fixed step each time it is read.
struct SteppingClock
{
    TimePoint now;
    std::chrono::milliseconds step;
    QList<TimePoint> readings;

    MonotonicClock function()
    {
        return [this] {
            readings.append(now);
            const TimePoint reading = now;
            now += step;
            return reading;
        };
    }
};

} // namespace

class TestTransferTiming : public QObject
{
    Q_OBJECT

private slots:
    void waitsUntilTheDurationHasPassedSinceTheStart_data();
    void waitsUntilTheDurationHasPassedSinceTheStart();
    void processesEventsWhileItWaits();
    void waitsInRealTime();
};

void TestTransferTiming::waitsUntilTheDurationHasPassedSinceTheStart_data()
{
    QTest::addColumn<qint64>("startSeconds");
    QTest::addColumn<int>("alreadyElapsedMs");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<int>("expectedReadings");

    // The start is taken before a search that itself used part of the pause.
    QTest::newRow("fresh start") << qint64(1000) << 0 << 2000 << 250 << 9;
    QTest::newRow("search used half") << qint64(1000) << 1000 << 2000 << 250 << 5;
    QTest::newRow("search used all of it") << qint64(1000) << 2000 << 2000 << 250 << 1;
    QTest::newRow("search took longer") << qint64(1000) << 3500 << 2000 << 250 << 1;
    QTest::newRow("just before midnight") << qint64(86399) << 0 << 2000 << 250 << 9;
    QTest::newRow("across a day's wrap") << qint64(86400 * 3 - 1) << 500 << 2000 << 500 << 4;
    QTest::newRow("one second, uneven steps") << qint64(5) << 0 << 1000 << 300 << 5;
    QTest::newRow("no pause") << qint64(5) << 0 << 0 << 300 << 1;
}

void TestTransferTiming::waitsUntilTheDurationHasPassedSinceTheStart()
{
    QFETCH(qint64, startSeconds);
    QFETCH(int, alreadyElapsedMs);
    QFETCH(int, durationMs);
    QFETCH(int, stepMs);
    QFETCH(int, expectedReadings);

    const TimePoint start { std::chrono::seconds(startSeconds) };
    SteppingClock clock { start + std::chrono::milliseconds(alreadyElapsedMs),
        std::chrono::milliseconds(stepMs), {} };

    QElapsedTimer real;
    real.start();
    pauseSince(clock.function(), start, std::chrono::milliseconds(durationMs));

    QCOMPARE(clock.readings.size(), expectedReadings);
    // It ends at the first reading at or past the deadline, never earlier.
    const TimePoint deadline = start + std::chrono::milliseconds(durationMs);
    QVERIFY(clock.readings.last() >= deadline);
    for (qsizetype i = 0; i + 1 < clock.readings.size(); ++i)
        QVERIFY(clock.readings.at(i) < deadline);
    if (expectedReadings == 1)
        QVERIFY2(real.elapsed() < 50, "a pause whose time has already passed must end at once");
}

void TestTransferTiming::processesEventsWhileItWaits()
{
    int fired = 0;
    QTimer::singleShot(0, this, [&fired] { ++fired; });
    QTimer::singleShot(20, this, [&fired] { ++fired; });
    const auto start = std::chrono::steady_clock::now();
    pauseSince([] { return std::chrono::steady_clock::now(); }, start, 100ms);
    QCOMPARE(fired, 2);
}

void TestTransferTiming::waitsInRealTime()
{
    QElapsedTimer real;
    real.start();
    const auto start = std::chrono::steady_clock::now();
    pauseSince([] { return std::chrono::steady_clock::now(); }, start, 1000ms);
    QVERIFY2(real.elapsed() >= 1000, qPrintable(QString::number(real.elapsed())));
    QVERIFY2(real.elapsed() < 1200, qPrintable(QString::number(real.elapsed())));
}

QTEST_GUILESS_MAIN(TestTransferTiming)
#include "tst_transfertiming.moc"
