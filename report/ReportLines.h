#pragma once

#include <optional>

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// The lines a detector report is made of, recognised here and nowhere else: the labels the event-log
// parser reads, the instrument line and the tag lines the tagging dialog writes.
namespace ReportLines {

// A display line holds one report line of this many characters.
inline constexpr int Width = 24;

// The labels whose value is on their own line come first.
enum class Label
{
    Date,
    Time,
    SerialTag, // "Serial #:", the user's tag
    Instrument, // "   S/N:", the detector's own serial
    User,
    Peak,
    TimeSince,
    Duration,
    LifeRemaining,
    SelfTests,
    TotalEvents,
    AlarmTime
};

struct Labelled
{
    Label label;
    QString rest; // the line after its label, spaces trimmed
};

// The label the line begins with, letter case ignored, as the parser reads it; nothing for banners,
// separators, blank and value lines.
[[nodiscard]] std::optional<Labelled> label(const QString &line);

// Whether a label's value follows it on its line (the tags, the instrument line) rather than on the next.
[[nodiscard]] bool valueOnItsLine(Label label);

// Whether the line is the detector's instrument line, which opens a report.
[[nodiscard]] bool isInstrumentLine(const QString &line);

// An untagged report holds underscores where the tags go; such a value is empty.
[[nodiscard]] QString tagValue(const QString &rest);

} // namespace ReportLines

// The four tags the user gives the report just downloaded, and how they are written into its tag lines.
namespace ReportTags {

struct Tags
{
    QString date;
    QString time;
    QString serialNo;
    QString user;
};

// "05-Dec-2026": two-digit day, the locale's abbreviated month name (three letters in every English locale),
// four-digit year, in Latin digits.
[[nodiscard]] QString formatDate(QDate date, const QLocale &locale = QLocale());
// "1:05 PM": hour 1 to 12 without a leading zero, two-digit minutes, "AM" or "PM" in capitals.
[[nodiscard]] QString formatTime(QTime time);

// The serial number of the first of lines [start, end) that holds "S/N:", trimmed; nothing when no line
// does.
[[nodiscard]] std::optional<QString> findSerialNumber(const QStringList &lines, int start, int end);

// The line with its tag written in when it is a tag line whose field is filled; otherwise the line itself.
[[nodiscard]] QString taggedLine(const QString &line, const Tags &tags);

} // namespace ReportTags
