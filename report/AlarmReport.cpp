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
    std::map<QString, DetectorStatus::Detector> fleet;
    const QList<EventLogParser::Tags> reports = parser.reports();
    for (qsizetype index = 0; index < reports.size(); ++index) {
        const EventLogParser::Tags &tags = reports.at(index);
        const QString serial = DownloadFacts::serialOf(tags);
        if (serial.isEmpty())
            continue;
        DetectorStatus::Detector &detector = fleet[serial];
        detector.serial = serial;
        ++detector.downloads;
        const int endRow = index + 1 < reports.size() ? reports.at(index + 1).firstRow : parser.rowCount();
        for (int row = tags.firstRow; row < endRow; ++row) {
            const EventLogRecord record = parser.record(row);
            ++detector.alarmEvents;
            const double rank = DownloadFacts::peakRank(record.Peak);
            if (rank >= 0
                && (detector.highestPeak.isEmpty() || rank > DownloadFacts::peakRank(detector.highestPeak))) {
                const auto start
                    = DownloadFacts::alarmStart(record.TaggedDate, record.TaggedTime, record.TimeSinceAlarm);
                detector.highestPeak = record.Peak;
                detector.highestPeakBegan = start ? DownloadFacts::startText(*start) : QString();
            }
        }
        const QString when = DownloadFacts::whenText(tags.date, tags.time);
        if (when.isEmpty() || when < detector.lastDownload)
            continue;
        detector.lastDownload = when;
        detector.lastUser = DownloadFacts::userOf(tags);
        detector.selfTests = tags.selfTests;
        if (const std::optional<int> months = DetectorStatus::lifeMonths(tags.lifeRemaining)) {
            detector.lifeRemainingMonths = months;
            detector.lifeReportedOn = tags.date;
        }
    }
    for (auto &[serial, detector] : bySerial) {
        std::stable_sort(detector.points.begin(), detector.points.end(),
            [](const Point &a, const Point &b) { return a.when < b.when; });
        m_detectors.append(std::move(detector));
    }
    for (auto &[serial, detector] : fleet)
        m_fleet.append(std::move(detector));
}
