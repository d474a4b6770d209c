#include "archive/store/DownloadFacts.h"

#include <algorithm>
#include <limits>

#include <QCryptographicHash>
#include <QRegularExpression>

#include "export/report/EventLogParser.h"

namespace DownloadFacts {

namespace {

constexpr qint64 Minute = 60;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;

// The rest of a line that begins with label, ignoring letter case, as the event-log parser reads it.
std::optional<QString> restAfter(const QString &line, QLatin1String label)
{
    if (!line.startsWith(label, Qt::CaseInsensitive))
        return std::nullopt;
    return line.mid(label.size()).trimmed();
}

// An untagged report holds underscores where the tags go.
QString tagValue(const QString &rest)
{
    return std::all_of(rest.cbegin(), rest.cend(), [](QChar c) { return c == u'_'; }) ? QString() : rest;
}

} // namespace

double peakRank(const QString &peak)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)"));
    if (peak.trimmed().startsWith(QLatin1String("O.L."), Qt::CaseInsensitive))
        return std::numeric_limits<double>::infinity();
    const QRegularExpressionMatch match = number.match(peak);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

std::optional<Span> span(const QString &text)
{
    static const QRegularExpression part(
        QStringLiteral("(\\d+)\\s*(day|hr|hour|min|sec)"), QRegularExpression::CaseInsensitiveOption);
    Span result { 0, 0 };
    for (const QRegularExpressionMatch &match : part.globalMatch(text)) {
        const QString name = match.captured(2).toLower();
        result.unit = name == QLatin1String("day") ? Day
            : name.startsWith(u'h')                ? Hour
            : name == QLatin1String("min")         ? Minute
                                                   : 1;
        result.seconds += match.captured(1).toLongLong() * result.unit;
    }
    if (result.unit == 0)
        return std::nullopt;
    return result;
}

std::optional<AlarmStart> alarmStart(QDate date, QTime time, const QString &timeSince)
{
    const std::optional<Span> since = span(timeSince);
    if (!date.isValid() || !since)
        return std::nullopt;
    // The smallest unit a report gives is the last, and a tag time counts whole minutes.
    const qint64 tagPrecision = time.isValid() ? Minute : Day;
    const QDateTime tagged(date, time.isValid() ? time : QTime(0, 0), Qt::UTC);
    return AlarmStart { tagged.addSecs(-since->seconds), std::max(since->unit, tagPrecision) };
}

QString startText(const AlarmStart &start)
{
    const char *format = start.precisionSeconds >= Day ? "yyyy-MM-dd"
        : start.precisionSeconds >= Hour               ? "yyyy-MM-dd HH 'h'"
        : start.precisionSeconds >= Minute             ? "yyyy-MM-dd HH:mm"
                                                       : "yyyy-MM-dd HH:mm:ss";
    return start.began.toString(QLatin1String(format));
}

QString tagName(QString tag)
{
    return tag.remove(u'.');
}

Facts read(const QStringList &lines)
{
    Facts facts;
    QString detectorSerial;
    for (const QString &line : lines) {
        if (const auto rest = restAfter(line, QLatin1String("Date:")))
            facts.date = parseTagDate(tagValue(*rest));
        else if (const auto rest = restAfter(line, QLatin1String("Time:")))
            facts.time = parseTagTime(tagValue(*rest));
        else if (const auto rest = restAfter(line, QLatin1String("Serial #:")))
            facts.serial = tagName(tagValue(*rest));
        else if (const auto rest = restAfter(line, QLatin1String("   S/N:")))
            detectorSerial = *rest;
        else if (const auto rest = restAfter(line, QLatin1String("User:")))
            facts.user = tagName(tagValue(*rest));
    }
    if (facts.serial.isEmpty())
        facts.serial = detectorSerial;

    // A date the report does not give stays unknown instead of becoming today's.
    EventLogParser parser([] { return QDateTime(); });
    for (const QString &line : lines)
        parser.WriteLine(line);
    double highest = -2;
    for (int row = 0; row < parser.rowCount(); ++row) {
        const EventLogRecord record = parser.record(row);
        const QString serial = tagValue(record.SerialNumber);
        facts.alarms.append({ serial.isEmpty() ? facts.serial : serial, record.Peak, record.AlarmDuration,
            alarmStart(record.DownloadDate, record.DownloadTime, record.TimeSinceAlarm) });
        if (const double rank = peakRank(record.Peak); rank > highest) {
            highest = rank;
            facts.highestPeak = record.Peak;
        }
    }
    return facts;
}

QByteArray contentKey(const QStringList &lines)
{
    return QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex();
}

} // namespace DownloadFacts
