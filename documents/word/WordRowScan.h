#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reads the body rows of a Word document's first table straight from the main part's bytes, so that an
// append to a long table need not build nodes for the thousands of rows it keeps as they are. Only a plain
// table qualifies: one namespace declaration on the root, rows and cells as direct children, one grid column
// per cell, every cell with its width, no nested tables, comments, processing instructions or CDATA.
// Anything else is left to the caller's full reading of the part.
namespace WordRowScan {

struct Cell
{
    // The cell's text as Word reads it back: paragraphs ended by a carriage return, the end-of-cell mark.
    QString text;
    // Where its width element (<w:tcW .../>) stands in the part.
    qsizetype widthBegin = 0;
    qsizetype widthEnd = 0;
};

struct Rows
{
    // The rows between the table's first and last one, and where they stand in the part.
    std::vector<std::vector<Cell>> rows;
    qsizetype begin = 0;
    qsizetype end = 0;
};

// The prefix (with its colon) the part's root binds the namespace to, when that is the part's only namespace
// declaration of any kind besides the root's others; a UTF-8 part only.
[[nodiscard]] std::optional<std::string> rootPrefix(QByteArrayView part, std::string_view namespaceUri);

// The first table's rows between its first and last one, when there are any and the table is plain enough.
[[nodiscard]] std::optional<Rows> middleRows(QByteArrayView part, const std::string &prefix);

// Appends the rows' bytes, each cell's width element replaced by one giving its column's width in twips
// (kept as it was without widths).
void appendRows(QByteArray &out, QByteArrayView part, const Rows &rows, const std::string &prefix,
    const std::vector<int> &columnWidths);

} // namespace WordRowScan
