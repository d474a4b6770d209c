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

// Where the line after the label ended up, as the name of the column or context value that holds it.
QString destinationOf(const QString &label)
{
    const QString value = QStringLiteral("VALUE");
    EventLogParser parser
        = parse({ label, value, QStringLiteral("Peak exposure:"), QStringLiteral("closing peak") });
    const EventLogColumns &columns = parser.Columns();
    if (columns.PeakReadings.first() == value)
        return QStringLiteral("peak");
    if (columns.TimesSinceAlarm.first() == value)
        return QStringLiteral("time since");
    if (columns.AlarmDurations.first() == value)
        return QStringLiteral("duration");
    const EventLogRecord record = parser.Record(parser.RowCount() - 1);
    if (record.LifeRemaining == value)
        return QStringLiteral("life remaining");
    if (record.SelfTests == value)
        return QStringLiteral("self tests");
    if (record.CumulativeAlarmTime == value)
        return QStringLiteral("alarm time");
    return QStringLiteral("ignored");
}

} // namespace

class TestEventLogParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void labels_data();
    void labels();
    void pendingFlagTakesTheNextLineEvenALabel();
    void serialAndUser_data();
    void serialAndUser();
    void totalEventsValue_data();
    void totalEventsValue();
    void tagDates_data();
    void tagDates();
    void tagTimes_data();
    void tagTimes();
    void twoReportsResetContextButCarryTotalEvents();
    void missingTimeSinceShiftsLaterValuesUp();
    void reportWithoutEventsAddsNoRowsButMarksPresence();
    void rowWithoutDateOrTimeShowsEmptyCells();
    void shortEventColumnIsNotReadPastItsEnd();

    void padSingleDigits_data();
    void padSingleDigits();
    void normalizeDuration_data();
    void normalizeDuration();
    void serialNumberPattern_data();
    void serialNumberPattern();
    void downloadTime_data();
    void downloadTime();
    void optionalColumnsFollowInTableOrder();
    void headersFoundIgnoringCase();
    void typedValues();
};

void TestEventLogParser::labels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("destination");

    QTest::newRow("peak exposure") << "Peak exposure:          "
                                   << "peak";
    QTest::newRow("peak bare") << "Peak"
                               << "peak";
    QTest::newRow("peak lower case") << "peak exposure:"
                                     << "peak";
    QTest::newRow("too short for peak") << "Pea"
                                        << "ignored";
    QTest::newRow("leading space") << " Peak exposure:"
                                   << "ignored";
    QTest::newRow("time since") << "Time since alarm began: "
                                << "time since";
    QTest::newRow("time since upper case") << "TIME SINCE ALARM BEGAN:"
                                           << "time since";
    QTest::newRow("alarm duration") << "Alarm duration:         "
                                    << "duration";
    QTest::newRow("alarm duration shouting") << "ALARM DURATION"
                                             << "duration";
    QTest::newRow("duration") << "duration"
                              << "duration";
    QTest::newRow("anything starting duration") << "Durations and more"
                                                << "duration";
    QTest::newRow("life remaining") << "Life Remaining:"
                                    << "life remaining";
    QTest::newRow("life remaining lower case") << "life remaining"
                                               << "life remaining";
    QTest::newRow("self tests") << "Self tests:"
                                << "self tests";
    QTest::newRow("cumulative alarm time") << "Cumulative alarm time:"
                                           << "alarm time";
    QTest::newRow("banner") << "  H2S EVENT LOG REPORT  "
                            << "ignored";
    QTest::newRow("separator") << "------------------------"
                               << "ignored";
    QTest::newRow("blank") << ""
                           << "ignored";
}

void TestEventLogParser::labels()
{
    QFETCH(QString, label);
    QFETCH(QString, destination);
    QCOMPARE(destinationOf(label), destination);
}

void TestEventLogParser::pendingFlagTakesTheNextLineEvenALabel()
{
    const EventLogParser parser
        = parse({ "Peak exposure:", "Time since alarm began:", "Alarm duration:", "4 secs",
            "Life Remaining:", "Self tests:", "Peak exposure:", "9 ppm H2S" });
    const EventLogColumns &columns = parser.Columns();
    QCOMPARE(columns.PeakReadings, QStringList({ "Time since alarm began:", "9 ppm H2S", "" }));
    QCOMPARE(columns.TimesSinceAlarm, QStringList({ "" }));
    QCOMPARE(columns.AlarmDurations, QStringList({ "4 secs", "" }));
    QCOMPARE(parser.RowCount(), 2);
    QCOMPARE(parser.Record(1).LifeRemaining, QString("Self tests:"));
    QVERIFY(parser.HasLifeRemaining());
    QVERIFY(!parser.HasSelfTests());
}

void TestEventLogParser::serialAndUser_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("user");

    QTest::newRow("tag dots removed") << QStringList { "Serial #: AB.12.34" } << "AB1234"
                                      << "";
    QTest::newRow("tag only dots") << QStringList { "Serial #: ..." } << ""
                                   << "";
    QTest::newRow("tag lower case") << QStringList { "serial #:  7.7  " } << "77"
                                    << "";
    QTest::newRow("instrument dots kept") << QStringList { "   S/N: AB.12           " } << "AB.12"
                                          << "";
    QTest::newRow("instrument needs three spaces") << QStringList { "  S/N: AB.12" } << ""
                                                   << "";
    QTest::newRow("later line wins") << QStringList { "   S/N: AB.12", "Serial #: CD.34" } << "CD34"
                                     << "";
    QTest::newRow("user dots removed") << QStringList { "User: J. R. Smith" } << ""
                                       << "J R Smith";
    QTest::newRow("user lower case") << QStringList { "user:Ann" } << ""
                                     << "Ann";
}

void TestEventLogParser::serialAndUser()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, serial);
    QFETCH(QString, user);
    const EventLogParser parser = parse(lines + QStringList { "Peak exposure:", "1 ppm H2S" });
    QCOMPARE(parser.Record(0).SerialNumber, serial);
    QCOMPARE(parser.Record(0).UserName, user);
}

void TestEventLogParser::totalEventsValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("totalEvents");
    QTest::addColumn<QString>("alarmTime");

    QTest::newRow("events and time") << "5 / 2 min.              "
                                     << "5"
                                     << "2 min.";
    QTest::newRow("first slash splits") << "5/2/3"
                                        << "5"
                                        << "2/3";
    QTest::newRow("no slash") << "  7  "
                              << "7"
                              << "";
    QTest::newRow("nothing before slash") << "/3 mins"
                                          << ""
                                          << "3 mins";
}

void TestEventLogParser::totalEventsValue()
{
    QFETCH(QString, value);
    QFETCH(QString, totalEvents);
    QFETCH(QString, alarmTime);
    const EventLogParser parser = parse({ "Total events/duration:", value, "Peak exposure:", "1 ppm H2S" });
    QCOMPARE(parser.Record(0).TotalEvents, totalEvents);
    QCOMPARE(parser.Record(0).CumulativeAlarmTime, alarmTime);
    QVERIFY(parser.HasTotalEvents());
    QVERIFY(parser.HasAlarmTime());
}

void TestEventLogParser::tagDates_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QDate>("date");

    QTest::newRow("tagging dialog form") << "Date: 05-Dec-2026" << QDate(2026, 12, 5);
    QTest::newRow("one-digit day") << "Date: 5-Dec-2026" << QDate(2026, 12, 5);
    QTest::newRow("iso") << "Date: 2026-12-05" << QDate(2026, 12, 5);
    QTest::newRow("short locale form") << "Date: 12/5/26" << QDate(2026, 12, 5);
    QTest::newRow("short form, four-digit year") << "Date: 12/5/2026" << QDate(2026, 12, 5);
    QTest::newRow("short form last century") << "Date: 3/1/99" << QDate(1999, 3, 1);
    QTest::newRow("unreadable gives today") << "Date: yesterday" << FixedNow.date();
    QTest::newRow("empty gives today") << "Date:" << FixedNow.date();
}

void TestEventLogParser::tagDates()
{
    QFETCH(QString, line);
    QFETCH(QDate, date);
    QCOMPARE(parse({ line, "Peak exposure:", "1 ppm H2S" }).Record(0).DownloadDate, date);
}

void TestEventLogParser::tagTimes_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QTime>("time");

    QTest::newRow("tagging dialog form") << "Time: 1:05 PM" << QTime(13, 5);
    QTest::newRow("midnight hour") << "Time: 12:30 AM" << QTime(0, 30);
    QTest::newRow("24-hour") << "Time: 17:45" << QTime(17, 45);
    QTest::newRow("with seconds") << "Time: 08:09:10" << QTime(8, 9, 10);
    QTest::newRow("a date alone") << "Time: 05-Dec-2026" << QTime(0, 0);
    QTest::newRow("unreadable gives now to the minute") << "Time: lunchtime" << QTime(16, 42);
}

void TestEventLogParser::tagTimes()
{
    QFETCH(QString, line);
    QFETCH(QTime, time);
    QCOMPARE(parse({ line, "Peak exposure:", "1 ppm H2S" }).Record(0).DownloadTime, time);
}

void TestEventLogParser::twoReportsResetContextButCarryTotalEvents()
{
    const EventLogParser parser = parse({ "Date: 05-Dec-2026", "Life Remaining:", "24 months",
        "Self tests:", "2", "Total events/duration:", "5 / 2 min.", "Peak exposure:", "15 ppm H2S",
        // the second report: its events arrive before its own totals
        "Date: 06-Dec-2026", "Peak exposure:", "40 ppm H2S", "Total events/duration:", "1 / 3 mins",
        "Peak exposure:", "41 ppm H2S" });
    QCOMPARE(parser.RowCount(), 3);
    const EventLogRecord first = parser.Record(0);
    QCOMPARE(first.DownloadDate, QDate(2026, 12, 5));
    QCOMPARE(first.LifeRemaining, QString("24 months"));
    QCOMPARE(first.SelfTests, QString("2"));
    QCOMPARE(first.CumulativeAlarmTime, QString("2 min."));
    QCOMPARE(first.TotalEvents, QString("5"));

    const EventLogRecord second = parser.Record(1);
    QCOMPARE(second.DownloadDate, QDate(2026, 12, 6));
    QCOMPARE(second.LifeRemaining, QString());
    QCOMPARE(second.SelfTests, QString());
    QCOMPARE(second.CumulativeAlarmTime, QString());
    QCOMPARE(second.TotalEvents, QString("5"));

    const EventLogRecord third = parser.Record(2);
    QCOMPARE(third.TotalEvents, QString("1"));
    QCOMPARE(third.CumulativeAlarmTime, QString("3 mins"));
}

void TestEventLogParser::missingTimeSinceShiftsLaterValuesUp()
{
    const EventLogParser parser = parse({ "Peak exposure:", "15 ppm H2S", "Alarm duration:", "4 secs",
        "Peak exposure:", "20 ppm H2S", "Time since alarm began:", "10 mins", "Alarm duration:", "5 secs" });
    QCOMPARE(parser.RowCount(), 2);
    QCOMPARE(parser.Record(0).TimeSinceAlarm, QString("10 mins"));
    QCOMPARE(parser.Record(1).TimeSinceAlarm, QString());
    QCOMPARE(parser.Record(1).AlarmDuration, QString("5 secs"));
    QCOMPARE(parser.Columns().TimesSinceAlarm.size(), 2);
}

void TestEventLogParser::reportWithoutEventsAddsNoRowsButMarksPresence()
{
    const EventLogParser parser = parse({ "   S/N: AB.12", "Date: 05-Dec-2026",
        "Life Remaining:", "24 months", "Self tests:", "2", "Cumulative alarm time:", "0 mins" });
    QCOMPARE(parser.RowCount(), 0);
    QVERIFY(parser.HasLifeRemaining());
    QVERIFY(parser.HasSelfTests());
    QVERIFY(parser.HasAlarmTime());
    QVERIFY(!parser.HasTotalEvents());
    const ReportTable table(parser);
    QCOMPARE(table.RowCount(), 0);
    QCOMPARE(table.Headers().size(), 10);
}

void TestEventLogParser::rowWithoutDateOrTimeShowsEmptyCells()
{
    const ReportTable table(parse({ "Peak exposure:", "15 ppm H2S" }));
    QCOMPARE(table.RowCount(), 1);
    QCOMPARE(table.Text(0, ReportColumn::DownloadOn), QString());
    QCOMPARE(table.Text(0, ReportColumn::DownloadAt), QString());
    QVERIFY(!table.Value(0, ReportColumn::DownloadOn).isValid());
    QCOMPARE(table.Text(0, ReportColumn::Peak), QString("15 ppm H2S"));
}

void TestEventLogParser::shortEventColumnIsNotReadPastItsEnd()
{
    const ReportTable table(parse({ "Peak exposure:", "1 ppm H2S", "Peak exposure:", "2 ppm H2S",
        "Peak exposure:", "3 ppm H2S", "Alarm duration:", "4 secs" }));
    QCOMPARE(table.RowCount(), 3);
    QCOMPARE(table.Text(0, ReportColumn::DurationOfAlarm), QString("00 days 00 hrs 00 mins 04 secs"));
    QCOMPARE(table.Text(2, ReportColumn::DurationOfAlarm), QString("00 days 00 hrs 00 mins  00 secs"));
    QCOMPARE(table.Text(2, ReportColumn::TimeSinceAlarm), QString("00 days 00 hrs 00 mins "));
}

void TestEventLogParser::padSingleDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padded");

    QTest::newRow("inner single digit") << "12 days 3 hrs 21 mins"
                                        << "12 days 03 hrs 21 mins";
    QTest::newRow("leading single digit") << "5 mins"
                                          << "05 mins";
    QTest::newRow("zero") << "0 secs"
                          << "00 secs";
    QTest::newRow("all parts") << "6 days 4 hrs 21 mins"
                               << "06 days 04 hrs 21 mins";
    QTest::newRow("two digits untouched") << "10 mins 22 secs"
                                          << "10 mins 22 secs";
    QTest::newRow("three digits untouched") << "123 secs"
                                            << "123 secs";
    QTest::newRow("digit at the end") << "mins 5"
                                      << "mins 5";
    QTest::newRow("digit without space after") << "5mins"
                                               << "5mins";
    QTest::newRow("empty") << ""
                           << "";
}

void TestEventLogParser::padSingleDigits()
{
    QFETCH(QString, text);
    QFETCH(QString, padded);
    QCOMPARE(SupportFunctions::PadSingleDigits(text), padded);
}

void TestEventLogParser::normalizeDuration_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("noSeconds");
    QTest::addColumn<QString>("shown");

    QTest::newRow("since: minutes") << "10 mins" << true << "00 days 00 hrs 10 mins";
    QTest::newRow("since: all parts") << "6 days 4 hrs 21 mins" << true << "06 days 04 hrs 21 mins";
    QTest::newRow("since: empty") << "" << true << "00 days 00 hrs 00 mins ";
    QTest::newRow("duration: seconds") << "4 secs" << false << "00 days 00 hrs 00 mins 04 secs";
    QTest::newRow("duration: minutes and seconds")
        << "1 mins 22 secs" << false << "00 days 00 hrs 01 mins 22 secs";
    QTest::newRow("duration: minutes") << "3 mins" << false << "00 days 00 hrs 03 mins 00 secs";
    QTest::newRow("duration: empty") << "" << false << "00 days 00 hrs 00 mins  00 secs";
    QTest::newRow("units compared case-sensitively") << "2 MINS" << true << "00 days 00 hrs 00 mins 02 MINS";
}

void TestEventLogParser::normalizeDuration()
{
    QFETCH(QString, raw);
    QFETCH(bool, noSeconds);
    QFETCH(QString, shown);
    QCOMPARE(SupportFunctions::NormalizeDuration(SupportFunctions::PadSingleDigits(raw), noSeconds), shown);
}

void TestEventLogParser::serialNumberPattern_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("shown");

    QTest::newRow("leading zeros") << "0012345"
                                   << "12345";
    QTest::newRow("all zeros") << "000"
                               << "0";
    QTest::newRow("longer than any integer") << "00123456789012345678901234"
                                             << "123456789012345678901234";
    QTest::newRow("letters") << "A12-345"
                             << "A12-345";
    QTest::newRow("decimal rounds down") << "12.49"
                                         << "12";
    QTest::newRow("decimal half rounds up") << "12.5"
                                            << "13";
    QTest::newRow("carry") << "99.5"
                           << "100";
    QTest::newRow("negative half away from zero") << "-2.5"
                                                  << "-3";
    QTest::newRow("no whole part") << ".7"
                                   << "1";
    QTest::newRow("two dots") << "1.2.3"
                              << "1.2.3";
    QTest::newRow("inner space") << "12 34"
                                 << "12 34";
    QTest::newRow("empty") << ""
                           << "";
}

void TestEventLogParser::serialNumberPattern()
{
    QFETCH(QString, serial);
    QFETCH(QString, shown);
    QCOMPARE(FormatSerialNumber(serial), shown);
}

void TestEventLogParser::downloadTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("shown");

    QTest::newRow("after midnight") << QTime(0, 5) << "12:05 AM";
    QTest::newRow("morning") << QTime(9, 30) << "09:30 AM";
    QTest::newRow("noon") << QTime(12, 0) << "12:00 PM";
    QTest::newRow("afternoon") << QTime(13, 5, 59) << "01:05 PM";
    QTest::newRow("none") << QTime() << "";
}

void TestEventLogParser::downloadTime()
{
    QFETCH(QTime, time);
    QFETCH(QString, shown);
    QCOMPARE(FormatDownloadTime(time), shown);
}

void TestEventLogParser::optionalColumnsFollowInTableOrder()
{
    const ReportTable table(
        parse({ "Cumulative alarm time:", "1 min", "Self tests:", "3", "Peak", "5 ppm H2S" }));
    QCOMPARE(table.Headers(),
        QStringList({ "Download On", "Download At", "Serial #", "User", "Peak", "Time Since Alarm Began",
            "Duration of Alarm", "Self Tests", "Cumulative Alarm Time" }));
    QCOMPARE(table.Text(0, ReportColumn::SelfTests), QString("3"));
    QCOMPARE(table.Text(0, ReportColumn::CumulativeAlarmTime), QString("1 min"));
    QCOMPARE(table.Text(0, ReportColumn::LifeRemaining), QString());
}

void TestEventLogParser::headersFoundIgnoringCase()
{
    QCOMPARE(ReportTable::ColumnForHeader("serial #"), std::optional(ReportColumn::SerialNumber));
    QCOMPARE(ReportTable::ColumnForHeader("TOTAL EVENTS"), std::optional(ReportColumn::TotalEvents));
    QCOMPARE(ReportTable::ColumnForHeader("Serial"), std::nullopt);
}

void TestEventLogParser::typedValues()
{
    const ReportTable table(parse({ "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 0012.345", "Peak",
        "5 ppm H2S", "Serial #: A12-345", "Peak", "6 ppm H2S" }));
    QCOMPARE(table.Text(0, ReportColumn::DownloadOn), QString("05-Dec-2026"));
    QCOMPARE(table.Value(0, ReportColumn::DownloadOn), QVariant(QDate(2026, 12, 5)));
    QCOMPARE(table.Value(0, ReportColumn::DownloadAt), QVariant(QTime(13, 5)));
    QCOMPARE(table.Text(0, ReportColumn::SerialNumber), QString("12345"));
    QCOMPARE(table.Value(0, ReportColumn::SerialNumber), QVariant(12345.0));
    QCOMPARE(table.Value(1, ReportColumn::SerialNumber), QVariant(QString("A12-345")));
    QCOMPARE(table.Value(1, ReportColumn::Peak), QVariant(QString("6 ppm H2S")));
}

QTEST_GUILESS_MAIN(TestEventLogParser)
#include "tst_eventlogparser.moc"
