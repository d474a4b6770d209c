#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "EventLogParser.h"
#include "OfficeReaders.h"
#include "OoxmlPackage.h"
#include "ReportTable.h"
#include "XlsxWorkbook.h"

namespace {

const QString Header = QStringLiteral("General|bold Calibri FFFFFFFF|center|solid FF000000|");
const QString Body
    = QStringLiteral("|center|none|left hair FF000000,right hair FF000000,bottom hair FF000000");

ReportTable tableOf(const QStringList &lines)
{
    EventLogParser parser;
    parser.ResetColumns();
    for (const QString &line : lines)
        parser.WriteLine(line);
    return ReportTable(parser);
}

// Two tagged reports with every optional block in the first, then events of a third that lack a peak.
const QStringList ThreeReports
    = { "   S/N: 0412-3377", "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 00123", "User: Ann",
          "Life Remaining:", "24 months", "Self tests:", "2", "Total events/duration:", "2 / 3 min.",
          "Peak exposure:", "15 ppm H2S", "Time since alarm began:", "6 days 4 hrs 21 mins",
          "Alarm duration:", "1 mins 22 secs", "Date: 06-Dec-2026", "Time: 9:30 AM", "Serial #: A12-345",
          "User: Bob", "Peak exposure:", "O.L. ppm H2S", "Alarm duration:", "4 secs", "Date: 07-Dec-2026",
          "Time since alarm began:", "5 mins", "Alarm duration:", "3 mins" };

struct ReadBack
{
    QJsonObject cells;
    QJsonObject widths;
    QJsonObject needed;
    QJsonArray fit;
    QJsonArray sheets;
};

ReadBack readBack(const QString &path)
{
    const QJsonObject json = OfficeReaders::RunScript(QStringLiteral("read_xlsx.py"), { path }).object();
    return { json[QLatin1String("cells")].toObject(), json[QLatin1String("widths")].toObject(),
        json[QLatin1String("needed")].toObject(), json[QLatin1String("fit")].toArray(),
        json[QLatin1String("sheets")].toArray() };
}

QString cell(const ReadBack &sheet, const char *reference)
{
    return sheet.cells[QLatin1String(reference)].toString();
}

QByteArray part(const QString &path, const QString &name)
{
    QString error;
    const std::optional<OoxmlPackage> package = OoxmlPackage::Open(path, &error);
    return package ? package->ReadPart(name, &error).value_or(QByteArray()) : QByteArray();
}

} // namespace

class TestXlsxWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void newWorkbookHoldsTheFormattedTable();
    void appendKeepsTheWorkbookAndPlacesRowsByHeader();
    void refusesWhatCannotBeWritten();
    void datesFollowTheWorkbooksDateSystem();
    void rawLinesGoToColumnA();
    void producedFilesAreValid();

private:
    void checkWidths(const ReadBack &sheet);

    QTemporaryDir m_dir;
    // Validated together at the end: one run of the validator takes seconds.
    QStringList m_produced;
};

void TestXlsxWorkbook::checkWidths(const ReadBack &sheet)
{
    // Every text stays fully visible, with the extra width on top of the fitted one.
    for (const QString &column : sheet.needed.keys()) {
        const double width = sheet.widths[column].toDouble();
        const double needed = sheet.needed[column].toDouble();
        QVERIFY2(width - 2.86 >= needed && width - 2.86 < needed + 1.0,
            qPrintable(QStringLiteral("%1: width %2, text needs %3").arg(column).arg(width).arg(needed)));
    }
}

void TestXlsxWorkbook::newWorkbookHoldsTheFormattedTable()
{
    const QString path = m_dir.filePath(QStringLiteral("new.xlsx"));
    XlsxWorkbook workbook;
    QString error;
    QVERIFY(workbook.Create(&error));
    QVERIFY(workbook.WriteTable(tableOf(ThreeReports), &error));
    QVERIFY2(workbook.Save(path, &error), qPrintable(error));

    const ReadBack sheet = readBack(path);
    QCOMPARE(cell(sheet, "A1"),
        "text Download On|" + Header + "left thin FF000000,right thin FFFFFFFF,top thin FF000000");
    QCOMPARE(
        cell(sheet, "F1"), "text Time Since Alarm Began|" + Header + "right thin FFFFFFFF,top thin FF000000");
    QCOMPARE(cell(sheet, "G1"), "text Duration of Alarm|" + Header + "right thin FF000000,top thin FF000000");
    QCOMPARE(cell(sheet, "K1"), "text Total Events|" + Header + "right thin FFFFFFFF,top thin FF000000");
    QCOMPARE(cell(sheet, "A2"), "date 2026-12-05|dd-mmm-yyyy|Calibri -" + Body);
    QCOMPARE(cell(sheet, "B2"), "time 13:05|hh:mm AM/PM|Calibri -" + Body);
    QCOMPARE(cell(sheet, "C2"), "number 123|0|Calibri -" + Body);
    QCOMPARE(cell(sheet, "E2"), "text 15 ppm H2S|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "F2"), "text 06 days 04 hrs 21 mins|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "I2"), "number 2|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "J2"), "text 3 min.|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "C3"), "text A12-345|0|Calibri -" + Body);
    // Event values fill their columns independently: the third report's time since lands in the second row.
    QCOMPARE(cell(sheet, "F3"), "text 00 days 00 hrs 05 mins|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "H3"), "None|General|Calibri -" + Body);
    // The third report's event has no peak: it still gets its row.
    QCOMPARE(cell(sheet, "A4"), "date 2026-12-07|dd-mmm-yyyy|Calibri -" + Body);
    QCOMPARE(cell(sheet, "E4"), "None|General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "F4"), "text 00 days 00 hrs 00 mins |General|Calibri -" + Body);
    QCOMPARE(cell(sheet, "G4"), "text 00 days 00 hrs 03 mins 00 secs|General|Calibri -" + Body);
    QVERIFY(!sheet.cells.contains(QLatin1String("A5")));
    QCOMPARE(sheet.fit, QJsonArray({ true, 1, 1 }));
    checkWidths(sheet);

    // A report without optional blocks and without events: the seven fixed headers alone.
    const QString bare = m_dir.filePath(QStringLiteral("bare.xlsx"));
    XlsxWorkbook empty;
    QVERIFY(empty.Create(&error) && empty.WriteTable(tableOf({ "Date: 05-Dec-2026" }), &error)
        && empty.Save(bare, &error));
    const ReadBack headers = readBack(bare);
    QCOMPARE(headers.cells.keys(), QStringList({ "A1", "B1", "C1", "D1", "E1", "F1", "G1" }));

    m_produced << path << bare;
}

void TestXlsxWorkbook::appendKeepsTheWorkbookAndPlacesRowsByHeader()
{
    // Made with LibreOffice: headers "User " (with a space), "life remaining" and "Total Events", two rows,
    // and a second sheet whose formula reads the first.
    const QString path = m_dir.filePath(QStringLiteral("earlier.xlsx"));
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx", path));
    const QString original = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx");
    const QStringList report
        = { "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 7", "User: Ann", "Life Remaining:", "24 months",
              "Self tests:", "2", "Peak exposure:", "15 ppm H2S", "Alarm duration:", "4 secs" };

    QByteArray stylesAfterFirst;
    for (int round = 0; round < 10; ++round) {
        XlsxWorkbook workbook;
        QString error;
        QVERIFY2(workbook.Open(path, &error), qPrintable(error));
        QVERIFY(workbook.WriteTable(tableOf(report), &error));
        QVERIFY2(workbook.Save(path, &error), qPrintable(error));
        if (round == 0) {
            stylesAfterFirst = part(path, QStringLiteral("xl/styles.xml"));
            const ReadBack sheet = readBack(path);
            // Old rows are formatted as body rows; the new one comes right below them.
            QCOMPARE(cell(sheet, "E2"), "text 25 ppm H2S|General|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "A4"), "date 2026-12-05|dd-mmm-yyyy|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "C4"), "number 7|0|Calibri FF000000" + Body);
            // "User " names no column; "life remaining" is Life Remaining; Total Events is not in the report.
            QCOMPARE(cell(sheet, "D4"), "None|General|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "H4"), "text 24 months|General|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "I4"), "None|General|Calibri FF000000" + Body);
            QCOMPARE(
                cell(sheet, "I1"), "text Total Events|" + Header + "right thin FFFFFFFF,top thin FF000000");
            // Self Tests was missing and is added at the right.
            QCOMPARE(
                cell(sheet, "J1"), "text Self Tests|" + Header + "right thin FFFFFFFF,top thin FF000000");
            QCOMPARE(cell(sheet, "J2"), "None|General|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "J4"), "number 2|General|Calibri FF000000" + Body);
            QCOMPARE(sheet.sheets, QJsonArray({ "Events", "Notes" }));
            checkWidths(sheet);
        }
    }
    QCOMPARE(readBack(path).cells.value(QLatin1String("A13")).toString().left(15),
        QStringLiteral("date 2026-12-05"));
    QCOMPARE(part(path, QStringLiteral("xl/styles.xml")), stylesAfterFirst);
    m_produced << path;
    for (const char *kept :
        { "xl/workbook.xml", "xl/worksheets/sheet2.xml", "docProps/core.xml", "docProps/app.xml" })
        QCOMPARE(part(path, QString::fromLatin1(kept)), part(original, QString::fromLatin1(kept)));
}

void TestXlsxWorkbook::refusesWhatCannotBeWritten()
{
    QString error;
    // A package whose main part is not a workbook.
    const QString notWorkbook = m_dir.filePath(QStringLiteral("document.xlsx"));
    {
        OoxmlPackage package = OoxmlPackage::Create();
        package.SetPart(QStringLiteral("word/document.xml"), "<document/>",
            QStringLiteral(
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"));
        package.AddRelationship({}, QString::fromLatin1(OoxmlPackage::OfficeDocumentRelationship),
            QStringLiteral("word/document.xml"));
        QVERIFY(package.Save(notWorkbook, &error));
    }
    XlsxWorkbook wrongKind;
    QVERIFY(!wrongKind.Open(notWorkbook, &error));
    QCOMPARE(error, QStringLiteral("The file is not an Excel workbook."));

    // A worksheet whose last row is used leaves no room for more.
    const QString full = m_dir.filePath(QStringLiteral("full.xlsx"));
    {
        XlsxWorkbook workbook;
        QVERIFY(workbook.Create(&error) && workbook.WriteTable(tableOf({}), &error)
            && workbook.Save(full, &error));
        std::optional<OoxmlPackage> package = OoxmlPackage::Open(full, &error);
        QVERIFY(package);
        QByteArray sheet = *package->ReadPart(QStringLiteral("xl/worksheets/sheet1.xml"), &error);
        sheet.replace("</sheetData>", "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row></sheetData>");
        package->SetPart(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
        QVERIFY(package->Save(full, &error));
    }
    XlsxWorkbook workbook;
    QVERIFY2(workbook.Open(full, &error), qPrintable(error));
    QVERIFY(!workbook.WriteTable(tableOf({ "Peak", "1 ppm" }), &error));
    QVERIFY2(error.contains(QLatin1String("1048576")), qPrintable(error));

    // A stray cell in the last column of a long sheet would have every cell up to it formatted.
    {
        std::optional<OoxmlPackage> package = OoxmlPackage::Open(full, &error);
        QByteArray sheet = *package->ReadPart(QStringLiteral("xl/worksheets/sheet1.xml"), &error);
        sheet.replace("<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c>",
            "<row r=\"2000\"><c r=\"A2000\"><v>1</v></c><c r=\"XFD2000\"><v>1</v></c>");
        package->SetPart(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
        QVERIFY(package->Save(full, &error));
    }
    XlsxWorkbook wide;
    QVERIFY2(wide.Open(full, &error), qPrintable(error));
    QVERIFY(!wide.WriteTable(tableOf({ "Peak", "1 ppm" }), &error));
    QVERIFY2(error.contains(QLatin1String("too large to format")), qPrintable(error));
}

void TestXlsxWorkbook::datesFollowTheWorkbooksDateSystem()
{
    const QString path = m_dir.filePath(QStringLiteral("1904.xlsx"));
    QString error;
    {
        XlsxWorkbook workbook;
        QVERIFY(workbook.Create(&error) && workbook.WriteTable(tableOf({}), &error)
            && workbook.Save(path, &error));
        std::optional<OoxmlPackage> package = OoxmlPackage::Open(path, &error);
        QByteArray book = *package->ReadPart(QStringLiteral("xl/workbook.xml"), &error);
        book.replace("<bookViews>", "<workbookPr date1904=\"1\"/><bookViews>");
        package->SetPart(QStringLiteral("xl/workbook.xml"), book);
        QVERIFY(package->Save(path, &error));
    }
    XlsxWorkbook workbook;
    QVERIFY(workbook.Open(path, &error));
    QVERIFY(workbook.WriteTable(tableOf(ThreeReports), &error) && workbook.Save(path, &error));
    QCOMPARE(cell(readBack(path), "A2").left(15), QStringLiteral("date 2026-12-05"));
}

void TestXlsxWorkbook::rawLinesGoToColumnA()
{
    const QString path = m_dir.filePath(QStringLiteral("raw.xlsx"));
    XlsxWorkbook workbook;
    QString error;
    QVERIFY(workbook.Create(&error));
    QVERIFY(
        workbook.WriteRawLines({ "   S/N: 0412-3377", "", QString::fromUtf8("Peak \u20ac\x01") }, &error));
    QVERIFY(workbook.Save(path, &error));
    const ReadBack sheet = readBack(path);
    QCOMPARE(sheet.cells.keys(), QStringList({ "A1", "A2", "A3", "A4" }));
    QCOMPARE(cell(sheet, "A2").section(u'|', 0, 2),
        QStringLiteral("text    S/N: 0412-3377|General|Courier New -"));
    // A character XML cannot hold is written as Excel escapes it; openpyxl shows the escape.
    QCOMPARE(cell(sheet, "A4").section(u'|', 0, 0), QString::fromUtf8("text Peak \u20ac_x0001_"));
    m_produced << path;
}

void TestXlsxWorkbook::producedFilesAreValid()
{
    QCOMPARE(m_produced.size(), 4);
    QCOMPARE(OfficeReaders::ValidationErrors(m_produced), QStringList());
}

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "tst_xlsxworkbook.moc"
