#pragma once

#include <vector>

#include <QString>

// Column widths of a Word table that keep it between the page margins, measured in twips (twentieths of
// a point).
namespace TableFit {

// The font a table's cells are written in, which their texts are measured with.
struct CellFont
{
    QString family = QStringLiteral("Arial");
    double size = 8;
    // Extra space after each character, in points.
    double spacing = 1;
    // The weight and slant of the cells' text; header cells are bold whatever this says.
    bool bold = false;
    bool italic = false;
};

// The width a text needs on one line, and the width of its longest word: what it needs when it may wrap
// at its spaces. Without the cell margins.
struct TextWidths
{
    int full = 0;
    int longestWord = 0;

    void include(const TextWidths &other);
};

[[nodiscard]] TextWidths measure(const CellFont &font, const QString &text, bool bold);

// Never wrapped: dates, times, numbers, and columns whose contents are not known.
constexpr int NeverWraps = -1;

struct ColumnNeeds
{
    TextWidths header;
    TextWidths data;
    // When the table is too wide even with wrapped headers and narrow cell margins, the data of the
    // columns with the lowest rank wraps first, the widest first among equals: at its spaces, and the
    // first column's long words at any character.
    int wrapRank = NeverWraps;
};

struct Fit
{
    // Widths of the columns, the left and right cell margins included; their sum never exceeds the
    // width available.
    std::vector<int> widths;
    int cellMargin = 0;
    // Whether some column is narrower than a word it holds, so the word processor must break words.
    bool breaksWords = false;
};

// The cell margins a table's style gives, and the narrowest they may become to fit a table.
constexpr int CellMargins = 108;
constexpr int NarrowestCellMargin = 28;

// Widths that show every text on one line when the table then fits. Otherwise, in this order, until it
// fits: the headers wrap at their spaces; the cell margins narrow; the data of the text columns wraps, by
// their rank; the first of them breaks its long words; and as a last resort, where the page is too narrow
// for any of that, every column narrows in proportion.
[[nodiscard]] Fit fitColumns(const std::vector<ColumnNeeds> &columns, int available);

} // namespace TableFit
