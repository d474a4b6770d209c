#include "documents/word/DocxDocument.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QUuid>

#include "documents/table/TableFit.h"
#include "documents/word/WordRowScan.h"
#include "documents/word/WordStyles.h"
#include "documents/word/WordTable.h"
#include "documents/word/WordXml.h"
#include "report/ReportTable.h"

using namespace Word;

// The new rows of the table, written as XML text straight into the saved main part: a full display makes
// tens of thousands of cells, too many to build as nodes first.
struct DocxDocument::PendingRows
{
    struct Cell
    {
        QByteArray head;
        QByteArray runHead;
        std::optional<ReportColumn> column;
    };

    PendingRows(const WordNames &w, const RowPattern &pattern, ReportTexts texts)
        : marker(QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
        , rowHead(tag(w, "tr") + nodeXml(pattern.tblPrEx) + nodeXml(pattern.trPr))
        , rowTail(tag(w, "tr", true))
        , cellTail(tag(w, "p", true) + tag(w, "tc", true))
        , textTail(tag(w, "t", true) + tag(w, "r", true))
        , texts(std::move(texts))
    {
        for (const CellPattern &cell : pattern.cells) {
            cells.push_back({ tag(w, "tc") + nodeXml(cell.tcPr) + tag(w, "p") + nodeXml(cell.pPr),
                tag(w, "r") + nodeXml(cell.rPr) + '<' + w("t"), cell.column });
        }
    }

    [[nodiscard]] qsizetype estimatedSize() const
    {
        qsizetype row = rowHead.size() + rowTail.size();
        for (const Cell &cell : cells)
            row += cell.head.size() + cell.runHead.size() + cellTail.size() + textTail.size() + 40;
        return row * texts.rowCount();
    }

    void write(QByteArray &out) const
    {
        for (int row = 0; row < texts.rowCount(); ++row) {
            out.append(rowHead);
            for (const Cell &cell : cells) {
                out.append(cell.head);
                if (cell.column) {
                    const QString &text = texts.of(*cell.column)[static_cast<std::size_t>(row)];
                    if (!text.isEmpty()) {
                        out.append(cell.runHead);
                        if (needsPreserving(text))
                            out.append(" xml:space=\"preserve\"");
                        out.append('>');
                        appendEscaped(out, text);
                        out.append(textTail);
                    }
                }
                out.append(cellTail);
            }
            out.append(rowTail);
        }
    }

    // The comment that stands in the table for the rows until the part is written.
    QByteArray marker;
    QByteArray rowHead;
    QByteArray rowTail;
    QByteArray cellTail;
    QByteArray textTail;
    std::vector<Cell> cells;
    ReportTexts texts;
};

// The part as read, the rows kept from it, and the widths their cells get when the part is saved.
struct DocxDocument::KeptRows
{
    QByteArray part;
    WordRowScan::Rows rows;
    std::string prefix;
    std::vector<int> widths;
    // The comment that stands in the table for the rows until the part is written.
    QByteArray marker = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);

    [[nodiscard]] QByteArray comment() const { return "<!--" + marker + "-->"; }
    // The part with the rows replaced by the comment.
    [[nodiscard]] QByteArray reduced() const
    {
        return part.first(rows.begin) + comment() + part.sliced(rows.end);
    }
    [[nodiscard]] bool standIn(const pugi::xml_node &table) const
    {
        for (const pugi::xml_node &child : table.children()) {
            if (child.type() == pugi::node_comment && marker == child.value())
                return true;
        }
        return false;
    }
};

DocxDocument::DocxDocument(QLocale::MeasurementSystem measurement)
    : m_measurement(measurement)
{
}

DocxDocument::~DocxDocument() = default;

bool DocxDocument::create(QString *error)
{
    Q_UNUSED(error)
    m_package = OoxmlPackage::create();
    m_package.setPart(StylesPartName, QByteArray(StylesXml), StylesContentType);
    m_package.setPart(SettingsPartName, QByteArray(SettingsXml), SettingsContentType);
    m_package.addRelationship(
        QString(), QString::fromLatin1(OoxmlPackage::OfficeDocumentRelationship), MainPartName);
    m_package.addRelationship(
        MainPartName, QString::fromLatin1(OoxmlPackage::StylesRelationship), StylesPartName);
    m_package.addRelationship(MainPartName, QString::fromLatin1(SettingsRelationship), SettingsPartName);
    m_mainPart = MainPartName;
    m_prefix = "w:";
    m_opened = false;
    m_document.load_string(DocumentXml, pugi::parse_default | pugi::parse_declaration);

    // Landscape: the page's long side across.
    const bool letter = m_measurement == QLocale::ImperialUSSystem;
    const WordNames w(m_prefix);
    pugi::xml_node section = m_document.document_element().child(w("body")).append_child(w("sectPr"));
    pugi::xml_node size = section.append_child(w("pgSz"));
    setAttribute(w, size, "w", letter ? 15840 : 16838);
    setAttribute(w, size, "h", letter ? 12240 : 11906);
    setAttribute(w, size, "orient", "landscape");
    pugi::xml_node margins = section.append_child(w("pgMar"));
    for (const char *side : { "top", "right", "bottom", "left" })
        setAttribute(w, margins, side, PageMargin);
    setAttribute(w, margins, "header", PageMargin / 2);
    setAttribute(w, margins, "footer", PageMargin / 2);
    setAttribute(w, margins, "gutter", 0);
    return true;
}

bool DocxDocument::open(const QString &path, QString *error)
{
    std::optional<OoxmlPackage> package = OoxmlPackage::open(path, error);
    if (!package)
        return false;
    const QString mainPart = package->mainPart();
    const QString contentType = mainPart.isEmpty() ? QString() : package->contentType(mainPart);
    if (!package->hasPart(mainPart)
        || (contentType != MainContentType && contentType != MacroEnabledContentType)) {
        *error = QCoreApplication::translate("DocxDocument", "The file is not a Word document.");
        return false;
    }
    std::optional<QByteArray> bytes = package->readPart(mainPart, error);
    if (!bytes)
        return false;
    m_package = std::move(*package);
    m_mainPart = mainPart;
    m_opened = true;

    // A long table's body rows are kept as bytes unless the table needs more than new rows and widths.
    m_keptRows.reset();
    if (const std::optional<std::string> prefix = WordRowScan::rootPrefix(*bytes, MainNamespace)) {
        if (std::optional<WordRowScan::Rows> rows = WordRowScan::middleRows(*bytes, *prefix))
            m_keptRows.reset(new KeptRows { std::move(*bytes), std::move(*rows), *prefix, {} });
    }
    if (!m_keptRows)
        return loadMainPart(*bytes, error);
    return loadMainPart(m_keptRows->reduced(), error)
        && (m_prefix == m_keptRows->prefix || loadWholePart(error));
}

bool DocxDocument::loadWholePart(QString *error)
{
    const std::unique_ptr<KeptRows> kept = std::move(m_keptRows);
    return loadMainPart(kept->part, error);
}

bool DocxDocument::loadMainPart(const QByteArray &bytes, QString *error)
{
    pugi::xml_document document;
    if (!OoxmlPackage::parseXmlPart(bytes, m_mainPart, document, error))
        return false;

    // Attributes carry the prefix too, so the namespace gets one, declared on the root.
    const XmlNamespace ns = XmlNamespace::unify(document, MainNamespace, "w", true);
    const std::string prefix = ns.prefix();
    const pugi::xml_node root = document.document_element();
    const WordNames w(prefix);
    if (!ns.isDeclared() || !w.is(root, "document") || !root.child(w("body"))) {
        *error = QCoreApplication::translate(
            "DocxDocument", "The main part of the document is not a WordprocessingML document.");
        return false;
    }

    // The part is written back in UTF-8, whatever it was read in.
    pugi::xml_node declaration = document.first_child();
    if (declaration.type() != pugi::node_declaration) {
        declaration = document.prepend_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("standalone") = "yes";
    }
    if (!declaration.attribute("encoding"))
        declaration.insert_attribute_after("encoding", declaration.attribute("version"));
    declaration.attribute("encoding") = "UTF-8";

    m_document = std::move(document);
    m_prefix = prefix;
    return true;
}

namespace {

struct Header
{
    CellLayout layout;
    QString text;
};

// The layout of a table's rows, refused with the reason when rows cannot be appended to it.
std::optional<std::vector<RowLayout>> appendableRows(
    const WordNames &w, const pugi::xml_node &table, int gridCount, QString *error)
{
    if (gridCount == 0) {
        *error = QCoreApplication::translate("DocxDocument",
            "The document's first table has no column grid (w:tblGrid), which says "
            "how wide its columns are; open the document in Word or LibreOffice, "
            "save it again and try once more.");
        return std::nullopt;
    }
    if (gridCount > MaxColumns) {
        *error = QCoreApplication::translate(
            "DocxDocument", "The document's first table has more columns than Word allows.");
        return std::nullopt;
    }
    std::optional<std::vector<RowLayout>> rows = layoutRows(w, table, gridCount, error);
    if (!rows)
        return std::nullopt;
    if (rows->empty()) {
        *error = QCoreApplication::translate("DocxDocument", "The document's first table has no rows.");
        return std::nullopt;
    }
    const RowLayout &headerRow = rows->front();
    if (headerRow.before != 0 || headerRow.after != 0 || headerRow.covered != gridCount) {
        *error = QCoreApplication::translate(
            "DocxDocument", "The header row of the document's first table does not span all its columns.");
        return std::nullopt;
    }
    return rows;
}

// The report columns the table's headers do not name; a header matches whatever its letter case and
// spaces.
std::vector<ReportColumn> missingColumns(const ReportTable &report, const std::vector<Header> &headers)
{
    QSet<ReportColumn> present;
    for (const Header &header : headers) {
        if (const std::optional<ReportColumn> column
            = ReportTable::columnForHeader(normalisedHeader(header.text)))
            present.insert(*column);
    }
    std::vector<ReportColumn> missing;
    for (ReportColumn column : report.columns()) {
        if (!present.contains(column))
            missing.push_back(column);
    }
    return missing;
}

// The new rows: formatted as the last row, unless that is the header row.
RowPattern appendedRowPattern(const WordNames &w, pugi::xml_node patterns, const std::vector<RowLayout> &rows,
    const std::vector<Header> &headers)
{
    const RowLayout &lastRow = rows.back();
    const bool belowHeader = rows.size() == 1;
    RowPattern pattern;
    if (!belowHeader) {
        if (const pugi::xml_node tblPrEx = lastRow.row.child(w("tblPrEx")))
            pattern.tblPrEx = patterns.append_copy(tblPrEx);
        if (const pugi::xml_node trPr = lastRow.row.child(w("trPr"))) {
            pattern.trPr = patterns.append_copy(trPr);
            removeChildren(w, pattern.trPr, RowOnly);
        }
    }
    for (const Header &header : headers) {
        const std::optional<ReportColumn> column
            = ReportTable::columnForHeader(normalisedHeader(header.text));
        const auto source
            = std::find_if(lastRow.cells.begin(), lastRow.cells.end(), [&](const CellLayout &cell) {
                  return cell.start == header.layout.start && cell.span == header.layout.span;
              });
        pattern.cells.push_back(belowHeader || source == lastRow.cells.end()
                ? plainCell(w, patterns, column)
                : copiedCell(w, patterns, source->cell, column));
        pattern.cells.back().start = header.layout.start;
        pattern.cells.back().span = header.layout.span;
        if (header.layout.span > 1)
            setAttribute(w, ensureChild(w, pattern.cells.back().tcPr, "gridSpan", TcPrOrder), "val",
                header.layout.span);
    }
    return pattern;
}

// Adds the columns at the table's right: their header text, and an empty cell in every old row, each
// formatted as its left neighbour; the new rows get them too.
void addColumns(const WordNames &w, pugi::xml_node grid, pugi::xml_node patterns,
    std::vector<RowLayout> &rows, RowPattern &pattern, std::vector<int> &gridWidths,
    const std::vector<ReportColumn> &added, const ReportTexts &texts, const TableFit::CellFont &font)
{
    const int gridCount = static_cast<int>(gridWidths.size());
    const bool belowHeader = rows.size() == 1;
    for (ReportColumn column : added) {
        const QString headerText = ReportTable::headerText(column);
        gridWidths.push_back(
            std::max(texts.widths(column, font).full, TableFit::measure(font, headerText, true).full)
            + 2 * TableFit::CellMargins);
        setAttribute(w, grid.append_child(w("gridCol")), "w", gridWidths.back());
        const int start = static_cast<int>(gridWidths.size()) - 1;
        RowLayout &header = rows.front();
        header.cells.push_back(
            { appendCellLike(w, header.row, header.cells.back().cell, headerText), start, 1 });
        pattern.cells.push_back(belowHeader ? plainCell(w, patterns, column)
                                            : copiedPattern(w, patterns, pattern.cells.back(), column));
        pattern.cells.back().start = start;
        pattern.cells.back().span = 1;
    }
    const int addedCount = static_cast<int>(added.size());
    for (std::size_t r = 1; addedCount > 0 && r < rows.size(); ++r) {
        RowLayout &row = rows[r];
        pugi::xml_node tr = row.row;
        if (row.after == 0 && row.covered == gridCount && !row.cells.empty()) {
            for (int i = 0; i < addedCount; ++i)
                row.cells.push_back(
                    { appendCellLike(w, tr, row.cells.back().cell, QString()), gridCount + i, 1 });
        } else {
            pugi::xml_node trPr = tr.child(w("trPr"));
            if (!trPr)
                trPr = tr.child(w("tblPrEx")) ? tr.insert_child_after(w("trPr"), tr.child(w("tblPrEx")))
                                              : tr.prepend_child(w("trPr"));
            setAttribute(
                w, ensureChild(w, trPr, "gridAfter", TrPrOrder), "val", gridCount + addedCount - row.covered);
        }
    }
}

// What each column of the appended table needs: its header, the lines of its old cells (the rows as nodes
// and the rows kept as bytes) and of its new ones.
std::vector<TableFit::ColumnNeeds> columnNeeds(const WordNames &w, std::size_t columnCount,
    const std::vector<Header> &headers, const std::vector<ReportColumn> &added,
    const std::vector<RowLayout> &rows, const std::vector<std::vector<WordRowScan::Cell>> &keptRows,
    const RowPattern &pattern, const ReportTexts &texts, const TableFit::CellFont &font)
{
    std::vector<TableFit::ColumnNeeds> needs(columnCount);
    for (const Header &header : headers) {
        if (header.layout.span == 1) {
            const QString text = normalisedHeader(header.text);
            TableFit::ColumnNeeds &column = needs[static_cast<std::size_t>(header.layout.start)];
            column.header = TableFit::measure(font, text, true);
            column.wrapRank = wrapRank(ReportTable::columnForHeader(text));
        }
    }
    const std::size_t firstAdded = columnCount - added.size();
    for (std::size_t i = 0; i < added.size(); ++i)
        needs[firstAdded + i]
            = { TableFit::measure(font, ReportTable::headerText(added[i]), true), {}, wrapRank(added[i]) };
    std::vector<QSet<QString>> measured(columnCount);
    const auto include = [&](std::size_t c, const QString &text) {
        for (const QString &line : QString(text).remove(u'\a').split(u'\r')) {
            if (!measured[c].contains(line)) {
                measured[c].insert(line);
                needs[c].data.include(TableFit::measure(font, line, false));
            }
        }
    };
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (const CellLayout &cell : rows[r].cells) {
            if (cell.span == 1)
                include(static_cast<std::size_t>(cell.start), cellText(w, cell.cell));
        }
    }
    for (const std::vector<WordRowScan::Cell> &row : keptRows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            include(c, row[c].text);
    }
    for (const CellPattern &cell : pattern.cells) {
        if (cell.column && cell.span == 1)
            needs[static_cast<std::size_t>(cell.start)].data.include(texts.widths(*cell.column, font));
    }
    return needs;
}

int spannedWidth(const std::vector<int> &gridWidths, int start, int span)
{
    int width = 0;
    for (int c = start; c < start + span; ++c)
        width += gridWidths[static_cast<std::size_t>(c)];
    return width;
}

// Gives the grid, every old cell and the new rows' cells their widths.
void applyWidths(const WordNames &w, pugi::xml_node grid, const std::vector<RowLayout> &rows,
    RowPattern &pattern, const std::vector<int> &gridWidths)
{
    std::size_t index = 0;
    for (pugi::xml_node column : grid.children(w("gridCol")))
        setAttribute(w, column, "w", gridWidths[index++]);
    for (const RowLayout &row : rows) {
        for (const CellLayout &cell : row.cells) {
            pugi::xml_node tc = cell.cell;
            pugi::xml_node tcPr = tc.child(w("tcPr"));
            if (!tcPr)
                tcPr = tc.prepend_child(w("tcPr"));
            setWidth(
                w, ensureChild(w, tcPr, "tcW", TcPrOrder), spannedWidth(gridWidths, cell.start, cell.span));
        }
    }
    for (CellPattern &cell : pattern.cells)
        setWidth(
            w, ensureChild(w, cell.tcPr, "tcW", TcPrOrder), spannedWidth(gridWidths, cell.start, cell.span));
}

} // namespace

bool DocxDocument::writeTable(const ReportTable &report, QString *error)
{
    return m_opened ? appendToTable(report, error) : writeNewTable(report);
}

bool DocxDocument::writeNewTable(const ReportTable &report)
{
    const WordNames w(m_prefix);
    pugi::xml_node body = m_document.document_element().child(w("body"));
    pugi::xml_document scratch;
    pugi::xml_node patterns = scratch.append_child("patterns");
    ReportTexts texts(report);
    const QList<ReportColumn> &columns = report.columns();
    const TableFit::CellFont font;
    std::vector<TableFit::ColumnNeeds> needs;
    for (ReportColumn column : columns)
        needs.push_back({ TableFit::measure(font, ReportTable::headerText(column), true),
            texts.widths(column, font), wrapRank(column) });
    const TableFit::Fit fit = TableFit::fitColumns(needs, textAreaTwips(w, body.child(w("sectPr"))));
    const std::vector<int> &widths = fit.widths;

    pugi::xml_node table = body.insert_child_before(w("tbl"), body.child(w("sectPr")));
    pugi::xml_node tblPr = table.append_child(w("tblPr"));
    setAttribute(w, tblPr.append_child(w("tblStyle")), "val", "TableGrid");
    setWidth(w, tblPr.append_child(w("tblW")), 0, "auto");
    if (fit.breaksWords)
        setAttribute(w, tblPr.append_child(w("tblLayout")), "type", "fixed");
    if (fit.cellMargin != TableFit::CellMargins) {
        pugi::xml_node cellMargins = tblPr.append_child(w("tblCellMar"));
        setWidth(w, cellMargins.append_child(w("left")), fit.cellMargin);
        setWidth(w, cellMargins.append_child(w("right")), fit.cellMargin);
    }
    pugi::xml_node look = tblPr.append_child(w("tblLook"));
    setAttribute(w, look, "val", "0420");
    setAttribute(w, look, "firstRow", "1");
    setAttribute(w, look, "lastRow", "0");
    setAttribute(w, look, "firstColumn", "0");
    setAttribute(w, look, "lastColumn", "0");
    setAttribute(w, look, "noHBand", "0");
    setAttribute(w, look, "noVBand", "1");
    pugi::xml_node grid = table.append_child(w("tblGrid"));
    for (int width : widths)
        setAttribute(w, grid.append_child(w("gridCol")), "w", width);

    pugi::xml_node header = table.append_child(w("tr"));
    header.append_child(w("trPr")).append_child(w("tblHeader"));
    RowPattern data;
    for (qsizetype c = 0; c < columns.size(); ++c) {
        pugi::xml_node cell = header.append_child(w("tc"));
        pugi::xml_node tcPr = cell.append_child(w("tcPr"));
        setWidth(w, tcPr.append_child(w("tcW")), widths[c]);
        pugi::xml_node shading = tcPr.append_child(w("shd"));
        setAttribute(w, shading, "val", "clear");
        setAttribute(w, shading, "color", "auto");
        setAttribute(w, shading, "fill", "000000");
        setCellPaddings(w, tcPr);
        pugi::xml_node paragraph = cell.append_child(w("p"));
        pugi::xml_node pPr = paragraph.append_child(w("pPr"));
        setCentred(w, pPr);
        pugi::xml_node run = paragraph.append_child(w("r"));
        pugi::xml_node rPr = run.append_child(w("rPr"));
        rPr.append_child(w("b"));
        setAttribute(w, rPr.append_child(w("color")), "val", "FFFFFF");
        pPr.append_copy(rPr);
        appendText(w, run, ReportTable::headerText(columns[c]));

        data.cells.push_back(plainCell(w, patterns, columns[c]));
        setWidth(w, ensureChild(w, data.cells.back().tcPr, "tcW", TcPrOrder), widths[c]);
    }
    m_pendingRows = std::make_unique<PendingRows>(w, data, std::move(texts));
    table.append_child(pugi::node_comment).set_value(m_pendingRows->marker.constData());
    return true;
}

bool DocxDocument::appendToTable(const ReportTable &report, QString *error)
{
    const WordNames w(m_prefix);
    pugi::xml_node body = m_document.document_element().child(w("body"));
    ReportTexts texts(report);
    // The rows go to the first table whose header row names a report column: a small table before it
    // (contents, a title block) is not the report's.
    bool anyTable = false;
    const TablePlace place = findFirstTable(w, body, [&](const pugi::xml_node &candidate) {
        anyTable = true;
        for (const pugi::xml_node &cell : childrenOf(w, candidate.child(w("tr")), "tc")) {
            if (ReportTable::columnForHeader(normalisedHeader(cellText(w, cell))))
                return true;
        }
        return false;
    });
    if (!place.table) {
        *error = anyTable ? QCoreApplication::translate("DocxDocument",
                     "The document holds no report table: no table's first row names "
                     "a column of the report (such as \"Download On\"). Nothing was "
                     "appended, so that no value goes to a column without its header.")
                          : QCoreApplication::translate(
                              "DocxDocument", "The document holds no table to append the report to.");
        return false;
    }
    pugi::xml_node table = place.table;
    if (m_keptRows && !m_keptRows->standIn(table))
        return loadWholePart(error) && appendToTable(report, error);
    pugi::xml_node grid = table.child(w("tblGrid"));
    std::vector<int> gridWidths;
    for (const pugi::xml_node &column : grid.children(w("gridCol")))
        gridWidths.push_back(std::clamp(intAttribute(w, column, "w"), 0, MaxPageWidth));
    const int gridCount = static_cast<int>(gridWidths.size());
    std::optional<std::vector<RowLayout>> rows = appendableRows(w, table, gridCount, error);
    if (!rows)
        return false;
    const RowLayout &headerRow = rows->front();

    std::vector<Header> headers;
    headers.reserve(headerRow.cells.size());
    for (const CellLayout &cell : headerRow.cells)
        headers.push_back({ cell, cellText(w, cell.cell) });
    // A report column the table lacks is added at its right, so that no value is lost.
    const std::vector<ReportColumn> added = missingColumns(report, headers);
    QStringList addedHeaders;
    for (ReportColumn column : added)
        addedHeaders.append(ReportTable::headerText(column));
    if (!added.empty())
        m_notes.append(addedColumnsNote(addedHeaders));
    // Kept rows take new widths, nothing more: added columns, or a row wider than the grid (refused with
    // its reason), need every row as nodes.
    if (m_keptRows
        && (!added.empty()
            || std::any_of(m_keptRows->rows.rows.begin(), m_keptRows->rows.rows.end(),
                [&](const std::vector<WordRowScan::Cell> &row) { return std::ssize(row) > gridCount; })))
        return loadWholePart(error) && appendToTable(report, error);

    pugi::xml_document scratch;
    RowPattern pattern = appendedRowPattern(w, scratch.append_child("patterns"), *rows, headers);

    // The font the table's text is in, which its widths are measured with.
    const StyleSheet styles(m_package, m_mainPart);
    FontSettings runFont;
    const auto withRun = std::find_if(
        pattern.cells.begin(), pattern.cells.end(), [](const CellPattern &cell) { return bool(cell.rPr); });
    if (withRun != pattern.cells.end())
        runFont = styles.runFont(w, withRun->rPr);
    const QString paragraphStyle = pattern.cells.empty()
        ? QString()
        : QString::fromUtf8(pattern.cells.front().pPr.child(w("pStyle")).attribute(w("val")).value());
    const TableFit::CellFont font = styles.resolve(runFont, paragraphStyle,
        QString::fromUtf8(table.child(w("tblPr")).child(w("tblStyle")).attribute(w("val")).value()));

    addColumns(w, grid, scratch.document_element(), *rows, pattern, gridWidths, added, texts, font);
    // Fitted to the window: the full width between the margins, shared out by the columns' contents.
    pugi::xml_node tblPr = table.child(w("tblPr"));
    if (!tblPr)
        tblPr = table.prepend_child(w("tblPr"));
    setWidth(w, ensureChild(w, tblPr, "tblW", TblPrOrder), 5000, "pct");
    bool breaksWords = false;
    if (const int available = textAreaTwips(w, place.section); available > 0) {
        const std::vector<TableFit::ColumnNeeds> needs = columnNeeds(w, gridWidths.size(), headers, added,
            *rows, m_keptRows ? m_keptRows->rows.rows : std::vector<std::vector<WordRowScan::Cell>>(),
            pattern, texts, font);
        const TableFit::Fit fit = TableFit::fitColumns(needs, available);
        gridWidths = fit.widths;
        breaksWords = fit.breaksWords;
        scaleGrid(gridWidths, available);
        if (fit.cellMargin != TableFit::CellMargins) {
            const pugi::xml_node cellMargins = ensureChild(w, tblPr, "tblCellMar", TblPrOrder);
            setWidth(w, ensureChild(w, cellMargins, "left", MarginOrder), fit.cellMargin);
            setWidth(w, ensureChild(w, cellMargins, "right", MarginOrder), fit.cellMargin);
        }
    }
    setAttribute(
        w, ensureChild(w, tblPr, "tblLayout", TblPrOrder), "type", breaksWords ? "fixed" : "autofit");
    applyWidths(w, grid, *rows, pattern, gridWidths);
    if (m_keptRows)
        m_keptRows->widths = gridWidths;

    m_pendingRows = std::make_unique<PendingRows>(w, pattern, std::move(texts));
    table.append_child(pugi::node_comment).set_value(m_pendingRows->marker.constData());
    return true;
}

bool DocxDocument::writeRawLines(const QStringList &lines, QString *error)
{
    Q_UNUSED(error)
    const WordNames w(m_prefix);
    pugi::xml_node body = m_document.document_element().child(w("body"));
    const pugi::xml_node last = body.last_child();
    const pugi::xml_node section = w.is(last, "sectPr") ? last : pugi::xml_node();
    for (const QString &line : lines) {
        pugi::xml_node paragraph
            = section ? body.insert_child_before(w("p"), section) : body.append_child(w("p"));
        pugi::xml_node run = paragraph.append_child(w("r"));
        pugi::xml_node rPr = run.append_child(w("rPr"));
        pugi::xml_node fonts = rPr.append_child(w("rFonts"));
        for (const char *script : { "ascii", "hAnsi", "cs" })
            setAttribute(w, fonts, script, "Courier New");
        setAttribute(w, rPr.append_child(w("spacing")), "val", static_cast<int>(CharacterSpacing * 20));
        setAttribute(w, rPr.append_child(w("sz")), "val", 20);
        setAttribute(w, rPr.append_child(w("szCs")), "val", 20);
        appendText(w, run, line);
    }
    return true;
}

bool DocxDocument::save(const QString &path, QString *error)
{
    const WordNames w(m_prefix);
    if (!m_opened) {
        // The text ends with a paragraph, also after a table.
        pugi::xml_node body = m_document.document_element().child(w("body"));
        pugi::xml_node section = body.child(w("sectPr"));
        if (!w.is(section.previous_sibling(), "p"))
            body.insert_child_before(w("p"), section);
    }
    StringWriter writer;
    m_document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const QByteArray &nodes = writer.bytes;

    // The kept rows and then the new ones take the places of their comments.
    QByteArray part;
    part.reserve(nodes.size() + (m_keptRows ? m_keptRows->rows.end - m_keptRows->rows.begin : 0)
        + (m_pendingRows ? m_pendingRows->estimatedSize() : 0));
    qsizetype copied = 0;
    const auto splice = [&](const QByteArray &comment, const auto &write) {
        const qsizetype at = nodes.indexOf(comment, copied);
        if (at < 0)
            return false;
        part.append(QByteArrayView(nodes).sliced(copied, at - copied));
        write();
        copied = at + comment.size();
        return true;
    };
    const bool placed = (!m_keptRows || splice(m_keptRows->comment(), [&] {
        WordRowScan::appendRows(
            part, m_keptRows->part, m_keptRows->rows, m_keptRows->prefix, m_keptRows->widths);
    })) && (!m_pendingRows || splice("<!--" + m_pendingRows->marker + "-->", [&] {
        m_pendingRows->write(part);
    }));
    if (!placed) {
        *error = QCoreApplication::translate("DocxDocument", "The table's rows could not be placed.");
        return false;
    }
    part.append(QByteArrayView(nodes).sliced(copied));
    m_package.setPart(m_mainPart, std::move(part), m_opened ? QString() : MainContentType);
    return m_package.save(path, error);
}

bool DocxDocument::destinationChanged() const
{
    return m_package.destinationChanged();
}

QString DocxDocument::writeNote() const
{
    return m_notes.join(u' ');
}

QString DocxDocument::saveNote() const
{
    return m_package.saveNote();
}
