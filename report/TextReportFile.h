#pragma once

#include <QByteArray>
#include <QString>

// The lines of a plain text report file: each in Windows-1252 followed by CR LF.
namespace TextReportFile {

// replaced, when given, is increased by the number of characters Windows-1252 lacks, written as "?".
[[nodiscard]] QByteArray encodeLine(const QString &line, qsizetype *replaced = nullptr);
// Tells the user that count characters were written as "?".
[[nodiscard]] QString replacedNote(qsizetype count);

} // namespace TextReportFile
