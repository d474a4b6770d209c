#include "export/excel/XlsxWorkbook.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QTime>

#include "export/excel/NumberFormat.h"
#include "export/office/FontMetrics.h"
#include "export/ooxml/OoxmlPackage.h"
#include "export/report/ReportTable.h"

namespace {

const char *const MainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const RelationshipNamespace
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

const QString WorkbookContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
const QString WorksheetContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
const QString StylesContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
const QString SharedStringsContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");

// Workbooks Excel can hold a worksheet in: plain, macro-enabled, templates.
const QStringList WorkbookContentTypes
    = { WorkbookContentType, QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml"),
          QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"),
          QStringLiteral("application/vnd.ms-excel.template.macroEnabled.main+xml") };

const char *const DateFormat = "dd-mmm-yyyy";
const char *const TimeFormat = "hh:mm AM/PM";
const char *const SerialFormat = "0";
const char *const Black = "FF000000";
const char *const White = "FFFFFFFF";

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
const std::vector<const char *> WorksheetOrder = { "sheetPr", "dimension", "sheetViews", "sheetFormatPr",
    "cols", "sheetData", "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter",
    "sortState", "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting",
    "dataValidations", "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter", "rowBreaks",
    "colBreaks", "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing", "legacyDrawing",
    "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls", "webPublishItems", "tableParts",
    "extLst" };
const std::vector<const char *> StylesOrder = { "numFmts", "fonts", "fills", "borders", "cellStyleXfs",
    "cellXfs", "cellStyles", "dxfs", "tableStyles", "colors", "extLst" };
const std::vector<const char *> BorderOrder
    = { "start", "left", "end", "right", "top", "bottom", "diagonal", "vertical", "horizontal" };
const std::vector<const char *> FontOrder = { "b", "i", "strike", "condense", "extend", "outline", "shadow",
    "u", "vertAlign", "sz", "color", "name", "family", "charset", "scheme" };
const std::vector<const char *> SheetPrOrder = { "tabColor", "outlinePr", "pageSetUpPr" };
const std::vector<const char *> XfOrder = { "alignment", "protection", "extLst" };
const std::vector<const char *> WorkbookOrder = { "fileVersion", "fileSharing", "workbookPr",
    "workbookProtection", "bookViews", "sheets", "functionGroups", "externalReferences", "definedNames",
    "calcPr", "oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
    "fileRecoveryPr", "webPublishObjects", "extLst" };

// Where a child stands in the order of children, or past the end for an element the order does not know.
std::size_t rank(const pugi::xml_node &child, const XmlNamespace &ns, const std::vector<const char *> &order)
{
    const std::string_view local = ns.local(child);
    return static_cast<std::size_t>(std::find_if(order.begin(), order.end(), [local](const char *entry) {
        return local == entry;
    }) - order.begin());
}

// The child with the local name, or a new one placed where the order of children wants it.
pugi::xml_node orderedChild(
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
void sortChildren(pugi::xml_node parent, const XmlNamespace &ns, const std::vector<const char *> &order)
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

void setAttribute(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute = value;
}

QByteArray nodeKey(const pugi::xml_node &node)
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
std::optional<std::pair<qint64, qint64>> parseReference(std::string_view reference)
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
std::optional<qint64> parseRow(std::string_view text)
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

QByteArray cellReference(int row, int column)
{
    char buffer[24];
    char *letters = buffer + 8;
    for (; column > 0; column = (column - 1) / 26)
        *--letters = static_cast<char>('A' + (column - 1) % 26);
    const auto [end, error] = std::to_chars(buffer + 8, buffer + sizeof buffer, row);
    Q_UNUSED(error)
    return QByteArray(letters, end - letters);
}

bool startsEscapeCode(const QString &text, qsizetype at)
{
    if (at + 6 >= text.size() || text.at(at) != u'_' || text.at(at + 1) != u'x' || text.at(at + 6) != u'_')
        return false;
    bool ok = false;
    text.mid(at + 2, 4).toUShort(&ok, 16);
    return ok;
}

// Characters XML cannot carry are written as _xHHHH_, and so is an underscore that would start such a code.
QString escapeSpreadsheetText(const QString &text)
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

QString unescapeSpreadsheetText(const QString &text)
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
QString stringItemText(const pugi::xml_node &item, const XmlNamespace &ns)
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

// The workbook's shared strings: read, reused where the same plain text is already there, added to.
class SharedStrings
{
public:
    void load(pugi::xml_document document)
    {
        m_document.reset(document);
        m_ns = XmlNamespace::unify(m_document, MainNamespace, "", false);
        m_root = m_document.document_element();
        const std::string itemName = m_ns.name("si");
        for (const pugi::xml_node &item : m_root.children(itemName.c_str())) {
            const QString text = stringItemText(item, m_ns);
            if (!m_indexOf.contains(text))
                m_indexOf.insert(text, static_cast<int>(m_texts.size()));
            m_texts.push_back(text);
        }
    }

    void createEmpty()
    {
        m_document.reset();
        m_root = m_document.append_child("sst");
        m_root.append_attribute("xmlns") = MainNamespace;
        m_root.append_attribute("count") = 0;
        m_ns = XmlNamespace(m_root, MainNamespace);
    }

    [[nodiscard]] QString text(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_texts.size()) ? m_texts.at(index) : QString();
    }

    int add(const QString &text)
    {
        ++m_newReferences;
        if (const auto it = m_indexOf.constFind(text); it != m_indexOf.constEnd())
            return *it;
        pugi::xml_node t = m_root.append_child(m_ns.name("si").c_str()).append_child(m_ns.name("t").c_str());
        const QString escaped = escapeSpreadsheetText(text);
        if (escaped != escaped.trimmed() || escaped.contains(u'\n'))
            t.append_attribute("xml:space") = "preserve";
        t.text() = escaped.toUtf8().constData();
        const int index = static_cast<int>(m_texts.size());
        m_texts.push_back(text);
        m_indexOf.insert(text, index);
        return index;
    }

    [[nodiscard]] const pugi::xml_document &document()
    {
        if (pugi::xml_attribute count = m_root.attribute("count"))
            count = count.as_llong() + m_newReferences;
        m_newReferences = 0;
        setAttribute(
            m_root, "uniqueCount", QByteArray::number(static_cast<qint64>(m_texts.size())).constData());
        return m_document;
    }

private:
    pugi::xml_document m_document;
    pugi::xml_node m_root;
    XmlNamespace m_ns { pugi::xml_node(), MainNamespace };
    std::vector<QString> m_texts;
    QHash<QString, int> m_indexOf;
    qint64 m_newReferences = 0;
};

// How a cell is to look, derived from the format it has.
enum class CellLook
{
    Keep,
    Header,
    HeaderFirstColumn,
    HeaderSeventhColumn,
    Body,
    FixedPitch,
};

// How a cell shows its value, as far as fitting the columns needs to know it.
struct CellFormat
{
    QString numberFormat;
    QString fontName;
    double fontSize = 11;
    bool bold = false;
};

// The workbook's cell formats. New formats are derived from a cell's present one and added only when no
// identical format exists, so repeated exports reuse what earlier ones added.
class Styles
{
public:
    void load(pugi::xml_document document)
    {
        m_document.reset(document);
        m_ns = XmlNamespace::unify(m_document, MainNamespace, "", false);
        m_root = m_document.document_element();
        sortChildren(m_root, m_ns, StylesOrder);
        for (const char *name : { "fonts", "fills", "borders", "cellXfs" })
            orderedChild(m_root, m_ns, name, StylesOrder);
        m_fonts = collection("fonts", "font");
        m_fills = collection("fills", "fill");
        m_borders = collection("borders", "border");
        m_xfs = collection("cellXfs", "xf");
        if (m_fonts.nodes.empty())
            add(m_fonts, defaultFont());
        if (m_xfs.nodes.empty()) {
            pugi::xml_document xf;
            pugi::xml_node node = xf.append_child(m_ns.name("xf").c_str());
            for (const char *attribute : { "numFmtId", "fontId", "fillId", "borderId", "xfId" })
                node.append_attribute(attribute) = 0;
            add(m_xfs, node);
        }
        for (const pugi::xml_node &format : m_root.child(m_ns.name("numFmts").c_str()).children()) {
            m_formatCodes.insert(format.attribute("numFmtId").as_int(),
                QString::fromUtf8(format.attribute("formatCode").value()));
        }
    }

    void createDefault()
    {
        pugi::xml_document document;
        pugi::xml_node root = document.append_child("styleSheet");
        root.append_attribute("xmlns") = MainNamespace;
        pugi::xml_node fonts = root.append_child("fonts");
        pugi::xml_node font = fonts.append_child("font");
        font.append_child("sz").append_attribute("val") = 11;
        font.append_child("name").append_attribute("val") = "Calibri";
        font.append_child("family").append_attribute("val") = 2;
        pugi::xml_node fills = root.append_child("fills");
        fills.append_child("fill").append_child("patternFill").append_attribute("patternType") = "none";
        fills.append_child("fill").append_child("patternFill").append_attribute("patternType") = "gray125";
        root.append_child("borders").append_child("border");
        pugi::xml_node styleXf = root.append_child("cellStyleXfs").append_child("xf");
        pugi::xml_node xf = root.append_child("cellXfs").append_child("xf");
        for (const char *attribute : { "numFmtId", "fontId", "fillId", "borderId" }) {
            styleXf.append_attribute(attribute) = 0;
            xf.append_attribute(attribute) = 0;
        }
        xf.append_attribute("xfId") = 0;
        pugi::xml_node cellStyle = root.append_child("cellStyles").append_child("cellStyle");
        cellStyle.append_attribute("name") = "Normal";
        cellStyle.append_attribute("xfId") = 0;
        cellStyle.append_attribute("builtinId") = 0;
        load(std::move(document));
    }

    // The default font's name and size, which column widths are measured in.
    [[nodiscard]] QString defaultFontName() const
    {
        return QString::fromUtf8(
            m_fonts.nodes.front().child(m_ns.name("name").c_str()).attribute("val").value());
    }
    [[nodiscard]] double defaultFontSize() const
    {
        const double size = m_fonts.nodes.front().child(m_ns.name("sz").c_str()).attribute("val").as_double();
        return size > 0 && size < 410 ? size : 11;
    }

    // The number format and the font of a cell with the format.
    [[nodiscard]] const CellFormat &format(int xfIndex) const
    {
        if (const auto it = m_cellFormats.constFind(xfIndex); it != m_cellFormats.constEnd())
            return *it;
        const pugi::xml_node node = xf(xfIndex);
        const int id = node.attribute("numFmtId").as_int();
        CellFormat format;
        format.numberFormat
            = m_formatCodes.contains(id) ? m_formatCodes.value(id) : NumberFormat::builtInCode(id);
        const pugi::xml_node font = at(m_fonts, node.attribute("fontId").as_int());
        format.fontName = QString::fromUtf8(font.child(m_ns.name("name").c_str()).attribute("val").value());
        const double size = font.child(m_ns.name("sz").c_str()).attribute("val").as_double();
        format.fontSize = size > 0 && size < 410 ? size : defaultFontSize();
        const pugi::xml_node bold = font.child(m_ns.name("b").c_str());
        format.bold = bold && (!bold.attribute("val") || bold.attribute("val").as_bool());
        return *m_cellFormats.insert(xfIndex, format);
    }

    int numberFormat(const char *code)
    {
        if (std::strcmp(code, SerialFormat) == 0)
            return 1;
        const QString text = QString::fromLatin1(code);
        for (auto it = m_formatCodes.cbegin(); it != m_formatCodes.cend(); ++it) {
            if (it.value() == text)
                return it.key();
        }
        int id = FirstCustomFormat;
        while (m_formatCodes.contains(id))
            ++id;
        pugi::xml_node formats = orderedChild(m_root, m_ns, "numFmts", StylesOrder);
        pugi::xml_node format = formats.append_child(m_ns.name("numFmt").c_str());
        format.append_attribute("numFmtId") = id;
        format.append_attribute("formatCode") = code;
        m_formatCodes.insert(id, text);
        return id;
    }

    // The format of a cell that has xfIndex now, changed to look as asked and, when numberFormat is not
    // negative, to show that number format.
    int derive(int xfIndex, CellLook look, int numberFormat = -1)
    {
        const quint64 key = (static_cast<quint64>(xfIndex) << 24) | (static_cast<quint64>(look) << 16)
            | static_cast<quint16>(numberFormat + 1);
        if (const auto it = m_derived.constFind(key); it != m_derived.constEnd())
            return *it;

        pugi::xml_document scratch;
        pugi::xml_node node = scratch.append_copy(xf(xfIndex));
        if (numberFormat >= 0) {
            setAttribute(node, "numFmtId", QByteArray::number(numberFormat).constData());
            setAttribute(node, "applyNumberFormat", "1");
        }
        if (look != CellLook::Keep) {
            setAttribute(node, "fontId",
                QByteArray::number(derivedFont(node.attribute("fontId").as_int(), look)).constData());
            setAttribute(node, "applyFont", "1");
        }
        if (look == CellLook::Header || look == CellLook::HeaderFirstColumn
            || look == CellLook::HeaderSeventhColumn) {
            setAttribute(node, "fillId", QByteArray::number(solidBlackFill()).constData());
            setAttribute(node, "applyFill", "1");
        }
        if (look != CellLook::Keep && look != CellLook::FixedPitch) {
            setAttribute(node, "borderId",
                QByteArray::number(derivedBorder(node.attribute("borderId").as_int(), look)).constData());
            setAttribute(node, "applyBorder", "1");
            pugi::xml_node alignment = node.child(m_ns.name("alignment").c_str());
            if (!alignment)
                alignment = node.prepend_child(m_ns.name("alignment").c_str());
            setAttribute(alignment, "horizontal", "center");
            setAttribute(node, "applyAlignment", "1");
        }
        sortChildren(node, m_ns, XfOrder);
        const int index = add(m_xfs, node);
        m_derived.insert(key, index);
        return index;
    }

    [[nodiscard]] const pugi::xml_document &document()
    {
        for (Collection *collection : { &m_fonts, &m_fills, &m_borders, &m_xfs })
            setAttribute(collection->container, "count",
                QByteArray::number(static_cast<qint64>(collection->nodes.size())).constData());
        if (pugi::xml_node formats = m_root.child(m_ns.name("numFmts").c_str()))
            setAttribute(formats, "count",
                QByteArray::number(
                    static_cast<qint64>(std::distance(formats.children().begin(), formats.children().end())))
                    .constData());
        return m_document;
    }

private:
    struct Collection
    {
        pugi::xml_node container;
        std::string itemName;
        std::vector<pugi::xml_node> nodes;
        QHash<QByteArray, int> indexOf;
    };

    Collection collection(const char *containerName, const char *itemName)
    {
        Collection result;
        result.container = m_root.child(m_ns.name(containerName).c_str());
        result.itemName = m_ns.name(itemName);
        for (const pugi::xml_node &node : result.container.children(result.itemName.c_str())) {
            result.indexOf.insert(nodeKey(node), static_cast<int>(result.nodes.size()));
            result.nodes.push_back(node);
        }
        return result;
    }

    static pugi::xml_node at(const Collection &collection, int index)
    {
        return index >= 0 && index < static_cast<int>(collection.nodes.size()) ? collection.nodes.at(index)
                                                                               : collection.nodes.front();
    }

    [[nodiscard]] pugi::xml_node xf(int index) const { return at(m_xfs, index); }

    // The index of an item equal to node, appended when there is none.
    static int add(Collection &collection, const pugi::xml_node &node)
    {
        const QByteArray key = nodeKey(node);
        if (const auto it = collection.indexOf.constFind(key); it != collection.indexOf.constEnd())
            return *it;
        const int index = static_cast<int>(collection.nodes.size());
        collection.nodes.push_back(collection.container.append_copy(node));
        collection.indexOf.insert(key, index);
        return index;
    }

    pugi::xml_node defaultFont()
    {
        pugi::xml_node font = m_scratch.append_child(m_ns.name("font").c_str());
        font.append_child(m_ns.name("sz").c_str()).append_attribute("val") = 11;
        font.append_child(m_ns.name("name").c_str()).append_attribute("val") = "Calibri";
        return font;
    }

    void removeChildren(pugi::xml_node node, const char *name) const
    {
        while (pugi::xml_node child = node.child(m_ns.name(name).c_str()))
            node.remove_child(child);
    }

    int derivedFont(int fontIndex, CellLook look)
    {
        pugi::xml_document scratch;
        pugi::xml_node font = scratch.append_copy(at(m_fonts, fontIndex));
        removeChildren(font, "b");
        if (look == CellLook::FixedPitch) {
            removeChildren(font, "name");
            removeChildren(font, "family");
            removeChildren(font, "scheme");
            orderedChild(font, m_ns, "name", FontOrder).append_attribute("val") = "Courier New";
        } else if (look != CellLook::Body) {
            orderedChild(font, m_ns, "b", FontOrder);
            removeChildren(font, "color");
            orderedChild(font, m_ns, "color", FontOrder).append_attribute("rgb") = White;
        }
        sortChildren(font, m_ns, FontOrder);
        return add(m_fonts, font);
    }

    int solidBlackFill()
    {
        pugi::xml_document scratch;
        pugi::xml_node pattern
            = scratch.append_child(m_ns.name("fill").c_str()).append_child(m_ns.name("patternFill").c_str());
        pattern.append_attribute("patternType") = "solid";
        pattern.append_child(m_ns.name("fgColor").c_str()).append_attribute("rgb") = Black;
        pattern.append_child(m_ns.name("bgColor").c_str()).append_attribute("indexed") = 64;
        return add(m_fills, scratch.first_child());
    }

    void setEdge(pugi::xml_node border, const char *edge, const char *style, const char *colour)
    {
        pugi::xml_node node = orderedChild(border, m_ns, edge, BorderOrder);
        node.remove_children();
        setAttribute(node, "style", style);
        node.append_child(m_ns.name("color").c_str()).append_attribute("rgb") = colour;
    }

    int derivedBorder(int borderIndex, CellLook look)
    {
        pugi::xml_document scratch;
        pugi::xml_node border = scratch.append_copy(at(m_borders, borderIndex));
        if (look == CellLook::Body) {
            setEdge(border, "left", "hair", Black);
            setEdge(border, "right", "hair", Black);
            setEdge(border, "bottom", "hair", Black);
        } else {
            setEdge(border, "right", "thin", look == CellLook::HeaderSeventhColumn ? Black : White);
            if (look == CellLook::HeaderFirstColumn)
                setEdge(border, "left", "thin", Black);
            setEdge(border, "top", "thin", Black);
        }
        sortChildren(border, m_ns, BorderOrder);
        return add(m_borders, border);
    }

    pugi::xml_document m_document;
    pugi::xml_document m_scratch;
    pugi::xml_node m_root;
    XmlNamespace m_ns { pugi::xml_node(), MainNamespace };
    Collection m_fonts;
    Collection m_fills;
    Collection m_borders;
    Collection m_xfs;
    QHash<int, QString> m_formatCodes;
    QHash<quint64, int> m_derived;
    mutable QHash<int, CellFormat> m_cellFormats;
};

// What a cell holds, as far as the writer needs to know it.
struct CellContent
{
    enum class Kind
    {
        Empty,
        Number,
        Text,
    };
    Kind kind = Kind::Empty;
    double number = 0;
    QString text;
};

// The rows and cells of a worksheet's sheetData, addressed by row and column from 1.
class SheetGrid
{
public:
    // Reads the rows and cells. References are checked, never renumbered: one beyond a worksheet's
    // limits or out of order is refused with the reason. A row or cell without one is the next.
    [[nodiscard]] bool load(pugi::xml_node sheetData, const XmlNamespace &ns, QString *error)
    {
        m_sheetData = sheetData;
        m_ns = ns;
        m_rowName = ns.name("row");
        m_cellName = ns.name("c");
        const auto refuse = [error](const QString &reason) {
            if (error)
                *error = QStringLiteral("The workbook's first worksheet is damaged: %1.").arg(reason);
            return false;
        };
        qint64 rowNumber = 0;
        for (pugi::xml_node row : sheetData.children(m_rowName.c_str())) {
            const pugi::xml_attribute given = row.attribute("r");
            const std::optional<qint64> number = given ? parseRow(given.value()) : rowNumber + 1;
            if (!number || *number > XlsxWorkbook::MaxRows)
                return refuse(given ? QStringLiteral("row \"%1\" is not a row of a worksheet, which has %2")
                                          .arg(QString::fromUtf8(given.value()))
                                          .arg(XlsxWorkbook::MaxRows)
                                    : QStringLiteral("it has more than %1 rows").arg(XlsxWorkbook::MaxRows));
            if (*number <= rowNumber)
                return refuse(QStringLiteral("row %1 comes after row %2").arg(*number).arg(rowNumber));
            rowNumber = *number;
            setAttribute(row, "r", QByteArray::number(rowNumber).constData());
            row.remove_attribute("spans");
            Row &entry = m_rows.emplace_hint(m_rows.end(), static_cast<int>(rowNumber), Row {})->second;
            entry.node = row;
            qint64 column = 0;
            for (pugi::xml_node cell : row.children(m_cellName.c_str())) {
                const pugi::xml_attribute reference = cell.attribute("r");
                const auto place = reference ? parseReference(reference.value())
                                             : std::optional(std::make_pair(rowNumber, column + 1));
                if (!place || place->second > MaxColumns)
                    return refuse(QStringLiteral("cell \"%1\" is not a cell of a worksheet")
                                      .arg(reference ? QString::fromUtf8(reference.value())
                                                     : QStringLiteral("after column %1").arg(column)));
                if (place->first != rowNumber || place->second <= column)
                    return refuse(QStringLiteral("cell %1 is out of place in row %2")
                                      .arg(QString::fromUtf8(reference.value()))
                                      .arg(rowNumber));
                column = place->second;
                if (!reference)
                    cell.append_attribute("r")
                        = cellReference(static_cast<int>(rowNumber), static_cast<int>(column)).constData();
                entry.cells.emplace_hint(entry.cells.end(), static_cast<int>(column), cell);
            }
        }
        return true;
    }

    [[nodiscard]] pugi::xml_node cell(int row, int column) const
    {
        const auto rowIt = m_rows.find(row);
        if (rowIt == m_rows.end())
            return {};
        const auto cellIt = rowIt->second.cells.find(column);
        return cellIt == rowIt->second.cells.end() ? pugi::xml_node() : cellIt->second;
    }

    pugi::xml_node createCell(int row, int column)
    {
        Row &entry = rowEntry(row);
        const auto it = entry.cells.lower_bound(column);
        if (it != entry.cells.end() && it->first == column)
            return it->second;
        pugi::xml_node cell = it == entry.cells.end()
            ? entry.node.append_child(m_cellName.c_str())
            : entry.node.insert_child_before(m_cellName.c_str(), it->second);
        cell.append_attribute("r") = cellReference(row, column).constData();
        entry.cells.emplace_hint(it, column, cell);
        return cell;
    }

    [[nodiscard]] bool hasContent(const pugi::xml_node &cell) const
    {
        for (const pugi::xml_node &child : cell.children()) {
            const std::string_view name = m_ns.local(child);
            if (name == "v" || name == "f" || name == "is")
                return true;
        }
        return false;
    }

    // The last row with content in any column, 0 when there is none.
    [[nodiscard]] int lastUsedRow() const
    {
        for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it) {
            for (const auto &[column, cell] : it->second.cells)
                if (hasContent(cell))
                    return it->first;
        }
        return 0;
    }

    // How many cells of the row hold something.
    [[nodiscard]] int contentCells(int row) const
    {
        const auto it = m_rows.find(row);
        if (it == m_rows.end())
            return 0;
        return static_cast<int>(std::count_if(it->second.cells.begin(), it->second.cells.end(),
            [this](const auto &cell) { return hasContent(cell.second); }));
    }

    // The highest column with content in any row.
    [[nodiscard]] int usedColumnCount() const
    {
        int columns = 0;
        for (const auto &[number, row] : m_rows)
            for (auto it = row.cells.rbegin(); it != row.cells.rend(); ++it)
                if (hasContent(it->second)) {
                    columns = std::max(columns, it->first);
                    break;
                }
        return columns;
    }

    [[nodiscard]] int lastRow() const { return m_rows.empty() ? 0 : m_rows.rbegin()->first; }

    // Visits the cells of the columns up to lastColumn, row by row.
    template<typename Visit> void forEachCell(int lastColumn, Visit visit) const
    {
        for (const auto &[number, row] : m_rows)
            for (auto cell = row.cells.begin(); cell != row.cells.end() && cell->first <= lastColumn; ++cell)
                visit(number, cell->first, cell->second);
    }

    [[nodiscard]] std::pair<int, int> extent() const
    {
        int lastColumn = 0;
        for (const auto &[number, row] : m_rows)
            if (!row.cells.empty())
                lastColumn = std::max(lastColumn, row.cells.rbegin()->first);
        return { lastRow(), lastColumn };
    }

private:
    struct Row
    {
        pugi::xml_node node;
        std::map<int, pugi::xml_node> cells;
    };

    Row &rowEntry(int row)
    {
        const auto it = m_rows.lower_bound(row);
        if (it != m_rows.end() && it->first == row)
            return it->second;
        pugi::xml_node node = it == m_rows.end()
            ? m_sheetData.append_child(m_rowName.c_str())
            : m_sheetData.insert_child_before(m_rowName.c_str(), it->second.node);
        node.append_attribute("r") = row;
        return m_rows.emplace_hint(it, row, Row { node, {} })->second;
    }

    pugi::xml_node m_sheetData;
    XmlNamespace m_ns { pugi::xml_node(), MainNamespace };
    std::string m_rowName;
    std::string m_cellName;
    std::map<int, Row> m_rows;
};

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
    // What the parsed worksheet is estimated to take in memory.
    qint64 sheetMemory = 0;
    mutable QHash<QString, QHash<double, QString>> shownTexts;
    int currentRow = 1;

    bool fail(QString *error, const QString &reason)
    {
        if (error)
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
    [[nodiscard]] bool columnMissing(const QString &header, int usedColumns) const;
    void writeValue(pugi::xml_node cell, const QVariant &value);
    // Fits the columns to their cells' texts, as each cell's number format and font show them.
    void fitColumns(const std::vector<int> &fitted, bool widen);
    void setUpPage();
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
        return fail(error, QStringLiteral("The file is not an Excel workbook."));
    if (!package->readXmlPart(workbookPart, workbook, error))
        return false;
    const XmlNamespace workbookNs = XmlNamespace::unify(workbook, MainNamespace, "", false);
    const XmlNamespace relationshipNs = XmlNamespace::unify(workbook, RelationshipNamespace, "r", true);
    const pugi::xml_node root = workbook.document_element();
    this->workbookPart = workbookPart;
    date1904 = root.child(workbookNs.name("workbookPr").c_str()).attribute("date1904").as_bool();

    const pugi::xml_node firstSheet
        = root.child(workbookNs.name("sheets").c_str()).child(workbookNs.name("sheet").c_str());
    const QString sheetId
        = QString::fromUtf8(firstSheet.attribute(relationshipNs.name("id").c_str()).value());
    for (const OoxmlPackage::Relationship &relationship : package->relationships(workbookPart)) {
        if (relationship.id == sheetId && !relationship.external)
            sheetPart = relationship.target;
    }
    if (sheetId.isEmpty() || sheetPart.isEmpty() || !package->hasPart(sheetPart))
        return fail(error, QStringLiteral("The workbook has no worksheet."));
    if (package->contentType(sheetPart) != WorksheetContentType)
        return fail(
            error, QStringLiteral("The workbook's first sheet is not a worksheet (it may be a chart)."));
    const std::optional<QByteArray> sheetBytes = package->readPart(sheetPart, error);
    if (!sheetBytes)
        return false;
    // The parsed worksheet costs memory by its elements: one far beyond what a table needs is refused
    // before it is parsed.
    sheetMemory = sheetBytes->size() + sheetBytes->count('<') * BytesPerElement;
    if (sheetMemory > MaxWorksheetMemory)
        return fail(error,
            QStringLiteral(
                "The workbook's first worksheet is too large to append to: it would take about %1 MiB "
                "of memory, more than %2 MiB.")
                .arg(sheetMemory >> 20)
                .arg(MaxWorksheetMemory >> 20));
    if (!OoxmlPackage::parseXmlPart(*sheetBytes, sheetPart, sheet, error))
        return false;
    ns = XmlNamespace::unify(sheet, MainNamespace, "", false);
    if (!ns.isDeclared() || ns.local(sheet.document_element()) != "worksheet")
        return fail(error, QStringLiteral("The workbook's first worksheet is damaged."));
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
    if (value.kind != CellContent::Kind::Number)
        return value.text;
    // Exports repeat the same dates and numbers many times over: each is formatted once.
    const QString &code = styles.format(style(cell)).numberFormat;
    QString &text = shownTexts[code][value.number];
    if (text.isEmpty())
        text = NumberFormat::show(value.number, code, date1904);
    return text;
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

void XlsxWorkbook::Private::writeValue(pugi::xml_node cell, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        setNumber(cell, dateSerial(value.toDate()));
        break;
    case QMetaType::QTime:
        setNumber(cell, value.toTime().msecsSinceStartOfDay() / 86400000.0);
        break;
    case QMetaType::Double:
        setNumber(cell, value.toDouble());
        break;
    case QMetaType::QString:
        setText(cell, value.toString());
        break;
    default:
        cell.remove_children();
        cell.remove_attribute("t");
        break;
    }
}

bool XlsxWorkbook::Private::columnMissing(const QString &header, int usedColumns) const
{
    for (int column = 8; column <= usedColumns; ++column) {
        const CellContent value = content(grid.cell(1, column));
        if (value.kind == CellContent::Kind::Text && value.text.compare(header, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
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
    grid.forEachCell(lastColumn, [&](int, int column, const pugi::xml_node &cell) {
        if (!isFitted[column])
            return;
        const QString text = shownText(cell);
        if (text.isEmpty())
            return;
        const int xf = style(cell);
        QHash<QString, double> &ofFormat = measured[xf];
        auto known = ofFormat.constFind(text);
        if (known == ofFormat.constEnd()) {
            const CellFormat &format = styles.format(xf);
            known = ofFormat.insert(
                text, FontMetrics::textWidth(format.fontName, format.bold, text, format.fontSize));
        }
        widest[column] = std::max(widest[column], std::ceil(pixels(*known)) + 1);
    });
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
    setAttribute(pageSetup, "fitToWidth", "1");
    setAttribute(pageSetup, "fitToHeight", "1");
}

void XlsxWorkbook::Private::updateDimension()
{
    const auto [rows, columns] = grid.extent();
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
            QStringLiteral("The worksheet would need %1 rows, more than the %2 a worksheet can hold.")
                .arg(rows)
                .arg(MaxRows));
    // Every cell of the used rows and columns gets formatted: a worksheet whose used range is far larger
    // than any event table (a stray cell in a far corner) is refused rather than blown up in memory.
    // Every row of the table gets formatted, in the table's columns: what that adds is bounded too.
    const qint64 cells = rows * (std::max(d->grid.contentCells(1), FittedColumns) + 4);
    const qint64 memory = d->sheetMemory + cells * BytesPerElement;
    if (memory > MaxWorksheetMemory)
        return d->fail(error,
            QStringLiteral("The worksheet is too large to format: it would take about %1 MiB of memory, more "
                           "than %2 MiB.")
                .arg(memory >> 20)
                .arg(MaxWorksheetMemory >> 20));

    int columnCount = 0;
    std::vector<int> fitted;
    for (int column = 1; column <= FittedColumns; ++column)
        fitted.push_back(column);
    if (!d->appendMode) {
        for (const QString &header : table.headers())
            d->setText(d->grid.createCell(d->currentRow, ++columnCount), header);
    } else {
        columnCount = d->grid.usedColumnCount();
        const int usedColumns = columnCount;
        for (ReportColumn column : { ReportColumn::LifeRemaining, ReportColumn::SelfTests,
                 ReportColumn::CumulativeAlarmTime, ReportColumn::TotalEvents }) {
            const QString header = ReportTable::headerText(column);
            if (d->columnMissing(header, usedColumns) && table.isPresent(column)) {
                if (columnCount == MaxColumns)
                    return d->fail(error,
                        QStringLiteral(
                            "The worksheet has no column left for \"%1\": its last column is used.")
                            .arg(header));
                d->setText(d->grid.createCell(1, ++columnCount), header);
                if (columnCount > FittedColumns)
                    fitted.push_back(columnCount);
            }
        }
    }

    // The table's columns are those with a header in row 1: notes beside the table keep their format.
    std::vector<int> tableColumns;
    for (int column = 1; column <= columnCount; ++column)
        if (d->grid.hasContent(d->grid.cell(1, column)))
            tableColumns.push_back(column);
    for (int column : tableColumns) {
        const CellLook look = column == 1 ? CellLook::HeaderFirstColumn
            : column == 7                 ? CellLook::HeaderSeventhColumn
                                          : CellLook::Header;
        pugi::xml_node cell = d->grid.createCell(1, column);
        d->setStyle(cell, d->styles.derive(d->style(cell), look));
    }

    // Each column receives the values its row-1 header names, compared whole and without regard to case.
    std::vector<std::optional<ReportColumn>> columnFor(columnCount + 1);
    for (int column : tableColumns) {
        const CellContent header = d->content(d->grid.cell(1, column));
        if (header.kind == CellContent::Kind::Text)
            columnFor[column] = ReportTable::columnForHeader(header.text);
    }
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
            QStringLiteral("The worksheet would need %1 rows, more than the %2 a worksheet can hold.")
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
    if (d->appendMode)
        d->package->setXmlPart(d->workbookPart, d->workbook);
    d->package->setXmlPart(d->sheetPart, d->sheet, WorksheetContentType);
    d->package->setXmlPart(d->stylesPart, d->styles.document(), StylesContentType);
    d->package->setXmlPart(d->sharedStringsPart, d->strings.document(), SharedStringsContentType);
    return d->package->save(path, error);
}

bool XlsxWorkbook::destinationChanged() const
{
    return d->package && d->package->destinationChanged();
}

QString XlsxWorkbook::saveNote() const
{
    return d->package ? d->package->saveNote() : QString();
}
