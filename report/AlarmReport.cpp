#include "report/AlarmReport.h"

#include <algorithm>
#include <map>

#include "report/DownloadFacts.h"
#include "report/SupportFunctions.h"

AlarmReport::AlarmReport(const QStringList &lines)
    : AlarmReport(EventLogParser::readAll(lines))
{
}

AlarmReport::AlarmReport(const EventLogParser &parser)
    : m_table(parser, QLocale(QLocale::English))
{
    // The chart places an alarm by the tags the report gives: a date it does not give stays unknown.
    std::map<QString, Detector> bySerial;
    for (int row = 0; row < parser.rowCount(); ++row) {
        const EventLogRecord record = parser.record(row);
        const QString serial = m_table.text(row, ReportColumn::SerialNumber);
        Detector &detector = bySerial[serial];
        detector.serial = serial;
        ++detector.alarmEvents;
        detector.lifeRemaining = record.LifeRemaining;
        detector.selfTests = record.SelfTests;
        if (const auto duration = SupportFunctions::span(record.AlarmDuration))
            detector.totalAlarmSeconds += duration->seconds;

        const auto start
            = DownloadFacts::alarmStart(record.TaggedDate, record.TaggedTime, record.TimeSinceAlarm);
        Point point;
        point.row = row;
        point.began = start.has_value();
        point.when = start                ? start->began
            : record.TaggedDate.isValid() ? QDateTime(record.TaggedDate, QTime(0, 0), Qt::UTC)
                                          : QDateTime();
        const QString when = start        ? DownloadFacts::startText(*start)
            : record.TaggedDate.isValid() ? record.TaggedDate.toString(Qt::ISODate)
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
