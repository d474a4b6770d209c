#include "documents/table/TableFit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include <QStringList>

#include "documents/table/FontMetrics.h"

namespace {

// Word's limit for the width of a page.
constexpr int MaxPageWidth = 31680;
// Rounding in the word processors' layout must not wrap a text that fits exactly.
constexpr int WidthSlack = 10;

int twips(const TableFit::CellFont &font, const QString &text, bool bold)
{
    const double points = FontMetrics::textWidth(font.family, bold || font.bold, text, font.size, font.italic)
        + font.spacing * static_cast<double>(text.size());
    return static_cast<int>(std::clamp(std::ceil(points * 20), 0.0, double(MaxPageWidth))) + WidthSlack;
}

qint64 sum(const std::vector<int> &widths)
{
    return std::accumulate(widths.begin(), widths.end(), qint64(0));
}

} // namespace

void TableFit::TextWidths::include(const TextWidths &other)
{
    full = std::max(full, other.full);
    longestWord = std::max(longestWord, other.longestWord);
}

TableFit::TextWidths TableFit::measure(const CellFont &font, const QString &text, bool bold)
{
    TextWidths widths { twips(font, text, bold), 0 };
    if (!text.contains(u' '))
        widths.longestWord = widths.full;
    else
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
            widths.longestWord = std::max(widths.longestWord, twips(font, word, bold));
    return widths;
}

TableFit::Fit TableFit::fitColumns(const std::vector<ColumnNeeds> &columns, int available)
{
    const auto count = static_cast<qint64>(columns.size());
    Fit fit;
    fit.cellMargin = CellMargins;
    std::vector<int> full;
    std::vector<int> narrow;
    for (const ColumnNeeds &column : columns) {
        full.push_back(std::max(column.data.full, column.header.full));
        narrow.push_back(std::max(column.data.full, column.header.longestWord));
    }
    const qint64 fullTotal = sum(full);
    const qint64 narrowTotal = sum(narrow);
    const auto finish = [&](std::vector<int> widths) {
        for (int &width : widths)
            width += 2 * fit.cellMargin;
        fit.widths = std::move(widths);
        return fit;
    };

    if (fullTotal + 2 * CellMargins * count <= available)
        return finish(std::move(full));
    if (narrowTotal + 2 * CellMargins * count <= available) {
        // The room left over goes to the wrapped headers in proportion to what they lack.
        const qint64 spare = available - 2 * CellMargins * count - narrowTotal;
        const qint64 lacking = fullTotal - narrowTotal;
        for (std::size_t c = 0; c < narrow.size(); ++c)
            narrow[c] += static_cast<int>((full[c] - narrow[c]) * spare / lacking);
        return finish(std::move(narrow));
    }
    fit.cellMargin = static_cast<int>(std::clamp<qint64>(
        (available - narrowTotal) / std::max<qint64>(2 * count, 1), NarrowestCellMargin, CellMargins));
    qint64 excess = narrowTotal + 2 * fit.cellMargin * count - available;
    if (excess <= 0)
        return finish(std::move(narrow));

    // The text columns give way by rank, down to their longest word, then the first one below that.
    std::vector<std::size_t> order;
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].wrapRank != NeverWraps)
            order.push_back(c);
    // Of columns of one rank, the widest gives way first.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return columns[a].wrapRank != columns[b].wrapRank ? columns[a].wrapRank < columns[b].wrapRank
                                                          : narrow[a] > narrow[b];
    });
    const auto narrowTo = [&](std::size_t c, int floor) {
        const qint64 taken = std::clamp<qint64>(narrow[c] - floor, 0, excess);
        narrow[c] -= static_cast<int>(taken);
        excess -= taken;
    };
    for (std::size_t c : order)
        if (excess > 0)
            narrowTo(c, std::max(columns[c].data.longestWord, columns[c].header.longestWord));
    if (excess > 0 && !order.empty()) {
        const std::size_t first = order.front();
        narrowTo(first, columns[first].header.longestWord);
        fit.breaksWords = true;
    }
    if (excess > 0) {
        // A page too narrow for the dates and numbers themselves.
        const qint64 room = std::max<qint64>(available - 2 * fit.cellMargin * count, count);
        const qint64 total = sum(narrow);
        qint64 placed = 0;
        qint64 running = 0;
        for (int &width : narrow) {
            running += width;
            const qint64 edge = running * room / std::max<qint64>(total, 1);
            width = static_cast<int>(edge - placed);
            placed = edge;
        }
        fit.breaksWords = true;
    }
    return finish(std::move(narrow));
}
