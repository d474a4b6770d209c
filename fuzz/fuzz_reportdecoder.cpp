#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CaptureFile.h"
#include "LorimetAdapter.h"
#include "ReportDecoder.h"

namespace {

void checkLines(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (line.contains(u'\n'))
            std::abort();
    }
}

} // namespace

// The input twice: as the input reports of one transfer, 9 bytes each as the platform hands them over (a
// report whose ID is not 0 stands for reports lost before it), and as a capture file decoded the way
// "lorimet-report decode" does. No decoded line holds a line end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    ReportDecoder decoder;
    for (qsizetype at = 0; at < bytes.size(); at += CaptureFile::ReportSize) {
        const QByteArrayView report
            = bytes.sliced(at, std::min<qsizetype>(CaptureFile::ReportSize, bytes.size() - at));
        if (report.front() != '\0')
            decoder.markLoss();
        checkLines(decoder.decode(dataBytesOfInputReport(report)));
    }
    if (const std::optional<QString> rest = decoder.finish())
        checkLines({ *rest });

    const CaptureParseResult capture = CaptureFile::parse(bytes.toByteArray());
    if (!capture.error)
        checkLines(decodeCapturedTransfers(capture.reports, LorimetAdapter::DefaultReadTimeout));
    return 0;
}
