#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QSet>
#include <QString>

#include <pugixml.hpp>

#include "common/SpaceTrim.h"
#include "documents/ooxml/XmlNamespace.h"
#include "documents/table/TableFit.h"
#include "report/ReportTable.h"

namespace Word {

// The WordprocessingML names and limits, the helpers every part of the writer uses, and the patterns new
// cells are made from.

inline const char *const MainNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline const char *const SettingsRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
inline const QString MainContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
inline const QString MacroEnabledContentType
    = QStringLiteral("application/vnd.ms-word.document.macroEnabled.main+xml");
inline const QString StylesContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
inline const QString SettingsContentType
    = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
inline const char *const ThemeRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
inline const char *const DrawingNamespace = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline const QString MainPartName = QStringLiteral("word/document.xml");
inline const QString StylesPartName = QStringLiteral("word/styles.xml");
inline const QString SettingsPartName = QStringLiteral("word/settings.xml");

// Lengths in twentieths of a point.
inline constexpr int TopPadding = 40;
inline constexpr int BottomPadding = 20;
inline constexpr int PageMargin = 720;
// Word's limits for the columns of a table and the width of a page.
inline constexpr int MaxColumns = 63;
inline constexpr int MaxPageWidth = 31680;
inline constexpr double CharacterSpacing = 1;

inline constexpr std::string_view TcPrOrder[] = { "cnfStyle", "tcW", "gridSpan", "hMerge", "vMerge",
    "tcBorders", "shd", "noWrap", "tcMar", "textDirection", "tcFitText", "vAlign", "hideMark", "headers",
    "cellIns", "cellDel", "cellMerge", "tcPrChange" };
inline constexpr std::string_view MarginOrder[] = { "top", "start", "left", "bottom", "end", "right" };
inline constexpr std::string_view PPrOrder[] = { "pStyle", "keepNext", "keepLines", "pageBreakBefore",
    "framePr", "widowControl", "numPr", "suppressLineNumbers", "pBdr", "shd", "tabs", "suppressAutoHyphens",
    "kinsoku", "wordWrap", "overflowPunct", "topLinePunct", "autoSpaceDE", "autoSpaceDN", "bidi",
    "adjustRightInd", "snapToGrid", "spacing", "ind", "contextualSpacing", "mirrorIndents", "suppressOverlap",
    "jc", "textDirection", "textAlignment", "textboxTightWrap", "outlineLvl", "divId", "cnfStyle", "rPr",
    "sectPr", "pPrChange" };
inline constexpr std::string_view TblPrOrder[] = { "tblStyle", "tblpPr", "tblOverlap", "bidiVisual",
    "tblStyleRowBandSize", "tblStyleColBandSize", "tblW", "jc", "tblCellSpacing", "tblInd", "tblBorders",
    "shd", "tblLayout", "tblCellMar", "tblLook", "tblCaption", "tblDescription", "tblPrChange" };
inline constexpr std::string_view TrPrOrder[]
    = { "cnfStyle", "divId", "gridBefore", "gridAfter", "wBefore", "wAfter", "cantSplit", "trHeight",
          "tblHeader", "tblCellSpacing", "jc", "hidden", "ins", "del", "trPrChange" };

// Properties that belong to one particular row or cell, or to a tracked change, and so are not copied
// with the formatting of the last row.
inline constexpr std::string_view RowOnly[]
    = { "gridBefore", "gridAfter", "wBefore", "wAfter", "tblHeader", "ins", "del", "trPrChange" };
inline constexpr std::string_view CellOnly[]
    = { "tcW", "gridSpan", "hMerge", "vMerge", "cellIns", "cellDel", "cellMerge", "tcPrChange" };
inline constexpr std::string_view ParagraphOnly[] = { "sectPr", "pPrChange" };
inline constexpr std::string_view RunOnly[] = { "ins", "del", "moveFrom", "moveTo", "rPrChange" };

inline const char *const StylesXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Arial" w:eastAsia="Arial" w:hAnsi="Arial" w:cs="Arial"/><w:spacing w:val="20"/><w:sz w:val="16"/><w:szCs w:val="16"/><w:lang w:val="en-US" w:eastAsia="en-US" w:bidi="ar-SA"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults><w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style><w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont"><w:name w:val="Default Paragraph Font"/><w:uiPriority w:val="1"/><w:semiHidden/><w:unhideWhenUsed/></w:style><w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style><w:style w:type="numbering" w:default="1" w:styleId="NoList"><w:name w:val="No List"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/></w:style><w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/><w:uiPriority w:val="39"/><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr><w:tblPr><w:tblBorders><w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/></w:tblBorders></w:tblPr></w:style></w:styles>)";

inline const char *const SettingsXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:settings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:hideSpellingErrors/><w:hideGrammaticalErrors/><w:defaultTabStop w:val="720"/><w:characterSpacingControl w:val="doNotCompress"/><w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/></w:compat></w:settings>)";

inline const char *const DocumentXml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
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

inline bool isContainer(const WordNames &w, const pugi::xml_node &node)
{
    const std::string_view local = w.local(node);
    return local == "sdt" || local == "sdtContent" || local == "customXml";
}

// The children of kind local, also those wrapped in content controls and custom XML.
inline std::vector<pugi::xml_node> childrenOf(
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

inline int intAttribute(const WordNames &w, const pugi::xml_node &node, const char *name = "val")
{
    return node.attribute(w(name)).as_int(0);
}

inline void setAttribute(const WordNames &w, pugi::xml_node node, std::string_view name, const char *value)
{
    const char *qualified = w(name);
    pugi::xml_attribute attribute = node.attribute(qualified);
    if (!attribute)
        attribute = node.append_attribute(qualified);
    attribute.set_value(value);
}

inline void setAttribute(const WordNames &w, pugi::xml_node node, std::string_view name, int value)
{
    setAttribute(w, node, name, std::to_string(value).c_str());
}

// The child of that name, added where the schema's order puts it when it is missing.
inline pugi::xml_node ensureChild(const WordNames &w, pugi::xml_node parent, std::string_view local,
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

inline void removeChildren(
    const WordNames &w, pugi::xml_node parent, std::span<const std::string_view> locals)
{
    for (pugi::xml_node child = parent.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (std::find(locals.begin(), locals.end(), w.local(child)) != locals.end())
            parent.remove_child(child);
        child = next;
    }
}

inline void setWidth(const WordNames &w, pugi::xml_node node, int twips, const char *type = "dxa")
{
    setAttribute(w, node, "w", twips);
    setAttribute(w, node, "type", type);
}

inline void setCellPaddings(const WordNames &w, pugi::xml_node tcPr)
{
    const pugi::xml_node margins = ensureChild(w, tcPr, "tcMar", TcPrOrder);
    setWidth(w, ensureChild(w, margins, "top", MarginOrder), TopPadding);
    setWidth(w, ensureChild(w, margins, "bottom", MarginOrder), BottomPadding);
}

inline void setCentred(const WordNames &w, pugi::xml_node pPr)
{
    setAttribute(w, ensureChild(w, pPr, "jc", PPrOrder), "val", "center");
}

// The text as XML 1.0 can carry it: control characters other than tab, unpaired surrogates and the
// non-characters U+FFFE and U+FFFF are dropped.
inline std::string xmlText(const QString &text)
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
inline bool needsPreserving(const QString &text)
{
    return !text.isEmpty()
        && (text.front().isSpace() || text.back().isSpace() || text.contains(QLatin1String("  "))
            || text.contains(u'\t'));
}

inline void appendText(const WordNames &w, pugi::xml_node run, const QString &text)
{
    pugi::xml_node t = run.append_child(w("t"));
    if (needsPreserving(text))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(xmlText(text).c_str());
}

// A cell's text as Word reads it back: its paragraphs each ended by a carriage return, the last one by
// the end-of-cell mark as well.
inline QString cellText(const WordNames &w, const pugi::xml_node &cell)
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
inline QString normalisedHeader(QString text)
{
    return trimSpaces(text.remove(u'\r').remove(u'\a'));
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

inline QByteArray nodeXml(const pugi::xml_node &node)
{
    StringWriter writer;
    if (node)
        node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

inline QByteArray tag(const WordNames &w, std::string_view local, bool closing = false)
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
inline void appendEscaped(QByteArray &out, const QString &text)
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
inline int wrapRank(std::optional<ReportColumn> column)
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
inline CellPattern plainCell(const WordNames &w, pugi::xml_node patterns, std::optional<ReportColumn> column)
{
    CellPattern cell;
    cell.tcPr = patterns.append_child(w("tcPr"));
    setCellPaddings(w, cell.tcPr);
    cell.pPr = patterns.append_child(w("pPr"));
    setCentred(w, cell.pPr);
    cell.column = column;
    return cell;
}

} // namespace Word
