#include "export/report/TextReportFile.h"

#include <utility>

#include "common/Windows1252.h"

QByteArray TextReportFile::encodeLine(const QString &line)
{
    return Windows1252::fromUnicode(line) + QByteArrayLiteral("\r\n");
}

bool TextReportFile::open(const QString &path)
{
    return m_file.open(path, &m_errorString);
}

void TextReportFile::WriteLine(const QString &line)
{
    m_lines += encodeLine(line);
}

bool TextReportFile::close()
{
    const QByteArray lines = std::exchange(m_lines, QByteArray());
    return lines.isEmpty() || m_file.append(lines, &m_errorString);
}
