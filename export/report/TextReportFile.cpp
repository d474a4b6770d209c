#include "export/report/TextReportFile.h"

#include <utility>

#include "common/Windows1252.h"

QByteArray TextReportFile::EncodeLine(const QString &line)
{
    return Windows1252::fromUnicode(line) + QByteArrayLiteral("\r\n");
}

bool TextReportFile::Open(const QString &path)
{
    return m_file.Open(path, &m_errorString);
}

void TextReportFile::WriteLine(const QString &line)
{
    m_lines += EncodeLine(line);
}

bool TextReportFile::Close()
{
    const QByteArray lines = std::exchange(m_lines, QByteArray());
    return lines.isEmpty() || m_file.Append(lines, &m_errorString);
}
