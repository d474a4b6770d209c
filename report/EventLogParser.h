#pragma once

#include <functional>
#include <optional>

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "report/ReportLines.h"

// One row of the event table: the context of the report an alarm event belongs to, and the event itself.
// A date or time the report never gave is invalid (shown as an empty cell).
struct EventLogRecord
{
    QDate DownloadDate;
    QTime DownloadTime;
    QString SerialNumber;
    QString UserName;
    QString LifeRemaining;
    QString SelfTests;
    QString CumulativeAlarmTime;
    QString TotalEvents;
    QString Peak;
    QString TimeSinceAlarm;
    QString AlarmDuration;
    // The tags as the report gives them: invalid where it gives none, or none that can be read, instead of
    // the clock's date and time that DownloadDate and DownloadTime hold then.
    QDate TaggedDate;
    QTime TaggedTime;
};

// The event table, column by column. Each column ends with one empty entry: a column that has received
// n values holds n + 1 entries. Row k is entry k of every column.
struct EventLogColumns
{
    QList<QDate> DownloadDates;
    QList<QTime> DownloadTimes;
    QList<QString> SerialNumbers;
    QList<QString> UserNames;
    QList<QString> LifeRemainingValues;
    QList<QString> SelfTestCounts;
    QList<QString> CumulativeAlarmTimes;
    QList<QString> TotalEventCounts;
    QList<QString> PeakReadings;
    QList<QString> TimesSinceAlarm;
    QList<QString> AlarmDurations;
};

// Turns the displayed report lines, fed one at a time and possibly holding several reports in a row, into
// the event table: one row per alarm event, each with the context of its report.
class EventLogParser
{
public:
    using Clock = std::function<QDateTime()>;

    // What the lines read so far say of the report they end with: its tags as the report gives them and
    // its detector's figures.
    struct Tags
    {
        QDate date; // invalid where the "Date:" tag is missing or unreadable
        QTime time;
        QString serialTag; // the "Serial #:" tag, without its dots
        QString instrumentSerial; // the detector's own "S/N:" line
        QString user; // without its dots
        QString lifeRemaining;
        QString selfTests;
        int firstRow = 0; // of the event table, when the report began
    };

    // The clock stands in for a "Date:" or "Time:" tag whose value cannot be read.
    explicit EventLogParser(Clock clock = &QDateTime::currentDateTime);

    // A parser that has read all of lines.
    [[nodiscard]] static EventLogParser readAll(const QStringList &lines);

    // Sizes every column to its single empty entry; the parser state is kept.
    void resetColumns();
    void WriteLine(const QString &FileLine);

    [[nodiscard]] const EventLogColumns &columns() const { return m_columns; }
    [[nodiscard]] int rowCount() const;
    // Entry row of every column; an entry a short column lacks is empty.
    [[nodiscard]] EventLogRecord record(int row) const;

    [[nodiscard]] const Tags &tags() const { return m_tags; }
    // The tags of each report read so far, a report running from one instrument line to the next; empty
    // when the lines hold no instrument line.
    [[nodiscard]] QList<Tags> reports() const;

    [[nodiscard]] bool HasLifeRemaining() const { return m_hasLifeRemaining; }
    [[nodiscard]] bool HasSelfTests() const { return m_hasSelfTests; }
    [[nodiscard]] bool HasAlarmTime() const { return m_hasAlarmTime; }
    [[nodiscard]] bool HasTotalEvents() const { return m_hasTotalEvents; }

private:
    void storePendingValue(ReportLines::Label label, const QString &line);
    void handleLabel(const QString &line);
    void appendEventValue(QList<QString> &column, const QString &value);
    void appendContextRow();
    // A tag's date or time as read from its text; a log repeats the same few texts many times over, each
    // is read once.
    [[nodiscard]] QDate tagDate(const QString &text);
    [[nodiscard]] QTime tagTime(const QString &text);

    Clock m_clock;
    EventLogColumns m_columns;
    // The label whose value the next line is.
    std::optional<ReportLines::Label> m_pending;

    Tags m_tags;
    QList<Tags> m_reports; // each report before the current one
    bool m_inReport = false;
    QList<QDate> m_taggedDates;
    QList<QTime> m_taggedTimes;
    QDate m_currentDate;
    QTime m_currentTime;
    QString m_currentSerial;
    QString m_currentAlarmTime;
    QString m_currentTotalEvents;

    QHash<QString, QDate> m_tagDates;
    QHash<QString, QTime> m_tagTimes;

    bool m_hasLifeRemaining = false;
    bool m_hasSelfTests = false;
    bool m_hasAlarmTime = false;
    bool m_hasTotalEvents = false;
};

// The date and time forms a tag line may hold: the tagging dialog's ("05-Dec-2026", "1:05 PM"), ISO dates,
// the locale's short date and 24-hour times. An unreadable text gives an invalid value.
[[nodiscard]] QDate parseTagDate(const QString &text);
[[nodiscard]] QTime parseTagTime(const QString &text);
