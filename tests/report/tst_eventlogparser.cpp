#include <QLocale>
#include <QTest>

#include "report/AlarmReport.h"
#include "report/DownloadFacts.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"
#include "report/SupportFunctions.h"

namespace {

const QDateTime FixedNow(QDate(2031, 7, 14), QTime(16, 42, 37));

EventLogParser parse(const QStringList &lines)
{
    EventLogParser parser([] { return FixedNow; });
    for (const QString &line : lines)
        parser.WriteLine(line);
    return parser;
}

// A row as "name=value" for each of its non-empty values, so an expectation names everything a row holds.
QString describe(const EventLogRecord &r)
{
    const std::pair<const char *, QString> values[] = { { "date", r.DownloadDate.toString(Qt::ISODate) },
        { "time", r.DownloadTime.toString(Qt::ISODate) }, { "serial", r.SerialNumber },
        { "user", r.UserName }, { "life", r.LifeRemaining }, { "tests", r.SelfTests },
        { "alarm", r.CumulativeAlarmTime }, { "total", r.TotalEvents }, { "peak", r.Peak },
        { "since", r.TimeSinceAlarm }, { "duration", r.AlarmDuration } };
    QStringList parts;
    for (const auto &[name, value] : values) {
        if (!value.isEmpty())
            parts.append(QLatin1String(name) + u'=' + value);
    }
    return parts.join("; ");
}

// The optional columns the parser saw a label for.
QString presentColumns(const EventLogParser &p)
{
    const std::pair<bool, const char *> flags[] = { { p.HasLifeRemaining(), "life" },
        { p.HasSelfTests(), "tests" }, { p.HasAlarmTime(), "alarm" }, { p.HasTotalEvents(), "total" } };
    QStringList present;
    for (const auto &[has, name] : flags) {
        if (has)
            present.append(QLatin1String(name));
    }
    return present.join(u' ');
}

} // namespace

class TestEventLogParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The lines parse into exactly the rows and optional columns given.
    void parsing_data();
    void parsing();
    void cellFormats_data();
    void cellFormats();
    void tableHeadersAndTypedValues();
    void factsOfADownloadFromTheSamePass();
    void alarmStartsKeepTheReportsPrecision_data();
    void alarmStartsKeepTheReportsPrecision();
};

void TestEventLogParser::parsing()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, rows);
    QFETCH(QString, present);
    const EventLogParser parser = parse(lines);
    QStringList described;
    for (int row = 0; row < parser.rowCount(); ++row)
        described.append(describe(parser.record(row)));
    QCOMPARE(described, rows);
    QCOMPARE(presentColumns(parser), present);
}

void TestEventLogParser::parsing_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("present");
    const auto parseRow
        = [](const char *name, const QStringList &lines, const QStringList &rows,
              const QString &present = {}) { QTest::newRow(name) << lines << rows << present; };
    // A label, its value "V", then one more event so that every row shows where "V" went.
    const auto label
        = [&](const char *name, const QString &line, const QStringList &rows, const QString &present = {}) {
              parseRow(name, { line, "V", "Peak", "P" }, rows, present);
          };
    label("peak exposure", "peak exposure:", { "peak=V", "peak=P" });
    label("too short for peak", "Pea", { "peak=P" });
    label("leading space", " Peak exposure:", { "peak=P" });
    label("time since", "TIME SINCE ALARM BEGAN:", { "peak=P; since=V" });
    label("time tag is not time since", "Time: 1:05 PM", { "time=13:05:00; peak=P" });
    label("alarm duration", "Alarm duration:", { "peak=P; duration=V" });
    label("total events without slash", "Total events/duration:", { "total=V; peak=P" }, "alarm total");

    // A tag line (or a totals label and its value), then one event that takes the report's values.
    const auto tag = [&](const char *name, const QStringList &lines, const QString &row) {
        parseRow(name, lines + QStringList { "Peak", "1" }, { (row.isEmpty() ? row : row + "; ") + "peak=1" },
            lines.first().startsWith("Total") ? "alarm total" : "");
    };
    tag("serial tag loses dots", { "serial #:  AB.12.34  " }, "serial=AB1234");
    tag("instrument keeps dots", { "   S/N: AB.12           " }, "serial=AB.12");
    tag("instrument needs three spaces", { "  S/N: AB.12" }, "");
    tag("user loses dots", { "User: J. R. Smith" }, "user=J R Smith");
    tag("events and time", { "Total events/duration:", "5 / 2 min.              " }, "alarm=2 min.; total=5");
    tag("first slash splits", { "Total events/duration:", "5/2/3" }, "alarm=2/3; total=5");
    tag("short date, last century", { "Date: 3/1/99" }, "date=1999-03-01");
    tag("short date, this century", { "Date: 3/1/26" }, "date=2026-03-01");
    tag("unreadable date is today", { "Date: yesterday" }, "date=2031-07-14");
    tag("tagging dialog time", { "Time: 12:30 AM" }, "time=00:30:00");
    tag("24-hour time", { "Time: 13:05" }, "time=13:05:00");
    tag("unreadable time is now to the minute", { "Time: lunchtime" }, "time=16:42:00");

    parseRow("pending label takes the next line, even a label",
        { "Peak exposure:", "Time since alarm began:", "Alarm duration:", "4 secs",
            "Life Remaining:", "Self tests:", "Peak exposure:", "9 ppm H2S" },
        { "peak=Time since alarm began:; duration=4 secs", "life=Self tests:; peak=9 ppm H2S" }, "life");
    // The second report's first event arrives before its own totals.
    parseRow("date resets the report, total events carry over",
        { "Date: 05-Dec-2026", "Life Remaining:", "24 months", "Self tests:", "2", "Total events/duration:",
            "5 / 2 min.", "Peak exposure:", "15 ppm H2S", "Date: 06-Dec-2026", "Peak exposure:", "40 ppm H2S",
            "Total events/duration:", "1 / 3 mins", "Peak exposure:", "41 ppm H2S" },
        { "date=2026-12-05; life=24 months; tests=2; alarm=2 min.; total=5; peak=15 ppm H2S",
            "date=2026-12-06; total=5; peak=40 ppm H2S",
            "date=2026-12-06; alarm=3 mins; total=1; peak=41 ppm H2S" },
        "life tests alarm total");
    parseRow("missing time since shifts later values up",
        { "Peak exposure:", "15 ppm H2S", "Alarm duration:", "4 secs", "Peak exposure:", "20 ppm H2S",
            "Time since alarm began:", "10 mins", "Alarm duration:", "5 secs" },
        { "peak=15 ppm H2S; since=10 mins; duration=4 secs", "peak=20 ppm H2S; duration=5 secs" });
    parseRow("report without events",
        { "   S/N: AB.12", "Date: 05-Dec-2026", "Life Remaining:", "24 months", "Self tests:", "2",
            "Cumulative alarm time:", "0 mins" },
        {}, "life tests alarm");
}

void TestEventLogParser::cellFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *format, const QString &text, const QString &shown) {
        QTest::addRow("%s \"%s\"", format, qPrintable(text)) << QString(format) << text << shown;
    };
    // The time since an alarm has no seconds, a duration has them.
    row("since", "6 days 4 hrs 21 mins", "06 days 04 hrs 21 mins");
    row("since", "", "00 days 00 hrs 00 mins ");
    row("duration", "3 mins", "00 days 00 hrs 03 mins 00 secs");
    row("serial", "0012345", "12345");
    row("serial", "12.5", "13");
    row("serial", "1.2.3", "1.2.3");
    row("time", "00:05", "12:05 AM");
    row("time", "13:05:59", "01:05 PM");
    row("time", "12:30:00", "12:30 PM");
    // A total of seconds said as a person would, and read back.
    row("seconds", "3785", "1 hr 3 mins 5 secs");
    row("seconds", "86401", "1 day 1 sec");
    row("seconds", "180060", "2 days 2 hrs 1 min");
    row("seconds", "0", "0 secs");
}

void TestEventLogParser::cellFormats()
{
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    using namespace SupportFunctions;
    if (format == "since" || format == "duration")
        QCOMPARE(NormalizeDuration(PadSingleDigits(text), format == "since"), shown);
    else if (format == "serial")
        QCOMPARE(formatSerialNumber(text), shown);
    else if (format == "seconds")
        QCOMPARE((std::pair { spanText(text.toLongLong()), span(shown)->seconds }),
            (std::pair { shown, text.toLongLong() }));
    else
        QCOMPARE(formatDownloadTime(QTime::fromString(text, Qt::ISODate)), shown);
}

void TestEventLogParser::tableHeadersAndTypedValues()
{
    // The first event comes before any tag line; the second has the report's context.
    const ReportTable table(parse({ "Peak exposure:", "9 ppm H2S", "Self tests:", "3", "Date: 05-Dec-2026",
        "Time: 1:05 PM", "Serial #: 00123", "Self tests:", "3", "Peak exposure:", "15 ppm H2S" }));
    QCOMPARE(table.headers(),
        QStringList({ "Download On", "Download At", "Serial #", "User", "Peak", "Time Since Alarm Began",
            "Duration of Alarm", "Self Tests" }));
    QCOMPARE(table.text(0, ReportColumn::DownloadOn), QString());
    QCOMPARE(table.value(0, ReportColumn::DownloadOn), QVariant());
    QCOMPARE(table.value(1, ReportColumn::DownloadOn), QVariant(QDate(2026, 12, 5)));
    QCOMPARE(table.value(1, ReportColumn::DownloadAt), QVariant(QTime(13, 5)));
    QCOMPARE(table.text(1, ReportColumn::SerialNumber), "123");
    QCOMPARE(table.value(1, ReportColumn::SerialNumber), QVariant(123.0));
    QCOMPARE(table.value(1, ReportColumn::SelfTests), QVariant(3.0));
    QCOMPARE(table.value(1, ReportColumn::Peak), QVariant("15 ppm H2S"));
    QCOMPARE(table.value(1, ReportColumn::User), QVariant());
    QCOMPARE(table.text(1, ReportColumn::TotalEvents), QString());
    QCOMPARE(ReportTable::columnForHeader("self TESTS"), std::optional(ReportColumn::SelfTests));
    QCOMPARE(ReportTable::columnForHeader("Self"), std::nullopt);
}

// The pass that makes the event table also gives the facts the archive and the printed report keep: the
// tags as the report gives them, where the table has the clock's date for an unreadable one.
void TestEventLogParser::factsOfADownloadFromTheSamePass()
{
    const QStringList lines { "   S/N: A.12    ", "Date: __________", "Time: 9:30 AM", "Serial #: ________",
        "User: J. Smith", "Life Remaining:", "24 months", "Peak exposure:", "O.L. ppm H2S",
        "Time since alarm began:", "10 mins", "Peak exposure:", "15 ppm H2S" };
    const EventLogParser parser = EventLogParser::readAll(lines);
    QVERIFY(parser.record(0).DownloadDate.isValid());
    const DownloadFacts::Facts facts = DownloadFacts::read(parser);
    QCOMPARE(facts.serial, "A.12");
    QCOMPARE(facts.user, "J Smith");
    QCOMPARE(facts.time, QTime(9, 30));
    QCOMPARE(facts.lifeRemaining, "24 months");
    QCOMPARE(facts.highestPeak, "O.L. ppm H2S");
    QCOMPARE(facts.alarms.size(), 2);
    QVERIFY(!facts.alarms.first().start);
    QVERIFY(AlarmReport(parser).detectors().first().points.isEmpty());
}

void TestEventLogParser::alarmStartsKeepTheReportsPrecision_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("timeSince");
    QTest::addColumn<QString>("expected");
    QTest::newRow("minutes") << "1:05 PM"
                             << "6 days 4 hrs 21 mins"
                             << "2026-11-29 08:44";
    QTest::newRow("seconds, told in minutes as the tag is") << "1:05 PM"
                                                            << "2 mins 30 secs"
                                                            << "2026-12-05 13:02";
    QTest::newRow("hours") << "1:05 PM"
                           << "3 days 2 hrs"
                           << "2026-12-02 11 h";
    QTest::newRow("days") << "1:05 PM"
                          << "12 days"
                          << "2026-11-23";
    QTest::newRow("no time tag") << ""
                                 << "10 mins"
                                 << "2026-12-04";
    QTest::newRow("unreadable time since") << "1:05 PM"
                                           << "--"
                                           << "";
}

void TestEventLogParser::alarmStartsKeepTheReportsPrecision()
{
    QFETCH(QString, time);
    QFETCH(QString, timeSince);
    QFETCH(QString, expected);
    const auto start = DownloadFacts::alarmStart(QDate(2026, 12, 5), parseTagTime(time), timeSince);
    QCOMPARE(start ? DownloadFacts::startText(*start) : QString(), expected);
}

QTEST_GUILESS_MAIN(TestEventLogParser)
#include "tst_eventlogparser.moc"
