#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A plain text report file: each line in Windows-1252 followed by CR LF, appended after what the file
// already holds.
class TextReportFile
{
public:
    [[nodiscard]] static QByteArray EncodeLine(const QString &line);

    // Creates the file when it does not exist; keeps its content when it does.
    [[nodiscard]] bool Open(const QString &path);
    [[nodiscard]] bool WriteLine(const QString &line);
    [[nodiscard]] bool Close();
    // The system's reason for the last failure.
    [[nodiscard]] QString ErrorString() const { return m_errorString; }

private:
    bool fail();

    QFile m_file;
    QString m_errorString;
};
