#include <QTest>

#include "report/DetectorStatus.h"

using DetectorStatus::Detector;

class TestDetectorStatus : public QObject
{
    Q_OBJECT

private slots:
    void endOfLife_data();
    void endOfLife();
    void statusAtItsBoundaries_data();
    void statusAtItsBoundaries();
};

void TestDetectorStatus::endOfLife_data()
{
    QTest::addColumn<QString>("lifeRemaining");
    QTest::addColumn<QDate>("reported");
    QTest::addColumn<QDate>("ends"); // invalid: unknown
    QTest::newRow("months") << "24 months" << QDate(2026, 12, 5) << QDate(2028, 12, 5);
    QTest::newRow("to a shorter month") << "1 month" << QDate(2026, 1, 31) << QDate(2026, 2, 28);
    QTest::newRow("to a leap February") << "25 months" << QDate(2026, 1, 31) << QDate(2028, 2, 29);
    QTest::newRow("from a leap day") << "12 months" << QDate(2028, 2, 29) << QDate(2029, 2, 28);
    QTest::newRow("none left") << "0 months" << QDate(2026, 12, 5) << QDate(2026, 12, 5);
    QTest::newRow("no number") << "expired" << QDate(2026, 12, 5) << QDate();
}

void TestDetectorStatus::endOfLife()
{
    QFETCH(QString, lifeRemaining);
    QFETCH(QDate, reported);
    QFETCH(QDate, ends);
    Detector detector;
    detector.lifeRemainingMonths = DetectorStatus::lifeMonths(lifeRemaining);
    detector.lifeReportedOn = reported;
    QCOMPARE(detector.ends(), ends);
}

void TestDetectorStatus::statusAtItsBoundaries_data()
{
    QTest::addColumn<QDate>("ends"); // invalid: no download told its life
    QTest::addColumn<QString>("lastDownload");
    QTest::addColumn<QStringList>("status"); // on 2026-12-07, with 60 and 30 days
    const QDate asOf(2026, 12, 7);
    QTest::newRow("all well") << asOf.addDays(61) << "2026-11-07 08:00" << QStringList();
    QTest::newRow("ends within 60 days") << asOf.addDays(60) << "2026-12-07" << QStringList { "ends-soon" };
    QTest::newRow("ends today") << asOf << "2026-12-07 08:00" << QStringList { "expired" };
    QTest::newRow("ended, not downloaded for 31 days")
        << asOf.addDays(-1) << "2026-11-06 23:59" << QStringList { "expired", "not-downloaded" };
    QTest::newRow("life never told") << QDate() << "2026-12-01 10:00" << QStringList();
}

void TestDetectorStatus::statusAtItsBoundaries()
{
    QFETCH(QDate, ends);
    QFETCH(QString, lastDownload);
    QFETCH(QStringList, status);
    Detector detector;
    if (ends.isValid()) {
        detector.lifeRemainingMonths = 0;
        detector.lifeReportedOn = ends;
    }
    detector.lastDownload = lastDownload;
    QCOMPARE(detector.status(QDate(2026, 12, 7), {}), status);
}

QTEST_GUILESS_MAIN(TestDetectorStatus)
#include "tst_detectorstatus.moc"
