#pragma once

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include "documents/excel/XlsxWorkbook.h"
#include "documents/ooxml/XmlNamespace.h"

namespace Xlsx {

// The names, limits and orders of SpreadsheetML, and the helpers every part of a workbook uses.

inline const char *const MainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char *const RelationshipNamespace
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

inline const QString WorkbookContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
inline const QString WorksheetContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
inline const QString StylesContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
inline const QString SharedStringsContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");

// Workbooks Excel can hold a worksheet in: plain, macro-enabled, templates.
inline const QStringList WorkbookContentTypes
    = { WorkbookContentType, QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml"),
          QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"),
          QStringLiteral("application/vnd.ms-excel.template.macroEnabled.main+xml") };

inline const char *const DateFormat = "dd-mmm-yyyy";
inline const char *const TimeFormat = "hh:mm AM/PM";
inline const char *const SerialFormat = "0";
inline const char *const Black = "FF000000";
inline const char *const White = "FFFFFFFF";

// Columns A to K are fitted; a fitted column is then widened by this many characters.
constexpr int FittedColumns = 11;
constexpr double ExtraWidth = 2.86;
// The width Excel gives a column without content.
constexpr double DefaultColumnWidth = 8.43;
constexpr int FirstCustomFormat = 164;
// What a parsed element of a worksheet costs in memory, with its place in the grid, and the most memory a
// worksheet may take.
constexpr qint64 BytesPerElement = 160;
constexpr qint64 MaxWorksheetMemory = qint64(512) << 20;
// The most cells one export formats: every row a worksheet can hold, with all eleven columns and four more.

// Children of a worksheet, styles and border in the order the schema wants them.
inline const std::vector<const char *> WorksheetOrder = { "sheetPr", "dimension", "sheetViews",
    "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios",
    "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr",
    "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins", "pageSetup",
    "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors", "smartTags",
    "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst" };
inline const std::vector<const char *> StylesOrder = { "numFmts", "fonts", "fills", "borders", "cellStyleXfs",
    "cellXfs", "cellStyles", "dxfs", "tableStyles", "colors", "extLst" };
inline const std::vector<const char *> BorderOrder
    = { "start", "left", "end", "right", "top", "bottom", "diagonal", "vertical", "horizontal" };
inline const std::vector<const char *> FontOrder = { "b", "i", "strike", "condense", "extend", "outline",
    "shadow", "u", "vertAlign", "sz", "color", "name", "family", "charset", "scheme" };
inline const std::vector<const char *> SheetPrOrder = { "tabColor", "outlinePr", "pageSetUpPr" };
inline const std::vector<const char *> XfOrder = { "alignment", "protection", "extLst" };
inline const std::vector<const char *> WorkbookOrder = { "fileVersion", "fileSharing", "workbookPr",
    "workbookProtection", "bookViews", "sheets", "functionGroups", "externalReferences", "definedNames",
    "calcPr", "oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
    "fileRecoveryPr", "webPublishObjects", "extLst" };

// Where a child stands in the order of children, or past the end for an element the order does not know.
inline std::size_t rank(
    const pugi::xml_node &child, const XmlNamespace &ns, const std::vector<const char *> &order)
{
    const std::string_view local = ns.local(child);
    return static_cast<std::size_t>(std::find_if(order.begin(), order.end(), [local](const char *entry) {
        return local == entry;
    }) - order.begin());
}

// The child with the local name, or a new one placed where the order of children wants it.
inline pugi::xml_node orderedChild(
    pugi::xml_node parent, const XmlNamespace &ns, const char *name, const std::vector<const char *> &order)
{
    if (pugi::xml_node existing = parent.child(ns.name(name).c_str()))
        return existing;
    const auto position
        = static_cast<std::size_t>(std::find_if(order.begin(), order.end(), [name](const char *entry) {
              return std::strcmp(entry, name) == 0;
          }) - order.begin());
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        const std::size_t childPosition = rank(child, ns, order);
        if (child.type() == pugi::node_element && childPosition < order.size() && childPosition > position)
            return parent.insert_child_before(ns.name(name).c_str(), child);
    }
    return parent.append_child(ns.name(name).c_str());
}

// Puts the children the order knows into that order, whatever order the file had them in; others keep
// their place relative to the first known child after them.
inline void sortChildren(
    pugi::xml_node parent, const XmlNamespace &ns, const std::vector<const char *> &order)
{
    std::vector<pugi::xml_node> known;
    for (pugi::xml_node child : parent.children())
        if (rank(child, ns, order) < order.size())
            known.push_back(child);
    if (std::is_sorted(known.begin(), known.end(),
            [&](const auto &a, const auto &b) { return rank(a, ns, order) < rank(b, ns, order); }))
        return;
    std::stable_sort(known.begin(), known.end(),
        [&](const auto &a, const auto &b) { return rank(a, ns, order) < rank(b, ns, order); });
    for (const pugi::xml_node &child : known)
        parent.append_move(child);
}

inline void setAttribute(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute = value;
}

inline QByteArray nodeKey(const pugi::xml_node &node)
{
    struct Writer final : pugi::xml_writer
    {
        QByteArray bytes;
        void write(const void *data, size_t size) override
        {
            bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
    } writer;
    node.print(writer, "", pugi::format_raw);
    return writer.bytes;
}

// A worksheet's columns, A to XFD.
constexpr int MaxColumns = 16384;

// Row and column of a cell reference such as "AB12"; nullopt unless it is one within a worksheet's limits.
inline std::optional<std::pair<qint64, qint64>> parseReference(std::string_view reference)
{
    qint64 column = 0;
    qint64 row = 0;
    std::size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && i < 3; ++i)
        column = column * 26 + (reference[i] - 'A' + 1);
    const std::size_t letters = i;
    for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9' && i < letters + 8; ++i)
        row = row * 10 + (reference[i] - '0');
    if (letters == 0 || i == letters || i != reference.size() || column > MaxColumns || row < 1
        || row > XlsxWorkbook::MaxRows)
        return std::nullopt;
    return std::make_pair(row, column);
}

// Whole row numbers within a worksheet's limits; nullopt for anything else.
inline std::optional<qint64> parseRow(std::string_view text)
{
    qint64 row = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || row > XlsxWorkbook::MaxRows)
            return std::nullopt;
        row = row * 10 + (c - '0');
    }
    if (text.empty() || row < 1 || row > XlsxWorkbook::MaxRows)
        return std::nullopt;
    return row;
}

inline QByteArray cellReference(int row, int column)
{
    char buffer[24];
    char *letters = buffer + 8;
    for (; column > 0; column = (column - 1) / 26)
        *--letters = static_cast<char>('A' + (column - 1) % 26);
    const auto [end, error] = std::to_chars(buffer + 8, buffer + sizeof buffer, row);
    Q_UNUSED(error)
    return QByteArray(letters, end - letters);
}

inline bool startsEscapeCode(const QString &text, qsizetype at)
{
    if (at + 6 >= text.size() || text.at(at) != u'_' || text.at(at + 1) != u'x' || text.at(at + 6) != u'_')
        return false;
    bool ok = false;
    text.mid(at + 2, 4).toUShort(&ok, 16);
    return ok;
}

// Characters XML cannot carry are written as _xHHHH_, and so is an underscore that would start such a code.
inline QString escapeSpreadsheetText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        const bool control = code < 0x20 && code != u'\t' && code != u'\n' && code != u'\r';
        if (control || code == 0xFFFE || code == 0xFFFF || startsEscapeCode(text, i))
            escaped += QStringLiteral("_x%1_").arg(QString::number(code, 16).toUpper(), 4, QChar(u'0'));
        else
            escaped += text.at(i);
    }
    return escaped;
}

inline QString unescapeSpreadsheetText(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (startsEscapeCode(text, i)) {
            plain += QChar(text.mid(i + 2, 4).toUShort(nullptr, 16));
            i += 6;
        } else {
            plain += text.at(i);
        }
    }
    return plain;
}

// The text of a string item: its own text or all of its runs, phonetic hints left out.
inline QString stringItemText(const pugi::xml_node &item, const XmlNamespace &ns)
{
    QString text;
    for (const pugi::xml_node &child : item.children()) {
        const std::string_view name = ns.local(child);
        if (name == "t")
            text += QString::fromUtf8(child.text().get());
        else if (name == "r")
            for (const pugi::xml_node &runChild : child.children())
                if (ns.local(runChild) == "t")
                    text += QString::fromUtf8(runChild.text().get());
    }
    return unescapeSpreadsheetText(text);
}

} // namespace Xlsx
