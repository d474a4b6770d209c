#include "report/ReportTable.h"

#include <algorithm>

#include <QRegularExpression>

#include "report/SupportFunctions.h"

namespace {

struct ColumnHeader
{
    ReportColumn column;
    QLatin1String text;
};

constexpr ColumnHeader ColumnHeaders[] = {
    { ReportColumn::DownloadOn, QLatin1String("Download On") },
    { ReportColumn::DownloadAt, QLatin1String("Download At") },
    { ReportColumn::SerialNumber, QLatin1String("Serial #") },
    { ReportColumn::User, QLatin1String("User") },
    { ReportColumn::Peak, QLatin1String("Peak") },
    { ReportColumn::TimeSinceAlarm, QLatin1String("Time Since Alarm Began") },
    { ReportColumn::DurationOfAlarm, QLatin1String("Duration of Alarm") },
    { ReportColumn::LifeRemaining, QLatin1String("Life Remaining") },
    { ReportColumn::SelfTests, QLatin1String("Self Tests") },
    { ReportColumn::CumulativeAlarmTime, QLatin1String("Cumulative Alarm Time") },
    { ReportColumn::TotalEvents, QLatin1String("Total Events") },
};

const QRegularExpression &digitsOnly()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+$"));
    return pattern;
}

const QRegularExpression &decimalNumber()
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?)([0-9]*)\\.([0-9]+)$"));
    return pattern;
}

// An integer or a decimal number written plainly: an optional minus, digits, and digits after one point.
bool isPlainNumber(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.mid(1);
    const qsizetype point = text.indexOf(u'.');
    const auto digits = [](QStringView part) {
        return !part.isEmpty()
            && std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    return point < 0 ? digits(text) : digits(text.left(point)) && digits(text.mid(point + 1));
}

// A spreadsheet keeps 15 significant digits of a number; a longer one would come back changed.
constexpr int SpreadsheetDigits = 15;

bool fitsSpreadsheetNumber(QStringView text)
{
    qsizetype digits = 0;
    bool leading = true;
    for (const QChar c : text) {
        if (!c.isDigit())
            continue;
        leading = leading && c == u'0';
        digits += leading ? 0 : 1;
    }
    if (text.contains(u'.')) {
        // Zeros at the end of a decimal part add nothing.
        for (auto it = text.rbegin(); it != text.rend() && *it == u'0'; ++it)
            --digits;
    }
    return digits <= SpreadsheetDigits;
}

QString withoutLeadingZeros(const QString &digits)
{
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits.at(first) == u'0')
        ++first;
    return digits.mid(first);
}

// Adds one to a string of decimal digits, however long.
QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != u'9') {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return digits.prepend(u'1');
}

} // namespace

QString formatSerialNumber(const QString &serial)
{
    if (digitsOnly().match(serial).hasMatch())
        return withoutLeadingZeros(serial);
    const QRegularExpressionMatch match = decimalNumber().match(serial);
    if (!match.hasMatch())
        return serial;
    QString whole
        = withoutLeadingZeros(match.captured(2).isEmpty() ? QStringLiteral("0") : match.captured(2));
    if (match.captured(3).at(0) >= u'5')
        whole = incremented(whole);
    if (match.captured(1) == QLatin1String("-") && whole != QLatin1String("0"))
        whole.prepend(u'-');
    return whole;
}

QString formatDownloadTime(const QTime &time)
{
    if (!time.isValid())
        return {};
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour, 2, 10, QChar(u'0'))
        .arg(time.minute(), 2, 10, QChar(u'0'))
        .arg(time.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM"));
}

ReportTable::ReportTable(const EventLogParser &parser, const QLocale &locale)
    : m_locale(locale)
{
    m_records.reserve(parser.rowCount());
    for (int row = 0; row < parser.rowCount(); ++row)
        m_records.append(parser.record(row));

    m_columns = { ReportColumn::DownloadOn, ReportColumn::DownloadAt, ReportColumn::SerialNumber,
        ReportColumn::User, ReportColumn::Peak, ReportColumn::TimeSinceAlarm, ReportColumn::DurationOfAlarm };
    if (parser.HasLifeRemaining())
        m_columns.append(ReportColumn::LifeRemaining);
    if (parser.HasSelfTests())
        m_columns.append(ReportColumn::SelfTests);
    if (parser.HasAlarmTime())
        m_columns.append(ReportColumn::CumulativeAlarmTime);
    if (parser.HasTotalEvents())
        m_columns.append(ReportColumn::TotalEvents);
}

QString ReportTable::headerText(ReportColumn column)
{
    for (const ColumnHeader &header : ColumnHeaders) {
        if (header.column == column)
            return header.text;
    }
    return {};
}

std::optional<ReportColumn> ReportTable::columnForHeader(const QString &header)
{
    // A header typed by hand may differ in its spaces ("Duration of Alarm ") and letter case.
    const auto letters = [](QString text) {
        text.removeIf([](QChar c) { return c.isSpace(); });
        return text;
    };
    const QString wanted = letters(header);
    for (const ColumnHeader &entry : ColumnHeaders) {
        if (wanted.compare(letters(entry.text), Qt::CaseInsensitive) == 0)
            return entry.column;
    }
    return std::nullopt;
}

QStringList ReportTable::headers() const
{
    QStringList headers;
    for (ReportColumn column : m_columns)
        headers.append(headerText(column));
    return headers;
}

bool ReportTable::isPresent(ReportColumn column) const
{
    return m_columns.contains(column);
}

QString ReportTable::text(int row, ReportColumn column) const
{
    if (row < 0 || row >= rowCount() || !isPresent(column))
        return {};
    const EventLogRecord &record = m_records.at(row);
    switch (column) {
    case ReportColumn::DownloadOn:
        return m_locale.toString(record.DownloadDate, QStringLiteral("dd-MMM-yyyy"));
    case ReportColumn::DownloadAt:
        return formatDownloadTime(record.DownloadTime);
    case ReportColumn::SerialNumber:
        return formatSerialNumber(record.SerialNumber);
    case ReportColumn::User:
        return record.UserName;
    case ReportColumn::Peak:
        return record.Peak;
    case ReportColumn::TimeSinceAlarm:
        return SupportFunctions::NormalizeDuration(
            SupportFunctions::PadSingleDigits(record.TimeSinceAlarm), true);
    case ReportColumn::DurationOfAlarm:
        return SupportFunctions::NormalizeDuration(
            SupportFunctions::PadSingleDigits(record.AlarmDuration), false);
    case ReportColumn::LifeRemaining:
        return record.LifeRemaining;
    case ReportColumn::SelfTests:
        return record.SelfTests;
    case ReportColumn::CumulativeAlarmTime:
        return record.CumulativeAlarmTime;
    case ReportColumn::TotalEvents:
        return record.TotalEvents;
    }
    return {};
}

QVariant ReportTable::value(int row, ReportColumn column) const
{
    if (row < 0 || row >= rowCount() || !isPresent(column))
        return {};
    const EventLogRecord &record = m_records.at(row);
    switch (column) {
    case ReportColumn::DownloadOn:
        return record.DownloadDate.isValid() ? QVariant(record.DownloadDate) : QVariant();
    case ReportColumn::DownloadAt:
        return record.DownloadTime.isValid() ? QVariant(record.DownloadTime) : QVariant();
    case ReportColumn::SerialNumber:
        // A decimal serial keeps its value; the whole-number format shows it rounded.
        if ((digitsOnly().match(record.SerialNumber).hasMatch()
                || decimalNumber().match(record.SerialNumber).hasMatch())
            && fitsSpreadsheetNumber(record.SerialNumber))
            return record.SerialNumber.toDouble();
        break;
    default:
        break;
    }
    const QString shown = text(row, column);
    if (column != ReportColumn::SerialNumber && isPlainNumber(shown) && fitsSpreadsheetNumber(shown))
        return shown.toDouble();
    return shown.isEmpty() ? QVariant() : QVariant(shown);
}
