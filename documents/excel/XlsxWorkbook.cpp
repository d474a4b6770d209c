#include "documents/excel/XlsxWorkbook.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringBuilder>
#include <QTime>
#include <QUuid>

#include "documents/excel/NumberFormat.h"
#include "documents/excel/SharedStrings.h"
#include "documents/excel/SheetGrid.h"
#include "documents/excel/SheetXml.h"
#include "documents/excel/Styles.h"
#include "documents/ooxml/OoxmlPackage.h"
#include "documents/table/FontMetrics.h"
#include "report/ReportTable.h"

using namespace Xlsx;

namespace {

// The shortest text that reads back as the same number.
QByteArray numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    Q_UNUSED(error)
    return QByteArray(buffer, end - buffer);
}

} // namespace

struct XlsxWorkbook::Private
{
    std::optional<OoxmlPackage> package;
    QString workbookPart;
    pugi::xml_document workbook;
    XmlNamespace workbookNs { pugi::xml_node(), MainNamespace };
    QString sheetPart;
    QString stylesPart;
    QString sharedStringsPart;
    pugi::xml_document sheet;
    XmlNamespace ns { pugi::xml_node(), MainNamespace };
    // The name of a cell's value element, looked up for every cell.
    std::string valueName;
    SheetGrid grid;
    Styles styles;
    SharedStrings strings;
    bool appendMode = false;
    bool date1904 = false;
    QString sheetName;
    bool sheetHidden = false;
    // What writeTable did that the user should hear of.
    QStringList notes;
    // What the parsed worksheet is estimated to take in memory.
    qint64 sheetMemory = 0;
    mutable QHash<QString, QHash<double, QString>> shownTexts;
    int currentRow = 1;
    // The new rows, written as XML text where their comment stands at the end of the sheet's data: a full
    // display makes tens of thousands of cells, too many to build as nodes first. What they show in each
    // column, and in which format, for fitting the columns.
    QByteArray newRows;
    QByteArray newRowsMarker;
    std::map<int, std::pair<int, QSet<QString>>> newTexts;
    int newRowsColumns = 0;

    bool fail(QString *error, const QString &reason)
    {
        *error = reason;
        return false;
    }

    bool load(QString *error);
    // The part of the workbook's relationship of that type, read into document when it exists (found);
    // otherwise the workbook gets a relationship to a new part named fallback.
    bool relatedPart(const QString &workbookPart, const char *type, const QString &fallback,
        QString &partName, pugi::xml_document &document, bool &found, QString *error);
    void buildNewPackage();

    CellContent content(const pugi::xml_node &cell) const;
    QString shownText(const pugi::xml_node &cell) const;
    void setText(pugi::xml_node cell, const QString &text);
    void setNumber(pugi::xml_node cell, double value);
    void setStyle(pugi::xml_node cell, int xf)
    {
        pugi::xml_attribute attribute = cell.attribute("s");
        (attribute ? attribute : cell.append_attribute("s")) = xf;
    }
    [[nodiscard]] int style(const pugi::xml_node &cell) const { return cell.attribute("s").as_int(); }
    // The report column each used column's row-1 header names.
    [[nodiscard]] std::vector<std::optional<ReportColumn>> headerColumns(int usedColumns) const;
    // The table's header row: a new one on a blank sheet, or the report columns the sheet's table lacks,
    // added right of everything used (and fitted). The number of columns the header row spans; nothing
    // when the sheet holds no report table to append to, or no room for a column.
    [[nodiscard]] std::optional<int> writeHeaders(
        const ReportTable &table, std::vector<int> &fitted, QString *error);
    // Dates and times as the workbook's serials, numbers as they are; nothing for other values.
    [[nodiscard]] std::optional<double> numberOf(const QVariant &value) const;
    void writeValue(pugi::xml_node cell, const QVariant &value);
    [[nodiscard]] QString shownNumber(double number, int xf) const;
    void writeNewRows(const ReportTable &table, const std::vector<int> &tableColumns,
        const std::vector<std::optional<ReportColumn>> &columnFor,
        const std::map<ReportColumn, int> &formats);
    // Fits the columns to their cells' texts, as each cell's number format and font show them.
    void fitColumns(const std::vector<int> &fitted, bool widen);
    void setUpPage();
    // Repeats the header row on every printed page.
    void setPrintTitles();
    void updateDimension();
    double dateSerial(const QDate &date) const;
};

void XlsxWorkbook::Private::buildNewPackage()
{
    package = OoxmlPackage::create();
    const auto part = [this](const QString &name, const QString &contentType, const char *xml) {
        package->setPart(name,
            QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") + xml,
            contentType);
    };
    part(QStringLiteral("xl/workbook.xml"), WorkbookContentType,
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<bookViews><workbookView/></bookViews>"
        "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    part(QStringLiteral("xl/worksheets/sheet1.xml"), WorksheetContentType,
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<dimension ref=\"A1\"/><sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "</worksheet>");
    package->addRelationship(
        {}, QString::fromLatin1(OoxmlPackage::OfficeDocumentRelationship), QStringLiteral("xl/workbook.xml"));
    package->addRelationship(QStringLiteral("xl/workbook.xml"),
        QString::fromLatin1(OoxmlPackage::WorksheetRelationship), QStringLiteral("xl/worksheets/sheet1.xml"));
}

bool XlsxWorkbook::Private::relatedPart(const QString &workbookPart, const char *type,
    const QString &fallback, QString &partName, pugi::xml_document &document, bool &found, QString *error)
{
    const auto relationship = package->findRelationship(workbookPart, QString::fromLatin1(type));
    found = relationship && package->hasPart(relationship->target);
    if (found) {
        partName = relationship->target;
        return package->readXmlPart(partName, document, error);
    }
    partName = fallback;
    package->addRelationship(workbookPart, QString::fromLatin1(type), partName);
    return true;
}

bool XlsxWorkbook::Private::load(QString *error)
{
    const QString workbookPart = package->mainPart();
    if (!WorkbookContentTypes.contains(package->contentType(workbookPart)))
        return fail(error, QCoreApplication::translate("XlsxWorkbook", "The file is not an Excel workbook."));
    if (!package->readXmlPart(workbookPart, workbook, error))
        return false;
    workbookNs = XmlNamespace::unify(workbook, MainNamespace, "", false);
    const XmlNamespace relationshipNs = XmlNamespace::unify(workbook, RelationshipNamespace, "r", true);
    const pugi::xml_node root = workbook.document_element();
    this->workbookPart = workbookPart;
    date1904 = root.child(workbookNs.name("workbookPr").c_str()).attribute("date1904").as_bool();

    const pugi::xml_node firstSheet
        = root.child(workbookNs.name("sheets").c_str()).child(workbookNs.name("sheet").c_str());
    sheetName = QString::fromUtf8(firstSheet.attribute("name").value());
    sheetHidden = std::strcmp(firstSheet.attribute("state").value(), "hidden") == 0
        || std::strcmp(firstSheet.attribute("state").value(), "veryHidden") == 0;
    const QString sheetId
        = QString::fromUtf8(firstSheet.attribute(relationshipNs.name("id").c_str()).value());
    for (const OoxmlPackage::Relationship &relationship : package->relationships(workbookPart)) {
        if (relationship.id == sheetId && !relationship.external)
            sheetPart = relationship.target;
    }
    if (sheetId.isEmpty() || sheetPart.isEmpty() || !package->hasPart(sheetPart))
        return fail(error, QCoreApplication::translate("XlsxWorkbook", "The workbook has no worksheet."));
    if (package->contentType(sheetPart) != WorksheetContentType)
        return fail(error,
            QCoreApplication::translate(
                "XlsxWorkbook", "The workbook's first sheet is not a worksheet (it may be a chart)."));
    const std::optional<QByteArray> sheetBytes = package->readPart(sheetPart, error);
    if (!sheetBytes)
        return false;
    // The parsed worksheet costs memory by its elements: one far beyond what a table needs is refused
    // before it is parsed.
    sheetMemory = sheetBytes->size() + sheetBytes->count('<') * BytesPerElement;
    if (sheetMemory > MaxWorksheetMemory)
        return fail(error,
            QCoreApplication::translate("XlsxWorkbook",
                "The workbook's first worksheet is too large to append to: it would take about %1 MiB "
                "of memory, more than %2 MiB.")
                .arg(sheetMemory >> 20)
                .arg(MaxWorksheetMemory >> 20));
    if (!OoxmlPackage::parseXmlPart(*sheetBytes, sheetPart, sheet, error))
        return false;
    ns = XmlNamespace::unify(sheet, MainNamespace, "", false);
    if (!ns.isDeclared() || ns.local(sheet.document_element()) != "worksheet")
        return fail(
            error, QCoreApplication::translate("XlsxWorkbook", "The workbook's first worksheet is damaged."));
    valueName = ns.name("v");
    if (!grid.load(orderedChild(sheet.document_element(), ns, "sheetData", WorksheetOrder), ns, error))
        return false;

    pugi::xml_document document;
    bool found = false;
    if (!relatedPart(workbookPart, OoxmlPackage::StylesRelationship, QStringLiteral("xl/styles.xml"),
            stylesPart, document, found, error))
        return false;
    if (found)
        styles.load(std::move(document));
    else
        styles.createDefault();
    if (!relatedPart(workbookPart, OoxmlPackage::SharedStringsRelationship,
            QStringLiteral("xl/sharedStrings.xml"), sharedStringsPart, document, found, error))
        return false;
    if (found)
        strings.load(std::move(document));
    else
        strings.createEmpty();

    currentRow = appendMode ? std::max(1, grid.lastUsedRow()) : 1;
    if (appendMode) {
        // Formulas elsewhere may count the rows added: the spreadsheet program recalculates on opening.
        setAttribute(orderedChild(workbook.document_element(), workbookNs, "calcPr", WorkbookOrder),
            "fullCalcOnLoad", "1");
    }
    setUpPage();
    return true;
}

CellContent XlsxWorkbook::Private::content(const pugi::xml_node &cell) const
{
    CellContent result;
    if (!cell)
        return result;
    const char *type = cell.attribute("t").value();
    const pugi::xml_node value = cell.child(valueName.c_str());
    if (std::strcmp(type, "inlineStr") == 0) {
        result.kind = CellContent::Kind::Text;
        result.text = stringItemText(cell.child(ns.name("is").c_str()), ns);
    } else if (!value) {
        return result;
    } else if (std::strcmp(type, "s") == 0) {
        result.kind = CellContent::Kind::Text;
        result.text = strings.text(value.text().as_int(-1));
    } else if (std::strcmp(type, "b") == 0) {
        const QByteArray flag = QByteArray(value.text().get()).trimmed();
        result.kind = CellContent::Kind::Text;
        result.text = flag == "1" || flag == "true" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    } else if (std::strcmp(type, "str") == 0 || std::strcmp(type, "e") == 0) {
        result.kind = CellContent::Kind::Text;
        result.text = QString::fromUtf8(value.text().get());
    } else {
        bool ok = false;
        result.number = QByteArray(value.text().get()).trimmed().toDouble(&ok);
        result.kind = ok ? CellContent::Kind::Number : CellContent::Kind::Text;
        if (!ok)
            result.text = QString::fromUtf8(value.text().get());
    }
    return result;
}

QString XlsxWorkbook::Private::shownText(const pugi::xml_node &cell) const
{
    const CellContent value = content(cell);
    return value.kind == CellContent::Kind::Number ? shownNumber(value.number, style(cell)) : value.text;
}

QString XlsxWorkbook::Private::shownNumber(double number, int xf) const
{
    // Exports repeat the same dates and numbers many times over: each is formatted once.
    const QString &code = styles.format(xf).numberFormat;
    QString &text = shownTexts[code][number];
    if (text.isEmpty())
        text = NumberFormat::show(number, code, date1904);
    return text;
}

void XlsxWorkbook::Private::writeNewRows(const ReportTable &table, const std::vector<int> &tableColumns,
    const std::vector<std::optional<ReportColumn>> &columnFor, const std::map<ReportColumn, int> &formats)
{
    // Every cell of a column looks the same: its value's number format, then the body format.
    struct Column
    {
        QByteArray letters;
        QByteArray head;
        std::optional<ReportColumn> source;
        // The column's format and the texts its new cells show (std::map keeps the address).
        std::pair<int, QSet<QString>> *shown;
    };
    std::vector<Column> columns;
    for (int column : tableColumns) {
        const std::optional<ReportColumn> source
            = columnFor[column] && table.isPresent(*columnFor[column]) ? columnFor[column] : std::nullopt;
        int xf = 0;
        if (const auto format = source ? formats.find(*source) : formats.end(); format != formats.end())
            xf = styles.derive(xf, CellLook::Keep, format->second);
        xf = styles.derive(xf, CellLook::Body);
        std::pair<int, QSet<QString>> &shown = newTexts[column];
        shown.first = xf;
        columns.push_back({ cellReference(1, column).chopped(1), "\" s=\"" + QByteArray::number(xf) + '"',
            source, &shown });
        newRowsColumns = std::max(newRowsColumns, column);
    }
    const QByteArray rowName = QByteArray::fromStdString(ns.name("row"));
    const QByteArray cellName = QByteArray::fromStdString(ns.name("c"));
    const QByteArray value = QByteArray::fromStdString(valueName);
    newRows.reserve(
        static_cast<qsizetype>(table.rowCount()) * (32 + 48 * static_cast<qsizetype>(columns.size())));
    // Built with QStringBuilder: each piece goes straight into the rows, with no temporary per "+".
    for (int row = 0; row < table.rowCount(); ++row) {
        const QByteArray number = QByteArray::number(++currentRow);
        newRows += '<' % rowName % " r=\"" % number % "\">";
        for (const Column &column : columns) {
            newRows += '<' % cellName % " r=\"" % column.letters % number % column.head;
            const QVariant cellValue = column.source ? table.value(row, *column.source) : QVariant();
            if (const std::optional<double> number = numberOf(cellValue)) {
                newRows += "><" % value % '>' % numberText(*number) % "</" % value % "></" % cellName % '>';
                column.shown->second.insert(shownNumber(*number, column.shown->first));
            } else if (cellValue.typeId() == QMetaType::QString) {
                const QString text = cellValue.toString();
                newRows += " t=\"s\"><" % value % '>' % QByteArray::number(strings.add(text)) % "</" % value
                    % "></" % cellName % '>';
                column.shown->second.insert(text);
            } else {
                newRows += "/>";
            }
        }
        newRows += "</" % rowName % '>';
    }
    newRowsMarker = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    orderedChild(sheet.document_element(), ns, "sheetData", WorksheetOrder)
        .append_child(pugi::node_comment)
        .set_value(newRowsMarker.constData());
}

void XlsxWorkbook::Private::setText(pugi::xml_node cell, const QString &text)
{
    cell.remove_children();
    setAttribute(cell, "t", "s");
    cell.append_child(valueName.c_str()).text() = strings.add(text);
}

void XlsxWorkbook::Private::setNumber(pugi::xml_node cell, double value)
{
    cell.remove_children();
    cell.remove_attribute("t");
    cell.append_child(valueName.c_str()).text() = numberText(value).constData();
}

double XlsxWorkbook::Private::dateSerial(const QDate &date) const
{
    return static_cast<double>((date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30)).daysTo(date));
}

std::optional<double> XlsxWorkbook::Private::numberOf(const QVariant &value) const
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return dateSerial(value.toDate());
    case QMetaType::QTime:
        return value.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::Double:
        return value.toDouble();
    default:
        return std::nullopt;
    }
}

void XlsxWorkbook::Private::writeValue(pugi::xml_node cell, const QVariant &value)
{
    if (const std::optional<double> number = numberOf(value)) {
        setNumber(cell, *number);
    } else if (value.typeId() == QMetaType::QString) {
        setText(cell, value.toString());
    } else {
        cell.remove_children();
        cell.remove_attribute("t");
    }
}

std::optional<int> XlsxWorkbook::Private::writeHeaders(
    const ReportTable &table, std::vector<int> &fitted, QString *error)
{
    int columnCount = 0;
    const int usedColumns = appendMode ? grid.usedColumnCount() : 0;
    const std::vector<std::optional<ReportColumn>> found = headerColumns(usedColumns);
    const bool hasTable
        = std::any_of(found.begin(), found.end(), [](const auto &column) { return column.has_value(); });
    if (!hasTable && grid.lastUsedRow() > 0) {
        (void)fail(error,
            QCoreApplication::translate("XlsxWorkbook",
                "The first worksheet, \"%1\", holds no report table: its row 1 names none of the "
                "report's columns. Nothing was appended, so that no value goes to a column "
                "without its header.")
                .arg(sheetName));
        return std::nullopt;
    }
    if (!hasTable) {
        // A blank sheet takes the table as a new workbook does.
        for (const QString &header : table.headers())
            setText(grid.createCell(currentRow, ++columnCount), header);
    } else {
        // A report column the sheet lacks is added right of everything used, so that no value is lost.
        columnCount = usedColumns;
        QStringList added;
        for (const ReportColumn column : table.columns()) {
            if (std::find(found.begin(), found.end(), std::optional(column)) != found.end())
                continue;
            const QString header = ReportTable::headerText(column);
            if (columnCount == MaxColumns) {
                (void)fail(error,
                    QCoreApplication::translate("XlsxWorkbook",
                        "The worksheet has no column left for \"%1\": its last column is used.")
                        .arg(header));
                return std::nullopt;
            }
            setText(grid.createCell(1, ++columnCount), header);
            added.append(header);
            if (columnCount > FittedColumns)
                fitted.push_back(columnCount);
        }
        if (!added.isEmpty())
            notes.append(TableFile::addedColumnsNote(added));
    }
    if (sheetHidden)
        notes.append(QCoreApplication::translate(
            "XlsxWorkbook", "The worksheet \"%1\" that holds the table is hidden.")
                         .arg(sheetName));
    setPrintTitles();
    return columnCount;
}

std::vector<std::optional<ReportColumn>> XlsxWorkbook::Private::headerColumns(int usedColumns) const
{
    std::vector<std::optional<ReportColumn>> columns(static_cast<std::size_t>(usedColumns) + 1);
    for (int column = 1; column <= usedColumns; ++column) {
        const CellContent header = content(grid.cell(1, column));
        if (header.kind == CellContent::Kind::Text)
            columns[static_cast<std::size_t>(column)] = ReportTable::columnForHeader(header.text);
    }
    return columns;
}

void XlsxWorkbook::Private::fitColumns(const std::vector<int> &fitted, bool widen)
{
    const int lastColumn = fitted.empty() ? 0 : *std::max_element(fitted.begin(), fitted.end());
    const auto pixels = [](double points) { return points * 96.0 / 72.0; };
    // Excel's character unit: the widest digit of the default font, in whole pixels.
    const double digitWidth = std::max(1.0,
        std::round(pixels(FontMetrics::textWidth(
            styles.defaultFontName(), false, QStringLiteral("0"), styles.defaultFontSize()))));

    // Exports repeat the same texts in the same fonts many times over: each is measured once.
    QHash<int, QHash<QString, double>> measured;
    std::vector<bool> isFitted(lastColumn + 1, false);
    for (int column : fitted)
        isFitted[column] = true;
    std::vector<double> widest(lastColumn + 1, 0.0);
    const auto measure = [&](int column, int xf, const QString &text) {
        if (column > lastColumn || !isFitted[column] || text.isEmpty())
            return;
        QHash<QString, double> &ofFormat = measured[xf];
        auto known = ofFormat.constFind(text);
        if (known == ofFormat.constEnd()) {
            const CellFormat &format = styles.format(xf);
            known = ofFormat.insert(
                text, FontMetrics::textWidth(format.fontName, format.bold, text, format.fontSize));
        }
        widest[column] = std::max(widest[column], std::ceil(pixels(*known)) + 1);
    };
    grid.forEachCell(lastColumn, [&](int, int column, const pugi::xml_node &cell) {
        if (column <= lastColumn && isFitted[column])
            measure(column, style(cell), shownText(cell));
    });
    for (const auto &[column, shown] : newTexts) {
        for (const QString &text : shown.second)
            measure(column, shown.first, text);
    }
    std::map<int, double> widths;
    for (int column : fitted) {
        const double fitted = widest[column] > 0 ? std::ceil((widest[column] + 5) / digitWidth * 256) / 256
                                                 : DefaultColumnWidth;
        widths[column] = fitted + (widen ? ExtraWidth : 0);
    }

    pugi::xml_node root = sheet.document_element();
    pugi::xml_node cols = orderedChild(root, ns, "cols", WorksheetOrder);
    // Existing column ranges that cover fitted columns are split so that each fitted column has its own
    // entry, keeping its other settings.
    std::vector<pugi::xml_node> existing;
    const std::string colName = ns.name("col");
    for (pugi::xml_node col : cols.children(colName.c_str()))
        existing.push_back(col);
    std::map<int, pugi::xml_node> fittedEntries;
    for (pugi::xml_node col : existing) {
        const int min = col.attribute("min").as_int();
        const int max = col.attribute("max").as_int();
        if (min > lastColumn || max < 1 || max < min)
            continue;
        const auto copyFor = [&](int from, int to) {
            pugi::xml_node copy = cols.insert_copy_before(col, col);
            setAttribute(copy, "min", QByteArray::number(from).constData());
            setAttribute(copy, "max", QByteArray::number(to).constData());
            return copy;
        };
        for (int column = std::max(min, 1); column <= std::min(max, lastColumn); ++column)
            fittedEntries[column] = copyFor(column, column);
        if (max > lastColumn)
            copyFor(lastColumn + 1, max);
        cols.remove_child(col);
    }
    for (const auto &[column, width] : widths) {
        pugi::xml_node col = fittedEntries[column];
        if (!col) {
            pugi::xml_node before;
            for (pugi::xml_node candidate : cols.children(colName.c_str()))
                if (candidate.attribute("min").as_int() > column) {
                    before = candidate;
                    break;
                }
            col = before ? cols.insert_child_before(ns.name("col").c_str(), before)
                         : cols.append_child(ns.name("col").c_str());
            col.append_attribute("min") = column;
            col.append_attribute("max") = column;
        }
        setAttribute(col, "width", numberText(std::round(width * 256) / 256).constData());
        setAttribute(col, "customWidth", "1");
        col.remove_attribute("bestFit");
    }
}

void XlsxWorkbook::Private::setUpPage()
{
    pugi::xml_node root = sheet.document_element();
    pugi::xml_node sheetPr = orderedChild(root, ns, "sheetPr", WorksheetOrder);
    setAttribute(orderedChild(sheetPr, ns, "pageSetUpPr", SheetPrOrder), "fitToPage", "1");
    pugi::xml_node pageSetup = orderedChild(root, ns, "pageSetup", WorksheetOrder);
    // One page wide, as many pages tall as the rows need.
    setAttribute(pageSetup, "fitToWidth", "1");
    setAttribute(pageSetup, "fitToHeight", "0");
}

void XlsxWorkbook::Private::setPrintTitles()
{
    pugi::xml_node names
        = orderedChild(workbook.document_element(), workbookNs, "definedNames", WorkbookOrder);
    const std::string definedName = workbookNs.name("definedName");
    pugi::xml_node title;
    for (pugi::xml_node name = names.child(definedName.c_str()); name;
         name = name.next_sibling(definedName.c_str())) {
        if (std::strcmp(name.attribute("name").value(), "_xlnm.Print_Titles") == 0
            && name.attribute("localSheetId").as_int(-1) == 0)
            title = name;
    }
    if (!title) {
        title = names.append_child(definedName.c_str());
        title.append_attribute("name") = "_xlnm.Print_Titles";
        title.append_attribute("localSheetId") = 0;
    }
    const QString quoted = u'\'' + QString(sheetName).replace(u'\'', QLatin1String("''")) + u'\'';
    title.text().set((quoted + QStringLiteral("!$1:$1")).toUtf8().constData());
}

void XlsxWorkbook::Private::updateDimension()
{
    const auto [gridRows, gridColumns] = grid.extent();
    const int rows = std::max(gridRows, newRows.isEmpty() ? 0 : currentRow);
    const int columns = std::max(gridColumns, newRows.isEmpty() ? 0 : newRowsColumns);
    const QByteArray reference
        = rows == 0 || columns == 0 ? QByteArray("A1") : "A1:" + cellReference(rows, columns);
    setAttribute(orderedChild(sheet.document_element(), ns, "dimension", WorksheetOrder), "ref",
        reference.constData());
}

XlsxWorkbook::XlsxWorkbook()
    : d(std::make_unique<Private>())
{
}

XlsxWorkbook::~XlsxWorkbook() = default;

bool XlsxWorkbook::create(QString *error)
{
    d->appendMode = false;
    d->buildNewPackage();
    return d->load(error);
}

bool XlsxWorkbook::open(const QString &path, QString *error)
{
    d->package = OoxmlPackage::open(path, error);
    if (!d->package)
        return false;
    d->appendMode = true;
    return d->load(error);
}

bool XlsxWorkbook::writeTable(const ReportTable &table, QString *error)
{
    const qint64 rows = static_cast<qint64>(d->currentRow) + table.rowCount();
    if (rows > MaxRows)
        return d->fail(error,
            QCoreApplication::translate(
                "XlsxWorkbook", "The worksheet would need %1 rows, more than the %2 a worksheet can hold.")
                .arg(rows)
                .arg(MaxRows));
    // Every cell of the used rows and columns gets formatted: a worksheet whose used range is far larger
    // than any event table (a stray cell in a far corner) is refused rather than blown up in memory.
    // Every row of the table gets formatted, in the table's columns: what that adds is bounded too.
    const qint64 cells = rows * (std::max(d->grid.contentCells(1), FittedColumns) + 4);
    const qint64 memory = d->sheetMemory + cells * BytesPerElement;
    if (memory > MaxWorksheetMemory)
        return d->fail(error,
            QCoreApplication::translate("XlsxWorkbook",
                "The worksheet is too large to format: it would take about %1 MiB of memory, more "
                "than %2 MiB.")
                .arg(memory >> 20)
                .arg(MaxWorksheetMemory >> 20));

    std::vector<int> fitted;
    for (int column = 1; column <= FittedColumns; ++column)
        fitted.push_back(column);
    const std::optional<int> columnCount = d->writeHeaders(table, fitted, error);
    if (!columnCount)
        return false;

    // The table's columns are those with a header in row 1: notes beside the table keep their format.
    std::vector<int> tableColumns;
    for (int column = 1; column <= *columnCount; ++column)
        if (d->grid.hasContent(d->grid.cell(1, column)))
            tableColumns.push_back(column);
    for (int column : tableColumns) {
        const CellLook look = column == 1 ? CellLook::HeaderFirstColumn
            : column == 7                 ? CellLook::HeaderSeventhColumn
                                          : CellLook::Header;
        pugi::xml_node cell = d->grid.createCell(1, column);
        d->setStyle(cell, d->styles.derive(d->style(cell), look));
    }

    // Each column receives the values its row-1 header names, whatever its letter case and spaces.
    const std::vector<std::optional<ReportColumn>> columnFor = d->headerColumns(*columnCount);
    const int dateFormat = d->styles.numberFormat(DateFormat);
    const int timeFormat = d->styles.numberFormat(TimeFormat);
    const int serialFormat = d->styles.numberFormat(SerialFormat);
    // Every used row below the headers gets the body format, rows of earlier exports too.
    const auto formatAsBody = [this](pugi::xml_node cell) {
        d->setStyle(cell, d->styles.derive(d->style(cell), CellLook::Body));
    };
    for (int row = 2; row <= d->currentRow; ++row)
        for (int column : tableColumns)
            formatAsBody(d->grid.createCell(row, column));

    // Below the last used row, rows of the sheet's own (empty, or formatted) take the new cells as nodes.
    if (d->grid.lastRow() <= d->currentRow) {
        d->writeNewRows(table, tableColumns, columnFor,
            { { ReportColumn::DownloadOn, dateFormat }, { ReportColumn::DownloadAt, timeFormat },
                { ReportColumn::SerialNumber, serialFormat } });
        d->fitColumns(fitted, true);
        d->updateDimension();
        return true;
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        ++d->currentRow;
        for (int column : tableColumns) {
            pugi::xml_node cell = d->grid.createCell(d->currentRow, column);
            const std::optional<ReportColumn> source = columnFor[column];
            if (source && table.isPresent(*source)) {
                d->writeValue(cell, table.value(row, *source));
                const int format = *source == ReportColumn::DownloadOn ? dateFormat
                    : *source == ReportColumn::DownloadAt              ? timeFormat
                    : *source == ReportColumn::SerialNumber            ? serialFormat
                                                                       : -1;
                if (format >= 0)
                    d->setStyle(cell, d->styles.derive(d->style(cell), CellLook::Keep, format));
            }
            formatAsBody(cell);
        }
    }
    d->fitColumns(fitted, true);
    d->updateDimension();
    return true;
}

bool XlsxWorkbook::writeRawLines(const QStringList &lines, QString *error)
{
    if (static_cast<qint64>(d->currentRow) + lines.size() > MaxRows)
        return d->fail(error,
            QCoreApplication::translate(
                "XlsxWorkbook", "The worksheet would need %1 rows, more than the %2 a worksheet can hold.")
                .arg(static_cast<qint64>(d->currentRow) + lines.size())
                .arg(MaxRows));
    for (const QString &line : lines) {
        pugi::xml_node cell = d->grid.createCell(++d->currentRow, 1);
        d->setStyle(cell, d->styles.derive(d->style(cell), CellLook::FixedPitch));
        d->writeValue(cell, line.isEmpty() ? QVariant() : QVariant(line));
    }
    d->fitColumns({ 1 }, false);
    d->updateDimension();
    return true;
}

bool XlsxWorkbook::save(const QString &path, QString *error)
{
    d->package->setXmlPart(d->workbookPart, d->workbook);
    QByteArray sheet = xmlPartBytes(d->sheet);
    if (!d->newRowsMarker.isEmpty()) {
        const QByteArray marker = "<!--" + d->newRowsMarker + "-->";
        const qsizetype at = sheet.indexOf(marker);
        if (at < 0)
            return d->fail(error,
                QCoreApplication::translate("XlsxWorkbook", "The worksheet's new rows could not be placed."));
        sheet.replace(at, marker.size(), d->newRows);
    }
    d->package->setPart(d->sheetPart, std::move(sheet), WorksheetContentType);
    d->package->setXmlPart(d->stylesPart, d->styles.document(), StylesContentType);
    d->package->setXmlPart(d->sharedStringsPart, d->strings.document(), SharedStringsContentType);
    return d->package->save(path, error);
}

bool XlsxWorkbook::destinationChanged() const
{
    return d->package && d->package->destinationChanged();
}

QString XlsxWorkbook::writeNote() const
{
    return d->notes.join(u' ');
}

QString XlsxWorkbook::saveNote() const
{
    return d->package ? d->package->saveNote() : QString();
}
