#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/Windows1252.h"
#include "report/CsvTable.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

// Display lines, one per input line in Windows-1252, parsed into the event table, which is then laid out
// and written as CSV. The table has a row for every alarm event the parser found, and the CSV one line
// more, for the header: a line holds no line end, so no cell does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    EventLogParser parser([] { return QDateTime(QDate(2026, 12, 6), QTime(9, 30)); });
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QByteArray &line : input.split('\n'))
        parser.WriteLine(Windows1252::toUnicode(line));
    const ReportTable table(parser);
    if (table.rowCount() != parser.rowCount())
        std::abort();
    const QByteArray csv = CsvTable::toCsv(table);
    if (csv.count("\r\n") != table.rowCount() + 1)
        std::abort();
    return 0;
}
