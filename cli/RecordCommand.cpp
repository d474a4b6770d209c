#include "cli/CliCommands.h"

#include <algorithm>

#include <QDateTime>

#include "device/CaptureFile.h"
#include "device/HidapiBackend.h"
#include "device/LorimetAdapter.h"

namespace {

// Reports come back without their ID; a capture holds the 9 bytes as sent, so the ID goes in front
// again and a short report is filled with 0x04, the byte the decoder ignores.
QByteArray asCapturedBytes(const QByteArray &dataBytes)
{
    QByteArray bytes(1, '\0');
    bytes += dataBytes.left(CaptureFile::ReportSize - 1);
    while (bytes.size() < CaptureFile::ReportSize)
        bytes += '\x04';
    return bytes;
}

} // namespace

int runRecordCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << Cli::tr("Usage: %1").arg(QStringLiteral("lorimet-report record CAPTURE")) << '\n';
        return ExitStatus::UsageError;
    }
    HidapiBackend backend;
    return recordTransfer(backend, args.first(), LorimetAdapter::DefaultReadTimeout, out, err);
}

int recordTransfer(HidBackend &backend, const QString &captureFile, std::chrono::milliseconds readLimit,
    QTextStream &out, QTextStream &err)
{
    LorimetAdapter adapter(backend);
    adapter.setReadTimeout(readLimit);
    if (!adapter.InitDevice()) {
        if (adapter.accessDenied()) {
            err << "lorimet-report: "
                << Cli::tr("the Lorimet Adapter is attached, but you may not open it.\n"
                           "Install the udev rule that grants access to it, then plug the adapter in again.")
                << '\n';
        } else {
            err << "lorimet-report: "
                << Cli::tr("no Lorimet Adapter is attached. Please re-check the USB connection.") << '\n';
        }
        return ExitStatus::Failure;
    }

    using Clock = std::chrono::steady_clock;
    QList<CapturedReport> reports;
    const Clock::time_point start = Clock::now();
    std::chrono::milliseconds previous { 0 };
    adapter.setInputReportObserver([&](const QByteArray &dataBytes, Clock::time_point arrival) {
        // A report queued before the output report went out counts as arriving with it.
        const auto sinceStart = std::max(
            std::chrono::round<std::chrono::milliseconds>(arrival - start), std::chrono::milliseconds(0));
        reports.append({ sinceStart - previous, asCapturedBytes(dataBytes) });
        previous = sinceStart;
    });
    adapter.ReadDevice();
    adapter.CloseDevice();

    const QString comment = QStringLiteral("Lorimet Adapter transfer recorded %1")
                                .arg(QDateTime::currentDateTime().toString(Qt::ISODate));
    if (QString problem; !CaptureFile::write(captureFile, reports, comment, &problem)) {
        err << "lorimet-report: " << Cli::tr("cannot write %1: %2").arg(captureFile, problem) << '\n';
        return ExitStatus::Failure;
    }
    out << Cli::tr("Recorded %n input reports to %1.", nullptr, int(reports.size())).arg(captureFile) << '\n';
    return ExitStatus::Success;
}
