#pragma once

#include <QDate>
#include <QString>

// Dates as the windows show them: in the user's locale, except in English, where they keep the ISO form
// (2024-03-05 14:30) that the reports and files use. Stored texts stay as they are; only their display
// changes.
namespace WindowDates {

// A stored date and time ("2024-03-05 14:30", "2024-03-05 14 h", "2024-03-05"): its date in the
// locale's short form, its time as it is. A text that is not such a date is returned unchanged.
[[nodiscard]] QString shown(const QString &stored);
[[nodiscard]] QString shown(QDate date);

// The display format of a date field, with the year in four digits.
[[nodiscard]] QString editFormat();

} // namespace WindowDates
