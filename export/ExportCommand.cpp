#include "ExportCommand.h"

#include <memory>
#include <optional>

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include "CsvTable.h"
#include "DocxDocument.h"
#include "EventLogParser.h"
#include "ReportTable.h"
#include "TextReportFile.h"
#include "Windows1252.h"
#include "XlsxWorkbook.h"

const char *const ExportCommandUsage
    = "export --format txt|csv|xlsx|docx [--append] INPUT OUTPUT   append a saved text report to OUTPUT "
      "(txt) "
      "or write its event table to OUTPUT (csv, xlsx, docx; with --append below the table OUTPUT holds)";

namespace {

enum class ExitStatus
{
    Success = 0,
    FileError = 1,
    UsageError = 2
};

struct ExportArguments
{
    QString format;
    QString input;
    QString output;
    bool append = false;
};

bool isTableDocumentFormat(const QString &format)
{
    return format == QLatin1String("xlsx") || format == QLatin1String("docx");
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
    if (positional.size() != 2
        || (parsed.format != QLatin1String("txt") && parsed.format != QLatin1String("csv")
            && !isTableDocumentFormat(parsed.format))
        || (parsed.append && !isTableDocumentFormat(parsed.format)))
        return std::nullopt;
    parsed.input = positional.at(0);
    parsed.output = positional.at(1);
    return parsed;
}

// The display lines of a saved text report; CR LF and LF line ends both count.
QStringList splitReportLines(const QByteArray &bytes)
{
    QList<QByteArray> pieces = bytes.split('\n');
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    QStringList lines;
    for (QByteArray &piece : pieces) {
        if (piece.endsWith('\r'))
            piece.chop(1);
        lines.append(Windows1252::toUnicode(piece));
    }
    return lines;
}

bool readFile(const QString &path, QByteArray &bytes, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const std::optional<ExportArguments> arguments = parseArguments(args);
    if (!arguments) {
        err << "usage: lorimet-report " << ExportCommandUsage << Qt::endl;
        return static_cast<int>(ExitStatus::UsageError);
    }

    QByteArray input;
    QString error;
    if (!readFile(arguments->input, input, error)) {
        err << "lorimet-report export: cannot read " << arguments->input << ": " << error << Qt::endl;
        return static_cast<int>(ExitStatus::FileError);
    }
    const QStringList lines = splitReportLines(input);

    if (isTableDocumentFormat(arguments->format)) {
        EventLogParser parser;
        for (const QString &line : lines)
            parser.WriteLine(line);
        const ReportTable table(parser, QLocale(QLocale::English));
        const std::unique_ptr<TableFile> document = arguments->format == QLatin1String("xlsx")
            ? std::unique_ptr<TableFile>(std::make_unique<XlsxWorkbook>())
            : std::make_unique<DocxDocument>();
        const bool ready
            = arguments->append ? document->Open(arguments->output, &error) : document->Create(&error);
        if (!ready || !document->WriteTable(table, &error) || !document->Save(arguments->output, &error)) {
            err << "lorimet-report export: cannot write " << arguments->output << ": " << error << Qt::endl;
            return static_cast<int>(ExitStatus::FileError);
        }
        out << table.RowCount() << " events written to " << arguments->output << Qt::endl;
        return static_cast<int>(ExitStatus::Success);
    }

    QByteArray output;
    QString summary;
    if (arguments->format == QLatin1String("txt")) {
        if (QFile::exists(arguments->output) && !readFile(arguments->output, output, error)) {
            err << "lorimet-report export: cannot read " << arguments->output << ": " << error << Qt::endl;
            return static_cast<int>(ExitStatus::FileError);
        }
        for (const QString &line : lines)
            output += TextReportFile::EncodeLine(line);
        summary = QStringLiteral("%1 lines appended to %2").arg(lines.size()).arg(arguments->output);
    } else {
        EventLogParser parser;
        for (const QString &line : lines)
            parser.WriteLine(line);
        const ReportTable table(parser, QLocale(QLocale::English));
        output = CsvTable::ToCsv(table);
        summary = QStringLiteral("%1 events written to %2").arg(table.RowCount()).arg(arguments->output);
    }

    if (!replaceFile(arguments->output, output, error)) {
        err << "lorimet-report export: cannot write " << arguments->output << ": " << error << Qt::endl;
        return static_cast<int>(ExitStatus::FileError);
    }
    out << summary << Qt::endl;
    return static_cast<int>(ExitStatus::Success);
}
