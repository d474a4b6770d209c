#include "cli/CliCommands.h"

#include "device/CaptureFile.h"
#include "device/LorimetAdapter.h"
#include "device/ReportDecoder.h"

int runDecodeCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << Cli::tr("Usage: %1").arg(QStringLiteral("lorimet-report decode CAPTURE")) << '\n';
        return ExitStatus::UsageError;
    }
    const QString &fileName = args.first();
    CaptureError error;
    const std::optional<QList<CapturedReport>> capture = CaptureFile::read(fileName, &error);
    if (!capture) {
        if (error.line == 0) {
            err << "lorimet-report: " << Cli::tr("cannot read %1: %2").arg(fileName, error.message) << '\n';
            return ExitStatus::Failure;
        }
        err << fileName << ':' << error.line << ": " << error.message << '\n';
        return ExitStatus::UsageError;
    }
    for (const QString &line : decodeCapturedTransfers(*capture, LorimetAdapter::DefaultReadTimeout))
        out << line << '\n';
    return ExitStatus::Success;
}
