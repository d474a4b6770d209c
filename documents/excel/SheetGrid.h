#pragma once

#include <map>
#include <optional>
#include <string>

#include <QString>

#include <pugixml.hpp>

#include "documents/excel/SheetXml.h"

namespace Xlsx {

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

} // namespace Xlsx
