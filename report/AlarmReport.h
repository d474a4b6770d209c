#pragma once

#include <optional>

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "report/DetectorStatus.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

// What a printed alarm report shows of a set of report lines: the event table as the Word table has it
// (with English month names, as the exports write them),
// and per detector a summary and the points of its alarm chart.
class AlarmReport
{
public:
    struct Point
    {
        QDateTime when; // when the alarm began, or the download's date where that is unknown
        bool began = false; // when is the alarm's start
        double ppm = 0; // infinity for an overload reading
        int row = 0; // of the event table
    };

    struct Detector
    {
        QString serial;
        int alarmEvents = 0;
        QString highestPeak; // as the report gives it; empty when no peak is readable
        QString highestWhen;
        qint64 totalAlarmSeconds = 0;
        QString lifeRemaining; // from its newest download
        QString selfTests;
        QList<Point> points; // in time order; the alarms with a readable peak and a date
    };

    explicit AlarmReport(const QStringList &lines);
    explicit AlarmReport(const EventLogParser &parser);

    [[nodiscard]] const ReportTable &table() const { return m_table; }
    [[nodiscard]] const QList<Detector> &detectors() const { return m_detectors; }
    // Every detector the lines report on, alarms or not, by serial number: its reports, the newest one's
    // tags, its life and its alarms, for its status on a day.
    [[nodiscard]] const QList<DetectorStatus::Detector> &fleet() const { return m_fleet; }
    // The first and last day the alarms cover; invalid when no alarm has a date.
    [[nodiscard]] QDate firstDay() const { return m_firstDay; }
    [[nodiscard]] QDate lastDay() const { return m_lastDay; }

private:
    ReportTable m_table;
    QList<Detector> m_detectors;
    QList<DetectorStatus::Detector> m_fleet;
    QDate m_firstDay;
    QDate m_lastDay;
};
