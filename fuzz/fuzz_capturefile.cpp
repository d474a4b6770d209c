#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/CaptureFile.h"

// A capture file is read; one that reads without error comes back unchanged when written and read again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const CaptureParseResult read
        = CaptureFile::parse(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (read.error)
        return 0;
    const CaptureParseResult again
        = CaptureFile::parse(CaptureFile::format(read.reports, QStringLiteral("written again\n# and read")));
    if (again.error || again.reports != read.reports)
        std::abort();
    return 0;
}
