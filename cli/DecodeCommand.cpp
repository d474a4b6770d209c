#include "cli/CliCommands.h"

#include "device/CaptureFile.h"
#include "device/LorimetAdapter.h"
#include "device/ReportDecoder.h"

int runDecodeCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << "Usage: lorimet-report decode CAPTURE\n";
        return ExitStatus::UsageError;
    }
    const QString &fileName = args.first();
    const CaptureParseResult capture = CaptureFile::read(fileName);
    if (capture.error) {
        if (capture.error->line == 0) {
            err << "lorimet-report: cannot read " << fileName << ": " << capture.error->message << '\n';
            return ExitStatus::Failure;
        }
        err << fileName << ':' << capture.error->line << ": " << capture.error->message << '\n';
        return ExitStatus::UsageError;
    }
    for (const QString &line : decodeCapturedTransfers(capture.reports, LorimetAdapter::DefaultReadTimeout))
        out << line << '\n';
    return ExitStatus::Success;
}
