#include <algorithm>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "documents/printed/PrintedReport.h"
#include "report/AlarmReport.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TransferTestSupport.h"

namespace {

// What a poppler tool prints about file.
QString poppler(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(tool, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Two tagged downloads of two detectors, one with an overload reading.
QStringList mediumReport()
{
    QStringList lines;
    for (const auto &[name, serial, user] : { std::tuple("01-two-alarms", "40213", "M. Okafor-Lind"),
             std::tuple("03-overload", "40377", "T. Nguyen") }) {
        for (QString line : referenceLines(QString::fromLatin1(name))) {
            if (line.startsWith("Date:"))
                line = "Date: 05-Dec-2026";
            else if (line.startsWith("Time:"))
                line = "Time: 1:05 PM";
            else if (line.startsWith("Serial #:"))
                line = QStringLiteral("Serial #: ") + QLatin1String(serial);
            else if (line.startsWith("User:"))
                line = QStringLiteral("User: ") + QLatin1String(user);
            lines << line;
        }
    }
    return lines;
}

} // namespace

class TestPrintedReport : public QObject
{
    Q_OBJECT

private slots:
    void holdsEveryCellWithinTheMargins_data();
    void holdsEveryCellWithinTheMargins();
    void toolWritesThePdf();
};

void TestPrintedReport::holdsEveryCellWithinTheMargins_data()
{
    QTest::addColumn<QLocale::MeasurementSystem>("measurement");
    QTest::addColumn<QString>("pageSize");
    QTest::newRow("A4") << QLocale::MetricSystem << "842 x 595 pts (A4)";
    QTest::newRow("Letter") << QLocale::ImperialUSSystem << "792 x 612 pts (letter)";
    QTest::newRow("A4, British") << QLocale::ImperialUKSystem << "842 x 595 pts (A4)";
}

void TestPrintedReport::holdsEveryCellWithinTheMargins()
{
    QFETCH(QLocale::MeasurementSystem, measurement);
    QFETCH(QString, pageSize);
    // Many rows, so that the table runs over several pages; a user name of 170 letters without a space,
    // which breaks within its column.
    QStringList lines;
    for (int copy = 0; copy < 12; ++copy)
        lines += mediumReport();
    *std::find_if(lines.begin(), lines.end(), [](const QString &line) { return line.startsWith("User:"); })
        = "User: " + QString(170, u'W');
    // A detector without alarms: in the fleet table, without a chart.
    for (QString line : referenceLines("02-no-alarms"))
        lines << (line.startsWith("Serial #:") ? QStringLiteral("Serial #: 50001") : line);
    PrintedReport::Options options { "Lorimet Adapter 9.9", QDateTime(QDate(2026, 12, 7), QTime(9, 30)),
        measurement };
    QString error;
    const std::optional<QByteArray> pdf = PrintedReport::pdf(AlarmReport(lines), options, &error);
    QVERIFY2(pdf, qPrintable(error));
    QTemporaryDir folder;
    const QString file = folder.filePath("report.pdf");
    QVERIFY(writeBytes(file, *pdf));

    const QString info = poppler("pdfinfo", { file });
    QVERIFY2(info.contains(QRegularExpression("Creator: +Lorimet Adapter 9.9\n")), qPrintable(info));
    QVERIFY2(info.contains("Page size:       " + pageSize), qPrintable(info));
    const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
    QVERIFY(pages >= 3);
    const QString fonts = poppler("pdffonts", { file });
    // Each font embedded: "yes" in the column after the encoding.
    const QRegularExpression embedded("Identity-H +yes ");
    QVERIFY2(fonts.count("Identity-H") >= 1 && fonts.count("Identity-H") == fonts.count(embedded),
        qPrintable(fonts));

    // Every cell's text, each page's footer, and the header on every page of the table.
    const QString text = poppler("pdftotext", { file, "-" }).simplified();
    const QString unspaced = QString(text).remove(u' ');
    const AlarmReport report(lines);
    for (int row = 0; row < report.table().rowCount(); ++row) {
        for (const ReportColumn column : report.table().columns())
            QVERIFY2(unspaced.contains(report.table().text(row, column).remove(u' ')),
                qPrintable(report.table().text(row, column)));
    }
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
    QVERIFY(text.contains("Made 2026-12-07 09:30 by Lorimet Adapter 9.9"));
    QVERIFY(text.count("Serial #") >= pages - 2);
    QVERIFY(text.contains("50001 1") && !text.contains("Detector 50001"));
    // Charts share a page: both detectors' are on the title page.
    const QString first = poppler("pdftotext", { "-f", "1", "-l", "1", file, "-" });
    QVERIFY2(first.contains("Detector 40213") && first.contains("Detector 40377"), qPrintable(first));
    // The summary and the chart name the same highest peak, an over-range reading, and the chart's legend
    // names every kind of mark.
    QVERIFY(text.contains("Highest peak: O.L. ppm H2S") && text.contains("Highest peak: O.L. (over range)"));
    for (const char *mark : { "alarm began", "download date, start unknown", "over range (O.L.)" })
        QVERIFY2(text.contains(QLatin1String(mark)), mark);

    // No word of any page runs into the right margin (half an inch or 12.7 mm).
    const QString boxes = poppler("pdftotext", { "-bbox", file, "-" });
    const qreal width = pageSize.section(u' ', 0, 0).toDouble();
    const QRegularExpression word("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"");
    int words = 0;
    for (const QRegularExpressionMatch &match : word.globalMatch(boxes)) {
        ++words;
        QVERIFY2(match.captured(2).toDouble() <= width - 36 + 0.5 && match.captured(1).toDouble() >= 36 - 0.5,
            qPrintable(match.captured(0)));
    }
    QVERIFY(words > 1000);
}

void TestPrintedReport::toolWritesThePdf()
{
    QTemporaryDir folder;
    QByteArray text;
    for (const QString &line : mediumReport())
        text += line.toLatin1() + "\r\n";
    const QString input = folder.filePath("report.txt");
    const QString output = folder.filePath("report.pdf");
    QVERIFY(writeBytes(input, text));
    QProcess tool;
    // The tool needs no screen, whatever the platform the tests name, nor a runtime folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("XDG_RUNTIME_DIR");
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(LORIMET_REPORT_PATH), { "export", "--format", "pdf", input, output });
    QVERIFY(tool.waitForFinished(60'000));
    QCOMPARE(tool.readAllStandardError(), QByteArray());
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(tool.readAllStandardOutput(), QByteArray("6 events written to ") + output.toUtf8() + '\n');
    QVERIFY(poppler("pdftotext", { output, "-" }).contains("Detector 40213"));
}

QTEST_MAIN(TestPrintedReport)
#include "tst_printedreport.moc"
