#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class ReportTable;

// The event table as comma-separated values: the header row, then one row per alarm event, every cell
// the text the table shows, quoted where RFC 4180 asks for it, in UTF-8 with CR LF line ends.
namespace CsvTable {

[[nodiscard]] QString quoteField(const QString &field);
[[nodiscard]] QByteArray toCsv(const ReportTable &table);
// Any table of texts the same way.
[[nodiscard]] QByteArray toCsv(const QStringList &headers, const QList<QStringList> &rows);

} // namespace CsvTable
