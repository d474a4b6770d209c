#include "report/DownloadFacts.h"

#include <algorithm>
#include <limits>

#include <QCryptographicHash>
#include <QRegularExpression>

#include "report/ReportLines.h"
#include "report/SupportFunctions.h"

namespace DownloadFacts {

using SupportFunctions::Day;
using SupportFunctions::Hour;
using SupportFunctions::Minute;

double peakRank(const QString &peak)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)"));
    if (peak.trimmed().startsWith(QLatin1String("O.L."), Qt::CaseInsensitive))
        return std::numeric_limits<double>::infinity();
    const QRegularExpressionMatch match = number.match(peak);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

std::optional<AlarmStart> alarmStart(QDate date, QTime time, const QString &timeSince)
{
    const std::optional<SupportFunctions::Span> since = SupportFunctions::span(timeSince);
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

QString serialOf(const EventLogParser::Tags &tags)
{
    const QString tagged = tagName(ReportLines::tagValue(tags.serialTag));
    return tagged.isEmpty() ? tags.instrumentSerial : tagged;
}

QString userOf(const EventLogParser::Tags &tags)
{
    return tagName(ReportLines::tagValue(tags.user));
}

QString whenText(QDate date, QTime time)
{
    if (!date.isValid())
        return {};
    const QString day = date.toString(Qt::ISODate);
    return time.isValid() ? day + u' ' + time.toString(QStringLiteral("HH:mm")) : day;
}

Facts read(const EventLogParser &parser)
{
    const EventLogParser::Tags &tags = parser.tags();
    Facts facts;
    facts.date = tags.date;
    facts.time = tags.time;
    facts.serial = serialOf(tags);
    facts.user = userOf(tags);
    facts.lifeRemaining = tags.lifeRemaining;
    facts.selfTests = tags.selfTests;
    double highest = -2;
    for (int row = 0; row < parser.rowCount(); ++row) {
        const EventLogRecord record = parser.record(row);
        const QString serial = ReportLines::tagValue(record.SerialNumber);
        facts.alarms.append({ serial.isEmpty() ? facts.serial : serial, record.Peak, record.AlarmDuration,
            alarmStart(record.TaggedDate, record.TaggedTime, record.TimeSinceAlarm) });
        if (const double rank = peakRank(record.Peak); rank > highest) {
            highest = rank;
            facts.highestPeak = record.Peak;
        }
    }
    return facts;
}

Facts read(const QStringList &lines)
{
    return read(EventLogParser::readAll(lines));
}

QByteArray contentKey(const QStringList &lines)
{
    return QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex();
}

} // namespace DownloadFacts
