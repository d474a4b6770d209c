#include "device/CaptureFile.h"

#include <cctype>

#include <QCoreApplication>
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

bool parseLine(QString line, CapturedReport &report, QString *problem)
{
    const auto fail = [problem](const QString &reason) {
        *problem = reason;
        return false;
    };
    const qsizetype comment = line.indexOf(QLatin1Char('#'));
    if (comment >= 0)
        line.truncate(comment);
    QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!tokens.isEmpty() && tokens.first().startsWith(QLatin1Char('+'))) {
        bool ok = false;
        const QString digits = tokens.takeFirst().mid(1);
        const qint64 delay = digits.toLongLong(&ok);
        if (!ok || delay < 0 || digits.isEmpty() || !digits.at(0).isDigit())
            return fail(QCoreApplication::translate(
                "CaptureFile", "the delay must be \"+\" followed by milliseconds"));
        report.delay = std::chrono::milliseconds(delay);
    }
    if (tokens.size() != ReportSize)
        return fail(QCoreApplication::translate("CaptureFile", "expected %1 hex bytes, found %2")
                        .arg(ReportSize)
                        .arg(tokens.size()));
    for (const QString &token : tokens) {
        const std::optional<int> byte = parseHexByte(token);
        if (!byte)
            return fail(
                QCoreApplication::translate("CaptureFile", "\"%1\" is not a two-digit hex byte").arg(token));
        report.bytes.append(static_cast<char>(*byte));
    }
    return true;
}

} // namespace

std::optional<QList<CapturedReport>> parse(const QByteArray &text, CaptureError *error)
{
    QList<CapturedReport> reports;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        line.replace(QLatin1Char('\t'), QLatin1Char(' '));
        line.remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        CapturedReport report;
        QString problem;
        if (!parseLine(line, report, &problem)) {
            *error = CaptureError { static_cast<int>(i + 1), problem };
            return std::nullopt;
        }
        reports.append(report);
    }
    return reports;
}

std::optional<QList<CapturedReport>> read(const QString &fileName, CaptureError *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<QList<CapturedReport>> {
        *error = CaptureError { 0, reason };
        return std::nullopt;
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Read in blocks up to the limit, so that an endless device such as /dev/zero is refused too.
    QByteArray text;
    char block[64 * 1024];
    for (qint64 count; (count = file.read(block, sizeof block)) > 0;) {
        if (text.size() + count > MaxFileSize)
            return fail(QCoreApplication::translate(
                "CaptureFile", "it is larger than %1 MiB, too large for a capture")
                            .arg(MaxFileSize >> 20));
        text.append(block, count);
    }
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    return parse(text, error);
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

bool write(
    const QString &fileName, const QList<CapturedReport> &reports, const QString &comment, QString *error)
{
    return SafeFile::replace(fileName, format(reports, comment), error);
}

} // namespace CaptureFile
