#include "cli/ExportCommand.h"

#include <functional>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "cli/CliCommands.h"
#include "common/SafeFile.h"
#include "common/Windows1252.h"
#include "documents/excel/XlsxWorkbook.h"
#include "documents/printed/PrintedReport.h"
#include "documents/word/DocxDocument.h"
#include "report/CsvTable.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"
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

// One export format: reads INPUT, writes OUTPUT and on success tells what it did in summary. Fails with
// the message for the user in error.
using FormatExport = bool (*)(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);

bool exportText(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);
bool exportCsv(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);
bool exportXlsx(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);
bool exportDocx(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);
bool exportPdf(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error);

struct ExportFormat
{
    QLatin1String name;
    FormatExport run;
    bool takesAppend; // --append: add to the table OUTPUT holds
    bool writesStandardOutput; // OUTPUT may be "-"
};

constexpr ExportFormat ExportFormats[] = {
    { QLatin1String("txt"), &exportText, false, true },
    { QLatin1String("csv"), &exportCsv, false, true },
    { QLatin1String("xlsx"), &exportXlsx, true, false },
    { QLatin1String("docx"), &exportDocx, true, false },
    { QLatin1String("pdf"), &exportPdf, false, false },
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
    return QStringLiteral("cannot read %1: %2").arg(path, reason);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("cannot write %1: %2").arg(path, reason);
}

// Hands the display lines of a saved text report to take, one at a time as they are read, so memory
// holds what take keeps and not the file. CR LF and LF line ends both count. Stops at the first line
// take refuses, with take's error.
bool readReportLines(const QString &path, const ReportLineSink &take, QString *error)
{
    const QString tooLarge
        = cannotRead(path, QStringLiteral("it is larger than 256 MiB, too large for a report"));
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
    *error = cannotWrite(QStringLiteral("standard output"),
        device ? device->errorString() : QStringLiteral("it takes text only"));
    return false;
}

bool exportText(
    const ExportArguments &arguments, QTextStream &out, QTextStream &err, QString &summary, QString *error)
{
    QByteArray lines;
    qsizetype lineCount = 0;
    qsizetype replaced = 0;
    const bool read = arguments.lines(
        [&](const QString &line, QString *) {
            lines += TextReportFile::encodeLine(line, &replaced);
            ++lineCount;
            return true;
        },
        error);
    if (!read)
        return false;
    const auto noteReplaced = [&] {
        if (replaced > 0)
            err << TextReportFile::replacedNote(replaced) << Qt::endl;
        return true;
    };
    if (arguments.output == StandardOutputName)
        return writeToStandardOutput(out, lines, error) && noteReplaced();
    SafeFile::AppendFile file;
    QString reason;
    if (!file.open(arguments.output, &reason) || !file.append(lines, &reason)) {
        *error = cannotWrite(arguments.output, reason);
        if (!file.note().isEmpty())
            *error = file.note() + u'\n' + *error;
        return false;
    }
    summary = QStringLiteral("%1 lines appended to %2").arg(lineCount).arg(arguments.output);
    if (!file.note().isEmpty())
        summary.prepend(file.note() + u'\n');
    return noteReplaced();
}

// The event table of INPUT, refused when it would not fit on a worksheet.
std::optional<ReportTable> readEventTable(const ExportArguments &arguments, QString *error)
{
    EventLogParser parser;
    const QString &input = arguments.input;
    const bool read = arguments.lines(
        [&parser, &input](const QString &line, QString *error) {
            parser.WriteLine(line);
            // One row of the worksheet holds the headers.
            if (parser.rowCount() < XlsxWorkbook::MaxRows)
                return true;
            *error = QStringLiteral("%1 holds more alarm events than the %2 rows of a worksheet can take")
                         .arg(input, QLocale(QLocale::English).toString(XlsxWorkbook::MaxRows));
            return false;
        },
        error);
    if (!read)
        return std::nullopt;
    return ReportTable(parser, QLocale(QLocale::English));
}

bool exportCsv(
    const ExportArguments &arguments, QTextStream &out, QTextStream &, QString &summary, QString *error)
{
    const std::optional<ReportTable> table = readEventTable(arguments, error);
    if (!table)
        return false;
    const QByteArray csv = CsvTable::toCsv(*table);
    if (arguments.output == StandardOutputName)
        return writeToStandardOutput(out, csv, error);
    QString reason;
    if (!SafeFile::replace(arguments.output, csv, &reason)) {
        *error = cannotWrite(arguments.output, reason);
        return false;
    }
    summary = QStringLiteral("%1 events written to %2").arg(table->rowCount()).arg(arguments.output);
    return true;
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
    *error = cannotWrite(
        arguments.output, QStringLiteral("it is the report being exported, %1").arg(arguments.input));
    return false;
}

// The Word and Excel formats: a new document, or with --append the one OUTPUT holds, receives the event
// table. The document refuses rows beyond its last one itself, also when appending. When another program
// changes OUTPUT between reading and replacing it, the append starts again on the changed file.
template<typename Document>
bool exportTableFile(const ExportArguments &arguments, QString &summary, QString *error)
{
    const std::optional<ReportTable> table = readEventTable(arguments, error);
    if (!table)
        return false;
    std::unique_ptr<TableFile> document = std::make_unique<Document>();
    const auto write = [&table](TableFile &file, QString *why) { return file.writeTable(*table, why); };
    QString reason;
    const bool ready
        = arguments.append ? document->open(arguments.output, &reason) : document->create(&reason);
    if (!ready || !write(*document, &reason)
        || !saveTableFile(
            document, arguments.output, arguments.append, [] { return std::make_unique<Document>(); }, write,
            &reason)) {
        *error = cannotWrite(arguments.output, reason);
        return false;
    }
    summary = QStringLiteral("%1 events written to %2").arg(table->rowCount()).arg(arguments.output);
    for (const QString &note : document->notes())
        summary += QStringLiteral("; ") + note;
    return true;
}

bool exportXlsx(
    const ExportArguments &arguments, QTextStream &, QTextStream &, QString &summary, QString *error)
{
    return exportTableFile<XlsxWorkbook>(arguments, summary, error);
}

bool exportDocx(
    const ExportArguments &arguments, QTextStream &, QTextStream &, QString &summary, QString *error)
{
    return exportTableFile<DocxDocument>(arguments, summary, error);
}

// The printed alarm report as a PDF file. Its pages grow with the events, so their number is bounded.
bool exportPdf(
    const ExportArguments &arguments, QTextStream &, QTextStream &, QString &summary, QString *error)
{
    constexpr int MaxEvents = 20'000;
    QStringList lines;
    EventLogParser parser;
    const QString &input = arguments.input;
    const bool read = arguments.lines(
        [&](const QString &line, QString *error) {
            lines.append(line);
            parser.WriteLine(line);
            if (parser.rowCount() <= MaxEvents)
                return true;
            *error = QStringLiteral("%1 holds more than the %2 alarm events a printed report takes")
                         .arg(input, QLocale(QLocale::English).toString(MaxEvents));
            return false;
        },
        error);
    if (!read)
        return false;
    PrintedReport::Options options;
    options.program = QStringLiteral("Lorimet Adapter " LORIMET_VERSION);
    options.madeAt = QDateTime::currentDateTime();
    const std::optional<QByteArray> pdf = PrintedReport::pdf(lines, options, error);
    QString reason;
    if (!pdf || !SafeFile::replace(arguments.output, *pdf, &reason)) {
        *error = cannotWrite(arguments.output, pdf ? reason : *error);
        return false;
    }
    summary = QStringLiteral("%1 events written to %2").arg(parser.rowCount()).arg(arguments.output);
    return true;
}

int runExport(const ExportArguments &arguments, const QString &command, QTextStream &out, QTextStream &err)
{
    QString summary;
    QString error;
    const bool exported = outputMayBeWritten(arguments.output, &error) && outputIsNotInput(arguments, &error)
        && findFormat(arguments.format)->run(arguments, out, err, summary, &error);
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
        err << "Usage: lorimet-report export " << ExportCommandArguments << Qt::endl;
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
