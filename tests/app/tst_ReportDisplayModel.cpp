#include <QSignalSpy>
#include <QTest>

#include "app/ReportDisplayModel.h"

using namespace std::chrono_literals;

class tst_ReportDisplayModel : public QObject
{
    Q_OBJECT

private slots:
    void linesAndTheLastSelectionReachViewsInOneBatch();
    void steadyStreamIsPublishedEveryRealInterval();
    void editsKeepViewsConsistentAndIgnoreBadPositions();
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
    QCOMPARE(model.rowCount(), 0);
    model.publishPending();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).mid(1), QVariantList({ 0, 499 }));
    QCOMPARE(selection, QList<QVariantList>({ { 499 } }));
}

void tst_ReportDisplayModel::steadyStreamIsPublishedEveryRealInterval()
{
    ReportDisplayModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    // A line every 2 ms must not keep postponing the batch: it comes every 100 ms regardless.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 350) {
        model.append(QStringLiteral("x"));
        QTest::qWait(2);
    }
    QVERIFY2(inserted.count() >= 3, qPrintable(QString::number(inserted.count())));
}

void tst_ReportDisplayModel::editsKeepViewsConsistentAndIgnoreBadPositions()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    for (const char *line : { "a", "b" })
        model.append(QString::fromLatin1(line));
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
