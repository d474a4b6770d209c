#include "report/EventLogParser.h"

#include <utility>

#include <QLocale>

#include "common/SpaceTrim.h"
#include "report/ReportLines.h"

namespace {

template<typename T> T entryOrEmpty(const QList<T> &column, int row)
{
    return row < column.size() ? column.at(row) : T();
}

template<typename T> void appendValue(QList<T> &column, const T &value)
{
    column.last() = value;
    column.append(T());
}

// Two-digit years of the short date form count from 1930 to 2029.
QDate fixTwoDigitYear(QDate date, const QString &format)
{
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.year() < 1930)
        return date.addYears(100);
    return date;
}

} // namespace

QDate parseTagDate(const QString &text)
{
    const QLocale locale;
    const QString taggingForm = QStringLiteral("d-MMM-yyyy");
    QDate date = locale.toDate(text, taggingForm);
    // Reports tagged under an English locale (three-letter months) stay readable wherever they are exported.
    if (!date.isValid())
        date = QLocale::c().toDate(text, taggingForm);
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) {
        const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
        date = fixTwoDigitYear(locale.toDate(text, shortFormat), shortFormat);
        if (!date.isValid() && !shortFormat.contains(QLatin1String("yyyy")))
            date = locale.toDate(
                text, QString(shortFormat).replace(QLatin1String("yy"), QLatin1String("yyyy")));
    }
    return date;
}

QTime parseTagTime(const QString &text)
{
    for (const QLatin1String format : { QLatin1String("h:mm AP"), QLatin1String("h:mm:ss AP"),
             QLatin1String("H:mm"), QLatin1String("H:mm:ss") }) {
        const QTime time = QTime::fromString(text, format);
        if (time.isValid())
            return time;
    }
    return {};
}

EventLogParser::EventLogParser(Clock clock)
    : m_clock(std::move(clock))
{
    resetColumns();
}

EventLogParser EventLogParser::readAll(const QStringList &lines)
{
    EventLogParser parser;
    for (const QString &line : lines)
        parser.WriteLine(line);
    return parser;
}

QList<EventLogParser::Tags> EventLogParser::reports() const
{
    return m_inReport ? m_reports + QList<Tags> { m_tags } : m_reports;
}

void EventLogParser::resetColumns()
{
    m_columns = EventLogColumns();
    m_columns.DownloadDates = { QDate() };
    m_columns.DownloadTimes = { QTime() };
    m_taggedDates.clear();
    m_taggedTimes.clear();
    for (QList<QString> *column :
        { &m_columns.SerialNumbers, &m_columns.UserNames, &m_columns.LifeRemainingValues,
            &m_columns.SelfTestCounts, &m_columns.CumulativeAlarmTimes, &m_columns.TotalEventCounts,
            &m_columns.PeakReadings, &m_columns.TimesSinceAlarm, &m_columns.AlarmDurations })
        *column = { QString() };
}

int EventLogParser::rowCount() const
{
    return static_cast<int>(m_columns.DownloadDates.size()) - 1;
}

EventLogRecord EventLogParser::record(int row) const
{
    const EventLogColumns &c = m_columns;
    return EventLogRecord { entryOrEmpty(c.DownloadDates, row), entryOrEmpty(c.DownloadTimes, row),
        entryOrEmpty(c.SerialNumbers, row), entryOrEmpty(c.UserNames, row),
        entryOrEmpty(c.LifeRemainingValues, row), entryOrEmpty(c.SelfTestCounts, row),
        entryOrEmpty(c.CumulativeAlarmTimes, row), entryOrEmpty(c.TotalEventCounts, row),
        entryOrEmpty(c.PeakReadings, row), entryOrEmpty(c.TimesSinceAlarm, row),
        entryOrEmpty(c.AlarmDurations, row), m_taggedDates.value(row), m_taggedTimes.value(row) };
}

void EventLogParser::WriteLine(const QString &FileLine)
{
    // A pending label takes the very next line, whatever it holds.
    if (const std::optional<ReportLines::Label> pending = std::exchange(m_pending, std::nullopt)) {
        storePendingValue(*pending, FileLine);
        return;
    }
    handleLabel(FileLine);
}

void EventLogParser::storePendingValue(ReportLines::Label label, const QString &line)
{
    const QString value = trimSpaces(line);
    switch (label) {
    case ReportLines::Label::Peak:
        appendEventValue(m_columns.PeakReadings, value);
        break;
    case ReportLines::Label::TimeSince:
        appendEventValue(m_columns.TimesSinceAlarm, value);
        break;
    case ReportLines::Label::Duration:
        appendEventValue(m_columns.AlarmDurations, value);
        break;
    case ReportLines::Label::LifeRemaining:
        m_tags.lifeRemaining = value;
        break;
    case ReportLines::Label::SelfTests:
        m_tags.selfTests = value;
        break;
    case ReportLines::Label::TotalEvents: {
        const qsizetype slash = line.indexOf(u'/');
        if (slash < 0) {
            m_currentTotalEvents = value;
            m_currentAlarmTime.clear();
        } else {
            m_currentTotalEvents = trimSpaces(line.left(slash));
            m_currentAlarmTime = trimSpaces(line.mid(slash + 1));
        }
        break;
    }
    case ReportLines::Label::AlarmTime:
        m_currentAlarmTime = value;
        break;
    default: // the labels whose value is on their own line
        break;
    }
}

void EventLogParser::handleLabel(const QString &line)
{
    const std::optional<ReportLines::Labelled> labelled = ReportLines::label(line);
    if (!labelled)
        return;
    const QString &rest = labelled->rest;
    if (!ReportLines::valueOnItsLine(labelled->label))
        m_pending = labelled->label;
    switch (labelled->label) {
    case ReportLines::Label::Date:
        m_tags.date = tagDate(rest);
        m_currentDate = m_tags.date.isValid() ? m_tags.date : m_clock().date();
        m_tags.lifeRemaining.clear();
        m_tags.selfTests.clear();
        m_currentAlarmTime.clear();
        break;
    case ReportLines::Label::Time:
        m_tags.time = tagTime(rest);
        if (m_tags.time.isValid()) {
            m_currentTime = m_tags.time;
        } else {
            const QTime now = m_clock().time();
            m_currentTime = QTime(now.hour(), now.minute());
        }
        break;
    case ReportLines::Label::SerialTag:
        m_currentSerial = QString(rest).remove(u'.');
        m_tags.serialTag = m_currentSerial;
        break;
    case ReportLines::Label::Instrument:
        if (std::exchange(m_inReport, true))
            m_reports.append(m_tags);
        m_tags.firstRow = rowCount();
        m_currentSerial = rest;
        m_tags.instrumentSerial = rest;
        break;
    case ReportLines::Label::User:
        m_tags.user = QString(rest).remove(u'.');
        break;
    case ReportLines::Label::LifeRemaining:
        m_hasLifeRemaining = true;
        break;
    case ReportLines::Label::SelfTests:
        m_hasSelfTests = true;
        break;
    case ReportLines::Label::TotalEvents:
        m_hasTotalEvents = true;
        m_hasAlarmTime = true;
        break;
    case ReportLines::Label::AlarmTime:
        m_hasAlarmTime = true;
        break;
    case ReportLines::Label::Peak:
    case ReportLines::Label::TimeSince:
    case ReportLines::Label::Duration:
        break;
    }
}

QDate EventLogParser::tagDate(const QString &text)
{
    const auto known = m_tagDates.constFind(text);
    return known != m_tagDates.constEnd() ? *known : *m_tagDates.insert(text, parseTagDate(text));
}

QTime EventLogParser::tagTime(const QString &text)
{
    const auto known = m_tagTimes.constFind(text);
    if (known != m_tagTimes.constEnd())
        return *known;
    QTime time = parseTagTime(text);
    // A date where the time belongs stands for midnight.
    if (!time.isValid() && tagDate(text).isValid())
        time = QTime(0, 0);
    return *m_tagTimes.insert(text, time);
}

void EventLogParser::appendEventValue(QList<QString> &column, const QString &value)
{
    appendValue(column, value);
    if (column.size() > m_columns.DownloadDates.size())
        appendContextRow();
}

void EventLogParser::appendContextRow()
{
    appendValue(m_columns.DownloadDates, m_currentDate);
    appendValue(m_columns.DownloadTimes, m_currentTime);
    m_taggedDates.append(m_tags.date);
    m_taggedTimes.append(m_tags.time);
    appendValue(m_columns.SerialNumbers, m_currentSerial);
    appendValue(m_columns.UserNames, m_tags.user);
    appendValue(m_columns.LifeRemainingValues, m_tags.lifeRemaining);
    appendValue(m_columns.SelfTestCounts, m_tags.selfTests);
    appendValue(m_columns.CumulativeAlarmTimes, m_currentAlarmTime);
    appendValue(m_columns.TotalEventCounts, m_currentTotalEvents);
}
