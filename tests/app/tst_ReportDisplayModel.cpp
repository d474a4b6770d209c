#include <QSignalSpy>
#include <QTest>

#include "ReportDisplayModel.h"

using namespace std::chrono_literals;

class tst_ReportDisplayModel : public QObject
{
    Q_OBJECT

private slots:
    void appendedLinesAreStoredAtOnceAndShownInOneBatch();
    void selectionReachesViewsWithTheBatch();
    void onlyTheLastSelectionOfABatchCounts();
    void batchIsPublishedAfterTheInterval();
    void steadyStreamIsPublishedEveryInterval();
    void capKeepsTheFirstLinesAndCountsTheRest();
    void removeAndSetLineKeepViewsConsistent();
    void clearDropsPendingSelection();
    void invalidPositionsChangeNothing_data();
    void invalidPositionsChangeNothing();
};

void tst_ReportDisplayModel::appendedLinesAreStoredAtOnceAndShownInOneBatch()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    model.append(QStringLiteral("first"));
    model.append(QStringLiteral("second"));
    QCOMPARE(model.count(), 2);
    QCOMPARE(model.line(1), QStringLiteral("second"));
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.hasPendingChanges());

    model.publishPending();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1);
    QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("second"));
    QVERIFY(!model.hasPendingChanges());
}

void tst_ReportDisplayModel::selectionReachesViewsWithTheBatch()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    QSignalSpy selection(&model, &ReportDisplayModel::selectionDue);
    // The view must know the row before it is asked to select it.
    connect(&model, &ReportDisplayModel::selectionDue, this,
        [&model](int row) { QVERIFY(row < model.rowCount()); });

    model.append(QStringLiteral("a"));
    model.requestSelection(0);
    QCOMPARE(selection.count(), 0);
    model.publishPending();
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 0);

    model.requestSelection(-1);
    model.publishPending();
    QCOMPARE(selection.count(), 2);
    QCOMPARE(selection.at(1).at(0).toInt(), -1);
}

void tst_ReportDisplayModel::onlyTheLastSelectionOfABatchCounts()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    QSignalSpy selection(&model, &ReportDisplayModel::selectionDue);
    for (int line = 0; line < 500; ++line) {
        model.append(QString::number(line));
        model.requestSelection(line);
    }
    model.publishPending();
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 499);
}

void tst_ReportDisplayModel::batchIsPublishedAfterTheInterval()
{
    ReportDisplayModel model;
    QElapsedTimer clock;
    qint64 selectedAfter = -1;
    connect(&model, &ReportDisplayModel::selectionDue, this, [&] { selectedAfter = clock.elapsed(); });
    clock.start();
    model.append(QStringLiteral("line"));
    model.requestSelection(0);
    // The real interval: the newest line reaches the screen 100 ms after it arrived, give or take the
    // scheduling of a busy test machine.
    QTRY_VERIFY_WITH_TIMEOUT(selectedAfter >= 0, 1000);
    QVERIFY2(selectedAfter >= 95 && selectedAfter <= 200, qPrintable(QString::number(selectedAfter)));
    QCOMPARE(model.rowCount(), 1);
}

void tst_ReportDisplayModel::steadyStreamIsPublishedEveryInterval()
{
    ReportDisplayModel model;
    model.setBatchInterval(20ms);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QElapsedTimer clock;
    clock.start();
    // A line every 2 ms must not keep postponing the batch.
    while (clock.elapsed() < 150) {
        model.append(QStringLiteral("x"));
        QTest::qWait(2);
    }
    QVERIFY2(inserted.count() >= 3, qPrintable(QString::number(inserted.count())));
}

void tst_ReportDisplayModel::capKeepsTheFirstLinesAndCountsTheRest()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    for (int line = 0; line < ReportDisplayModel::MaxLines; ++line)
        QVERIFY(model.append(QString::number(line)));
    QVERIFY(!model.append(QStringLiteral("one too many")));
    QVERIFY(!model.append(QStringLiteral("two too many")));
    QCOMPARE(model.count(), 32767);
    QCOMPARE(model.linesLeftOut(), 2);
    QCOMPARE(model.line(32766), QStringLiteral("32766"));

    model.resetLinesLeftOut();
    model.removeAt(0);
    QVERIFY(model.append(QStringLiteral("fits again")));
    QCOMPARE(model.linesLeftOut(), 0);
    QCOMPARE(model.line(32766), QStringLiteral("fits again"));
}

void tst_ReportDisplayModel::removeAndSetLineKeepViewsConsistent()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    model.append(QStringLiteral("a"));
    model.append(QStringLiteral("b"));
    model.publishPending();
    model.append(QStringLiteral("c"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setLine(2, QStringLiteral("C"));
    QCOMPARE(changed.count(), 0); // not shown yet
    model.setLine(0, QStringLiteral("A"));
    QCOMPARE(changed.count(), 1);

    // Removing publishes first, so the rows the views know match the store.
    model.removeAt(1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.lines(), QStringList({ QStringLiteral("A"), QStringLiteral("C") }));
}

void tst_ReportDisplayModel::clearDropsPendingSelection()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    QSignalSpy selection(&model, &ReportDisplayModel::selectionDue);
    model.append(QStringLiteral("a"));
    model.requestSelection(0);
    model.clear();
    model.publishPending();
    QCOMPARE(selection.count(), 0);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.count(), 0);
}

void tst_ReportDisplayModel::invalidPositionsChangeNothing_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("negative") << -2;
    QTest::newRow("count") << 2;
    QTest::newRow("far beyond") << 40000;
}

void tst_ReportDisplayModel::invalidPositionsChangeNothing()
{
    QFETCH(int, position);
    ReportDisplayModel model;
    model.append(QStringLiteral("a"));
    model.append(QStringLiteral("b"));
    model.publishPending();
    QSignalSpy selection(&model, &ReportDisplayModel::selectionDue);

    model.setLine(position, QStringLiteral("x"));
    model.removeAt(position);
    model.requestSelection(position);
    model.publishPending();
    QCOMPARE(model.lines(), QStringList({ QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(model.line(position), QString());
    QCOMPARE(selection.count(), 0);
}

QTEST_GUILESS_MAIN(tst_ReportDisplayModel)
#include "tst_ReportDisplayModel.moc"
