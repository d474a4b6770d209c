#pragma once

#include <optional>

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "report/EventLogParser.h"

// What the archive keeps about one download besides its lines: who and what it is from its tag lines,
// and its alarm events with the time each one began.
namespace DownloadFacts {

// When an alarm began, as far as the report tells: the tagged download time minus "Time since alarm
// began", uncertain by precisionSeconds either way (a report counts in whole minutes, hours or days).
struct AlarmStart
{
    QDateTime began; // local wall-clock time, without a time zone
    qint64 precisionSeconds = 0;
};

struct Alarm
{
    QString serial;
    QString peak;
    QString duration;
    std::optional<AlarmStart> start; // nothing when the report has no readable date or time since
};

struct Facts
{
    QString serial; // the "Serial #:" tag, or the detector's own "S/N:" line when the tag is empty
    QString user;
    QDate date; // the "Date:" tag; invalid while it is not filled in
    QTime time; // the "Time:" tag; invalid while it is not filled in
    QList<Alarm> alarms; // one per row of the event table
    QString highestPeak; // the peak text of the highest alarm; an overload ("O.L.") beats any number
    QString lifeRemaining; // as the newest report says it ("24 months"); empty when it does not
    QString selfTests;
};

// The facts of the lines a parser has read: a download's are read in the pass that makes its event table.
[[nodiscard]] Facts read(const EventLogParser &parser);
[[nodiscard]] Facts read(const QStringList &lines);

// The detector a report's tags name: its "Serial #:" tag as the archive keeps it, or else the detector's own
// "S/N:" line; and its user, without dots.
[[nodiscard]] QString serialOf(const EventLogParser::Tags &tags);
[[nodiscard]] QString userOf(const EventLogParser::Tags &tags);

// A download's date and time as the archive lists and sorts them: "2026-12-05 13:05", or the date alone
// when the report gives no time; empty without a date.
[[nodiscard]] QString whenText(QDate date, QTime time);

// A serial number or user as the archive keeps it: without the dots of the tag ("J. Smith" is "J Smith").
[[nodiscard]] QString tagName(QString tag);

// The peak as a number to compare: its ppm, infinity for an overload reading ("O.L."), -1 when unreadable.
[[nodiscard]] double peakRank(const QString &peak);

// The start of an alarm that the report of the given date and time says began timeSince ago.
[[nodiscard]] std::optional<AlarmStart> alarmStart(QDate date, QTime time, const QString &timeSince);

// The start as precisely as the report gives it: "2026-12-01 08:44", "2026-12-01 08 h" or "2026-12-01".
[[nodiscard]] QString startText(const AlarmStart &start);

// The key under which the archive knows one set of lines, whatever else it holds.
[[nodiscard]] QByteArray contentKey(const QStringList &lines);

} // namespace DownloadFacts
