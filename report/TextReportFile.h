#pragma once

#include <QByteArray>
#include <QString>

#include "common/SafeFile.h"

// A plain text report file: each line in Windows-1252 followed by CR LF, appended after what the file
// already holds. The lines are collected and added in one go when the file is closed, so the file gets
// all of them or, when that fails, none.
class TextReportFile
{
public:
    // replaced, when given, is increased by the number of characters Windows-1252 lacks, written as "?".
    [[nodiscard]] static QByteArray encodeLine(const QString &line, qsizetype *replaced = nullptr);
    // Tells the user that count characters were written as "?".
    [[nodiscard]] static QString replacedNote(qsizetype count);

    // Creates the file when it does not exist; keeps its content when it does.
    [[nodiscard]] bool open(const QString &path);
    void WriteLine(const QString &line);
    [[nodiscard]] bool close();
    // The system's reason for the last failure.
    [[nodiscard]] QString errorString() const { return m_errorString; }
    // What Open repaired of an export that did not finish, to tell the user.
    [[nodiscard]] QString note() const { return m_file.note(); }
    // How many characters of the lines written the file could not hold.
    [[nodiscard]] qsizetype replaced() const { return m_replaced; }

private:
    SafeFile::AppendFile m_file;
    QByteArray m_lines;
    QString m_errorString;
    qsizetype m_replaced = 0;
};
