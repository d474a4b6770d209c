#include "report/TextReportFile.h"

#include <QCoreApplication>

#include "common/Windows1252.h"

QByteArray TextReportFile::encodeLine(const QString &line, qsizetype *replaced)
{
    return Windows1252::fromUnicode(line, replaced) + QByteArrayLiteral("\r\n");
}

QString TextReportFile::replacedNote(qsizetype count)
{
    return count == 1
        ? QCoreApplication::translate(
            "TextReportFile", "1 character that a text report cannot hold was written as \"?\".")
        : QCoreApplication::translate("TextReportFile",
            "%n characters that a text report cannot hold were written as \"?\".", nullptr, int(count));
}
