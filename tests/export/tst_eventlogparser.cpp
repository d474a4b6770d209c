#include <QLocale>
#include <QTest>

#include "EventLogParser.h"
#include "ReportTable.h"
#include "SupportFunctions.h"

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
    return parts.join(QLatin1String("; "));
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

void addParseColumns()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("present");
}

void parseRow(
    const char *name, const QStringList &lines, const QStringList &rows, const QString &present = {})
{
    QTest::newRow(name) << lines << rows << present;
}

QStringList rowTexts(const ReportTable &table, int row)
{
    QStringList texts;
    for (ReportColumn column : table.Columns())
        texts.append(table.Text(row, column));
    return texts;
}

} // namespace

class TestEventLogParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The three share one check: the lines parsed into exactly the rows and optional columns given.
    void labels_data();
    void labels() { checkParse(); }
    void tagLines_data();
    void tagLines() { checkParse(); }
    void reportSequences_data();
    void reportSequences() { checkParse(); }

    void cellFormats_data();
    void cellFormats();
    void tableColumnsAndValues();
    void englishDatesUnderAnotherLocale();

private:
    void checkParse();
};

void TestEventLogParser::checkParse()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, rows);
    QFETCH(QString, present);
    const EventLogParser parser = parse(lines);
    QStringList described;
    for (int row = 0; row < parser.RowCount(); ++row)
        described.append(describe(parser.Record(row)));
    QCOMPARE(described, rows);
    QCOMPARE(presentColumns(parser), present);
}

void TestEventLogParser::labels_data()
{
    addParseColumns();
    // The label, its value "V", then one more event so that every row shows where "V" went.
    const auto label
        = [](const char *name, const QString &line, const QStringList &rows, const QString &present = {}) {
              parseRow(name, { line, "V", "Peak", "P" }, rows, present);
          };
    label("peak exposure", "Peak exposure:          ", { "peak=V", "peak=P" });
    label("peak lower case", "peak exposure:", { "peak=V", "peak=P" });
    label("too short for peak", "Pea", { "peak=P" });
    label("leading space", " Peak exposure:", { "peak=P" });
    label("time since", "Time since alarm began: ", { "peak=P; since=V" });
    label("time since upper case", "TIME SINCE ALARM BEGAN:", { "peak=P; since=V" });
    label("time tag is not time since", "Time: 1:05 PM", { "time=13:05:00; peak=P" });
    label("alarm duration", "Alarm duration:         ", { "peak=P; duration=V" });
    label("alarm duration upper case", "ALARM DURATION", { "peak=P; duration=V" });
    label("duration", "duration", { "peak=P; duration=V" });
    label("life remaining", "Life Remaining:", { "life=V; peak=P" }, "life");
    label("life remaining lower case", "life remaining", { "life=V; peak=P" }, "life");
    label("self tests", "Self tests:", { "tests=V; peak=P" }, "tests");
    label("cumulative alarm time", "Cumulative alarm time:", { "alarm=V; peak=P" }, "alarm");
    label("total events without slash", "Total events/duration:", { "total=V; peak=P" }, "alarm total");
    label("banner", "  H2S EVENT LOG REPORT  ", { "peak=P" });
}

void TestEventLogParser::tagLines_data()
{
    addParseColumns();
    // The tag line (or the value of a totals label), then one event that takes the report's values.
    const auto tag = [](const char *name, const QStringList &lines, const QString &row) {
        parseRow(name, lines + QStringList { "Peak", "1" }, { (row.isEmpty() ? row : row + "; ") + "peak=1" },
            lines.first().startsWith("Total") ? "alarm total" : "");
    };
    tag("serial tag loses dots", { "Serial #: AB.12.34" }, "serial=AB1234");
    tag("serial tag lower case", { "serial #:  7.7  " }, "serial=77");
    tag("instrument keeps dots", { "   S/N: AB.12           " }, "serial=AB.12");
    tag("instrument needs three spaces", { "  S/N: AB.12" }, "");
    tag("later serial wins", { "   S/N: AB.12", "Serial #: CD.34" }, "serial=CD34");
    tag("user loses dots", { "User: J. R. Smith" }, "user=J R Smith");
    tag("user lower case", { "user:Ann" }, "user=Ann");
    tag("events and time", { "Total events/duration:", "5 / 2 min.              " }, "alarm=2 min.; total=5");
    tag("first slash splits", { "Total events/duration:", "5/2/3" }, "alarm=2/3; total=5");
    tag("nothing before slash", { "Total events/duration:", "/3 mins" }, "alarm=3 mins");
    tag("tagging dialog date", { "Date: 05-Dec-2026" }, "date=2026-12-05");
    tag("iso date", { "Date: 2026-12-05" }, "date=2026-12-05");
    tag("short date", { "Date: 12/5/26" }, "date=2026-12-05");
    tag("short date, four-digit year", { "Date: 12/5/2026" }, "date=2026-12-05");
    tag("short date, last century", { "Date: 3/1/99" }, "date=1999-03-01");
    tag("unreadable date is today", { "Date: yesterday" }, "date=2031-07-14");
    tag("tagging dialog time", { "Time: 1:05 PM" }, "time=13:05:00");
    tag("midnight hour", { "Time: 12:30 AM" }, "time=00:30:00");
    tag("24-hour time", { "Time: 17:45" }, "time=17:45:00");
    tag("time with seconds", { "Time: 08:09:10" }, "time=08:09:10");
    tag("a date as time is midnight", { "Time: 05-Dec-2026" }, "time=00:00:00");
    tag("unreadable time is now to the minute", { "Time: lunchtime" }, "time=16:42:00");
}

void TestEventLogParser::reportSequences_data()
{
    addParseColumns();
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
    parseRow("short column is not read past its end",
        { "Peak", "1", "Peak", "2", "Peak", "3", "Alarm duration:", "4 secs" },
        { "peak=1; duration=4 secs", "peak=2", "peak=3" });
}

void TestEventLogParser::cellFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *format, const QString &text, const QString &shown) {
        QTest::addRow("%s \"%s\"", format, qPrintable(text)) << QString(format) << text << shown;
    };
    // Durations: the time since an alarm has no seconds, a duration has them. The CSV export's test shows
    // more, from the sample file of two reports.
    row("since", "6 days 4 hrs 21 mins", "06 days 04 hrs 21 mins");
    row("since", "", "00 days 00 hrs 00 mins ");
    row("since", "2 MINS", "00 days 00 hrs 00 mins 02 MINS");
    row("duration", "3 mins", "00 days 00 hrs 03 mins 00 secs");
    row("duration", "", "00 days 00 hrs 00 mins  00 secs");
    row("pad", "0 secs", "00 secs");
    row("pad", "123 secs", "123 secs");
    row("pad", "mins 5", "mins 5");
    row("pad", "5mins", "5mins");
    // The serial number's pattern "0".
    row("serial", "0012345", "12345");
    row("serial", "000", "0");
    row("serial", "00123456789012345678901234", "123456789012345678901234");
    row("serial", "12.49", "12");
    row("serial", "12.5", "13");
    row("serial", "99.5", "100");
    row("serial", "-2.5", "-3");
    row("serial", ".7", "1");
    row("serial", "1.2.3", "1.2.3");
    row("serial", "", "");
    row("time", "00:05", "12:05 AM");
    row("time", "12:00", "12:00 PM");
    row("time", "13:05:59", "01:05 PM");
    row("time", "", "");
}

void TestEventLogParser::cellFormats()
{
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    using namespace SupportFunctions;
    if (format == "since" || format == "duration")
        QCOMPARE(NormalizeDuration(PadSingleDigits(text), format == "since"), shown);
    else if (format == "pad")
        QCOMPARE(PadSingleDigits(text), shown);
    else if (format == "serial")
        QCOMPARE(FormatSerialNumber(text), shown);
    else
        QCOMPARE(FormatDownloadTime(QTime::fromString(text, Qt::ISODate)), shown);
}

void TestEventLogParser::tableColumnsAndValues()
{
    // No "Date:" or "Time:" in the first report, and fewer durations and times since than peaks.
    const ReportTable table(parse({ "Cumulative alarm time:", "1 min", "Self tests:", "3",
        "Serial #: 0012.345", "Peak", "5 ppm H2S", "Alarm duration:", "4 secs", "Peak", "6 ppm H2S",
        "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: A12-345", "Peak", "7 ppm H2S" }));
    QCOMPARE(table.Headers(),
        QStringList({ "Download On", "Download At", "Serial #", "User", "Peak", "Time Since Alarm Began",
            "Duration of Alarm", "Self Tests", "Cumulative Alarm Time" }));
    QCOMPARE(rowTexts(table, 0),
        QStringList({ "", "", "12345", "", "5 ppm H2S", "00 days 00 hrs 00 mins ",
            "00 days 00 hrs 00 mins 04 secs", "3", "1 min" }));
    QCOMPARE(rowTexts(table, 2),
        QStringList({ "05-Dec-2026", "01:05 PM", "A12-345", "", "7 ppm H2S", "00 days 00 hrs 00 mins ",
            "00 days 00 hrs 00 mins  00 secs", "", "" }));
    QCOMPARE(table.Text(0, ReportColumn::LifeRemaining), QString());
    // Typed values for the spreadsheet: none where the report gave none.
    QVERIFY(!table.Value(0, ReportColumn::DownloadOn).isValid()
        && !table.Value(0, ReportColumn::DownloadAt).isValid());
    QCOMPARE(table.Value(2, ReportColumn::DownloadOn), QVariant(QDate(2026, 12, 5)));
    QCOMPARE(table.Value(2, ReportColumn::DownloadAt), QVariant(QTime(13, 5)));
    QCOMPARE(table.Value(0, ReportColumn::SerialNumber), QVariant(12345.0));
    QCOMPARE(table.Value(2, ReportColumn::SerialNumber), QVariant(QString("A12-345")));
    // Rows added to an earlier table find their column by its header, whatever its letter case.
    QCOMPARE(ReportTable::ColumnForHeader("TOTAL EVENTS"), std::optional(ReportColumn::TotalEvents));
    QCOMPARE(ReportTable::ColumnForHeader("Serial"), std::nullopt);
}

void TestEventLogParser::englishDatesUnderAnotherLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDate german = ParseTagDate(QLocale().toString(QDate(2026, 12, 5), QStringLiteral("dd-MMM-yyyy")));
    const QDate english = ParseTagDate(QStringLiteral("05-Dec-2026"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(german, QDate(2026, 12, 5));
    QCOMPARE(english, QDate(2026, 12, 5));
}

QTEST_GUILESS_MAIN(TestEventLogParser)
#include "tst_eventlogparser.moc"
