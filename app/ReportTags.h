#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

class ReportDisplayModel;

// The four tags the user gives the report just downloaded, and how they are written into its tag lines.
namespace ReportTags {

inline constexpr int ReportLineWidth = 24;

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

// The serial number of the first line in [start, end) that holds "S/N:", trimmed; nothing when no line does.
[[nodiscard]] std::optional<QString> findSerialNumber(const ReportDisplayModel &display, int start, int end);

// The line with its tag written in when it is a tag line whose field is filled; otherwise the line itself.
[[nodiscard]] QString taggedLine(const QString &line, const Tags &tags);

// Rewrites every tag line in [start, end) and nothing outside it.
void writeTags(ReportDisplayModel &display, int start, int end, const Tags &tags);

} // namespace ReportTags
