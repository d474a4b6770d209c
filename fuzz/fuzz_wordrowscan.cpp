#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "documents/word/WordRowScan.h"

// A Word main part from untrusted bytes: its table rows found and written out with new widths. Finding
// nothing is fine; crashing or placing anything outside the part is not.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray part(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::string prefix = WordRowScan::rootPrefix(part, "urn:w").value_or("w:");
    const std::optional<WordRowScan::Rows> rows = WordRowScan::middleRows(part, prefix);
    if (!rows)
        return 0;
    qsizetype previous = rows->begin;
    for (const std::vector<WordRowScan::Cell> &row : rows->rows) {
        for (const WordRowScan::Cell &cell : row) {
            if (cell.widthBegin < previous || cell.widthEnd <= cell.widthBegin || cell.widthEnd > rows->end)
                std::abort();
            previous = cell.widthEnd;
        }
    }
    if (rows->begin < 0 || rows->end > part.size())
        std::abort();
    QByteArray out;
    WordRowScan::appendRows(out, part, *rows, prefix, std::vector<int>(64, 1440));
    return 0;
}
