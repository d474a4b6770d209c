#include <cstdio>
#include <memory>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "documents/excel/NumberFormat.h"
#include "documents/excel/XlsxWorkbook.h"
#include "documents/export/ReportExport.h"
#include "documents/ooxml/OoxmlPackage.h"
#include "tests/support/OfficeReaders.h"
#include "tests/support/PackageParts.h"
#include "tests/support/TestFiles.h"

namespace {

const QString Header = "General|bold Calibri FFFFFFFF|center|solid FF000000|";
const QString Body = "|center|none|left hair FF000000,right hair FF000000,bottom hair FF000000";

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
    bool fullCalcOnLoad = false;
    QJsonObject parts;
};

ReadBack readBack(const QString &path)
{
    const QJsonObject json = OfficeReaders::runScript("read_xlsx.py", { path }).object();
    return { json["cells"].toObject(), json["widths"].toObject(), json["needed"].toObject(),
        json["fit"].toArray(), json["sheets"].toArray(), json["fullCalcOnLoad"].toBool(),
        json["parts"].toObject() };
}

// The value part of a cell as the reader describes it.
QString value(const ReadBack &sheet, const QString &reference)
{
    return sheet.cells[reference].toString().section(u'|', 0, 0);
}

// A new workbook at path holding the lines' table: empty, or why it could not be written.
QString create(const QString &path, const QStringList &lines)
{
    QString error;
    XlsxWorkbook workbook;
    const bool written = workbook.create(&error) && workbook.writeTable(tableOf(lines), &error)
        && workbook.save(path, &error);
    return written ? QString() : "not written: " + error;
}

// The lines' table appended to the workbook at path: empty, or why it could not be.
QString append(const QString &path, const QStringList &lines)
{
    QString error;
    XlsxWorkbook workbook;
    const bool written = workbook.open(path, &error) && workbook.writeTable(tableOf(lines), &error)
        && workbook.save(path, &error);
    return written ? QString() : "not appended: " + error;
}

QString cell(const ReadBack &sheet, const char *reference)
{
    return sheet.cells[QLatin1String(reference)].toString();
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
    void numberFormatsShowWhatTheyFit_data();
    void numberFormatsShowWhatTheyFit();
    void appendLeavesTheCellsAroundTheTable();
    void appendStartsAgainOnAReplacedFile();
    void appendFillsTheSheetsOwnRowsBelowTheTable();
    void appendToWorkbooksOfOtherPrograms_data();
    void appendToWorkbooksOfOtherPrograms();
    void appendNeverDropsAValue();
    void producedFilesAreValid();

private:
    void checkWidths(const ReadBack &sheet, const QStringList &columns = {});

    QTemporaryDir m_dir;
    // Validated together at the end: one run of the validator takes seconds.
    QStringList m_produced;
};

void TestXlsxWorkbook::checkWidths(const ReadBack &sheet, const QStringList &columns)
{
    // Every text of the fitted columns (A to K unless told) stays fully visible, with the extra width on
    // top of the fitted one.
    for (const QString &column : sheet.needed.keys()) {
        if (columns.isEmpty() ? column.size() > 1 || column > "K" : !columns.contains(column))
            continue;
        const double width = sheet.widths[column].toDouble();
        const double needed = sheet.needed[column].toDouble();
        QVERIFY2(width - 2.86 >= needed && width - 2.86 < needed + 1.0,
            qPrintable(QStringLiteral("%1: width %2, text needs %3").arg(column).arg(width).arg(needed)));
    }
}

void TestXlsxWorkbook::newWorkbookHoldsTheFormattedTable()
{
    const QString path = m_dir.filePath("new.xlsx");
    QCOMPARE(create(path, ThreeReports), QString());

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
    QVERIFY(!sheet.cells.contains("A5"));
    // One page wide, as many tall as the rows need, the header row on each.
    QCOMPARE(sheet.fit, QJsonArray({ true, 1, 0, "$1:$1" }));
    checkWidths(sheet);

    // A report without optional blocks and without events: the seven fixed headers alone.
    const QString bare = m_dir.filePath("bare.xlsx");
    QCOMPARE(create(bare, { "Date: 05-Dec-2026" }), QString());
    const ReadBack headers = readBack(bare);
    QCOMPARE(headers.cells.keys(), QStringList({ "A1", "B1", "C1", "D1", "E1", "F1", "G1" }));

    m_produced << path << bare;
}

void TestXlsxWorkbook::appendKeepsTheWorkbookAndPlacesRowsByHeader()
{
    // Made with LibreOffice: headers "User " (with a space), "life remaining" and "Total Events", two rows,
    // and a second sheet whose formula reads the first.
    const QString path = m_dir.filePath("earlier.xlsx");
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx", path));
    const QString original = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx");
    const QStringList report
        = { "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 7", "User: Ann", "Life Remaining:", "24 months",
              "Self tests:", "2", "Peak exposure:", "15 ppm H2S", "Alarm duration:", "4 secs" };

    QByteArray stylesAfterFirst;
    for (int round = 0; round < 10; ++round) {
        QCOMPARE(append(path, report), QString());
        if (round == 0) {
            stylesAfterFirst = partOf(path, "xl/styles.xml");
            const ReadBack sheet = readBack(path);
            // Old rows are formatted as body rows; the new one comes right below them.
            QCOMPARE(cell(sheet, "E2"), "text 25 ppm H2S|General|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "A4"), "date 2026-12-05|dd-mmm-yyyy|Calibri FF000000" + Body);
            QCOMPARE(cell(sheet, "C4"), "number 7|0|Calibri FF000000" + Body);
            // "User " is User, "life remaining" is Life Remaining; Total Events is not in the report.
            QCOMPARE(cell(sheet, "D4"), "text Ann|General|Calibri FF000000" + Body);
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
    QCOMPARE(readBack(path).cells.value("A13").toString().left(15), "date 2026-12-05");
    QCOMPARE(partOf(path, "xl/styles.xml"), stylesAfterFirst);
    m_produced << path;
    for (const char *kept : { "xl/worksheets/sheet2.xml", "docProps/core.xml", "docProps/app.xml" })
        QCOMPARE(partOf(path, QString::fromLatin1(kept)), partOf(original, QString::fromLatin1(kept)));
    // The workbook asks for its formulas to be recalculated and prints the header row on every page, and
    // is otherwise as it was.
    const QByteArray printTitles
        = "<definedNames><definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">"
          "'Events'!$1:$1</definedName></definedNames>";
    QByteArray workbook = partOf(path, "xl/workbook.xml");
    QVERIFY2(workbook.contains(printTitles), workbook.constData());
    QCOMPARE(workbook.replace(" fullCalcOnLoad=\"1\"", "").replace(printTitles, ""),
        partOf(original, "xl/workbook.xml").replace("?>\n", "?>"));
}

void TestXlsxWorkbook::refusesWhatCannotBeWritten()
{
    QString error;
    // A package whose main part is not a workbook.
    const QString notWorkbook = m_dir.filePath("document.xlsx");
    {
        OoxmlPackage package = OoxmlPackage::create();
        package.setPart("word/document.xml", "<document/>",
            QStringLiteral(
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"));
        package.addRelationship(
            {}, QString::fromLatin1(OoxmlPackage::OfficeDocumentRelationship), "word/document.xml");
        QVERIFY(package.save(notWorkbook, &error));
    }
    XlsxWorkbook wrongKind;
    QVERIFY(!wrongKind.open(notWorkbook, &error));
    QCOMPARE(error, "The file is not an Excel workbook.");

    // A worksheet whose last row is used leaves no room for more.
    const QString full = m_dir.filePath("full.xlsx");
    QCOMPARE(create(full, {}), QString());
    QVERIFY(editPart(full, "xl/worksheets/sheet1.xml", [](QByteArray &sheet) {
        sheet.replace("</sheetData>", "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row></sheetData>");
    }));
    const QString noRoom = append(full, { "Peak", "1 ppm" });
    QVERIFY2(noRoom.contains("1048576"), qPrintable(noRoom));

    // Work follows the cells that exist: a stray cell in the last column costs nothing, and it stays.
    const auto patched = [&full](const QByteArray &rows) {
        // Everything below the header row gives way to rows.
        return editPart(full, "xl/worksheets/sheet1.xml", [&rows](QByteArray &sheet) {
            const qsizetype below = sheet.indexOf("</row>") + 6;
            sheet.replace(below, sheet.indexOf("</sheetData>") - below, rows);
        });
    };
    QVERIFY(patched("<row r=\"2000\"><c r=\"A2000\"><v>1</v></c><c r=\"XFD2000\"><v>7</v></c></row>"));
    QCOMPARE(append(full, { "Peak", "1 ppm" }), QString());
    // (The reader would walk all 16,384 columns of each row: the part itself is read.)
    const QByteArray sheet = partOf(full, "xl/worksheets/sheet1.xml");
    QVERIFY(sheet.contains("<c r=\"XFD2000\"><v>7</v></c>"));
    QVERIFY(sheet.contains("<c r=\"E2001\""));
    QVERIFY(!sheet.contains("<c r=\"XFC"));

    // References beyond a worksheet or out of order are refused with the reason, not renumbered.
    const QList<QPair<QByteArray, QString>> damaged {
        { "<row r=\"2000000000\"><c r=\"A2000000000\"><v>1</v></c></row>", "row \"2000000000\"" },
        { "<row r=\"5\"><c r=\"A5\"><v>1</v></c></row><row r=\"3\"><c r=\"A3\"><v>1</v></c></row>",
            "row 3 comes after row 5" },
        { "<row r=\"5\"><c r=\"B5\"><v>1</v></c><c r=\"A5\"><v>1</v></c></row>", "cell A5 is out of place" },
        { "<row r=\"5\"><c r=\"XFE5\"><v>1</v></c></row>", "cell \"XFE5\"" },
    };
    for (const auto &[rows, reason] : damaged) {
        QVERIFY(patched(rows));
        const QString refused = append(full, {});
        QVERIFY2(refused.contains(reason), qPrintable(refused));
    }
}

void TestXlsxWorkbook::datesFollowTheWorkbooksDateSystem()
{
    const QString path = m_dir.filePath("1904.xlsx");
    QCOMPARE(create(path, {}), QString());
    QVERIFY(editPart(path, "xl/workbook.xml",
        [](QByteArray &book) { book.replace("<bookViews>", "<workbookPr date1904=\"1\"/><bookViews>"); }));
    QCOMPARE(append(path, ThreeReports), QString());
    QCOMPARE(cell(readBack(path), "A2").left(15), "date 2026-12-05");
}

void TestXlsxWorkbook::numberFormatsShowWhatTheyFit_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("shown");
    // 46361.5868055556 is 2026-12-05 14:05:00.
    QTest::newRow("date and time") << 46361.5868055556 << "yyyy\\-mm\\-dd\\ h:mm:ss"
                                   << "2026-12-05 14:05:00";
    QTest::newRow("months and minutes") << 46361.5868055556 << "mmmm d, yyyy hh:mm AM/PM"
                                        << "December 5, 2026 02:05 PM";
    QTest::newRow("built-in date") << 46361.0 << NumberFormat::builtInCode(15) << "5-Dec-26";
    QTest::newRow("elapsed hours") << 1.5 << "[h]:mm:ss"
                                   << "36:00:00";
    QTest::newRow("thousands and decimals") << 1234567.891 << "#,##0.00"
                                            << "1,234,567.89";
    QTest::newRow("percent") << 0.256 << "0.0%"
                             << "25.6%";
    QTest::newRow("scientific") << 12345.0 << NumberFormat::builtInCode(11) << "1.23E+04";
    QTest::newRow("negative section and literal") << -42.0 << "0 \"ppm\";(0) \"ppm\""
                                                  << "(42) ppm";
    QTest::newRow("general") << 0.1 << "General"
                             << "0.1";
}

void TestXlsxWorkbook::numberFormatsShowWhatTheyFit()
{
    QFETCH(double, value);
    QFETCH(QString, code);
    QFETCH(QString, shown);
    QCOMPARE(NumberFormat::show(value, code), shown);
}

void TestXlsxWorkbook::appendLeavesTheCellsAroundTheTable()
{
    // Made with LibreOffice: the seven fixed headers and the user's own "Checked" column of date-times
    // (yyyy-mm-dd h:mm:ss), two rows, a total below them in D5:E5, coloured remarks without a header in
    // M2:M3, and a second sheet that counts the peaks.
    const QString path = m_dir.filePath("notes.xlsx");
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/notes_around_table_libreoffice.xlsx", path));
    const ReadBack before = readBack(path);
    QCOMPARE(append(path,
                 { "   S/N: 12.5", "Date: 05-Dec-2026", "Time: 1:05 PM", "User: Ann",
                     "Life Remaining:", "24 months", "Self tests:", "2", "Peak exposure:", "15 ppm H2S",
                     "Alarm duration:", "4 secs" }),
        QString());
    const ReadBack sheet = readBack(path);

    // Every old cell keeps its value; the remarks outside the table keep their format too.
    for (const QString &reference : before.cells.keys()) {
        QCOMPARE(value(sheet, reference), value(before, reference));
        if (reference.startsWith(u'M'))
            QCOMPARE(sheet.cells[reference], before.cells[reference]);
    }
    // The new row comes below the total; the columns the sheet lacked come right of the remarks.
    QCOMPARE(value(sheet, "A6"), "date 2026-12-05");
    QCOMPARE(cell(sheet, "C6").section(u'|', 0, 1), "number 12.5|0");
    QCOMPARE(value(sheet, "N1"), "text Life Remaining");
    QCOMPARE(value(sheet, "O1"), "text Self Tests");
    QCOMPARE(value(sheet, "N6"), "text 24 months");
    QCOMPARE(cell(sheet, "O1"), "text Self Tests|" + Header + "right thin FFFFFFFF,top thin FF000000");
    // Columns without a header are left alone: no body format in the new row or beside the old ones.
    QCOMPARE(cell(sheet, "M6").section(u'|', 4), "none|");
    QCOMPARE(cell(sheet, "L2").section(u'|', 4), "none|");
    checkWidths(sheet, { "A", "B", "C", "D", "E", "F", "G", "H", "N", "O" });
    QVERIFY(sheet.fullCalcOnLoad);

    // Reports without a date leave column A empty: each append still goes below the last.
    // A serial longer than the 15 digits a spreadsheet keeps stays text. A character XML cannot hold is
    // written as Excel escapes it; openpyxl shows the escape.
    const QStringList undated = { "   S/N: 12345678901234567890",
        "User: Bo\x01"
        "b",
        "Peak exposure:", "5 ppm H2S", "Alarm duration:", "4 secs" };
    QVERIFY(append(path, undated).isEmpty() && append(path, undated).isEmpty());
    const ReadBack again = readBack(path);
    QCOMPARE(value(again, "C7"), "text 12345678901234567890");
    QCOMPARE(value(again, "D7"), "text Bo_x0001_b");
    QCOMPARE(value(again, "E6"), "text 15 ppm H2S");
    QCOMPARE(value(again, "E7"), "text 5 ppm H2S");
    QCOMPARE(value(again, "E8"), "text 5 ppm H2S");
    QCOMPARE(value(again, "A8"), "None");
    m_produced << path;
}

// Another program puts a new workbook in the file's place between the reading and the save: the export's
// append starts again on it, and its cells stay.
void TestXlsxWorkbook::appendStartsAgainOnAReplacedFile()
{
    const QString path = m_dir.filePath("replaced.xlsx");
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx", path));
    ReportExport exporter(ReportExport::Format::Excel, true);
    QString error;
    QVERIFY(exporter.begin(path, &error));
    for (const char *line : { "Date: 05-Dec-2026", "Peak exposure:", "15 ppm H2S" })
        QVERIFY(exporter.add(line, &error));
    QVERIFY(exporter.complete(&error));
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/notes_around_table_libreoffice.xlsx", path + ".new"));
    QVERIFY(std::rename(qPrintable(path + ".new"), qPrintable(path)) == 0);
    QVERIFY2(exporter.save(path, &error), qPrintable(error));
    const ReadBack sheet = readBack(path);
    QCOMPARE(value(sheet, "M2"),
        value(readBack(LORIMET_TEST_DATA_DIR "/export/notes_around_table_libreoffice.xlsx"), "M2"));
    QCOMPARE(value(sheet, "E6"), "text 15 ppm H2S");
}

// A row of the sheet's own below the last used one (here an empty one with its height) takes its new
// cells; no row is written twice.
void TestXlsxWorkbook::appendFillsTheSheetsOwnRowsBelowTheTable()
{
    const QString path = m_dir.filePath("tall-row.xlsx");
    QVERIFY(QFile::copy(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx", path));
    QVERIFY(editPart(path, "xl/worksheets/sheet1.xml", [](QByteArray &sheet) {
        sheet.replace("</sheetData>", "<row r=\"5\" ht=\"30\" customHeight=\"1\"/></sheetData>");
    }));
    QCOMPARE(append(path, { "Peak exposure:", "15 ppm H2S", "Peak exposure:", "16 ppm H2S" }), QString());
    const QByteArray sheet = partOf(path, "xl/worksheets/sheet1.xml");
    QCOMPARE(sheet.count("<row r=\"5\""), 1);
    QVERIFY(sheet.contains("<row r=\"5\" ht=\"30\" customHeight=\"1\"><c r=\"A5\""));
    const ReadBack read = readBack(path);
    QCOMPARE(value(read, "E4"), "text 15 ppm H2S");
    QCOMPARE(value(read, "E5"), "text 16 ppm H2S");
}

void TestXlsxWorkbook::appendToWorkbooksOfOtherPrograms_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("lifeColumn");
    // openpyxl declares the relationships namespace on each sheet element and writes the children of its
    // fonts out of the schema's order; three sheets and a defined name.
    QTest::newRow("openpyxl") << "three_sheets_openpyxl.xlsx"
                              << "H";
    // libxlsxwriter: bold headers, a Life Remaining column of its own, two sheets and a defined name.
    QTest::newRow("libxlsxwriter") << "two_sheets_libxlsxwriter.xlsx"
                                   << "H";
}

void TestXlsxWorkbook::appendToWorkbooksOfOtherPrograms()
{
    QFETCH(QString, file);
    QFETCH(QString, lifeColumn);
    const QString original = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/") + file;
    const QString path = m_dir.filePath(file);
    QVERIFY(QFile::copy(original, path));
    const ReadBack before = readBack(path);
    QCOMPARE(append(path,
                 { "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 7", "User: Kim", "Life Remaining:",
                     "24 months", "Peak exposure:", "15 ppm H2S", "Alarm duration:", "4 secs" }),
        QString());
    const ReadBack sheet = readBack(path);

    for (const QString &reference : before.cells.keys())
        QCOMPARE(value(sheet, reference), value(before, reference));
    QCOMPARE(value(sheet, "A3"), "date 2026-12-05");
    QCOMPARE(value(sheet, "D3"), "text Kim");
    QCOMPARE(value(sheet, lifeColumn + u'3'), "text 24 months");
    QCOMPARE(sheet.sheets, before.sheets);
    // Only the first sheet, its styles and strings, and the workbook's request to recalculate change; a
    // workbook of inline strings gains a shared strings part.
    static const QStringList Changed = { "[Content_Types].xml", "xl/_rels/workbook.xml.rels",
        "xl/worksheets/sheet1.xml", "xl/styles.xml", "xl/sharedStrings.xml", "xl/workbook.xml" };
    for (const QString &name : sheet.parts.keys())
        QVERIFY2(Changed.contains(name) || sheet.parts[name] == before.parts[name], qPrintable(name));
    for (const QString &name : before.parts.keys())
        QVERIFY2(sheet.parts.contains(name), qPrintable(name));

    QCOMPARE(OfficeReaders::newFindings(original, path), QStringList());
}

// A destination whose row 1 lacks report columns gets them added; one that holds something else is
// refused and left as it was.
void TestXlsxWorkbook::appendNeverDropsAValue()
{
    const QStringList report = { "Date: 05-Dec-2026", "Time: 1:05 PM", "Serial #: 7", "User: Ann",
        "Peak exposure:", "15 ppm H2S", "Time since alarm began:", "5 mins", "Alarm duration:", "4 secs" };
    // A workbook whose first sheet holds the given rows of inline texts.
    const auto sheetWith = [this](const QString &name, const QList<QStringList> &rows) {
        const QString path = m_dir.filePath(name);
        QByteArray data;
        for (int row = 0; row < rows.size(); ++row) {
            data += "<row r=\"" + QByteArray::number(row + 1) + "\">";
            for (int column = 0; column < rows.at(row).size(); ++column)
                data += "<c r=\"" + QByteArray(1, char('A' + column)) + QByteArray::number(row + 1)
                    + "\" t=\"inlineStr\"><is><t>" + rows.at(row).at(column).toUtf8() + "</t></is></c>";
            data += "</row>";
        }
        const bool made = create(path, {}).isEmpty()
            && editPart(path, "xl/worksheets/sheet1.xml", [&data](QByteArray &sheet) {
                   const qsizetype start = sheet.indexOf("<sheetData");
                   const qsizetype end = sheet.indexOf("</sheetData>");
                   sheet.replace(start, end < 0 ? sheet.indexOf("/>", start) + 2 - start : end + 12 - start,
                       "<sheetData>" + data + "</sheetData>");
               });
        return made ? path : QString();
    };
    const auto appended = [&report](const QString &path, QString *note) {
        QString error;
        XlsxWorkbook workbook;
        const bool written = workbook.open(path, &error) && workbook.writeTable(tableOf(report), &error)
            && workbook.save(path, &error);
        *note = workbook.writeNote();
        return written ? QString() : error;
    };
    QString note;

    // A blank sheet takes the table of a new export, and says that it went to a hidden sheet.
    const QString blank = sheetWith("blank.xlsx", {});
    QVERIFY(editPart(blank, "xl/workbook.xml", [](QByteArray &workbook) {
        workbook.replace("<sheet name=\"Sheet1\"", "<sheet name=\"Sheet1\" state=\"hidden\"");
    }));
    QCOMPARE(appended(blank, &note), QString());
    QCOMPARE(note, "The worksheet \"Sheet1\" that holds the table is hidden.");
    ReadBack sheet = readBack(blank);
    QCOMPARE(value(sheet, "A1"), "text Download On");
    QCOMPARE(value(sheet, "D2"), "text Ann");
    QCOMPARE(value(sheet, "G2"), "text 00 days 00 hrs 00 mins 04 secs");

    // Five of the seven headers, one with a space after it: the other two come at the right.
    const QString five = sheetWith("five.xlsx",
        { { "Download On", "serial #", "Peak", "Duration of Alarm ", "Remarks" },
            { "", "", "", "", "checked" } });
    QCOMPARE(appended(five, &note), QString());
    QCOMPARE(note, "Columns added to the table: Download At, User, Time Since Alarm Began.");
    sheet = readBack(five);
    QCOMPARE(value(sheet, "F1"), "text Download At");
    QCOMPARE(value(sheet, "H1"), "text Time Since Alarm Began");
    QCOMPARE(value(sheet, "D3"), "text 00 days 00 hrs 00 mins 04 secs");
    QCOMPARE(value(sheet, "E2"), "text checked");
    QCOMPARE(value(sheet, "G3"), "text Ann");
    QCOMPARE(value(sheet, "H3"), "text 00 days 00 hrs 05 mins");
    m_produced << five;

    // A title where the headers would be: refused, the file untouched.
    const QString titled = sheetWith("titled.xlsx", { { "Site 4 gas log" }, { "Download On" } });
    const QByteArray before = readBytes(titled);
    const QString refused = appended(titled, &note);
    QVERIFY2(refused.contains("row 1 names none of the report's columns"), qPrintable(refused));
    QCOMPARE(readBytes(titled), before);
}

void TestXlsxWorkbook::producedFilesAreValid()
{
    QCOMPARE(m_produced.size(), 5);
    QCOMPARE(OfficeReaders::validationErrors(m_produced), QStringList());
}

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "tst_xlsxworkbook.moc"
