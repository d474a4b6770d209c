#pragma once

#include <optional>
#include <vector>

#include <QString>

#include <pugixml.hpp>

#include "documents/word/WordXml.h"

namespace Word {

// An existing table: where its cells stand on its grid, the first one of a document, the cells an append
// copies.

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
inline std::optional<std::vector<RowLayout>> layoutRows(
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
            *error = QStringLiteral("A row of the document's first table reaches beyond its columns.");
            return std::nullopt;
        }
        layout.covered = static_cast<int>(position);
        rows.push_back(std::move(layout));
    }
    return rows;
}

// A data cell formatted as the cell of the last row that stands in the same place.
inline CellPattern copiedCell(const WordNames &w, pugi::xml_node patterns, const pugi::xml_node &source,
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

// Run properties name each property once; a copy drops the repeats some files carry.
inline void removeRepeatedProperties(pugi::xml_node rPr)
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
inline CellPattern copiedPattern(const WordNames &w, pugi::xml_node patterns, const CellPattern &source,
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
inline pugi::xml_node appendCellLike(
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

// The first table of the body that accept takes, and the section it lies in.
template<typename Accept>
TablePlace findFirstTable(const WordNames &w, const pugi::xml_node &body, Accept accept)
{
    TablePlace place;
    walk(body, [&](const pugi::xml_node &node) {
        const std::string_view local = w.local(node);
        if (!place.table) {
            if (local == "tbl") {
                if (accept(node))
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
inline int textAreaTwips(const WordNames &w, const pugi::xml_node &section)
{
    const pugi::xml_node size = section.child(w("pgSz"));
    const pugi::xml_node margins = section.child(w("pgMar"));
    const qint64 page = intAttribute(w, size, "w");
    const qint64 width = page - intAttribute(w, margins, "left") - intAttribute(w, margins, "right")
        - intAttribute(w, margins, "gutter");
    return page > 0 && width > 0 ? static_cast<int>(std::min<qint64>(width, MaxPageWidth)) : 0;
}

// Stretches or narrows the grid in proportion to fill width.
inline void scaleGrid(std::vector<int> &grid, int width)
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

} // namespace Word
