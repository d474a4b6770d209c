#include "archive/ReportArchive.h"

#include <algorithm>
#include <limits>

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QVariant>

#include "archive/ArchiveSql.h"
#include "report/DownloadFacts.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

// Storing downloads: their lines, event tables and alarms, each alarm once.

using ArchiveSql::prepared;
using ArchiveSql::text;

namespace {

// A match for an alarm is looked for within a day either way, the coarsest precision a report gives.
constexpr qint64 MatchWindowSeconds = 24 * 60 * 60;

const QList<ReportColumn> EventColumns = {
    ReportColumn::DownloadOn,
    ReportColumn::DownloadAt,
    ReportColumn::SerialNumber,
    ReportColumn::User,
    ReportColumn::Peak,
    ReportColumn::TimeSinceAlarm,
    ReportColumn::DurationOfAlarm,
    ReportColumn::LifeRemaining,
    ReportColumn::SelfTests,
    ReportColumn::CumulativeAlarmTime,
    ReportColumn::TotalEvents,
};

// Drops the alarms that no download records any more.
const QString UnseenAlarms = QStringLiteral(
    "DELETE FROM alarms WHERE NOT EXISTS (SELECT 1 FROM sightings WHERE alarm_id = alarms.id)");

QString nowText()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The date and time a listing shows and sorts by: the tags, or when the download was stored.
QString downloadedAt(const DownloadFacts::Facts &facts, const QString &storedAt)
{
    const QString tagged = DownloadFacts::whenText(facts.date, facts.time);
    return tagged.isEmpty() ? storedAt.left(16) : tagged;
}

} // namespace

bool ReportArchive::insertRows(const QString &into, int columns, const QVariantList &values, QString *error)
{
    // Many rows to a statement, so that a server is asked a few times, not once per row; not so many
    // that binding their values takes longer than sending them.
    constexpr qsizetype RowsPerStatement = 50;
    const QString row = u'(' + QStringList(columns, QStringLiteral("?")).join(u',') + u')';
    const auto statement = [&](qsizetype rows) {
        return prepared(m_database, into + QStringLiteral(" VALUES ") + QStringList(rows, row).join(u','));
    };
    const qsizetype rows = values.size() / columns;
    if (rows == 0)
        return true;
    QSqlQuery full = statement(std::min(rows, RowsPerStatement));
    for (qsizetype first = 0; first < rows; first += RowsPerStatement) {
        const qsizetype count = std::min(RowsPerStatement, rows - first);
        QSqlQuery rest;
        QSqlQuery &insert = count == RowsPerStatement ? full : (rest = statement(count));
        for (qsizetype i = first * columns; i < (first + count) * columns; ++i)
            insert.addBindValue(values.at(i));
        if (!write(insert, error))
            return false;
    }
    return true;
}

bool ReportArchive::insertContent(
    qint64 id, const EventLogParser &parser, const DownloadFacts::Facts &facts, QString *error)
{
    const ReportTable table(parser, QLocale(QLocale::English));
    QVariantList values;
    values.reserve(table.rowCount() * (EventColumns.size() + 2));
    for (int row = 0; row < table.rowCount(); ++row) {
        values << id << row;
        for (const ReportColumn column : EventColumns)
            values << text(table.text(row, column));
    }
    return insertRows(QStringLiteral("INSERT INTO events"), int(EventColumns.size()) + 2, values, error)
        && recordAlarms(id, facts, error);
}

bool ReportArchive::recordAlarms(qint64 id, const DownloadFacts::Facts &facts, QString *error)
{
    if (facts.alarms.isEmpty())
        return true;

    // Each start in seconds, worked out once (local times are slow to convert), and per detector the span
    // of its starts.
    QList<std::optional<qint64>> starts;
    starts.reserve(facts.alarms.size());
    QHash<QString, std::pair<qint64, qint64>> spans;
    for (const DownloadFacts::Alarm &alarm : facts.alarms) {
        starts.append(alarm.start ? std::optional(alarm.start->began.toSecsSinceEpoch()) : std::nullopt);
        if (!alarm.start)
            continue;
        const qint64 began = *starts.last();
        const auto span = spans.find(alarm.serial);
        if (span == spans.end())
            spans.insert(alarm.serial, { began, began });
        else
            *span = { std::min(span->first, began), std::max(span->second, began) };
    }

    // The alarms already known that these may be: the same detectors, starting around the same times,
    // found by detector, peak and duration.
    struct Known
    {
        qint64 id;
        qint64 began;
        qint64 precision;
    };
    const auto alike = [](const QString &serial, const QString &peak, const QString &duration) {
        return serial + u'\n' + peak + u'\n' + duration;
    };
    QMultiHash<QString, Known> known;
    QSqlQuery candidates = prepared(m_database,
        QStringLiteral("SELECT id, peak, duration, began_at, precision_seconds FROM alarms"
                       " WHERE serial = ? AND began_at BETWEEN ? AND ?"));
    for (auto span = spans.cbegin(); span != spans.cend(); ++span) {
        candidates.addBindValue(text(span.key()));
        candidates.addBindValue(span->first - MatchWindowSeconds);
        candidates.addBindValue(span->second + MatchWindowSeconds);
        if (!candidates.exec()) {
            *error = fault(QCoreApplication::translate("ReportArchive", "cannot be searched"), candidates);
            return false;
        }
        while (candidates.next()) {
            known.insert(alike(span.key(), candidates.value(1).toString(), candidates.value(2).toString()),
                { candidates.value(0).toLongLong(), candidates.value(3).toLongLong(),
                    candidates.value(4).toLongLong() });
        }
        candidates.finish();
    }

    // New alarms are numbered here: every writer holds the archive's write lock, so none takes the same.
    QSqlQuery last(m_database);
    if (!last.exec(QStringLiteral("SELECT max(id) FROM alarms")) || !last.next()) {
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be searched"), last);
        return false;
    }
    qint64 nextId = last.value(0).toLongLong() + 1;
    last.finish();

    QSet<qint64> seen; // one alarm of the archive stands for at most one row of this download
    QVariantList newAlarms;
    QVariantList sightings;
    for (qsizetype row = 0; row < facts.alarms.size(); ++row) {
        const DownloadFacts::Alarm &alarm = facts.alarms.at(row);
        std::optional<qint64> alarmId;
        if (alarm.start) {
            const qint64 began = *starts.at(row);
            qint64 nearest = std::numeric_limits<qint64>::max();
            const auto [first, last] = known.equal_range(alike(alarm.serial, alarm.peak, alarm.duration));
            for (auto candidate = first; candidate != last; ++candidate) {
                const qint64 distance = std::abs(candidate->began - began);
                if (distance <= std::min(
                        MatchWindowSeconds, std::max(candidate->precision, alarm.start->precisionSeconds))
                    && distance < nearest && !seen.contains(candidate->id)) {
                    alarmId = candidate->id;
                    nearest = distance;
                }
            }
        }
        if (!alarmId) {
            alarmId = nextId++;
            newAlarms << *alarmId << text(alarm.serial) << text(alarm.peak) << text(alarm.duration)
                      << (alarm.start ? QVariant(*starts.at(row)) : QVariant())
                      << text(alarm.start ? DownloadFacts::startText(*alarm.start) : QString())
                      << (alarm.start ? alarm.start->precisionSeconds : 0);
        }
        seen.insert(*alarmId);
        sightings << *alarmId << id;
    }
    return insertRows(QStringLiteral("INSERT INTO alarms (id, serial, peak, duration, began_at, began_text,"
                                     " precision_seconds)"),
               7, newAlarms, error)
        && insertRows(QStringLiteral("INSERT INTO sightings (alarm_id, download_id)"), 2, sightings, error);
}

std::optional<qint64> ReportArchive::insertDownload(
    const QStringList &lines, int markerLines, const QString &source, bool *added, QString *error)
{
    *added = false;
    const QString key = QString::fromLatin1(DownloadFacts::contentKey(lines));
    QSqlQuery existing
        = prepared(m_database, QStringLiteral("SELECT id FROM downloads WHERE content_key = ?"));
    existing.addBindValue(key);
    if (!write(existing, error))
        return std::nullopt;
    if (existing.next())
        return existing.value(0).toLongLong();
    existing.finish();
    const EventLogParser parser = EventLogParser::readAll(lines);
    const DownloadFacts::Facts facts = DownloadFacts::read(parser);
    const QString storedAt = nowText();
    QSqlQuery insert = prepared(m_database,
        QStringLiteral("INSERT INTO downloads (content_key, source, stored_at, program_version,"
                       " marker_lines, downloaded_at, serial, user_name, alarm_count, highest_peak, lines,"
                       " life_remaining, self_tests)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    for (const QVariant &value :
        { QVariant(key), QVariant(source), QVariant(storedAt), QVariant(QStringLiteral(LORIMET_VERSION)),
            QVariant(markerLines), QVariant(downloadedAt(facts, storedAt)), text(facts.serial),
            text(facts.user), QVariant(int(facts.alarms.size())), text(facts.highestPeak),
            QVariant(lines.join(u'\n')), text(facts.lifeRemaining), text(facts.selfTests) })
        insert.addBindValue(value);
    if (!insert.exec() || !insert.next()) {
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot store a download"), insert);
        return std::nullopt;
    }
    const qint64 id = insert.value(0).toLongLong();
    insert.finish();
    *added = true;
    if (!insertContent(id, parser, facts, error))
        return std::nullopt;
    return id;
}

std::optional<qint64> ReportArchive::store(
    const QStringList &lines, int markerLines, const QString &source, bool *added, QString *error)
{
    error->clear();
    std::optional<qint64> id;
    const bool stored = inTransaction(
        [&] { return (id = insertDownload(lines, markerLines, source, added, error)).has_value(); }, error);
    if (!stored)
        return std::nullopt;
    return id;
}

std::optional<qint64> ReportArchive::updateLines(const Kept &kept, const QStringList &lines, QString *error)
{
    error->clear();
    const QString keptKey = QString::fromLatin1(DownloadFacts::contentKey(kept.lines));
    std::optional<qint64> result;
    const bool updated = inTransaction(
        [&] {
            // Whether the row is still this download's own, as its store left it, and when it was stored.
            bool own = false;
            QString storedAt;
            if (kept.added) {
                QSqlQuery row = prepared(m_database,
                    QStringLiteral("SELECT stored_at FROM downloads WHERE id = ? AND content_key = ?"));
                row.addBindValue(kept.id);
                row.addBindValue(keptKey);
                if (!write(row, error))
                    return false;
                own = row.next();
                storedAt = own ? row.value(0).toString() : QString();
            }
            if (!own) {
                bool added = false;
                return (result = insertDownload(lines, kept.markerLines, kept.source, &added, error))
                    .has_value();
            }
            const QString key = QString::fromLatin1(DownloadFacts::contentKey(lines));
            QSqlQuery query
                = prepared(m_database, QStringLiteral("SELECT id FROM downloads WHERE content_key = ?"));
            query.addBindValue(key);
            if (!write(query, error))
                return false;
            if (query.next()) {
                // These lines are archived already: the untagged copy is not kept beside them.
                result = query.value(0).toLongLong();
                query.finish();
                if (*result == kept.id)
                    return true;
                QSqlQuery drop = prepared(m_database, QStringLiteral("DELETE FROM downloads WHERE id = ?"));
                drop.addBindValue(kept.id);
                return write(drop, error) && write(UnseenAlarms, error);
            }
            const EventLogParser parser = EventLogParser::readAll(lines);
            const DownloadFacts::Facts facts = DownloadFacts::read(parser);
            QSqlQuery update = prepared(m_database,
                QStringLiteral(
                    "UPDATE downloads SET content_key = ?, downloaded_at = ?, serial = ?, user_name = ?,"
                    " alarm_count = ?, highest_peak = ?, lines = ?, life_remaining = ?, self_tests = ?"
                    " WHERE id = ?"));
            for (const QVariant &value : { QVariant(key), QVariant(downloadedAt(facts, storedAt)),
                     text(facts.serial), text(facts.user), QVariant(int(facts.alarms.size())),
                     text(facts.highestPeak), QVariant(lines.join(u'\n')), text(facts.lifeRemaining),
                     text(facts.selfTests), QVariant(kept.id) })
                update.addBindValue(value);
            const QString idText = QString::number(kept.id);
            result = kept.id;
            return write(update, error)
                && write(QStringLiteral("DELETE FROM events WHERE download_id = ") + idText, error)
                && write(QStringLiteral("DELETE FROM sightings WHERE download_id = ") + idText, error)
                && write(UnseenAlarms, error) && insertContent(kept.id, parser, facts, error);
        },
        error);
    if (!updated)
        return std::nullopt;
    return result;
}

bool ReportArchive::remove(const QList<qint64> &ids, QString *error)
{
    error->clear();
    return inTransaction(
        [&] {
            QSqlQuery drop = prepared(m_database, QStringLiteral("DELETE FROM downloads WHERE id = ?"));
            for (const qint64 id : ids) {
                drop.addBindValue(id);
                if (!write(drop, error))
                    return false;
            }
            return write(UnseenAlarms, error);
        },
        error);
}
