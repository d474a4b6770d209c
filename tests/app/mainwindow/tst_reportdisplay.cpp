#include <QSignalSpy>
#include <QTest>

#include "app/mainwindow/ReportDisplayModel.h"
#include "report/EventLogParser.h"
#include "report/ReportLines.h"

using namespace std::chrono_literals;
using ReportTags::Tags;

namespace {

const Tags Filled { "05-Dec-2026", "1:05 PM", "12345", "J. Smith" };

void fill(ReportDisplayModel &model, const QStringList &lines)
{
    for (const QString &line : lines)
        model.append(line);
}

} // namespace

// The display's model, and the tags written into it.
class tst_ReportDisplay : public QObject
{
    Q_OBJECT

private slots:
    void linesAndTheLastSelectionReachViewsInOneBatch();
    void steadyStreamIsPublishedEveryRealInterval();
    void editsKeepViewsConsistentAndIgnoreBadPositions();
    void writeTagsTouchesOnlyTagLinesInTheRange();
    void findSerialNumber_data();
    void findSerialNumber();
    void datesReadBack_data();
    void datesReadBack();
    void timeKeepsEnglishAmPm();
};

void tst_ReportDisplay::linesAndTheLastSelectionReachViewsInOneBatch()
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

void tst_ReportDisplay::steadyStreamIsPublishedEveryRealInterval()
{
    ReportDisplayModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    // A line every 2 ms must not keep postponing the batch: it comes every 100 ms regardless (a loaded
    // machine may run the timer late, hence the room beyond three intervals).
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 550) {
        model.append("x");
        QTest::qWait(2);
    }
    QVERIFY2(inserted.count() >= 3, qPrintable(QString::number(inserted.count())));
}

void tst_ReportDisplay::editsKeepViewsConsistentAndIgnoreBadPositions()
{
    ReportDisplayModel model;
    model.setBatchInterval(1h);
    for (const char *line : { "a", "b" })
        model.append(QString::fromLatin1(line));
    model.publishPending();
    model.append("c");
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setLine(2, "C");
    QCOMPARE(changed.count(), 0); // not shown yet
    model.setLine(0, "A");
    QCOMPARE(changed.count(), 1);
    // Removing publishes first, so the rows the views know match the store.
    model.removeAt(1);
    QCOMPARE(model.rowCount(), 2);
    for (const int bad : { -2, 2, 40000 }) {
        model.setLine(bad, "x");
        model.removeAt(bad);
    }
    QCOMPARE(model.lines(), QStringList({ "A", "C" }));
}

// A tag line begins with its label exactly: in another letter case, indented, or the detector's own
// "S/N:" line, it is no tag line.
void tst_ReportDisplay::writeTagsTouchesOnlyTagLinesInTheRange()
{
    ReportDisplayModel model;
    const QStringList untouched { "date: 01-Jan-2000", " Date: 01-Jan-2000", "   S/N: 777    ", "Peak: 10" };
    fill(model,
        QStringList { "Date: old report", "User: old", // earlier report
            "Date:   ", "Time:", "Serial #: ???", "User:", "Date:" } // the new report
            + untouched + QStringList { "Date: next" }); // beyond the markers
    model.writeTags(2, 11, Filled);
    QCOMPARE(model.lines(),
        QStringList({ "Date: old report", "User: old", "Date: 05-Dec-2026", "Time: 1:05 PM",
            "Serial #: 12345", "User: J. Smith", "Date: 05-Dec-2026" })
            + untouched + QStringList { "Date: next" });
}

void tst_ReportDisplay::findSerialNumber_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("serial"); // null: none found
    const QStringList report { "   S/N: 111    ", "Date:", "   S/N: 12345    ", "x S/N:222", "S/N:" };
    QTest::newRow("header with spaces") << report << 2 << 5 << "12345";
    QTest::newRow("first in range wins") << report << 0 << 5 << "111";
    QTest::newRow("nothing after the marker") << report << 4 << 5 << "";
    QTest::newRow("case-sensitive") << QStringList { "s/n: 1", "S/n: 2", "SN: 3" } << 0 << 3 << QString();
}

void tst_ReportDisplay::findSerialNumber()
{
    QFETCH(QStringList, lines);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, serial);
    ReportDisplayModel model;
    fill(model, lines);
    QCOMPARE(ReportTags::findSerialNumber(model.lines(), start, end).value_or(QString()), serial);
    QCOMPARE(ReportTags::findSerialNumber(model.lines(), start, end).has_value(), !serial.isNull());
}

void tst_ReportDisplay::datesReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("en_US") << "en_US" << QDate(2026, 12, 5) << "05-Dec-2026";
    QTest::newRow("en_GB September") << "en_GB" << QDate(2026, 9, 5) << "05-Sep-2026";
    QTest::newRow("en_AU June") << "en_AU" << QDate(2026, 6, 30) << "30-Jun-2026";
    QTest::newRow("en_AU September") << "en_AU" << QDate(2026, 9, 1) << "01-Sep-2026";
    QTest::newRow("de_DE") << "de_DE" << QDate(2026, 3, 2) << QString::fromUtf8("02-M\u00e4rz-2026");
    QTest::newRow("ar_EG") << "ar_EG" << QDate(2026, 9, 5)
                           << QString::fromUtf8("05-\u0633\u0628\u062a\u0645\u0628\u0631-2026");
}

// The tagging dialog's date, and the English form most reports carry, read back by the parser under the
// locale that proposed it.
void tst_ReportDisplay::datesReadBack()
{
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QFETCH(QString, proposed);
    QCOMPARE(ReportTags::formatDate(date, QLocale(locale)), proposed);
    QLocale::setDefault(QLocale(locale));
    const QDate readBack = parseTagDate(proposed);
    const QDate english = parseTagDate(QLocale::c().toString(date, "dd-MMM-yyyy"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(readBack, date);
    QCOMPARE(english, date);
}

void tst_ReportDisplay::timeKeepsEnglishAmPm()
{
    QLocale::setDefault(QLocale("de_DE"));
    const QString time = ReportTags::formatTime({ 13, 5, 59 });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(time, "1:05 PM");
}

QTEST_GUILESS_MAIN(tst_ReportDisplay)
#include "tst_reportdisplay.moc"
