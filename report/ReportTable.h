#pragma once

#include <optional>

#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include "report/EventLogParser.h"

// The columns of the event table, in their order in a new table.
enum class ReportColumn
{
    DownloadOn,
    DownloadAt,
    SerialNumber,
    User,
    Peak,
    TimeSinceAlarm,
    DurationOfAlarm,
    LifeRemaining,
    SelfTests,
    CumulativeAlarmTime,
    TotalEvents,
};

// The event table as the table writers lay it out: which columns it has, their header texts and the value
// of every cell, as text and as a typed value. Month names follow the given locale.
class ReportTable
{
public:
    explicit ReportTable(const EventLogParser &parser, const QLocale &locale = QLocale(QLocale::English));

    [[nodiscard]] static QString headerText(ReportColumn column);
    // Finds the column a header names, ignoring letter case and spaces; rows appended to an earlier table go
    // under the header that names their column, wherever it stands.
    [[nodiscard]] static std::optional<ReportColumn> columnForHeader(const QString &header);

    // The seven fixed columns, then the optional ones whose label occurred in the report lines.
    [[nodiscard]] const QList<ReportColumn> &columns() const { return m_columns; }
    [[nodiscard]] QStringList headers() const;
    [[nodiscard]] bool isPresent(ReportColumn column) const;
    [[nodiscard]] int rowCount() const { return static_cast<int>(m_records.size()); }

    // The text a cell shows; empty for an optional column that is not present.
    [[nodiscard]] QString text(int row, ReportColumn column) const;
    // The value a spreadsheet cell holds: the date as QDate, the time as QTime, a serial number of digits
    // alone or a decimal one, and any other plain integer or decimal as a number when a spreadsheet keeps
    // all its digits (15 significant ones), everything else as its text; an empty QVariant where the cell
    // has no value.
    [[nodiscard]] QVariant value(int row, ReportColumn column) const;

private:
    QLocale m_locale;
    QList<EventLogRecord> m_records;
    QList<ReportColumn> m_columns;
};

// The serial number as the number pattern "0" shows it: digits alone lose their leading zeros, a decimal
// number is rounded half away from zero, any other text stays as it is.
[[nodiscard]] QString formatSerialNumber(const QString &serial);
// "hh:mm AM/PM" on the 12-hour clock.
[[nodiscard]] QString formatDownloadTime(const QTime &time);
