#pragma once

#include <functional>

#include <QStringList>
#include <QTextStream>

// Report lines handed over one at a time; the source stops at the first line the sink refuses.
using ReportLineSink = std::function<bool(const QString &line, QString *error)>;
using ReportLineSource = std::function<bool(const ReportLineSink &take, QString *error)>;

// The export command's arguments, as its usage and the tool's help show them.
extern const char *const ExportCommandArguments;

// The "export" command: args follow the word export, as in --format txt|csv|xlsx|docx|pdf [--append]
// INPUT OUTPUT. INPUT is a text report as the text export writes it, one display line per line, read as a
// stream. txt appends the lines to OUTPUT in one go as the text export does; csv replaces OUTPUT with the
// event table; xlsx and docx write it as a new document or, with --append, below the table OUTPUT holds;
// pdf writes the printed alarm report, which needs a QGuiApplication for its fonts. A failed run leaves
// OUTPUT as it was. OUTPUT "-" is the device of out, standard output in the tool, for txt and csv. Returns 0
// on success, 1 when a file cannot be read or written or INPUT is too large, 2 for wrong arguments.
[[nodiscard]] int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);

[[nodiscard]] bool isExportFormat(const QString &format, bool append);

// Whether the command args (the tool's arguments after its name) paint a printed report.
[[nodiscard]] bool paintsReport(const QStringList &args);

// The export of report lines from elsewhere (what names them in messages) to OUTPUT, as the export
// command writes them; command names the tool's command in its messages.
[[nodiscard]] int exportReportLines(const QString &command, const QString &format, const QString &what,
    const ReportLineSource &lines, const QString &output, bool append, QTextStream &out, QTextStream &err);
