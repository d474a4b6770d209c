#include "report/CsvTable.h"

#include "report/ReportTable.h"

namespace {

QByteArray csvRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(CsvTable::quoteField(field));
    return quoted.join(u',').toUtf8() + QByteArrayLiteral("\r\n");
}

} // namespace

QString CsvTable::quoteField(const QString &field)
{
    const bool needsQuotes
        = field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
    if (!needsQuotes)
        return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + escaped + u'"';
}

QByteArray CsvTable::toCsv(const ReportTable &table)
{
    QByteArray csv = csvRow(table.headers());
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (ReportColumn column : table.columns())
            cells.append(table.text(row, column));
        csv += csvRow(cells);
    }
    return csv;
}

QByteArray CsvTable::toCsv(const QStringList &headers, const QList<QStringList> &rows)
{
    QByteArray csv = csvRow(headers);
    for (const QStringList &row : rows)
        csv += csvRow(row);
    return csv;
}
