#pragma once

#include <QStringList>
#include <QTextStream>

// The export command's arguments, as its usage and the tool's help show them.
extern const char *const ExportCommandArguments;

// The "export" command: args follow the word export, as in --format txt|csv|xlsx|docx [--append] INPUT
// OUTPUT. INPUT is a text report as the text export writes it, one display line per line, read as a
// stream. txt appends the lines to OUTPUT in one go as the text export does; csv replaces OUTPUT with the
// event table; xlsx and docx write it as a new document or, with --append, below the table OUTPUT holds.
// A failed run leaves OUTPUT as it was. OUTPUT "-" is the device of out, standard output in the tool, for
// txt and csv. Returns 0 on success, 1 when a file cannot be read or written or INPUT is too large, 2 for
// wrong arguments.
[[nodiscard]] int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
