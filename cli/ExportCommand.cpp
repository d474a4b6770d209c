#include "cli/ExportCommand.h"

#include <functional>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "cli/CliCommands.h"
#include "common/SafeFile.h"
#include "common/Windows1252.h"
#include "documents/export/ReportExport.h"
#include "report/TextReportFile.h"

const char *const ExportCommandArguments = "--format txt|csv|xlsx|docx|pdf [--append] INPUT OUTPUT";

namespace {

// A saved report larger than this is not a report: it is refused before it fills the memory.
constexpr qint64 MaxInputBytes = qint64(256) * 1024 * 1024;

const QString StandardOutputName = QStringLiteral("-");

struct ExportArguments
{
    QString format;
    QString input; // a file's path, or what the lines are when they come from elsewhere
    ReportLineSource lines;
    QString output;
    bool append = false;
};

struct ExportFormat
{
    QLatin1String name;
    ReportExport::Format format;
    bool takesAppend; // --append: add to the table OUTPUT holds
    bool writesStandardOutput; // OUTPUT may be "-"
};

constexpr ExportFormat ExportFormats[] = {
    { QLatin1String("txt"), ReportExport::Format::Text, false, true },
    { QLatin1String("csv"), ReportExport::Format::Csv, false, true },
    { QLatin1String("xlsx"), ReportExport::Format::Excel, true, false },
    { QLatin1String("docx"), ReportExport::Format::Word, true, false },
    { QLatin1String("pdf"), ReportExport::Format::Pdf, false, false },
};

const ExportFormat *findFormat(const QString &name)
{
    for (const ExportFormat &format : ExportFormats) {
        if (format.name == name)
            return &format;
    }
    return nullptr;
}

std::optional<ExportArguments> parseArguments(const QStringList &args)
{
    ExportArguments parsed;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--format") && i + 1 < args.size())
            parsed.format = args.at(++i);
        else if (arg.startsWith(QLatin1String("--format=")))
            parsed.format = arg.mid(9);
        else if (arg == QLatin1String("--append"))
            parsed.append = true;
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return std::nullopt;
        else
            positional.append(arg);
    }
    const ExportFormat *format = findFormat(parsed.format);
    if (positional.size() != 2 || !format || (parsed.append && !format->takesAppend)
        || (positional.at(1) == StandardOutputName && !format->writesStandardOutput))
        return std::nullopt;
    parsed.input = positional.at(0);
    parsed.output = positional.at(1);
    return parsed;
}

QString cannotRead(const QString &path, const QString &reason)
{
    return Cli::tr("cannot read %1: %2").arg(path, reason);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return Cli::tr("cannot write %1: %2").arg(path, reason);
}

// Hands the display lines of a saved text report to take, one at a time as they are read, so memory
// holds what take keeps and not the file. CR LF and LF line ends both count. Stops at the first line
// take refuses, with take's error.
bool readReportLines(const QString &path, const ReportLineSink &take, QString *error)
{
    const QString tooLarge = cannotRead(path, Cli::tr("it is larger than 256 MiB, too large for a report"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = cannotRead(path, file.errorString());
        return false;
    }
    if (!file.isSequential() && file.size() > MaxInputBytes) {
        *error = tooLarge;
        return false;
    }
    const auto takeLine = [&take, &error](QByteArrayView bytes) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        return take(Windows1252::toUnicode(bytes), error);
    };
    QByteArray pending;
    qint64 total = 0;
    char block[64 * 1024];
    for (;;) {
        const qint64 count = file.read(block, sizeof block);
        if (count < 0) {
            *error = cannotRead(path, file.errorString());
            return false;
        }
        if (count == 0)
            break;
        total += count;
        if (total > MaxInputBytes) {
            *error = tooLarge;
            return false;
        }
        // Only the new bytes are searched, so that a long line costs no more than a short one.
        qsizetype end = pending.size();
        pending.append(block, count);
        qsizetype start = 0;
        while ((end = pending.indexOf('\n', end)) >= 0) {
            if (!takeLine(QByteArrayView(pending).sliced(start, end - start)))
                return false;
            start = ++end;
        }
        pending.remove(0, start);
    }
    return pending.isEmpty() || takeLine(pending);
}

// Bytes for OUTPUT "-": the device behind out, after what out holds already.
bool writeToStandardOutput(QTextStream &out, const QByteArray &bytes, QString *error)
{
    out.flush();
    QIODevice *device = out.device();
    if (device && device->write(bytes) == bytes.size())
        return true;
    *error = cannotWrite(
        Cli::tr("standard output"), device ? device->errorString() : Cli::tr("it takes text only"));
    return false;
}

// An OUTPUT that can never be written is refused before INPUT is read.
bool outputMayBeWritten(const QString &output, QString *error)
{
    QString reason;
    if (output == StandardOutputName || SafeFile::isReplaceable(output, &reason))
        return true;
    *error = cannotWrite(output, reason);
    return false;
}

// Writing OUTPUT must not destroy INPUT: the same file under any name is refused.
bool outputIsNotInput(const ExportArguments &arguments, QString *error)
{
    if (arguments.output == StandardOutputName || !QFileInfo::exists(arguments.input)
        || !SafeFile::sameFile(arguments.input, arguments.output))
        return true;
    *error
        = cannotWrite(arguments.output, Cli::tr("it is the report being exported, %1").arg(arguments.input));
    return false;
}

QString withNotes(const QStringList &notes, const QString &message)
{
    return notes.isEmpty() ? message : notes.join(u'\n') + u'\n' + message;
}

// INPUT's lines through the export of their format. The text format appends them to OUTPUT as they are;
// the others write their event table or printed report, and when another program changes an appended
// OUTPUT between reading and replacing it, the append starts again on the changed file.
bool exportLines(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error)
{
    const ReportExport::Format format = findFormat(arguments.format)->format;
    ReportExport exporter(format, arguments.append || format == ReportExport::Format::Text);
    exporter.setSourceName(arguments.input);
    if (format == ReportExport::Format::Pdf) {
        PrintedReport::Options options;
        options.program = QStringLiteral("Lorimet Adapter " LORIMET_VERSION);
        options.madeAt = QDateTime::currentDateTime();
        exporter.setPrintOptions(options);
    }
    if (!arguments.lines(
            [&exporter](const QString &line, QString *why) { return exporter.add(line, why); }, error))
        return false;
    const ReportExport::Outcome &outcome = exporter.outcome();
    const auto noteReplaced = [&] {
        if (outcome.replaced > 0)
            err << TextReportFile::replacedNote(outcome.replaced) << Qt::endl;
        return true;
    };
    if (arguments.output == StandardOutputName) {
        const std::optional<QByteArray> bytes
            = exporter.complete(error) ? exporter.bytes(error) : std::nullopt;
        return bytes && writeToStandardOutput(out, *bytes, error) && noteReplaced();
    }
    QString reason;
    if (!exporter.begin(arguments.output, &reason) || !exporter.complete(&reason)
        || !exporter.save(arguments.output, &reason)) {
        *error = withNotes(outcome.notes, cannotWrite(arguments.output, reason));
        return false;
    }
    if (format == ReportExport::Format::Text) {
        summary = withNotes(outcome.notes,
            Cli::tr("%n lines appended to %1", nullptr, int(outcome.lines)).arg(arguments.output));
        return noteReplaced();
    }
    summary = Cli::tr("%n events written to %1", nullptr, outcome.events).arg(arguments.output);
    for (const QString &note : outcome.notes)
        summary += QStringLiteral("; ") + note;
    return true;
}

int runExport(const ExportArguments &arguments, const QString &command, QTextStream &out, QTextStream &err)
{
    QString summary;
    QString error;
    const bool exported = outputMayBeWritten(arguments.output, &error) && outputIsNotInput(arguments, &error)
        && exportLines(arguments, out, err, summary, &error);
    if (!exported) {
        err << "lorimet-report " << command << ": " << error << Qt::endl;
        return ExitStatus::Failure;
    }
    if (!summary.isEmpty())
        out << summary << Qt::endl;
    return ExitStatus::Success;
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    std::optional<ExportArguments> arguments = parseArguments(args);
    if (!arguments) {
        err << Cli::tr("Usage: %1")
                   .arg(QStringLiteral("lorimet-report export ") + QLatin1String(ExportCommandArguments))
            << Qt::endl;
        return ExitStatus::UsageError;
    }
    arguments->lines = [path = arguments->input](const ReportLineSink &take, QString *error) {
        return readReportLines(path, take, error);
    };
    return runExport(*arguments, QStringLiteral("export"), out, err);
}

bool paintsReport(const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if ((args.at(i) == QLatin1String("--format") && args.value(i + 1) == QLatin1String("pdf"))
            || args.at(i) == QLatin1String("--format=pdf"))
            return true;
    }
    return false;
}

bool isExportFormat(const QString &format, bool append)
{
    const ExportFormat *found = findFormat(format);
    return found && (!append || found->takesAppend);
}

int exportReportLines(const QString &command, const QString &format, const QString &what,
    const ReportLineSource &lines, const QString &output, bool append, QTextStream &out, QTextStream &err)
{
    return runExport({ format, what, lines, output, append }, command, out, err);
}
