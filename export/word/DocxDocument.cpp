#include "export/word/DocxDocument.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QHash>
#include <QSet>
#include <QUuid>

#include "common/SpaceTrim.h"
#include "export/office/TableFit.h"
#include "export/report/ReportTable.h"
#include "export/word/WordRowScan.h"

namespace {

const char *const MainNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char *const SettingsRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
const QString MainContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
const QString MacroEnabledContentType
    = QStringLiteral("application/vnd.ms-word.document.macroEnabled.main+xml");
const QString StylesContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
const QString SettingsContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
const char *const ThemeRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
const char *const DrawingNamespace = "http://schemas.openxmlformats.org/drawingml/2006/main";
const QString MainPartName = QStringLiteral("word/document.xml");
const QString StylesPartName = QStringLiteral("word/styles.xml");
const QString SettingsPartName = QStringLiteral("word/settings.xml");

// Lengths in twentieths of a point.
constexpr int TopPadding = 40;
constexpr int BottomPadding = 20;
constexpr int PageMargin = 720;
// Word's limits for the columns of a table and the width of a page.
constexpr int MaxColumns = 63;
constexpr int MaxPageWidth = 31680;
constexpr double CharacterSpacing = 1;

constexpr std::string_view TcPrOrder[] = { "cnfStyle", "tcW", "gridSpan", "hMerge", "vMerge", "tcBorders",
    "shd", "noWrap", "tcMar", "textDirection", "tcFitText", "vAlign", "hideMark", "headers", "cellIns",
    "cellDel", "cellMerge", "tcPrChange" };
constexpr std::string_view MarginOrder[] = { "top", "start", "left", "bottom", "end", "right" };
constexpr std::string_view PPrOrder[] = { "pStyle", "keepNext", "keepLines", "pageBreakBefore", "framePr",
    "widowControl", "numPr", "suppressLineNumbers", "pBdr", "shd", "tabs", "suppressAutoHyphens", "kinsoku",
    "wordWrap", "overflowPunct", "topLinePunct", "autoSpaceDE", "autoSpaceDN", "bidi", "adjustRightInd",
    "snapToGrid", "spacing", "ind", "contextualSpacing", "mirrorIndents", "suppressOverlap", "jc",
    "textDirection", "textAlignment", "textboxTightWrap", "outlineLvl", "divId", "cnfStyle", "rPr", "sectPr",
    "pPrChange" };
constexpr std::string_view TblPrOrder[] = { "tblStyle", "tblpPr", "tblOverlap", "bidiVisual",
    "tblStyleRowBandSize", "tblStyleColBandSize", "tblW", "jc", "tblCellSpacing", "tblInd", "tblBorders",
    "shd", "tblLayout", "tblCellMar", "tblLook", "tblCaption", "tblDescription", "tblPrChange" };
constexpr std::string_view TrPrOrder[]
    = { "cnfStyle", "divId", "gridBefore", "gridAfter", "wBefore", "wAfter", "cantSplit", "trHeight",
          "tblHeader", "tblCellSpacing", "jc", "hidden", "ins", "del", "trPrChange" };

// Properties that belong to one particular row or cell, or to a tracked change, and so are not copied
// with the formatting of the last row.
constexpr std::string_view RowOnly[]
    = { "gridBefore", "gridAfter", "wBefore", "wAfter", "tblHeader", "ins", "del", "trPrChange" };
constexpr std::string_view CellOnly[]
    = { "tcW", "gridSpan", "hMerge", "vMerge", "cellIns", "cellDel", "cellMerge", "tcPrChange" };
constexpr std::string_view ParagraphOnly[] = { "sectPr", "pPrChange" };
constexpr std::string_view RunOnly[] = { "ins", "del", "moveFrom", "moveTo", "rPrChange" };

constexpr ReportColumn OptionalColumns[] = { ReportColumn::LifeRemaining, ReportColumn::SelfTests,
    ReportColumn::CumulativeAlarmTime, ReportColumn::TotalEvents };

const char *const StylesXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Arial" w:eastAsia="Arial" w:hAnsi="Arial" w:cs="Arial"/><w:spacing w:val="20"/><w:sz w:val="16"/><w:szCs w:val="16"/><w:lang w:val="en-US" w:eastAsia="en-US" w:bidi="ar-SA"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults><w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style><w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont"><w:name w:val="Default Paragraph Font"/><w:uiPriority w:val="1"/><w:semiHidden/><w:unhideWhenUsed/></w:style><w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style><w:style w:type="numbering" w:default="1" w:styleId="NoList"><w:name w:val="No List"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/></w:style><w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/><w:uiPriority w:val="39"/><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr><w:tblPr><w:tblBorders><w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/></w:tblBorders></w:tblPr></w:style></w:styles>)";

const char *const SettingsXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:settings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:hideSpellingErrors/><w:hideGrammaticalErrors/><w:defaultTabStop w:val="720"/><w:characterSpacingControl w:val="doNotCompress"/><w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/></w:compat></w:settings>)";

const char *const DocumentXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body/></w:document>)";

// Element and attribute names in the prefix the document gives the WordprocessingML namespace.
class WordNames
{
public:
    explicit WordNames(std::string prefix)
        : m_prefix(std::move(prefix))
    {
    }

    const char *operator()(std::string_view local) const
    {
        auto found = m_names.find(local);
        if (found == m_names.end())
            found = m_names.emplace(std::string(local), m_prefix + std::string(local)).first;
        return found->second.c_str();
    }

    // The local name of an element of this namespace, or empty for any other node.
    [[nodiscard]] std::string_view local(const pugi::xml_node &node) const
    {
        return node.type() == pugi::node_element ? localNameUnder(node.name(), m_prefix) : std::string_view();
    }

    [[nodiscard]] bool is(const pugi::xml_node &node, std::string_view name) const
    {
        return local(node) == name;
    }

private:
    std::string m_prefix;
    mutable std::map<std::string, std::string, std::less<>> m_names;
};

enum class Walk
{
    Descend,
    Skip,
    Stop,
};

// Visits the nodes below root in document order without recursion, so deep nesting in a hostile file
// cannot exhaust the stack.
template<typename Visit> void walk(const pugi::xml_node &root, Visit visit)
{
    pugi::xml_node node = root.first_child();
    while (node) {
        const Walk next = visit(node);
        if (next == Walk::Stop)
            return;
        if (next == Walk::Descend && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            return;
        node = node.next_sibling();
    }
}

bool isContainer(const WordNames &w, const pugi::xml_node &node)
{
    const std::string_view local = w.local(node);
    return local == "sdt" || local == "sdtContent" || local == "customXml";
}

// The children of kind local, also those wrapped in content controls and custom XML.
std::vector<pugi::xml_node> childrenOf(
    const WordNames &w, const pugi::xml_node &parent, std::string_view local)
{
    std::vector<pugi::xml_node> found;
    walk(parent, [&](const pugi::xml_node &node) {
        if (w.is(node, local)) {
            found.push_back(node);
            return Walk::Skip;
        }
        return isContainer(w, node) ? Walk::Descend : Walk::Skip;
    });
    return found;
}

int intAttribute(const WordNames &w, const pugi::xml_node &node, const char *name = "val")
{
    return node.attribute(w(name)).as_int(0);
}

void setAttribute(const WordNames &w, pugi::xml_node node, std::string_view name, const char *value)
{
    const char *qualified = w(name);
    pugi::xml_attribute attribute = node.attribute(qualified);
    if (!attribute)
        attribute = node.append_attribute(qualified);
    attribute.set_value(value);
}

void setAttribute(const WordNames &w, pugi::xml_node node, std::string_view name, int value)
{
    setAttribute(w, node, name, std::to_string(value).c_str());
}

// The child of that name, added where the schema's order puts it when it is missing.
pugi::xml_node ensureChild(const WordNames &w, pugi::xml_node parent, std::string_view local,
    std::span<const std::string_view> order)
{
    if (pugi::xml_node existing = parent.child(w(local)))
        return existing;
    const auto rank = [&](std::string_view name) { return std::find(order.begin(), order.end(), name); };
    const auto own = rank(local);
    for (pugi::xml_node child : parent.children()) {
        const auto position = rank(w.local(child));
        if (position != order.end() && position > own)
            return parent.insert_child_before(w(local), child);
    }
    return parent.append_child(w(local));
}

void removeChildren(const WordNames &w, pugi::xml_node parent, std::span<const std::string_view> locals)
{
    for (pugi::xml_node child = parent.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (std::find(locals.begin(), locals.end(), w.local(child)) != locals.end())
            parent.remove_child(child);
        child = next;
    }
}

void setWidth(const WordNames &w, pugi::xml_node node, int twips, const char *type = "dxa")
{
    setAttribute(w, node, "w", twips);
    setAttribute(w, node, "type", type);
}

void setCellPaddings(const WordNames &w, pugi::xml_node tcPr)
{
    const pugi::xml_node margins = ensureChild(w, tcPr, "tcMar", TcPrOrder);
    setWidth(w, ensureChild(w, margins, "top", MarginOrder), TopPadding);
    setWidth(w, ensureChild(w, margins, "bottom", MarginOrder), BottomPadding);
}

void setCentred(const WordNames &w, pugi::xml_node pPr)
{
    setAttribute(w, ensureChild(w, pPr, "jc", PPrOrder), "val", "center");
}

// The text as XML 1.0 can carry it: control characters other than tab, unpaired surrogates and the
// non-characters U+FFFE and U+FFFF are dropped.
std::string xmlText(const QString &text)
{
    const auto allowed
        = [](char16_t c) { return (c >= 0x20 && c < 0xD800) || c == u'\t' || (c > 0xDFFF && c < 0xFFFE); };
    if (std::all_of(text.cbegin(), text.cend(), [&](QChar c) { return allowed(c.unicode()); }))
        return text.toStdString();
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (allowed(c.unicode())) {
            kept.append(c);
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept.append(c);
            kept.append(text.at(++i));
        }
    }
    return kept.toStdString();
}

// Whether the word processors would drop or merge some of the text's spaces unless told to keep them.
bool needsPreserving(const QString &text)
{
    return !text.isEmpty()
        && (text.front().isSpace() || text.back().isSpace() || text.contains(QLatin1String("  "))
            || text.contains(u'\t'));
}

void appendText(const WordNames &w, pugi::xml_node run, const QString &text)
{
    pugi::xml_node t = run.append_child(w("t"));
    if (needsPreserving(text))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(xmlText(text).c_str());
}

// A cell's text as Word reads it back: its paragraphs each ended by a carriage return, the last one by
// the end-of-cell mark as well.
QString cellText(const WordNames &w, const pugi::xml_node &cell)
{
    QString text;
    for (const pugi::xml_node &paragraph : childrenOf(w, cell, "p")) {
        walk(paragraph, [&](const pugi::xml_node &node) {
            const std::string_view local = w.local(node);
            if (local == "t") {
                text += QString::fromUtf8(node.text().get());
                return Walk::Skip;
            }
            if (local == "tab")
                text += u'\t';
            else if (local == "br" || local == "cr")
                text += u'\v';
            const bool hidden = local == "drawing" || local == "pict" || local == "object" || local == "del"
                || local == "moveFrom" || local == "pPr" || local == "rPr";
            return hidden ? Walk::Skip : Walk::Descend;
        });
        text += u'\r';
    }
    return text + u'\a';
}

// Carriage returns and end-of-cell marks removed, leading and trailing spaces trimmed.
QString normalisedHeader(QString text)
{
    return trimSpaces(text.remove(u'\r').remove(u'\a'));
}

struct CellLayout
{
    pugi::xml_node cell;
    int start = 0;
    int span = 1;
};

struct RowLayout
{
    pugi::xml_node row;
    std::vector<CellLayout> cells;
    int before = 0;
    int after = 0;
    // The grid columns the row's cells and its gridBefore cover.
    int covered = 0;
};

// Where each cell of each row stands on the table's grid. Empty, with the reason, when a row reaches
// beyond the grid.
std::optional<std::vector<RowLayout>> layoutRows(
    const WordNames &w, const pugi::xml_node &table, int gridCount, QString *error)
{
    std::vector<RowLayout> rows;
    for (const pugi::xml_node &row : childrenOf(w, table, "tr")) {
        RowLayout layout { row, {}, 0, 0, 0 };
        const pugi::xml_node trPr = row.child(w("trPr"));
        layout.before = std::max(0, intAttribute(w, trPr.child(w("gridBefore"))));
        layout.after = std::max(0, intAttribute(w, trPr.child(w("gridAfter"))));
        qint64 position = layout.before;
        for (const pugi::xml_node &cell : childrenOf(w, row, "tc")) {
            const int span = std::max(1, intAttribute(w, cell.child(w("tcPr")).child(w("gridSpan"))));
            layout.cells.push_back({ cell, static_cast<int>(std::min<qint64>(position, gridCount)), span });
            position += span;
            if (position > gridCount)
                break;
        }
        if (position + layout.after > gridCount) {
            if (error)
                *error = QStringLiteral("A row of the document's first table reaches beyond its columns.");
            return std::nullopt;
        }
        layout.covered = static_cast<int>(position);
        rows.push_back(std::move(layout));
    }
    return rows;
}

// The patterns the new rows are built from: the properties of the row and of each of its cells.
struct CellPattern
{
    pugi::xml_node tcPr;
    pugi::xml_node pPr;
    pugi::xml_node rPr;
    std::optional<ReportColumn> column;
    // The grid columns the cell covers.
    int start = 0;
    int span = 1;
};

struct RowPattern
{
    pugi::xml_node tblPrEx;
    pugi::xml_node trPr;
    std::vector<CellPattern> cells;
};

struct StringWriter final : pugi::xml_writer
{
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
    }
};

QByteArray nodeXml(const pugi::xml_node &node)
{
    StringWriter writer;
    if (node)
        node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

QByteArray tag(const WordNames &w, std::string_view local, bool closing = false)
{
    return QByteArray(closing ? "</" : "<") + w(local) + '>';
}

// The texts of the new rows, each formatted once however often it is measured and written.
class ReportTexts
{
public:
    explicit ReportTexts(const ReportTable &report)
        : m_rowCount(report.rowCount())
    {
        for (std::size_t column = 0; column < m_texts.size(); ++column) {
            m_texts[column].reserve(static_cast<std::size_t>(m_rowCount));
            for (int row = 0; row < m_rowCount; ++row)
                m_texts[column].push_back(report.text(row, static_cast<ReportColumn>(column)));
        }
    }

    [[nodiscard]] const std::vector<QString> &of(ReportColumn column) const
    {
        return m_texts[static_cast<std::size_t>(column)];
    }

    // The widths the column's texts need, each distinct text measured once.
    [[nodiscard]] TableFit::TextWidths widths(ReportColumn column, const TableFit::CellFont &font) const
    {
        TableFit::TextWidths widths;
        QSet<QString> measured;
        for (const QString &text : of(column))
            if (!measured.contains(text)) {
                measured.insert(text);
                widths.include(TableFit::measure(font, text, false));
            }
        return widths;
    }

    [[nodiscard]] int rowCount() const { return m_rowCount; }

private:
    int m_rowCount;
    std::array<std::vector<QString>, static_cast<std::size_t>(ReportColumn::TotalEvents) + 1> m_texts;
};

// Appends the text as the content of a text element: sanitised and escaped.
void appendEscaped(QByteArray &out, const QString &text)
{
    for (const char c : xmlText(text)) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        default:
            out.append(c);
        }
    }
}

// The order in which the data of text columns wraps when a table is too wide for its page.
int wrapRank(std::optional<ReportColumn> column)
{
    switch (column.value_or(ReportColumn::DownloadOn)) {
    case ReportColumn::User:
        return 0;
    case ReportColumn::TimeSinceAlarm:
    case ReportColumn::DurationOfAlarm:
    case ReportColumn::CumulativeAlarmTime:
        return 1;
    case ReportColumn::LifeRemaining:
        return 2;
    default:
        return TableFit::NeverWraps;
    }
}

// A plain data cell: centred, with the paddings.
CellPattern plainCell(const WordNames &w, pugi::xml_node patterns, std::optional<ReportColumn> column)
{
    CellPattern cell;
    cell.tcPr = patterns.append_child(w("tcPr"));
    setCellPaddings(w, cell.tcPr);
    cell.pPr = patterns.append_child(w("pPr"));
    setCentred(w, cell.pPr);
    cell.column = column;
    return cell;
}

// A data cell formatted as the cell of the last row that stands in the same place.
CellPattern copiedCell(const WordNames &w, pugi::xml_node patterns, const pugi::xml_node &source,
    std::optional<ReportColumn> column)
{
    CellPattern cell;
    const pugi::xml_node sourceTcPr = source.child(w("tcPr"));
    cell.tcPr = sourceTcPr ? patterns.append_copy(sourceTcPr) : patterns.append_child(w("tcPr"));
    removeChildren(w, cell.tcPr, CellOnly);
    setCellPaddings(w, cell.tcPr);

    const std::vector<pugi::xml_node> paragraphs = childrenOf(w, source, "p");
    const pugi::xml_node paragraph = paragraphs.empty() ? pugi::xml_node() : paragraphs.front();
    const pugi::xml_node sourcePPr = paragraph.child(w("pPr"));
    cell.pPr = sourcePPr ? patterns.append_copy(sourcePPr) : patterns.append_child(w("pPr"));
    removeChildren(w, cell.pPr, ParagraphOnly);
    setCentred(w, cell.pPr);

    pugi::xml_node sourceRPr = paragraph.find_child(
        [&](const pugi::xml_node &node) { return w.is(node, "r") && node.child(w("rPr")); });
    sourceRPr = sourceRPr ? sourceRPr.child(w("rPr")) : sourcePPr.child(w("rPr"));
    if (sourceRPr) {
        cell.rPr = patterns.append_copy(sourceRPr);
        removeChildren(w, cell.rPr, RunOnly);
    }
    cell.column = column;
    return cell;
}

// What run properties say of the font; unset where they leave it to the styles below them.
struct FontSettings
{
    std::optional<QString> family;
    std::optional<double> size;
    std::optional<double> spacing;

    void fill(const FontSettings &lower)
    {
        family = family ? family : lower.family;
        size = size ? size : lower.size;
        spacing = spacing ? spacing : lower.spacing;
    }
};

// The document's styles and theme fonts, as far as the font of the table's text depends on them.
class StyleSheet
{
public:
    StyleSheet(const OoxmlPackage &package, const QString &mainPart)
    {
        const auto read = [&](const char *type, pugi::xml_document &document) {
            const std::optional<OoxmlPackage::Relationship> relationship
                = package.findRelationship(mainPart, QString::fromLatin1(type));
            return relationship && package.hasPart(relationship->target)
                && package.readXmlPart(relationship->target, document, nullptr);
        };
        pugi::xml_document theme;
        if (read(ThemeRelationship, theme)) {
            const XmlNamespace a = XmlNamespace::unify(theme, DrawingNamespace, "a", false);
            const pugi::xml_node scheme = theme.document_element()
                                              .child(a.name("themeElements").c_str())
                                              .child(a.name("fontScheme").c_str());
            m_minorFont = QString::fromUtf8(scheme.child(a.name("minorFont").c_str())
                                                .child(a.name("latin").c_str())
                                                .attribute("typeface")
                                                .value());
            m_majorFont = QString::fromUtf8(scheme.child(a.name("majorFont").c_str())
                                                .child(a.name("latin").c_str())
                                                .attribute("typeface")
                                                .value());
        }
        if (!read(OoxmlPackage::StylesRelationship, m_styles))
            return;
        const XmlNamespace ns = XmlNamespace::unify(m_styles, MainNamespace, "w", true);
        m_w = std::make_unique<WordNames>(ns.prefix());
        const WordNames &w = *m_w;
        const pugi::xml_node root = m_styles.document_element();
        m_defaults = runFont(w, root.child(w("docDefaults")).child(w("rPrDefault")).child(w("rPr")));
        for (const pugi::xml_node &style : root.children(w("style"))) {
            const QString id = QString::fromUtf8(style.attribute(w("styleId")).value());
            m_byId.insert(id, style);
            if (std::string_view(style.attribute(w("type")).value()) == "paragraph"
                && style.attribute(w("default")).as_bool())
                m_defaultParagraphStyle = id;
        }
    }

    // The font of a run with these properties in a paragraph of that style, in a table of that style.
    [[nodiscard]] TableFit::CellFont resolve(
        FontSettings run, const QString &paragraphStyle, const QString &tableStyle) const
    {
        if (!paragraphStyle.isEmpty())
            run.fill(styleFont(paragraphStyle));
        run.fill(styleFont(tableStyle));
        run.fill(styleFont(m_defaultParagraphStyle));
        run.fill(m_defaults);
        // What Word assumes where nothing says otherwise.
        return { run.family.value_or(QStringLiteral("Times New Roman")), run.size.value_or(10),
            run.spacing.value_or(0) };
    }

    [[nodiscard]] FontSettings runFont(const WordNames &w, const pugi::xml_node &rPr) const
    {
        FontSettings font;
        if (!rPr)
            return font;
        const pugi::xml_node fonts = rPr.child(w("rFonts"));
        const QString family = QString::fromUtf8(fonts.attribute(w("ascii")).value());
        const QString theme = QString::fromUtf8(fonts.attribute(w("asciiTheme")).value());
        const QString themeFont = theme.startsWith(QLatin1String("major")) ? m_majorFont : m_minorFont;
        if (!family.isEmpty())
            font.family = family;
        else if (!theme.isEmpty() && !themeFont.isEmpty())
            font.family = themeFont;
        if (const int halfPoints = intAttribute(w, rPr.child(w("sz"))); halfPoints > 0)
            font.size = halfPoints / 2.0;
        if (const pugi::xml_node spacing = rPr.child(w("spacing")))
            font.spacing = intAttribute(w, spacing) / 20.0;
        return font;
    }

private:
    // The font a style gives, with what the styles it is based on give.
    FontSettings styleFont(const QString &id) const
    {
        FontSettings font;
        QString next = id;
        // A chain of styles based on each other ends, even where a damaged file makes it a loop.
        for (int depth = 0; depth < 16 && m_w && !next.isEmpty(); ++depth) {
            const auto it = m_byId.constFind(next);
            if (it == m_byId.constEnd())
                break;
            const WordNames &w = *m_w;
            font.fill(runFont(w, it->child(w("rPr"))));
            next = QString::fromUtf8(it->child(w("basedOn")).attribute(w("val")).value());
        }
        return font;
    }

    pugi::xml_document m_styles;
    std::unique_ptr<WordNames> m_w;
    QHash<QString, pugi::xml_node> m_byId;
    QString m_defaultParagraphStyle;
    FontSettings m_defaults;
    QString m_minorFont;
    QString m_majorFont;
};

// Run properties name each property once; a copy drops the repeats some files carry.
void removeRepeatedProperties(pugi::xml_node rPr)
{
    for (pugi::xml_node child = rPr.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        for (pugi::xml_node earlier = child.previous_sibling(); earlier; earlier = earlier.previous_sibling())
            if (std::string_view(earlier.name()) == child.name()) {
                rPr.remove_child(child);
                break;
            }
        child = next;
    }
}

// A copy of a cell pattern for another column.
CellPattern copiedPattern(const WordNames &w, pugi::xml_node patterns, const CellPattern &source,
    std::optional<ReportColumn> column)
{
    CellPattern cell;
    cell.tcPr = patterns.append_copy(source.tcPr);
    removeChildren(w, cell.tcPr, CellOnly);
    cell.pPr = patterns.append_copy(source.pPr);
    if (source.rPr)
        cell.rPr = patterns.append_copy(source.rPr);
    cell.column = column;
    return cell;
}

// A new cell at the end of the row, formatted as neighbour: its cell, paragraph and run properties.
pugi::xml_node appendCellLike(
    const WordNames &w, pugi::xml_node row, const pugi::xml_node &neighbour, const QString &text)
{
    pugi::xml_node cell = row.append_child(w("tc"));
    const pugi::xml_node sourceTcPr = neighbour.child(w("tcPr"));
    pugi::xml_node tcPr = sourceTcPr ? cell.append_copy(sourceTcPr) : cell.append_child(w("tcPr"));
    removeChildren(w, tcPr, CellOnly);
    pugi::xml_node paragraph = cell.append_child(w("p"));
    const std::vector<pugi::xml_node> paragraphs = childrenOf(w, neighbour, "p");
    const pugi::xml_node source = paragraphs.empty() ? pugi::xml_node() : paragraphs.front();
    if (const pugi::xml_node pPr = source.child(w("pPr"))) {
        const pugi::xml_node copy = paragraph.append_copy(pPr);
        removeChildren(w, copy, ParagraphOnly);
        removeRepeatedProperties(copy.child(w("rPr")));
    }
    if (text.isEmpty())
        return cell;
    pugi::xml_node run = paragraph.append_child(w("r"));
    const pugi::xml_node sourceRun = source.find_child(
        [&](const pugi::xml_node &node) { return w.is(node, "r") && node.child(w("rPr")); });
    const pugi::xml_node rPr = sourceRun ? sourceRun.child(w("rPr")) : source.child(w("pPr")).child(w("rPr"));
    if (rPr) {
        const pugi::xml_node copy = run.append_copy(rPr);
        removeChildren(w, copy, RunOnly);
        removeRepeatedProperties(copy);
    }
    appendText(w, run, text);
    return cell;
}

// The first table of the main text in document order, also inside content controls, and the section
// properties that govern it.
struct TablePlace
{
    pugi::xml_node table;
    pugi::xml_node section;
};

TablePlace findFirstTable(const WordNames &w, const pugi::xml_node &body)
{
    TablePlace place;
    walk(body, [&](const pugi::xml_node &node) {
        const std::string_view local = w.local(node);
        if (!place.table) {
            if (local == "tbl") {
                place.table = node;
                return Walk::Skip;
            }
            return local == "p" || local == "sectPr" ? Walk::Skip : Walk::Descend;
        }
        if (local == "sectPr" || (local == "p" && node.child(w("pPr")).child(w("sectPr")))) {
            place.section = local == "p" ? node.child(w("pPr")).child(w("sectPr")) : node;
            return Walk::Stop;
        }
        return local == "p" || local == "tbl" ? Walk::Skip : Walk::Descend;
    });
    return place;
}

// The width between the page margins of a section, or 0 when the section does not say.
int textAreaTwips(const WordNames &w, const pugi::xml_node &section)
{
    const pugi::xml_node size = section.child(w("pgSz"));
    const pugi::xml_node margins = section.child(w("pgMar"));
    const qint64 page = intAttribute(w, size, "w");
    const qint64 width = page - intAttribute(w, margins, "left") - intAttribute(w, margins, "right")
        - intAttribute(w, margins, "gutter");
    return page > 0 && width > 0 ? static_cast<int>(std::min<qint64>(width, MaxPageWidth)) : 0;
}

// Stretches or narrows the grid in proportion to fill width.
void scaleGrid(std::vector<int> &grid, int width)
{
    qint64 total = 0;
    for (int column : grid)
        total += std::max(column, 0);
    qint64 placed = 0;
    qint64 sum = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        sum += total > 0 ? std::max(grid[i], 0) : 1;
        const qint64 edge = sum * width / (total > 0 ? total : static_cast<qint64>(grid.size()));
        grid[i] = static_cast<int>(edge - placed);
        placed = edge;
    }
}

} // namespace

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
        if (error)
            *error = QStringLiteral("The file is not a Word document.");
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
        if (error)
            *error = QStringLiteral("The main part of the document is not a WordprocessingML document.");
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

bool DocxDocument::writeTable(const ReportTable &report, QString *error)
{
    const WordNames w(m_prefix);
    pugi::xml_node body = m_document.document_element().child(w("body"));
    pugi::xml_document scratch;
    pugi::xml_node patterns = scratch.append_child("patterns");
    ReportTexts texts(report);

    if (!m_opened) {
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

    const TablePlace place = findFirstTable(w, body);
    if (!place.table) {
        if (error)
            *error = QStringLiteral("The document holds no table to append the report to.");
        return false;
    }
    pugi::xml_node table = place.table;
    if (m_keptRows && !m_keptRows->standIn(table))
        return loadWholePart(error) && writeTable(report, error);
    pugi::xml_node grid = table.child(w("tblGrid"));
    std::vector<int> gridWidths;
    for (const pugi::xml_node &column : grid.children(w("gridCol")))
        gridWidths.push_back(std::clamp(intAttribute(w, column, "w"), 0, MaxPageWidth));
    const int gridCount = static_cast<int>(gridWidths.size());
    if (gridCount == 0) {
        if (error)
            *error = QStringLiteral("The document's first table has no column grid (w:tblGrid), which says "
                                    "how wide its columns are; open the document in Word or LibreOffice, "
                                    "save it again and try once more.");
        return false;
    }
    if (gridCount > MaxColumns) {
        if (error)
            *error = QStringLiteral("The document's first table has more columns than Word allows.");
        return false;
    }
    std::optional<std::vector<RowLayout>> rows = layoutRows(w, table, gridCount, error);
    if (!rows)
        return false;
    if (rows->empty()) {
        if (error)
            *error = QStringLiteral("The document's first table has no rows.");
        return false;
    }
    const RowLayout headerRow = rows->front();
    if (headerRow.before != 0 || headerRow.after != 0 || headerRow.covered != gridCount) {
        if (error)
            *error = QStringLiteral(
                "The header row of the document's first table does not span all its columns.");
        return false;
    }

    struct Header
    {
        CellLayout layout;
        QString text;
    };
    std::vector<Header> headers;
    std::vector<const Header *> headerOfColumn(static_cast<std::size_t>(gridCount));
    headers.reserve(headerRow.cells.size());
    for (const CellLayout &cell : headerRow.cells) {
        headers.push_back({ cell, cellText(w, cell.cell) });
        for (int c = cell.start; c < cell.start + cell.span; ++c)
            headerOfColumn[static_cast<std::size_t>(c)] = &headers.back();
    }
    const auto columnMissing = [&](const QString &header) {
        for (int c = 7; c < gridCount; ++c) {
            if (headerOfColumn[static_cast<std::size_t>(c)]->text.left(4).compare(
                    header.left(4), Qt::CaseInsensitive)
                == 0)
                return false;
        }
        return true;
    };
    std::vector<ReportColumn> added;
    for (ReportColumn column : OptionalColumns) {
        if (columnMissing(ReportTable::headerText(column)) && report.isPresent(column))
            added.push_back(column);
    }
    // Kept rows take new widths, nothing more: added columns, or a row wider than the grid (refused with
    // its reason), need every row as nodes.
    if (m_keptRows
        && (!added.empty()
            || std::any_of(m_keptRows->rows.rows.begin(), m_keptRows->rows.rows.end(),
                [&](const std::vector<WordRowScan::Cell> &row) { return std::ssize(row) > gridCount; })))
        return loadWholePart(error) && writeTable(report, error);

    // The new rows: formatted as the last row, unless that is the header row.
    const RowLayout &lastRow = rows->back();
    const bool belowHeader = rows->size() == 1;
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

    // Added columns: their header text, and an empty cell in every old row, each formatted as its left
    // neighbour.
    for (ReportColumn column : added) {
        const QString headerText = ReportTable::headerText(column);
        gridWidths.push_back(
            std::max(texts.widths(column, font).full, TableFit::measure(font, headerText, true).full)
            + 2 * TableFit::CellMargins);
        setAttribute(w, grid.append_child(w("gridCol")), "w", gridWidths.back());
        const int start = static_cast<int>(gridWidths.size()) - 1;
        RowLayout &header = rows->front();
        header.cells.push_back(
            { appendCellLike(w, header.row, header.cells.back().cell, headerText), start, 1 });
        pattern.cells.push_back(belowHeader ? plainCell(w, patterns, column)
                                            : copiedPattern(w, patterns, pattern.cells.back(), column));
        pattern.cells.back().start = start;
        pattern.cells.back().span = 1;
    }
    const int addedCount = static_cast<int>(added.size());
    for (std::size_t r = 1; addedCount > 0 && r < rows->size(); ++r) {
        RowLayout &row = (*rows)[r];
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
    // Fitted to the window: the full width between the margins, shared out by the columns' contents.
    pugi::xml_node tblPr = table.child(w("tblPr"));
    if (!tblPr)
        tblPr = table.prepend_child(w("tblPr"));
    setWidth(w, ensureChild(w, tblPr, "tblW", TblPrOrder), 5000, "pct");
    bool breaksWords = false;
    if (const int available = textAreaTwips(w, place.section); available > 0) {
        std::vector<TableFit::ColumnNeeds> needs(gridWidths.size());
        for (const Header &header : headers) {
            if (header.layout.span == 1) {
                const QString text = normalisedHeader(header.text);
                TableFit::ColumnNeeds &column = needs[static_cast<std::size_t>(header.layout.start)];
                column.header = TableFit::measure(font, text, true);
                column.wrapRank = wrapRank(ReportTable::columnForHeader(text));
            }
        }
        for (std::size_t i = 0; i < added.size(); ++i)
            needs[static_cast<std::size_t>(gridCount) + i]
                = { TableFit::measure(font, ReportTable::headerText(added[i]), true), {},
                      wrapRank(added[i]) };
        std::vector<QSet<QString>> measured(gridWidths.size());
        for (std::size_t r = 1; r < rows->size(); ++r) {
            for (const CellLayout &cell : (*rows)[r].cells) {
                if (cell.span != 1)
                    continue;
                const auto c = static_cast<std::size_t>(cell.start);
                for (const QString &line : cellText(w, cell.cell).remove(u'\a').split(u'\r')) {
                    if (!measured[c].contains(line)) {
                        measured[c].insert(line);
                        needs[c].data.include(TableFit::measure(font, line, false));
                    }
                }
            }
        }
        for (const std::vector<WordRowScan::Cell> &row :
            m_keptRows ? m_keptRows->rows.rows : std::vector<std::vector<WordRowScan::Cell>>()) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                for (const QString &line : QString(row[c].text).remove(u'\a').split(u'\r')) {
                    if (!measured[c].contains(line)) {
                        measured[c].insert(line);
                        needs[c].data.include(TableFit::measure(font, line, false));
                    }
                }
            }
        }
        for (const CellPattern &cell : pattern.cells) {
            if (cell.column && cell.span == 1)
                needs[static_cast<std::size_t>(cell.start)].data.include(texts.widths(*cell.column, font));
        }
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
    std::size_t index = 0;
    for (pugi::xml_node column : grid.children(w("gridCol")))
        setAttribute(w, column, "w", gridWidths[index++]);
    for (const RowLayout &row : *rows) {
        for (const CellLayout &cell : row.cells) {
            int width = 0;
            for (int c = cell.start; c < cell.start + cell.span; ++c)
                width += gridWidths[static_cast<std::size_t>(c)];
            pugi::xml_node tc = cell.cell;
            pugi::xml_node tcPr = tc.child(w("tcPr"));
            if (!tcPr)
                tcPr = tc.prepend_child(w("tcPr"));
            setWidth(w, ensureChild(w, tcPr, "tcW", TcPrOrder), width);
        }
    }
    if (m_keptRows)
        m_keptRows->widths = gridWidths;

    // The new rows below the last one.
    for (CellPattern &cell : pattern.cells) {
        int width = 0;
        for (int c = cell.start; c < cell.start + cell.span; ++c)
            width += gridWidths[static_cast<std::size_t>(c)];
        setWidth(w, ensureChild(w, cell.tcPr, "tcW", TcPrOrder), width);
    }
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
        if (error)
            *error = QStringLiteral("The table's rows could not be placed.");
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

QString DocxDocument::saveNote() const
{
    return m_package.saveNote();
}
