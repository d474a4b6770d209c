#include "device/CaptureFile.h"

#include <cctype>

#include <QFile>
#include <QStringList>

#include "common/SafeFile.h"

namespace CaptureFile {

namespace {

std::optional<int> parseHexByte(const QString &token)
{
    if (token.size() != 2)
        return std::nullopt;
    bool ok = false;
    const int value = token.toInt(&ok, 16);
    if (!ok || !std::isxdigit(token.at(0).toLatin1()) || !std::isxdigit(token.at(1).toLatin1()))
        return std::nullopt;
    return value;
}

std::optional<QString> parseLine(QString line, CapturedReport &report)
{
    const qsizetype comment = line.indexOf(QLatin1Char('#'));
    if (comment >= 0)
        line.truncate(comment);
    QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!tokens.isEmpty() && tokens.first().startsWith(QLatin1Char('+'))) {
        bool ok = false;
        const QString digits = tokens.takeFirst().mid(1);
        const qint64 delay = digits.toLongLong(&ok);
        if (!ok || delay < 0 || digits.isEmpty() || !digits.at(0).isDigit())
            return QStringLiteral("the delay must be \"+\" followed by milliseconds");
        report.delay = std::chrono::milliseconds(delay);
    }
    if (tokens.size() != ReportSize)
        return QStringLiteral("expected %1 hex bytes, found %2").arg(ReportSize).arg(tokens.size());
    for (const QString &token : tokens) {
        const std::optional<int> byte = parseHexByte(token);
        if (!byte)
            return QStringLiteral("\"%1\" is not a two-digit hex byte").arg(token);
        report.bytes.append(static_cast<char>(*byte));
    }
    return std::nullopt;
}

} // namespace

CaptureParseResult parse(const QByteArray &text)
{
    CaptureParseResult result;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        line.replace(QLatin1Char('\t'), QLatin1Char(' '));
        line.remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        CapturedReport report;
        if (const std::optional<QString> problem = parseLine(line, report)) {
            result.reports.clear();
            result.error = CaptureError { static_cast<int>(i + 1), *problem };
            return result;
        }
        result.reports.append(report);
    }
    return result;
}

CaptureParseResult read(const QString &fileName)
{
    CaptureParseResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = CaptureError { 0, file.errorString() };
        return result;
    }
    // Read in blocks up to the limit, so that an endless device such as /dev/zero is refused too.
    QByteArray text;
    char block[64 * 1024];
    for (qint64 count; (count = file.read(block, sizeof block)) > 0;) {
        if (text.size() + count > MaxFileSize) {
            result.error = CaptureError { 0,
                QStringLiteral("it is larger than %1 MiB, too large for a capture").arg(MaxFileSize >> 20) };
            return result;
        }
        text.append(block, count);
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = CaptureError { 0, file.errorString() };
        return result;
    }
    return parse(text);
}

QByteArray format(const QList<CapturedReport> &reports, const QString &comment)
{
    QByteArray text;
    for (const QString &line : comment.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += "# " + line.toUtf8() + '\n';
    for (const CapturedReport &report : reports) {
        text += '+' + QByteArray::number(static_cast<qint64>(report.delay.count()));
        for (const char byte : report.bytes)
            text += ' ' + QByteArray(1, byte).toHex().toUpper();
        text += '\n';
    }
    return text;
}

std::optional<QString> write(
    const QString &fileName, const QList<CapturedReport> &reports, const QString &comment)
{
    QString error;
    if (!SafeFile::Replace(fileName, format(reports, comment), &error))
        return error;
    return std::nullopt;
}

} // namespace CaptureFile
