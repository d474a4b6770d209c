#pragma once

#include <QStringList>
#include <QTextStream>

// One line for the command-line tool's help.
extern const char *const ExportCommandUsage;

// The "export" command: args follow the word export, as in --format txt|csv INPUT OUTPUT. INPUT is a text
// report as the text export writes it, one display line per line. txt appends the lines to OUTPUT as the
// text export does; csv replaces OUTPUT with the event table. OUTPUT is written beside and renamed into
// place, so a failed run leaves no partial file. Returns 0 on success, 1 when a file cannot be read or
// written, 2 for wrong arguments.
[[nodiscard]] int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
