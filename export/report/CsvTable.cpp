#include "export/report/CsvTable.h"

#include "export/report/ReportTable.h"

namespace {

QByteArray csvRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(CsvTable::QuoteField(field));
    return quoted.join(u',').toUtf8() + QByteArrayLiteral("\r\n");
}

} // namespace

QString CsvTable::QuoteField(const QString &field)
{
    const bool needsQuotes
        = field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
    if (!needsQuotes)
        return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + escaped + u'"';
}

QByteArray CsvTable::ToCsv(const ReportTable &table)
{
    QByteArray csv = csvRow(table.Headers());
    for (int row = 0; row < table.RowCount(); ++row) {
        QStringList cells;
        for (ReportColumn column : table.Columns())
            cells.append(table.Text(row, column));
        csv += csvRow(cells);
    }
    return csv;
}
