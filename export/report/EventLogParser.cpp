#include "export/report/EventLogParser.h"

#include <QLocale>

#include "common/SpaceTrim.h"

namespace {

bool startsWithLabel(const QString &line, QLatin1String label)
{
    return line.size() >= label.size() && line.startsWith(label, Qt::CaseInsensitive);
}

QString restAfter(const QString &line, QLatin1String label)
{
    return trimSpaces(line.mid(label.size()));
}

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

void EventLogParser::resetColumns()
{
    m_columns = EventLogColumns();
    m_columns.DownloadDates = { QDate() };
    m_columns.DownloadTimes = { QTime() };
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
        entryOrEmpty(c.AlarmDurations, row) };
}

void EventLogParser::WriteLine(const QString &FileLine)
{
    // A pending label takes the very next line, whatever it holds.
    if (m_pending != Pending::None) {
        const Pending pending = m_pending;
        m_pending = Pending::None;
        storePendingValue(pending, FileLine);
        return;
    }
    handleLabel(FileLine);
}

void EventLogParser::storePendingValue(Pending pending, const QString &line)
{
    const QString value = trimSpaces(line);
    switch (pending) {
    case Pending::Peak:
        appendEventValue(m_columns.PeakReadings, value);
        break;
    case Pending::TimeSince:
        appendEventValue(m_columns.TimesSinceAlarm, value);
        break;
    case Pending::Duration:
        appendEventValue(m_columns.AlarmDurations, value);
        break;
    case Pending::LifeRemaining:
        m_currentLifeRemaining = value;
        break;
    case Pending::SelfTests:
        m_currentSelfTests = value;
        break;
    case Pending::TotalEvents: {
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
    case Pending::AlarmTime:
        m_currentAlarmTime = value;
        break;
    case Pending::None:
        break;
    }
}

void EventLogParser::handleLabel(const QString &line)
{
    static const QLatin1String DateLabel("Date:");
    static const QLatin1String TimeLabel("Time:");
    static const QLatin1String SerialLabel("Serial #:");
    static const QLatin1String InstrumentLabel("   S/N:");
    static const QLatin1String UserLabel("User:");

    if (startsWithLabel(line, DateLabel)) {
        const QDate date = tagDate(restAfter(line, DateLabel));
        m_currentDate = date.isValid() ? date : m_clock().date();
        m_currentLifeRemaining.clear();
        m_currentSelfTests.clear();
        m_currentAlarmTime.clear();
    } else if (startsWithLabel(line, TimeLabel)) {
        QTime time = tagTime(restAfter(line, TimeLabel));
        if (!time.isValid()) {
            const QTime now = m_clock().time();
            time = QTime(now.hour(), now.minute());
        }
        m_currentTime = time;
    } else if (startsWithLabel(line, SerialLabel)) {
        m_currentSerial = restAfter(line, SerialLabel).remove(u'.');
    } else if (startsWithLabel(line, InstrumentLabel)) {
        m_currentSerial = restAfter(line, InstrumentLabel);
    } else if (startsWithLabel(line, UserLabel)) {
        m_currentUser = restAfter(line, UserLabel).remove(u'.');
    } else if (startsWithLabel(line, QLatin1String("Peak"))) {
        m_pending = Pending::Peak;
    } else if (startsWithLabel(line, QLatin1String("Time since"))) {
        m_pending = Pending::TimeSince;
    } else if (startsWithLabel(line, QLatin1String("Duration"))
        || startsWithLabel(line, QLatin1String("Alarm Duration"))) {
        m_pending = Pending::Duration;
    } else if (startsWithLabel(line, QLatin1String("Life Remaining"))) {
        m_pending = Pending::LifeRemaining;
        m_hasLifeRemaining = true;
    } else if (startsWithLabel(line, QLatin1String("Self Tests"))) {
        m_pending = Pending::SelfTests;
        m_hasSelfTests = true;
    } else if (startsWithLabel(line, QLatin1String("Total events/duration"))) {
        m_pending = Pending::TotalEvents;
        m_hasTotalEvents = true;
        m_hasAlarmTime = true;
    } else if (startsWithLabel(line, QLatin1String("Cumulative alarm time"))) {
        m_pending = Pending::AlarmTime;
        m_hasAlarmTime = true;
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
    appendValue(m_columns.SerialNumbers, m_currentSerial);
    appendValue(m_columns.UserNames, m_currentUser);
    appendValue(m_columns.LifeRemainingValues, m_currentLifeRemaining);
    appendValue(m_columns.SelfTestCounts, m_currentSelfTests);
    appendValue(m_columns.CumulativeAlarmTimes, m_currentAlarmTime);
    appendValue(m_columns.TotalEventCounts, m_currentTotalEvents);
}
