#include <QTest>

#include "ReportDisplayModel.h"
#include "ReportTags.h"

using ReportTags::Tags;

namespace {

const Tags Filled { QStringLiteral("05-Dec-2026"), QStringLiteral("1:05 PM"), QStringLiteral("12345"),
    QStringLiteral("J. Smith") };

void fill(ReportDisplayModel &model, const QStringList &lines)
{
    for (const QString &line : lines)
        model.append(line);
}

} // namespace

class tst_ReportTags : public QObject
{
    Q_OBJECT

private slots:
    void taggedLine_data();
    void taggedLine();
    void writeTagsTouchesOnlyTheRange();
    void findSerialNumber_data();
    void findSerialNumber();
    void formatDate_data();
    void formatDate();
    void formatTime_data();
    void formatTime();
};

void tst_ReportTags::taggedLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<Tags>("tags");
    QTest::addColumn<QString>("expected");

    QTest::newRow("date") << "Date:                   " << Filled << "Date: 05-Dec-2026";
    QTest::newRow("time") << "Time:" << Filled << "Time: 1:05 PM";
    QTest::newRow("serial") << "Serial #: ??????" << Filled << "Serial #: 12345";
    QTest::newRow("user") << "User: nobody" << Filled << "User: J. Smith";
    QTest::newRow("label without space") << "Date:x" << Filled << "Date: 05-Dec-2026";
    QTest::newRow("lower-case label") << "date: 01-Jan-2000" << Filled << "date: 01-Jan-2000";
    QTest::newRow("indented label") << " Date: 01-Jan-2000" << Filled << " Date: 01-Jan-2000";
    QTest::newRow("serial label without #") << "Serial: 1" << Filled << "Serial: 1";
    QTest::newRow("S/N header is no tag line") << "   S/N: 777    " << Filled << "   S/N: 777    ";
    QTest::newRow("empty line") << "" << Filled << "";
    QTest::newRow("event line") << "Peak:  25 PPM" << Filled << "Peak:  25 PPM";

    Tags blankUser = Filled;
    blankUser.user = QStringLiteral("   ");
    QTest::newRow("spaces-only field counts as empty") << "User: as sent" << blankUser << "User: as sent";
    Tags emptyDate = Filled;
    emptyDate.date.clear();
    QTest::newRow("empty field") << "Date: as sent" << emptyDate << "Date: as sent";

    Tags padded = Filled;
    padded.user = QStringLiteral("  Ann ");
    QTest::newRow("field text written untrimmed") << "User:" << padded << "User:   Ann ";

    Tags longSerial = Filled;
    longSerial.serialNo = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    QTest::newRow("24-character cut") << "Serial #:" << longSerial << "Serial #: ABCDEFGHIJKLMN";
    Tags longUser = Filled;
    longUser.user = QStringLiteral("123456789012345678");
    QTest::newRow("exactly 24 characters") << "User:" << longUser << "User: 123456789012345678";
}

void tst_ReportTags::taggedLine()
{
    QFETCH(QString, line);
    QFETCH(Tags, tags);
    QFETCH(QString, expected);
    const QString result = ReportTags::taggedLine(line, tags);
    QCOMPARE(result, expected);
    QVERIFY(result.size() <= 24 || result == line);
}

void tst_ReportTags::writeTagsTouchesOnlyTheRange()
{
    ReportDisplayModel model;
    fill(model,
        { "Date: old report", "User: old", // earlier report
            "Date:", "Time:", "Serial #:", "User:", "Date:", "Peak: 10", // the new report
            "Date: next" }); // beyond the markers
    ReportTags::writeTags(model, 2, 8, Filled);
    QCOMPARE(model.lines(),
        QStringList({ "Date: old report", "User: old", "Date: 05-Dec-2026", "Time: 1:05 PM",
            "Serial #: 12345", "User: J. Smith", "Date: 05-Dec-2026", "Peak: 10", "Date: next" }));

    ReportDisplayModel empty;
    fill(empty, { "Date:" });
    ReportTags::writeTags(empty, 1, 1, Filled);
    QCOMPARE(empty.line(0), QStringLiteral("Date:"));
}

void tst_ReportTags::findSerialNumber_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("serial"); // null: none found

    const QStringList report { "   S/N: 111    ", "Date:", "   S/N: 12345    ", "x S/N:222", "S/N:" };
    QTest::newRow("header with spaces") << report << 2 << 5 << "12345";
    QTest::newRow("first in range wins") << report << 0 << 5 << "111";
    QTest::newRow("earlier report ignored") << report << 1 << 2 << QString();
    QTest::newRow("anywhere in the line") << report << 3 << 5 << "222";
    QTest::newRow("nothing after the marker") << report << 4 << 5 << "";
    QTest::newRow("empty range") << report << 2 << 2 << QString();
    QTest::newRow("case-sensitive") << QStringList { "s/n: 1", "S/n: 2", "SN: 3" } << 0 << 3 << QString();
    QTest::newRow("tab kept") << QStringList { "S/N:\t9 " } << 0 << 1 << "\t9";
    QTest::newRow("long serial not cut")
        << QStringList { "S/N: 1234567890ABCDEFG" } << 0 << 1 << "1234567890ABCDEFG";
}

void tst_ReportTags::findSerialNumber()
{
    QFETCH(QStringList, lines);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, serial);
    ReportDisplayModel model;
    fill(model, lines);
    const std::optional<QString> found = ReportTags::findSerialNumber(model, start, end);
    QCOMPARE(found.has_value(), !serial.isNull());
    if (found)
        QCOMPARE(*found, serial);
}

void tst_ReportTags::formatDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("single-digit day") << QDate(2026, 12, 5) << "en_US"
                                      << "05-Dec-2026";
    QTest::newRow("January") << QDate(2000, 1, 31) << "en_GB"
                             << "31-Jan-2000";
    QTest::newRow("September") << QDate(1999, 9, 9) << "en_US"
                               << "09-Sep-1999";
    QTest::newRow("locale month") << QDate(2026, 12, 5) << "fr_FR"
                                  << "05-déc.-2026";
}

void tst_ReportTags::formatDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(ReportTags::formatDate(date, QLocale(locale)), expected);
}

void tst_ReportTags::formatTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("afternoon") << QTime(13, 5, 59) << "1:05 PM";
    QTest::newRow("midnight") << QTime(0, 0) << "12:00 AM";
    QTest::newRow("noon") << QTime(12, 30) << "12:30 PM";
    QTest::newRow("morning") << QTime(9, 7) << "9:07 AM";
    QTest::newRow("before midnight") << QTime(23, 59) << "11:59 PM";
}

void tst_ReportTags::formatTime()
{
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(ReportTags::formatTime(time), expected);
    // A locale with other day-half names still gets the capital AM/PM.
    QLocale::setDefault(QLocale(QLocale::German));
    const QString underGerman = ReportTags::formatTime(time);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(underGerman, expected);
}

QTEST_GUILESS_MAIN(tst_ReportTags)
#include "tst_ReportTags.moc"
