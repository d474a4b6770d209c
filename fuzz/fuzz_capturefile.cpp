#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/CaptureFile.h"

// A capture file is read; one that reads without error comes back unchanged when written and read again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CaptureError error;
    const std::optional<QList<CapturedReport>> read = CaptureFile::parse(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), &error);
    if (!read)
        return 0;
    const std::optional<QList<CapturedReport>> again = CaptureFile::parse(
        CaptureFile::format(*read, QStringLiteral("written again\n# and read")), &error);
    if (again != read)
        std::abort();
    return 0;
}
