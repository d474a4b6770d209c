// The Word writer's files, read back with python-docx (tests/support/read_docx.py), with pugixml for what
// python-docx does not show, and checked by the Open XML validator.
//
// tests/data/export/earlier_export_libreoffice.docx: a seven-column table made by this writer, its
// "Serial #" and "Peak" headers retyped as "serial #" and "  Peak ", a paragraph above it, a second
// table, a page header and a picture added, then opened and saved again by LibreOffice Writer.
// tests/data/export/merged_cells_libreoffice.docx: the same table with its "User" and "Peak" header cells
// merged into one, the first column's two data cells merged vertically and the last row's two duration
// cells merged, saved again by LibreOffice Writer.
// tests/data/export/shaded_table_python_docx.docx: made by python-docx in its default font, the theme's
// Cambria, with its Normal style at 14 pt, on landscape Letter: a paragraph, the seven fixed headers in bold
// white on dark blue shading, one row whose cells have a red double bottom border, and a paragraph after the
// table.

#include <numeric>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include "documents/ooxml/OoxmlPackage.h"
#include "documents/word/DocxDocument.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"
#include "tests/support/OfficeReaders.h"
#include "tests/support/PackageParts.h"
#include "tests/support/TestFiles.h"

namespace {

const QString EarlierExport = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/earlier_export_libreoffice.docx");

struct Report
{
    QString serial;
    QString user;
    bool life = false;
    bool selfTests = false;
    bool totals = false;
    int events = 0;
};

QStringList reportLines(const Report &report)
{
    QStringList lines { "  H2S EVENT LOG REPORT  ", "Date: 05-Dec-2026", "Time: 1:05 PM",
        "Serial #: " + report.serial, "User: " + report.user };
    if (report.life)
        lines << "Life Remaining:"
              << "24 months";
    if (report.selfTests)
        lines << "Self tests:"
              << "7";
    if (report.totals)
        lines << "Total events/duration:" << QStringLiteral("%1 / 3 min.").arg(report.events);
    for (int event = 0; event < report.events; ++event) {
        lines << "Peak exposure:" << QStringLiteral("%1 ppm H2S").arg(10 + event)
              << "Time since alarm began:" << QStringLiteral("6 days 4 hrs %1 mins").arg(event)
              << "Alarm duration:" << QStringLiteral("1 mins %1 secs").arg(event);
    }
    return lines;
}

QJsonObject readBack(const QString &path)
{
    return OfficeReaders::runScript("read_docx.py", { path }).object();
}

bool mainPart(const QString &path, pugi::xml_document &document)
{
    QString error;
    std::optional<OoxmlPackage> package = OoxmlPackage::open(path, &error);
    return package && package->readXmlPart("word/document.xml", document, &error);
}

// A new document at path holding the table: empty, or why it could not be written.
QString create(const QString &path, const ReportTable &table,
    QLocale::MeasurementSystem measurement = QLocale::system().measurementSystem())
{
    QString error;
    DocxDocument document(measurement);
    const bool written
        = document.create(&error) && document.writeTable(table, &error) && document.save(path, &error);
    return written ? QString() : "not written: " + error;
}

// The table appended to the document at path: empty, or why it could not be.
QString appendTo(const QString &path, const ReportTable &table)
{
    QString error;
    DocxDocument document;
    const bool written
        = document.open(path, &error) && document.writeTable(table, &error) && document.save(path, &error);
    return written ? QString() : "not appended: " + error;
}

QJsonArray rowsOf(const QString &path)
{
    return readBack(path)["tables"][0]["rows"].toArray();
}

QStringList texts(const QJsonArray &cells)
{
    QStringList result;
    for (const QJsonValue &cell : cells)
        result << cell.toObject()["text"].toString();
    return result;
}

int attribute(const pugi::xpath_node &node, const char *name)
{
    return node.node().attribute(name).as_int(-1);
}

// Width in twips of the text on one line in the font's size, spacing points added per character,
// measured with the font file.
int twips(const QRawFont &font, const QString &text, qreal spacing = 1)
{
    qreal width = 0;
    const QList<QPointF> advances
        = font.advancesForGlyphIndexes(font.glyphIndexesForString(text), QRawFont::UseDesignMetrics);
    for (const QPointF &advance : advances)
        width += advance.x();
    return qCeil((width + spacing * text.size()) * 20);
}

QRawFont fontFile(const char *name, qreal size)
{
    return QRawFont(
        QStringLiteral("/usr/share/fonts/truetype/") + QLatin1String(name), size, QFont::PreferNoHinting);
}

// The first table's grid widths, and the width between the margins of the page.
struct Grid
{
    std::vector<int> widths;
    int cellMargins = 2 * 108;
    int textWidth = 0;
};

Grid gridOf(const pugi::xml_document &xml)
{
    Grid grid;
    for (const pugi::xpath_node &column : xml.select_nodes("(//w:tbl)[1]/w:tblGrid/w:gridCol"))
        grid.widths.push_back(attribute(column, "w:w"));
    if (const pugi::xpath_node margin = xml.select_node("(//w:tbl)[1]/w:tblPr/w:tblCellMar/w:left/@w:w"))
        grid.cellMargins = 2 * margin.attribute().as_int();
    const pugi::xml_node page = xml.select_node("//w:body/w:sectPr").node();
    grid.textWidth = page.child("w:pgSz").attribute("w:w").as_int()
        - page.child("w:pgMar").attribute("w:left").as_int()
        - page.child("w:pgMar").attribute("w:right").as_int();
    return grid;
}

} // namespace

class tst_DocxDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newDocument_data();
    void newDocument();
    void appendToEarlierExport();
    void appendBelowHeaderOnly();
    void appendByGridColumn();
    void longTableAppendsLikeItsNodes();
    void widestTableFitsThePage_data();
    void widestTableFitsThePage();
    void appendInTheDocumentsOwnLook();
    void documentsWithoutATable();

private:
    QTemporaryDir m_folder;
};

void tst_DocxDocument::initTestCase()
{
    QVERIFY(m_folder.isValid());
}

void tst_DocxDocument::newDocument_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QLocale::MeasurementSystem>("measurement");
    QTest::addColumn<int>("pageWidth");
    QTest::addColumn<int>("pageHeight");

    QFile saved(QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QStringList twoReports = QString::fromLatin1(saved.readAll()).remove(u'\r').split(u'\n');
    // A control character XML cannot carry, and characters it must escape.
    twoReports << reportLines({ "0099", QStringLiteral("Ann") + QChar(1) + "e & <Co>", true, true, true, 1 });
    QTest::newRow("all columns, A4") << twoReports << QLocale::MetricSystem << 16838 << 11906;
    QTest::newRow("fixed columns, Letter") << reportLines({ "12", "Lee", false, false, false, 2 })
                                           << QLocale::ImperialUSSystem << 15840 << 12240;
    QTest::newRow("no events") << reportLines({ "12", "Lee", true, false, false, 0 }) << QLocale::MetricSystem
                               << 16838 << 11906;
}

void tst_DocxDocument::newDocument()
{
    QFETCH(QStringList, lines);
    QFETCH(QLocale::MeasurementSystem, measurement);
    QFETCH(int, pageWidth);
    QFETCH(int, pageHeight);
    const ReportTable table = tableOf(lines);
    const QString path = m_folder.filePath(QStringLiteral("new-%1.docx").arg(QTest::currentDataTag()));
    QCOMPARE(create(path, table, measurement), QString());

    const QJsonObject read = readBack(path);
    QVERIFY(read["landscape"].toBool());
    QCOMPARE(read["pageWidth"].toInt(), pageWidth);
    QCOMPARE(read["pageHeight"].toInt(), pageHeight);
    const QJsonArray tables = read["tables"].toArray();
    QCOMPARE(tables.size(), 1);
    QCOMPARE(tables[0]["style"].toString(), "Table Grid");
    const QJsonArray rows = tables[0]["rows"].toArray();
    QCOMPARE(rows.size(), table.rowCount() + 1);
    QCOMPARE(texts(rows[0].toArray()), table.headers());
    for (const QJsonValue &header : rows[0].toArray()) {
        QCOMPARE(header["bold"].toBool(), true);
        QCOMPARE(header["color"].toString(), "FFFFFF");
        QCOMPARE(header["alignment"].toInt(), 1);
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        const QJsonArray cells = rows[row + 1].toArray();
        for (qsizetype c = 0; c < table.columns().size(); ++c) {
            QString expected = table.text(row, table.columns()[c]);
            QCOMPARE(cells[c]["text"].toString(), expected.remove(QChar(1)));
            QCOMPARE(cells[c]["alignment"].toInt(), 1);
        }
    }

    pugi::xml_document xml;
    QVERIFY(mainPart(path, xml));
    QCOMPARE(xml.select_nodes("//w:tr[1]/w:trPr/w:tblHeader").size(), 1u);
    QCOMPARE(xml.select_nodes("//w:tblHeader").size(), 1u);
    const auto cellCount = static_cast<size_t>(table.columns().size() * (table.rowCount() + 1));
    QCOMPARE(
        xml.select_nodes("//w:tc/w:tcPr/w:tcMar[w:top/@w:w='40' and w:bottom/@w:w='20']").size(), cellCount);
    QCOMPARE(xml.select_nodes("//w:tr[1]/w:tc/w:tcPr/w:shd[@w:fill='000000']").size(),
        static_cast<size_t>(table.columns().size()));
    QCOMPARE(xml.select_nodes("//w:tr[position() > 1]//w:shd").size(), 0u);

    pugi::xml_document styles;
    QString error;
    std::optional<OoxmlPackage> package = OoxmlPackage::open(path, &error);
    QVERIFY(package && package->readXmlPart("word/styles.xml", styles, &error));
    const pugi::xml_node defaults = styles.select_node("//w:docDefaults/w:rPrDefault/w:rPr").node();
    QCOMPARE(defaults.child("w:rFonts").attribute("w:ascii").value(), "Arial");
    QCOMPARE(defaults.child("w:sz").attribute("w:val").as_int(), 16);

    if (QTest::currentDataTag() == QLatin1String("all columns, A4"))
        QCOMPARE(OfficeReaders::validationErrors({ path }), QStringList());
}

void tst_DocxDocument::appendToEarlierExport()
{
    const QString path = m_folder.filePath("earlier.docx");
    QVERIFY(QFile::copy(EarlierExport, path));
    const QJsonObject before = readBack(path);
    const ReportTable table = tableOf(reportLines({ "0042", "Kim", false, true, false, 2 }));
    QCOMPARE(appendTo(path, table), QString());
    const QJsonObject after = readBack(path);

    // Only the first table grew: one column for the self tests, two rows under the headers as they read.
    for (const char *key : { "paragraphs", "header", "pictures", "landscape", "pageWidth" })
        QCOMPARE(after[QLatin1String(key)], before[QLatin1String(key)]);
    QCOMPARE(after["tables"][1], before["tables"][1]);
    const QJsonArray oldRows = before["tables"][0]["rows"].toArray();
    const QJsonArray rows = after["tables"][0]["rows"].toArray();
    QCOMPARE(rows.size(), oldRows.size() + 2);
    QCOMPARE(texts(rows[0].toArray()), texts(oldRows[0].toArray()) << "Self Tests");
    QCOMPARE(texts(rows[0].toArray())[2], "serial #");
    QCOMPARE(texts(rows[0].toArray())[4], "  Peak ");
    for (qsizetype row = 1; row < oldRows.size(); ++row)
        QCOMPARE(texts(rows[row].toArray()), texts(oldRows[row].toArray()) << QString());
    QCOMPARE(texts(rows[oldRows.size()].toArray()),
        QStringList({ "05-Dec-2026", "01:05 PM", "42", "Kim", "10 ppm H2S", "06 days 04 hrs 00 mins",
            "00 days 00 hrs 01 mins 00 secs", "7" }));

    // Every other part of the package kept its bytes.
    QJsonObject parts = after["parts"].toObject();
    QJsonObject oldParts = before["parts"].toObject();
    QVERIFY(parts["word/document.xml"] != oldParts["word/document.xml"]);
    parts.remove("word/document.xml");
    oldParts.remove("word/document.xml");
    QCOMPARE(parts, oldParts);

    // Fitted to the window.
    pugi::xml_document xml;
    QVERIFY(mainPart(path, xml));
    QVERIFY(xml.select_node(
        "//w:tbl[1]/w:tblPr[w:tblW/@w:type='pct' and w:tblW/@w:w='5000' and w:tblLayout/@w:type='autofit']"));
    const Grid grid = gridOf(xml);
    QCOMPARE(std::accumulate(grid.widths.begin(), grid.widths.end(), 0), grid.textWidth);

    // LibreOffice's own findings in the earlier file stay; the append adds none.
    QCOMPARE(OfficeReaders::newFindings(EarlierExport, path), QStringList());

    // The same report once more: its self tests find their column and add no second one.
    QCOMPARE(appendTo(path, table), QString());
    const QJsonArray twice = rowsOf(path);
    QCOMPARE(twice.size(), rows.size() + 2);
    QCOMPARE(texts(twice[0].toArray()), texts(rows[0].toArray()));
}

void tst_DocxDocument::appendBelowHeaderOnly()
{
    const QString path = m_folder.filePath("header-only.docx");
    QCOMPARE(create(path, tableOf(reportLines({ "1", "Lee", true, true, true, 0 }))), QString());
    const ReportTable table = tableOf(reportLines({ "2", "Kim", false, false, false, 2 }));
    // Its main part in UTF-16, as some programs write it: the append still writes a well-formed part.
    QVERIFY(editPart(path, "word/document.xml", [](QByteArray &bytes) {
        const QString main = QString::fromUtf8(bytes).replace("encoding=\"UTF-8\"", "encoding=\"UTF-16\"");
        bytes = "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(main.utf16()), main.size() * 2);
    }));
    QCOMPARE(appendTo(path, table), QString());

    // Plain data cells, not header formatting; the optional columns this report lacks stay empty.
    const QJsonArray rows = rowsOf(path);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toArray().size(), 11);
    for (int row = 1; row < 3; ++row) {
        const QJsonArray cells = rows[row].toArray();
        QCOMPARE(
            texts(cells).mid(2, 3), QStringList({ "2", "Kim", QStringLiteral("%1 ppm H2S").arg(9 + row) }));
        QCOMPARE(texts(cells).mid(7), QStringList(4));
        for (const QJsonValue &cell : cells) {
            QCOMPARE(cell["alignment"].toInt(), 1);
            QVERIFY(cell["bold"].isNull() && cell["color"].isNull());
        }
    }
    pugi::xml_document xml;
    QVERIFY(mainPart(path, xml));
    QCOMPARE(xml.select_nodes("//w:tr[position() > 1]//w:shd").size(), 0u);
    QCOMPARE(xml.select_nodes("//w:tblHeader").size(), 1u);
    QCOMPARE(
        xml.select_nodes("//w:tr[position() > 1]/w:tc/w:tcPr/w:tcMar[w:top/@w:w='40' and w:bottom/@w:w='20']")
            .size(),
        22u);
    QCOMPARE(OfficeReaders::validationErrors({ path }), QStringList());
}

void tst_DocxDocument::appendByGridColumn()
{
    const QString path = m_folder.filePath("merged.docx");
    QVERIFY(QFile::copy(QStringLiteral(LORIMET_TEST_DATA_DIR "/export/merged_cells_libreoffice.docx"), path));
    const QJsonArray oldRows = rowsOf(path);
    QCOMPARE(appendTo(path, tableOf(reportLines({ "3", "Kim", false, false, false, 1 }))), QString());

    // The merged header names no column: its cells stay empty, every other value keeps its header, and
    // the two columns it hides are added at the right, so that no value is lost.
    const QJsonArray rows = rowsOf(path);
    QCOMPARE(rows.size(), oldRows.size() + 1);
    QCOMPARE(texts(rows[0].toArray()), texts(oldRows[0].toArray()) + QStringList({ "User", "Peak" }));
    QCOMPARE(texts(rows.last().toArray()),
        QStringList({ "05-Dec-2026", "01:05 PM", "3", QString(), QString(), "06 days 04 hrs 00 mins",
            "00 days 00 hrs 01 mins 00 secs", "Kim", "10 ppm H2S" }));
}

// A long table's body rows are kept as bytes unless something asks for their nodes (here a comment among
// them): both ways give the same table, measured from the same texts.
void tst_DocxDocument::longTableAppendsLikeItsNodes()
{
    const ReportTable table = tableOf(reportLines({ "7", "Lee", false, false, false, 3 }));
    QStringList paths;
    for (const bool commented : { false, true }) {
        const QString path = m_folder.filePath(commented ? "long-commented.docx" : "long.docx");
        QCOMPARE(create(path, table), QString());
        // The widest user, in references, with a tab and a line break, in the first body row.
        QVERIFY(editPart(path, "word/document.xml", [commented](QByteArray &main) {
            main.replace(main.indexOf("<w:t>Lee</w:t>"), 14,
                "<w:t xml:space=\"preserve\">Kim &amp; &#x4C;ee </w:t><w:tab/><w:t>Wolfgang-Maximilian</w:t>"
                "<w:br/><w:t>Wendelin-Westerwald</w:t>");
            if (commented)
                main.insert(main.indexOf("</w:tr>") + 7, "<!-- checked -->");
        }));
        QCOMPARE(appendTo(path, table), QString());
        paths << path;
    }

    const QJsonArray rows = rowsOf(paths[0]);
    QCOMPARE(rows.size(), 7);
    QCOMPARE(rows, rowsOf(paths[1]));
    QStringList widths[2];
    for (int i = 0; i < 2; ++i) {
        pugi::xml_document xml;
        QVERIFY(mainPart(paths[i], xml));
        for (const char *query : { "//w:gridCol/@w:w", "//w:tcW/@w:w", "//w:tblLayout/@w:type" }) {
            for (const pugi::xpath_node &width : xml.select_nodes(query))
                widths[i] << QString::fromUtf8(width.attribute().value());
        }
    }
    QCOMPARE(widths[0], widths[1]);
    QCOMPARE(OfficeReaders::validationErrors({ paths[0] }), QStringList());
}

void tst_DocxDocument::widestTableFitsThePage_data()
{
    QTest::addColumn<QLocale::MeasurementSystem>("measurement");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("appended");
    QTest::addColumn<QString>("face"); // of the body text: the regular face, or bold italic Cambria
    // The tagging dialog takes 18 characters; a text report read by the tool may carry more.
    const QString dialogUser(18, u'W');
    const QString longUser = "Wolfgang Maximilian Wendelin-Westerwald";
    QTest::newRow("Letter, appended") << QLocale::ImperialUSSystem << dialogUser << true << "";
    QTest::newRow("A4, new, long user") << QLocale::MetricSystem << longUser << false << "";
    // A table whose text is bold and italic: measured in that face, nothing that must not wrap does.
    QTest::newRow("A4, appended, bold italic")
        << QLocale::MetricSystem << dialogUser << true << "crosextra/Caladea-BoldItalic.ttf";
}

void tst_DocxDocument::widestTableFitsThePage()
{
    QFETCH(QLocale::MeasurementSystem, measurement);
    QFETCH(QString, user);
    QFETCH(bool, appended);
    QFETCH(QString, face);
    // The widest values the detector's 24-character lines and the tagging dialog give, all four optional
    // columns.
    const QStringList widest { "   S/N: WWWWWWWWWWWWWW", "Date: 28-Sep-2026", "Time: 12:58 PM",
        "User: " + user, "Life Remaining:", "99 months", "Self tests:", "9999",
        "Total events/duration:", "9999 / 99999 min.", "Peak exposure:", "O.L. ppm H2S",
        "Time since alarm began:", "99 days 23 hrs 59 mins",
        "Alarm duration:", "99 days 23 hrs 59 mins 59 secs" };
    const ReportTable table = tableOf(widest);
    const QString path = m_folder.filePath(QStringLiteral("widest-%1.docx").arg(QTest::currentDataTag()));
    // Appended to an earlier export of the fixed columns, the table adds the four optional ones.
    const ReportTable fixed = tableOf(reportLines({ "1", "Lee", false, false, false, 1 }));
    QCOMPARE(create(path, appended ? fixed : table, measurement), QString());
    if (!face.isEmpty()) {
        QVERIFY(editPart(path, "word/styles.xml", [](QByteArray &styles) {
            styles.replace("\"Arial\"", "\"Cambria\"")
                .replace("<w:spacing w:val=\"20\"/>", "<w:b/><w:i/><w:spacing w:val=\"20\"/>");
        }));
    }
    if (appended)
        QCOMPARE(appendTo(path, table), QString());

    pugi::xml_document xml;
    QVERIFY(mainPart(path, xml));
    const Grid grid = gridOf(xml);
    QCOMPARE(grid.widths.size(), std::size_t(11));
    QVERIFY(std::accumulate(grid.widths.begin(), grid.widths.end(), 0) <= grid.textWidth);
    // Dates, times, serials, peaks and counts stay on one line; headers wrap only at their spaces.
    const QRawFont regular
        = fontFile(face.isEmpty() ? "liberation/LiberationSans-Regular.ttf" : qPrintable(face), 8);
    const QRawFont bold
        = fontFile(face.isEmpty() ? "liberation/LiberationSans-Bold.ttf" : qPrintable(face), 8);
    for (qsizetype c = 0; c < table.columns().size(); ++c) {
        const ReportColumn column = table.columns()[c];
        const int room = grid.widths[static_cast<std::size_t>(c)] - grid.cellMargins;
        for (const QString &word : table.headers()[c].split(u' '))
            QVERIFY2(twips(bold, word) <= room, qPrintable(word));
        const QString text = table.text(0, column);
        const bool wraps = column == ReportColumn::User || column == ReportColumn::TimeSinceAlarm
            || column == ReportColumn::DurationOfAlarm || column == ReportColumn::CumulativeAlarmTime
            || column == ReportColumn::LifeRemaining;
        for (const QString &part : wraps ? text.split(u' ') : QStringList { text })
            QVERIFY2(twips(regular, part) <= room || column == ReportColumn::User, qPrintable(part));
    }
}

void tst_DocxDocument::appendInTheDocumentsOwnLook()
{
    const QString original = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/shaded_table_python_docx.docx");
    const QString path = m_folder.filePath("python-docx.docx");
    QVERIFY(QFile::copy(original, path));
    const ReportTable table = tableOf(reportLines({ "40213", "Kim", true, false, false, 1 }));
    QCOMPARE(appendTo(path, table), QString());

    // The added header and the cell it adds to the old row look like their left neighbours.
    const QJsonArray rows = rowsOf(path);
    QCOMPARE(rows.size(), 3);
    const QJsonObject header = rows[0][7].toObject();
    QCOMPARE(header["text"].toString(), "Life Remaining");
    QCOMPARE(header["bold"].toBool(), true);
    QCOMPARE(header["color"].toString(), "FFFFFF");
    QCOMPARE(rows[2][7]["text"].toString(), "24 months");
    pugi::xml_document xml;
    QVERIFY(mainPart(path, xml));
    QCOMPARE(xml.select_nodes("//w:tr[1]/w:tc/w:tcPr/w:shd[@w:fill='1F3864']").size(), std::size_t(8));
    QCOMPARE(xml.select_nodes("//w:tr[2]/w:tc/w:tcPr/w:tcBorders/w:bottom[@w:color='C00000']").size(),
        std::size_t(8));

    // Measured in the document's own font, Cambria 14 pt: the table fits the page, and no date,
    // time, serial or word of the life remaining breaks.
    const Grid grid = gridOf(xml);
    QVERIFY(std::accumulate(grid.widths.begin(), grid.widths.end(), 0) <= grid.textWidth);
    const QRawFont cambria = fontFile("crosextra/Caladea-Regular.ttf", 14);
    QVERIFY(cambria.isValid());
    for (const auto &[c, text] : std::vector<std::pair<int, QString>> {
             { 0, "05-Dec-2026" }, { 1, "01:05 PM" }, { 2, "40213" }, { 7, "months" } })
        QVERIFY2(twips(cambria, text, 0) <= grid.widths[static_cast<std::size_t>(c)] - grid.cellMargins,
            qPrintable(text));
    QCOMPARE(OfficeReaders::validationErrors({ path }), QStringList());
}

void tst_DocxDocument::documentsWithoutATable()
{
    // A document without a report table takes no event table, and is left as it was.
    const QString path = m_folder.filePath("letter.docx");
    QString error;
    DocxDocument letter;
    QVERIFY(letter.create(&error) && letter.writeRawLines({ "Dear reader," }, &error)
        && letter.save(path, &error));
    const QByteArray bytes = readBytes(path);
    const ReportTable table = tableOf(reportLines({ "2", "Kim", false, false, false, 1 }));
    QVERIFY(appendTo(path, table).contains("no table"));
    QCOMPARE(readBytes(path), bytes);

    // A small table before the report's, such as a list of contents: the rows go to the report's table,
    // and the small one stays as it was. A document with the small table alone is refused.
    const QString contents = m_folder.filePath("contents.docx");
    QCOMPARE(create(contents, table), QString());
    const QByteArray small
        = "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr><w:tc><w:p>"
          "<w:r><w:t>Contents</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>";
    QVERIFY(editPart(contents, "word/document.xml",
        [&small](QByteArray &main) { main.insert(main.indexOf("<w:tbl>"), small); }));
    QCOMPARE(appendTo(contents, table), QString());
    const QJsonObject appended = readBack(contents);
    QCOMPARE(appended["tables"][0]["rows"].toArray().size(), 1);
    QCOMPARE(appended["tables"][1]["rows"].toArray().size(), 3);
    QVERIFY(editPart(contents, "word/document.xml", [](QByteArray &main) {
        const qsizetype report = main.indexOf("<w:tbl>", main.indexOf("</w:tbl>"));
        main.remove(report, main.indexOf("</w:tbl>", report) + 8 - report);
    }));
    const QByteArray contentsOnly = readBytes(contents);
    const QString noReportTable = appendTo(contents, table);
    QVERIFY2(noReportTable.contains("no table's first row names a column of the report"),
        qPrintable(noReportTable));
    QCOMPARE(readBytes(contents), contentsOnly);

    // A file that is not a Word document is refused when opened.
    DocxDocument document;
    QVERIFY(!document.open(QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt"), &error));

    // A table without its column grid is refused with that reason.
    const QString gridless = m_folder.filePath("gridless.docx");
    QCOMPARE(create(gridless, table), QString());
    QVERIFY(editPart(gridless, "word/document.xml", [](QByteArray &main) {
        main.remove(
            main.indexOf("<w:tblGrid>"), main.indexOf("</w:tblGrid>") + 12 - main.indexOf("<w:tblGrid>"));
    }));
    const QString refused = appendTo(gridless, table);
    QVERIFY2(refused.contains("no column grid"), qPrintable(refused));
}

QTEST_MAIN(tst_DocxDocument)
#include "tst_docxdocument.moc"
