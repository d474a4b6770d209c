#include "report/TextReportFile.h"

#include <utility>

#include "common/Windows1252.h"

QByteArray TextReportFile::encodeLine(const QString &line, qsizetype *replaced)
{
    return Windows1252::fromUnicode(line, replaced) + QByteArrayLiteral("\r\n");
}

QString TextReportFile::replacedNote(qsizetype count)
{
    return count == 1
        ? QStringLiteral("1 character that a text report cannot hold was written as \"?\".")
        : QStringLiteral("%1 characters that a text report cannot hold were written as \"?\".").arg(count);
}

bool TextReportFile::open(const QString &path)
{
    return m_file.open(path, &m_errorString);
}

void TextReportFile::WriteLine(const QString &line)
{
    m_lines += encodeLine(line, &m_replaced);
}

bool TextReportFile::close()
{
    const QByteArray lines = std::exchange(m_lines, QByteArray());
    return lines.isEmpty() || m_file.append(lines, &m_errorString);
}
