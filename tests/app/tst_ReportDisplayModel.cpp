#include <QSignalSpy>
#include <QTest>

#include "ReportDisplayModel.h"

using namespace std::chrono_literals;

class tst_ReportDisplayModel : public QObject
{
    Q_OBJECT

private slots:
    void linesAndTheLastSelectionReachViewsInOneBatch();
    void steadyStreamIsPublishedEveryRealInterval();
    void removeAndSetLineKeepViewsConsistentAndIgnoreBadPositions();
};

void tst_ReportDisplayModel::linesAndTheLastSelectionReachViewsInOneBatch()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy selection(&model, &ReportDisplayModel::selectionDue);
    // A view must know the row before it is asked to select it.
    connect(&model, &ReportDisplayModel::selectionDue, this,
        [&model](int row) { QVERIFY(row < model.rowCount()); });
    for (int line = 0; line < 500; ++line) {
        model.append(QString::number(line));
        model.requestSelection(line);
    }
    QCOMPARE(model.line(499), QStringLiteral("499"));
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(selection.count(), 0);

    model.publishPending();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).mid(1), QVariantList({ 0, 499 }));
    QCOMPARE(model.data(model.index(499)).toString(), QStringLiteral("499"));
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 499);

    // Clearing drops a selection still waiting for its batch.
    model.requestSelection(0);
    model.clear();
    model.publishPending();
    QCOMPARE(selection.count(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.count(), 0);
}

void tst_ReportDisplayModel::steadyStreamIsPublishedEveryRealInterval()
{
    ReportDisplayModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QElapsedTimer clock;
    qint64 firstSelectionAfter = -1;
    connect(&model, &ReportDisplayModel::selectionDue, this, [&] {
        if (firstSelectionAfter < 0)
            firstSelectionAfter = clock.elapsed();
    });
    clock.start();
    // A line every 2 ms must not keep postponing the batch: the newest line reaches the screen 100 ms
    // after the first arrived (give or take a busy test machine), and again every 100 ms.
    while (clock.elapsed() < 350) {
        model.append(QStringLiteral("x"));
        model.requestSelection(model.count() - 1);
        QTest::qWait(2);
    }
    QVERIFY2(firstSelectionAfter >= 95 && firstSelectionAfter <= 200,
        qPrintable(QString::number(firstSelectionAfter)));
    QVERIFY2(inserted.count() >= 3, qPrintable(QString::number(inserted.count())));
}

void tst_ReportDisplayModel::removeAndSetLineKeepViewsConsistentAndIgnoreBadPositions()
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
    for (const int bad : { -2, 2, 40000 }) {
        model.setLine(bad, QStringLiteral("x"));
        model.removeAt(bad);
    }
    QCOMPARE(model.lines(), QStringList({ QStringLiteral("A"), QStringLiteral("C") }));
}

QTEST_GUILESS_MAIN(tst_ReportDisplayModel)
#include "tst_ReportDisplayModel.moc"
