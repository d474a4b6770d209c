#include "report/TextReports.h"

#include <algorithm>

#include <QCoreApplication>
#include <QFile>

#include "common/Windows1252.h"
#include "report/ReportLines.h"

namespace TextReports {

namespace {

// A display line holds one 24-character report line.
constexpr qsizetype MaxLineLength = 24;
// A report header is a few banner lines at most.
constexpr int MaxHeaderLines = 3;

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

std::optional<QString> unreadableLine(const QString &line)
{
    if (line.size() > MaxLineLength)
        return QCoreApplication::translate(
            "TextReports", "the line is longer than the %1 characters of a report line")
            .arg(MaxLineLength);
    const auto control = [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; };
    if (std::any_of(line.cbegin(), line.cend(), control))
        return QCoreApplication::translate(
            "TextReports", "the line holds control characters; this is not a text export");
    return std::nullopt;
}

} // namespace

Split split(const QByteArray &bytes)
{
    QStringList lines;
    for (qsizetype start = 0; start <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView raw = QByteArrayView(bytes).sliced(start, end - start);
        if (raw.endsWith('\r'))
            raw.chop(1);
        lines.append(Windows1252::toUnicode(raw));
        start = end + 1;
    }
    // The line end of the last line leaves an empty piece behind it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    QList<int> instruments;
    for (int i = 0; i < lines.size(); ++i) {
        if (ReportLines::isInstrumentLine(lines.at(i)))
            instruments.append(i);
    }
    Split result;
    if (instruments.isEmpty()) {
        if (!lines.isEmpty())
            result.unreadable.append({ 1,
                QCoreApplication::translate("TextReports", "no detector report in it (no \"S/N:\" line)") });
        return result;
    }
    // A report's header is the banner above its "S/N:" line, the same in every report of the file; what
    // differs lies outside the reports (text before the first) or belongs to the report before.
    int headerLines = 0;
    while (headerLines < MaxHeaderLines) {
        const int above = headerLines + 1;
        const QString &first
            = instruments.first() >= above ? lines.at(instruments.first() - above) : QString();
        const bool shared = !isBlank(first)
            && std::all_of(instruments.cbegin(), instruments.cend(),
                [&](int instrument) { return instrument >= above && lines.at(instrument - above) == first; });
        if (!shared)
            break;
        ++headerLines;
    }
    QList<int> starts;
    int previous = -1;
    for (const int instrument : instruments) {
        starts.append(std::max(instrument - headerLines, previous + 1));
        previous = instrument;
    }
    const bool textBeforeFirst = std::any_of(
        lines.cbegin(), lines.cbegin() + starts.first(), [](const QString &line) { return !isBlank(line); });
    if (textBeforeFirst)
        result.unreadable.append(
            { 1, QCoreApplication::translate("TextReports", "text before the first detector report") });

    for (int r = 0; r < starts.size(); ++r) {
        const int begin = starts.at(r);
        const int end = r + 1 < starts.size() ? starts.at(r + 1) : int(lines.size());
        std::optional<Unreadable> fault;
        for (int i = begin; i < end && !fault; ++i) {
            if (const std::optional<QString> reason = unreadableLine(lines.at(i)))
                fault = Unreadable { i + 1, *reason };
        }
        if (fault)
            result.unreadable.append(*fault);
        else
            result.reports.append({ begin + 1, lines.mid(begin, end - begin) });
    }
    return result;
}

std::optional<Split> read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error
            = QCoreApplication::translate("TextReports", "cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) {
        *error = QCoreApplication::translate(
            "TextReports", "cannot read %1: it is larger than 256 MiB, too large for a text export")
                     .arg(path);
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        *error
            = QCoreApplication::translate("TextReports", "cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return split(bytes);
}

} // namespace TextReports
