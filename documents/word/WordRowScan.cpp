#include "documents/word/WordRowScan.h"

#include <utility>

#include "documents/ooxml/XmlNamespace.h"

namespace WordRowScan {

namespace {

constexpr auto npos = std::string_view::npos;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct Tag
{
    enum Kind
    {
        Start,
        End,
        Empty,
    };
    Kind kind = Start;
    std::string_view name;
    std::size_t begin = 0;
    std::size_t end = 0; // one past the closing '>'
};

struct Attribute
{
    std::string_view name;
    std::string_view value;
};

// Steps from tag to tag. Only start, end and empty-element tags are taken: comments, processing
// instructions, CDATA sections and declarations end the scan, as does anything malformed.
class Scanner
{
public:
    Scanner(std::string_view text, std::size_t from)
        : m_text(text)
        , m_position(from)
    {
    }

    std::optional<Tag> next(std::vector<Attribute> *attributes = nullptr)
    {
        const std::size_t open = m_text.find('<', m_position);
        if (open == npos || open + 1 >= m_text.size())
            return std::nullopt;
        m_textBefore = m_text.substr(m_position, open - m_position);
        std::size_t i = open + 1;
        if (m_text[i] == '!' || m_text[i] == '?')
            return std::nullopt;
        Tag tag;
        tag.begin = open;
        const bool closing = m_text[i] == '/';
        if (closing)
            ++i;
        const std::size_t nameBegin = i;
        while (i < m_text.size() && !isSpace(m_text[i]) && m_text[i] != '>' && m_text[i] != '/')
            ++i;
        if (i == nameBegin)
            return std::nullopt;
        tag.name = m_text.substr(nameBegin, i - nameBegin);
        if (closing) {
            i = skipSpaces(i);
            if (i >= m_text.size() || m_text[i] != '>')
                return std::nullopt;
            tag.kind = Tag::End;
        } else if (!readAttributes(i, tag.kind, attributes)) {
            return std::nullopt;
        }
        tag.end = i + 1;
        m_position = tag.end;
        return tag;
    }

    // The characters between the previous tag and the one next() returned last.
    [[nodiscard]] std::string_view textBefore() const { return m_textBefore; }

private:
    std::size_t skipSpaces(std::size_t i) const
    {
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        return i;
    }

    // Leaves i on the tag's closing '>'.
    bool readAttributes(std::size_t &i, Tag::Kind &kind, std::vector<Attribute> *attributes) const
    {
        for (;;) {
            i = skipSpaces(i);
            if (i >= m_text.size())
                return false;
            if (m_text[i] == '>') {
                kind = Tag::Start;
                return true;
            }
            if (m_text[i] == '/') {
                kind = Tag::Empty;
                return ++i < m_text.size() && m_text[i] == '>';
            }
            const std::size_t nameBegin = i;
            while (i < m_text.size() && m_text[i] != '=' && m_text[i] != '>' && m_text[i] != '<'
                && m_text[i] != '/' && !isSpace(m_text[i]))
                ++i;
            const std::string_view name = m_text.substr(nameBegin, i - nameBegin);
            i = skipSpaces(i);
            if (name.empty() || i >= m_text.size() || m_text[i] != '=')
                return false;
            i = skipSpaces(i + 1);
            if (i >= m_text.size() || (m_text[i] != '"' && m_text[i] != '\''))
                return false;
            const std::size_t close = m_text.find(m_text[i], i + 1);
            if (close == npos)
                return false;
            const std::string_view value = m_text.substr(i + 1, close - i - 1);
            if (value.find('<') != npos)
                return false;
            if (attributes)
                attributes->push_back({ name, value });
            i = close + 1;
        }
    }

    std::string_view m_text;
    std::size_t m_position;
    std::string_view m_textBefore;
};

// A text element's content as an XML parser gives it: entity and character references resolved, line ends
// normalised to line feeds.
QString unescaped(std::string_view raw)
{
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            continue;
        }
        const std::size_t semicolon = c == '&' ? raw.find(';', i) : npos;
        if (semicolon == npos) {
            text += c;
            continue;
        }
        const std::string_view entity = raw.substr(i + 1, semicolon - i - 1);
        static constexpr std::pair<std::string_view, char> Named[]
            = { { "lt", '<' }, { "gt", '>' }, { "amp", '&' }, { "quot", '"' }, { "apos", '\'' } };
        bool resolved = false;
        for (const auto &[name, character] : Named) {
            if (entity == name) {
                text += character;
                resolved = true;
            }
        }
        if (!resolved && entity.size() > 1 && entity.front() == '#') {
            const bool hex = entity[1] == 'x';
            bool ok = false;
            const uint code = QByteArray(
                entity.data() + (hex ? 2 : 1), static_cast<qsizetype>(entity.size()) - (hex ? 2 : 1))
                                  .toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                const char32_t character = code;
                text += QString::fromUcs4(&character, 1).toStdString();
                resolved = true;
            }
        }
        if (resolved)
            i = semicolon;
        else
            text += c;
    }
    return QString::fromStdString(text);
}

class TableReader
{
public:
    TableReader(std::string_view part, std::size_t tableBegin, const std::string &prefix)
        : m_scanner(part, tableBegin)
        , m_prefix(prefix)
    {
    }

    struct Row
    {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::vector<Cell> cells;
    };

    // The table's rows, from its start tag to its end tag.
    std::optional<std::vector<Row>> read()
    {
        const std::optional<Tag> table = m_scanner.next();
        if (!table || table->kind != Tag::Start || local(table->name) != "tbl")
            return std::nullopt;
        std::vector<Row> rows;
        for (std::optional<Tag> tag = m_scanner.next(); tag; tag = m_scanner.next()) {
            const std::string_view name = local(tag->name);
            if (tag->kind == Tag::End)
                return tag->name == table->name ? std::optional(std::move(rows)) : std::nullopt;
            if (name == "tblPr" || name == "tblGrid") {
                if (tag->kind == Tag::Start && !skip(*tag))
                    return std::nullopt;
            } else if (name == "tr" && tag->kind == Tag::Start) {
                Row row { tag->begin, 0, {} };
                if (!readRow(row))
                    return std::nullopt;
                rows.push_back(std::move(row));
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

private:
    // The local name of an element of the document's namespace; empty for any other.
    [[nodiscard]] std::string_view local(std::string_view name) const
    {
        return localNameUnder(name, m_prefix);
    }

    // Passes over the element that tag starts, down to its end tag. Fails on an element named in refused.
    bool skip(const Tag &tag, std::initializer_list<std::string_view> refused = {}, Cell *widthOf = nullptr)
    {
        std::vector<std::string_view> open { tag.name };
        while (!open.empty()) {
            const std::optional<Tag> next = m_scanner.next();
            if (!next)
                return false;
            if (next->kind == Tag::End) {
                if (next->name != open.back())
                    return false;
                open.pop_back();
                continue;
            }
            const std::string_view name = local(next->name);
            for (const std::string_view no : refused) {
                if (name == no)
                    return false;
            }
            if (widthOf && open.size() == 1 && name == "tcW") {
                if (next->kind != Tag::Empty || widthOf->widthEnd != 0)
                    return false;
                widthOf->widthBegin = static_cast<qsizetype>(next->begin);
                widthOf->widthEnd = static_cast<qsizetype>(next->end);
            }
            if (next->kind == Tag::Start)
                open.push_back(next->name);
        }
        return true;
    }

    bool readRow(Row &row)
    {
        for (std::optional<Tag> tag = m_scanner.next(); tag; tag = m_scanner.next()) {
            const std::string_view name = local(tag->name);
            if (tag->kind == Tag::End) {
                row.end = tag->end;
                return name == "tr";
            }
            if (name == "trPr" || name == "tblPrEx") {
                if (tag->kind == Tag::Start && !skip(*tag, { "gridBefore", "gridAfter" }))
                    return false;
            } else if (name == "tc" && tag->kind == Tag::Start) {
                row.cells.emplace_back();
                if (!readCell(row.cells.back()))
                    return false;
            } else {
                return false;
            }
        }
        return false;
    }

    bool readCell(Cell &cell)
    {
        for (std::optional<Tag> tag = m_scanner.next(); tag; tag = m_scanner.next()) {
            const std::string_view name = local(tag->name);
            if (tag->kind == Tag::End) {
                cell.text += u'\a';
                return name == "tc" && cell.widthEnd != 0;
            }
            if (name == "tcPr") {
                if (tag->kind == Tag::Start && !skip(*tag, { "gridSpan", "hMerge" }, &cell))
                    return false;
            } else if (name == "p") {
                if (tag->kind == Tag::Start && !readParagraph(*tag, cell.text))
                    return false;
                cell.text += u'\r';
            } else if (name == "tbl" || name == "sdt" || name == "customXml") {
                return false;
            } else if (tag->kind == Tag::Start && !skip(*tag)) {
                return false;
            }
        }
        return false;
    }

    // The paragraph's text as Word reads it back: its text elements, tabs and line breaks, leaving out
    // drawings, embedded objects, deleted and moved-away text, and the properties.
    bool readParagraph(const Tag &paragraph, QString &text)
    {
        std::vector<std::string_view> open { paragraph.name };
        while (!open.empty()) {
            const std::optional<Tag> tag = m_scanner.next();
            if (!tag)
                return false;
            if (tag->kind == Tag::End) {
                if (tag->name != open.back())
                    return false;
                open.pop_back();
                continue;
            }
            const std::string_view name = local(tag->name);
            if (name == "t") {
                if (tag->kind == Tag::Empty)
                    continue;
                const std::optional<Tag> end = m_scanner.next();
                if (!end || end->kind != Tag::End || end->name != tag->name)
                    return false;
                text += unescaped(m_scanner.textBefore());
                continue;
            }
            if (name == "tab")
                text += u'\t';
            else if (name == "br" || name == "cr")
                text += u'\v';
            else if (name == "tbl")
                return false;
            const bool hidden = name == "drawing" || name == "pict" || name == "object" || name == "del"
                || name == "moveFrom" || name == "pPr" || name == "rPr";
            if (tag->kind == Tag::Start) {
                if (hidden && !skip(*tag))
                    return false;
                if (!hidden)
                    open.push_back(tag->name);
            }
        }
        return true;
    }

    Scanner m_scanner;
    const std::string &m_prefix;
};

} // namespace

std::optional<std::string> rootPrefix(QByteArrayView part, std::string_view namespaceUri)
{
    std::string_view text(part.data(), static_cast<std::size_t>(part.size()));
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<?xml")) {
            const std::size_t end = text.find("?>", i);
            const std::string_view declaration = text.substr(i, end == npos ? npos : end - i);
            const std::size_t encoding = declaration.find("encoding");
            if (end == npos
                || (encoding != npos && QByteArrayView(declaration.substr(encoding)).indexOf("UTF-8") < 0
                    && QByteArrayView(declaration.substr(encoding)).indexOf("utf-8") < 0))
                return std::nullopt;
            i = end + 2;
        } else if (rest.starts_with("<!--")) {
            const std::size_t end = text.find("-->", i);
            if (end == npos)
                return std::nullopt;
            i = end + 3;
        } else {
            break;
        }
    }
    Scanner scanner(text, i);
    std::vector<Attribute> attributes;
    const std::optional<Tag> root = scanner.next(&attributes);
    if (!root || root->kind != Tag::Start || root->begin != i)
        return std::nullopt;
    std::optional<std::string> prefix;
    for (const Attribute &attribute : attributes) {
        if (attribute.name == "xmlns")
            return std::nullopt;
        if (attribute.name.starts_with("xmlns:") && attribute.value == namespaceUri) {
            if (prefix)
                return std::nullopt;
            prefix = std::string(attribute.name.substr(6)) + ':';
        }
    }
    if (!prefix || text.find("xmlns", root->end) != npos)
        return std::nullopt;
    return prefix;
}

std::optional<Rows> middleRows(QByteArrayView part, const std::string &prefix)
{
    const std::string_view text(part.data(), static_cast<std::size_t>(part.size()));
    const std::string start = '<' + prefix + "tbl";
    std::size_t table = text.find(start);
    while (table != npos && table + start.size() < text.size() && !isSpace(text[table + start.size()])
        && text[table + start.size()] != '>')
        table = text.find(start, table + 1);
    if (table == npos)
        return std::nullopt;
    TableReader reader(text, table, prefix);
    std::optional<std::vector<TableReader::Row>> rows = reader.read();
    if (!rows || rows->size() < 3)
        return std::nullopt;
    Rows middle;
    middle.begin = static_cast<qsizetype>((*rows)[1].begin);
    middle.end = static_cast<qsizetype>((*rows)[rows->size() - 2].end);
    for (std::size_t r = 1; r + 1 < rows->size(); ++r)
        middle.rows.push_back(std::move((*rows)[r].cells));
    return middle;
}

void appendRows(QByteArray &out, QByteArrayView part, const Rows &rows, const std::string &prefix,
    const std::vector<int> &columnWidths)
{
    qsizetype copied = rows.begin;
    for (const std::vector<Cell> &row : rows.rows) {
        for (std::size_t c = 0; c < row.size() && c < columnWidths.size(); ++c) {
            out.append(part.sliced(copied, row[c].widthBegin - copied));
            out.append(QByteArray::fromStdString('<' + prefix + "tcW " + prefix + "w=\""
                + std::to_string(columnWidths[c]) + "\" " + prefix + "type=\"dxa\"/>"));
            copied = row[c].widthEnd;
        }
    }
    out.append(part.sliced(copied, rows.end - copied));
}

} // namespace WordRowScan
