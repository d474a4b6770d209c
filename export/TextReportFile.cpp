#include "TextReportFile.h"

#include "Windows1252.h"

QByteArray TextReportFile::EncodeLine(const QString &line)
{
    return Windows1252::fromUnicode(line) + QByteArrayLiteral("\r\n");
}

bool TextReportFile::Open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail();
    return true;
}

bool TextReportFile::WriteLine(const QString &line)
{
    const QByteArray bytes = EncodeLine(line);
    if (m_file.write(bytes) != bytes.size())
        return fail();
    return true;
}

bool TextReportFile::Close()
{
    if (!m_file.isOpen())
        return true;
    const bool flushed = m_file.flush();
    if (!flushed)
        m_errorString = m_file.errorString();
    m_file.close();
    return flushed;
}

bool TextReportFile::fail()
{
    m_errorString = m_file.errorString();
    m_file.close();
    return false;
}
