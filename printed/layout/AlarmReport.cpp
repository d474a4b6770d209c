#include "printed/layout/AlarmReport.h"

#include <algorithm>
#include <map>

#include "archive/store/DownloadFacts.h"
#include "export/report/EventLogParser.h"

namespace {

EventLogParser parsed(const QStringList &lines)
{
    EventLogParser parser;
    for (const QString &line : lines)
        parser.WriteLine(line);
    return parser;
}

} // namespace

AlarmReport::AlarmReport(const QStringList &lines)
    : m_table(parsed(lines), QLocale(QLocale::English))
{
    // The same lines again, read without a clock: a date the report does not give stays unknown.
    EventLogParser undated([] { return QDateTime(); });
    for (const QString &line : lines)
        undated.WriteLine(line);

    std::map<QString, Detector> bySerial;
    for (int row = 0; row < undated.rowCount(); ++row) {
        const EventLogRecord record = undated.record(row);
        const QString serial = m_table.text(row, ReportColumn::SerialNumber);
        Detector &detector = bySerial[serial];
        detector.serial = serial;
        ++detector.alarmEvents;
        detector.lifeRemaining = record.LifeRemaining;
        detector.selfTests = record.SelfTests;
        if (const auto duration = DownloadFacts::span(record.AlarmDuration))
            detector.totalAlarmSeconds += duration->seconds;

        const auto start
            = DownloadFacts::alarmStart(record.DownloadDate, record.DownloadTime, record.TimeSinceAlarm);
        Point point;
        point.row = row;
        point.began = start.has_value();
        point.when = start                  ? start->began
            : record.DownloadDate.isValid() ? QDateTime(record.DownloadDate, QTime(0, 0), Qt::UTC)
                                            : QDateTime();
        const QString when = start          ? DownloadFacts::startText(*start)
            : record.DownloadDate.isValid() ? record.DownloadDate.toString(Qt::ISODate)
                                            : QString();
        if (point.when.isValid()) {
            const QDate day = point.when.date();
            m_firstDay = m_firstDay.isValid() ? std::min(m_firstDay, day) : day;
            m_lastDay = m_lastDay.isValid() ? std::max(m_lastDay, day) : day;
        }
        const double rank = DownloadFacts::peakRank(record.Peak);
        const double highest = DownloadFacts::peakRank(detector.highestPeak);
        if (rank >= 0 && (detector.highestPeak.isEmpty() || rank > highest)) {
            detector.highestPeak = record.Peak;
            detector.highestWhen = when;
        }
        if (rank >= 0 && point.when.isValid()) {
            point.ppm = rank;
            detector.points.append(point);
        }
    }
    for (auto &[serial, detector] : bySerial) {
        std::stable_sort(detector.points.begin(), detector.points.end(),
            [](const Point &a, const Point &b) { return a.when < b.when; });
        m_detectors.append(std::move(detector));
    }
}

QString AlarmReport::durationText(qint64 seconds)
{
    QStringList parts;
    const qint64 days = seconds / 86400;
    const qint64 hours = seconds / 3600 % 24;
    const qint64 minutes = seconds / 60 % 60;
    if (days > 0)
        parts << QStringLiteral("%1 days").arg(days);
    if (hours > 0)
        parts << QStringLiteral("%1 hrs").arg(hours);
    if (minutes > 0)
        parts << QStringLiteral("%1 mins").arg(minutes);
    if (seconds % 60 > 0 || parts.isEmpty())
        parts << QStringLiteral("%1 secs").arg(seconds % 60);
    return parts.join(u' ');
}
