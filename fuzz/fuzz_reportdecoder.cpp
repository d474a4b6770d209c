#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/CaptureFile.h"
#include "device/LorimetAdapter.h"
#include "device/ReportDecoder.h"

namespace {

void checkLines(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (line.contains(u'\n'))
            std::abort();
    }
}

} // namespace

// The input twice: as the input reports of one transfer as the platform hands them over, each preceded
// by a byte that gives its length (0 to 9, the remainder by 10) and, when its high bit is set, marks
// reports lost before it; and as a capture file decoded the way "lorimet-report decode" does. No decoded
// line holds a line end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    ReportDecoder decoder;
    InputReportFraming framing;
    for (qsizetype at = 0; at < bytes.size();) {
        const auto header = static_cast<unsigned char>(bytes.at(at++));
        const qsizetype length
            = std::min<qsizetype>(header % (CaptureFile::ReportSize + 1), bytes.size() - at);
        if (header & 0x80)
            decoder.markLoss();
        checkLines(decoder.decode(framing.dataBytes(bytes.sliced(at, length))));
        at += length;
    }
    if (const std::optional<QString> rest = decoder.finish())
        checkLines({ *rest });

    CaptureError error;
    if (const std::optional<QList<CapturedReport>> capture = CaptureFile::parse(bytes.toByteArray(), &error))
        checkLines(decodeCapturedTransfers(*capture, LorimetAdapter::DefaultReadTimeout));
    return 0;
}
