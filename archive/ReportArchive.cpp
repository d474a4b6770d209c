#include "archive/ReportArchive.h"

#include <algorithm>
#include <atomic>
#include <limits>

#include <QDir>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVariant>

#include "archive/ArchiveEngine.h"
#include "report/DownloadFacts.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

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

std::atomic<int> connectionCount { 0 };

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
    if (!facts.date.isValid())
        return storedAt.left(16);
    const QString date = facts.date.toString(Qt::ISODate);
    return facts.time.isValid() ? date + u' ' + facts.time.toString(QStringLiteral("HH:mm")) : date;
}

// SQLite stores a null QString as NULL; the archive's texts are never NULL.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QSqlQuery prepared(const QSqlDatabase &database, const QString &sql)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(sql);
    return query;
}

} // namespace

ReportArchive::ReportArchive()
    : m_connection(QStringLiteral("lorimet-archive-%1").arg(++connectionCount))
{
}

ReportArchive::~ReportArchive()
{
    m_watchdog.reset();
    if (m_database.isValid()) {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString ReportArchive::defaultPath(const QString &fileName)
{
    if (const QString chosen = qEnvironmentVariable("LORIMET_ARCHIVE"); !chosen.isEmpty())
        return chosen;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(fileName);
}

QString ReportArchive::fault(const QString &what, const QSqlQuery &query) const
{
    if (m_watchdog && m_watchdog->expired())
        return QStringLiteral("the archive %1 did not answer within %2 s; the connection was closed and "
                              "nothing was changed")
            .arg(m_path)
            .arg(std::chrono::duration_cast<std::chrono::seconds>(m_watchdog->limit()).count());
    return QStringLiteral("the archive %1 %2: %3").arg(m_path, what, query.lastError().text());
}

bool ReportArchive::write(QSqlQuery &query, QString *error) const
{
    if (query.exec())
        return true;
    *error = fault(QStringLiteral("cannot be written"), query);
    return false;
}

bool ReportArchive::write(const QString &sql, QString *error) const
{
    QSqlQuery query(m_database);
    if (query.exec(sql))
        return true;
    *error = fault(QStringLiteral("cannot be written"), query);
    return false;
}

bool ReportArchive::open(const QString &location, Access access, QString *error,
    std::chrono::milliseconds busyTimeout, std::chrono::milliseconds roundTripLimit)
{
    m_path = location;
    m_engine = ArchiveEngine::forLocation(location, error);
    if (!m_engine)
        return false;
    m_path = m_engine->name();
    const bool readOnly = access == Access::ReadOnly;
    m_database = QSqlDatabase::addDatabase(m_engine->driver(), m_connection);
    if (!m_engine->connect(m_database, readOnly, busyTimeout, roundTripLimit, error))
        return false;
    if (const int socket = m_engine->socket(m_database); socket >= 0)
        m_watchdog = std::make_unique<RoundTripWatchdog>(roundTripLimit, socket);
    const auto trip = roundTrip();
    if (!initialize(readOnly, error)) {
        m_watchdog.reset();
        m_database.close();
        return false;
    }
    return true;
}

bool ReportArchive::initialize(bool readOnly, QString *error)
{
    const std::optional<ArchiveEngine::State> state = m_engine->state(m_database, error);
    if (!state)
        return false;
    if (state->contents == ArchiveEngine::Contents::Foreign) {
        *error
            = QStringLiteral("%1 is a database of another program, not a report archive; it is left as it is")
                  .arg(m_path);
        return false;
    }
    if (state->version > SchemaVersion) {
        *error = QStringLiteral(
            "the archive %1 was made by a newer version of this program; it is left as it is")
                     .arg(m_path);
        return false;
    }
    if (state->version == SchemaVersion)
        return true;
    const bool empty = state->contents == ArchiveEngine::Contents::Empty;
    if (readOnly) {
        *error = empty
            ? QStringLiteral("there is no archive at %1").arg(m_path)
            : QStringLiteral("the archive %1 must be brought up to date by storing in it once").arg(m_path);
        return false;
    }
    if (empty) {
        QSqlQuery query(m_database);
        for (const QString &setting : m_engine->newArchiveSettings()) {
            if (!query.exec(setting)) {
                *error = fault(QStringLiteral("cannot be created"), query);
                return false;
            }
            query.finish();
        }
    }
    return migrate(error);
}

template<typename Change> bool ReportArchive::inTransaction(Change change, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query(m_database);
    for (const QString &statement : m_engine->beginWrite()) {
        if (!query.exec(statement)) {
            *error = fault(QStringLiteral("cannot be written"), query);
            QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    query.finish();
    if (change() && query.exec(QStringLiteral("COMMIT")))
        return true;
    if (error->isEmpty())
        *error = fault(QStringLiteral("cannot be written"), query);
    QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
    return false;
}

bool ReportArchive::migrate(QString *error)
{
    error->clear();
    return inTransaction(
        [&] {
            // Another process may have brought the schema up to date while this one waited.
            const std::optional<ArchiveEngine::State> state = m_engine->state(m_database, error);
            if (!state)
                return false;
            if (state->version > SchemaVersion) {
                *error = QStringLiteral("the archive %1 was made by a newer version of this program")
                             .arg(m_path);
                return false;
            }
            QSqlQuery query(m_database);
            for (int version = state->version + 1; version <= SchemaVersion; ++version) {
                for (const QString &statement : m_engine->schemaStep(version)) {
                    if (!query.exec(statement)) {
                        *error = fault(QStringLiteral("cannot be brought up to date"), query);
                        return false;
                    }
                }
                // The alarms of downloads stored before they were kept per detector.
                if (version == 2 && state->version > 0) {
                    QSqlQuery all(m_database);
                    all.setForwardOnly(true);
                    if (!all.exec(QStringLiteral("SELECT id, lines FROM downloads"))) {
                        *error = fault(QStringLiteral("cannot be brought up to date"), all);
                        return false;
                    }
                    while (all.next()) {
                        const QStringList lines = all.value(1).toString().split(u'\n');
                        if (!recordAlarms(all.value(0).toLongLong(), DownloadFacts::read(lines), error))
                            return false;
                    }
                }
            }
            for (const QString &statement : m_engine->markVersion(SchemaVersion)) {
                if (!query.exec(statement)) {
                    *error = fault(QStringLiteral("cannot be brought up to date"), query);
                    return false;
                }
            }
            return true;
        },
        error);
}

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
            *error = fault(QStringLiteral("cannot be searched"), candidates);
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
        *error = fault(QStringLiteral("cannot be searched"), last);
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
                       " marker_lines, downloaded_at, serial, user_name, alarm_count, highest_peak, lines)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    for (const QVariant &value : { QVariant(key), QVariant(source), QVariant(storedAt),
             QVariant(QStringLiteral(LORIMET_VERSION)), QVariant(markerLines),
             QVariant(downloadedAt(facts, storedAt)), text(facts.serial), text(facts.user),
             QVariant(int(facts.alarms.size())), text(facts.highestPeak), QVariant(lines.join(u'\n')) })
        insert.addBindValue(value);
    if (!insert.exec() || !insert.next()) {
        *error = fault(QStringLiteral("cannot store a download"), insert);
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
                    " alarm_count = ?, highest_peak = ?, lines = ? WHERE id = ?"));
            for (const QVariant &value : { QVariant(key), QVariant(downloadedAt(facts, storedAt)),
                     text(facts.serial), text(facts.user), QVariant(int(facts.alarms.size())),
                     text(facts.highestPeak), QVariant(lines.join(u'\n')), QVariant(kept.id) })
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

QSqlQuery ReportArchive::downloadsQuery(const ArchiveFilter &filter) const
{
    QStringList conditions;
    QVariantList values;
    if (!filter.serial.isEmpty()) {
        conditions << QStringLiteral("serial = ?");
        values << filter.serial;
    }
    if (!filter.user.isEmpty()) {
        // The archive keeps a user as the tag lines give it, without dots; letter case is compared in
        // full Unicode, which SQLite's lower() does not know, against the few names there are.
        const QString wanted = DownloadFacts::tagName(filter.user.trimmed()).toCaseFolded();
        QStringList names;
        QSqlQuery users(m_database);
        users.setForwardOnly(true);
        if (users.exec(QStringLiteral("SELECT DISTINCT user_name FROM downloads"))) {
            while (users.next()) {
                if (const QString name = users.value(0).toString(); name.toCaseFolded() == wanted)
                    names << name;
            }
        }
        conditions
            << QStringLiteral("user_name IN (NULL%1)").arg(QStringLiteral(", ?").repeated(names.size()));
        for (const QString &name : std::as_const(names))
            values << name;
    }
    if (filter.since.isValid()) {
        conditions << QStringLiteral("downloaded_at >= ?");
        values << filter.since.toString(Qt::ISODate);
    }
    if (filter.until.isValid()) {
        conditions << QStringLiteral("downloaded_at < ?");
        values << filter.until.addDays(1).toString(Qt::ISODate);
    }
    QString sql = QStringLiteral(
        "SELECT id, downloaded_at, serial, user_name, alarm_count, highest_peak FROM downloads");
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY downloaded_at DESC, id DESC");
    QSqlQuery query(m_database);
    query.prepare(sql);
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    query.exec();
    return query;
}

std::optional<QList<ArchivedDownload>> ReportArchive::downloads(const ArchiveFilter &filter, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query = downloadsQuery(filter);
    if (!query.isActive()) {
        *error = fault(QStringLiteral("cannot be read"), query);
        return std::nullopt;
    }
    QList<ArchivedDownload> result;
    while (query.next()) {
        result.append({ query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString(), query.value(4).toInt(), query.value(5).toString() });
    }
    return result;
}

std::optional<QStringList> ReportArchive::lines(qint64 id, QString *error)
{
    std::optional<Stored> download = stored(id, error);
    if (!download)
        return std::nullopt;
    return std::move(download->lines);
}

std::optional<ReportArchive::Stored> ReportArchive::stored(qint64 id, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query = prepared(
        m_database, QStringLiteral("SELECT lines, marker_lines, source FROM downloads WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        *error = query.lastError().isValid()
            ? fault(QStringLiteral("cannot be read"), query)
            : QStringLiteral("the archive %1 holds no download %2").arg(m_path).arg(id);
        return std::nullopt;
    }
    return Stored { query.value(0).toString().split(u'\n'), query.value(1).toInt(),
        query.value(2).toString() };
}

bool ReportArchive::queueForSite(qint64 id, const QString &site, QString *error)
{
    error->clear();
    return inTransaction(
        [&] {
            QSqlQuery queue = prepared(m_database,
                QStringLiteral(
                    "INSERT INTO site_queue (download_id, site) VALUES (?, ?) ON CONFLICT DO NOTHING"));
            queue.addBindValue(id);
            queue.addBindValue(site);
            return write(queue, error);
        },
        error);
}

std::optional<QList<qint64>> ReportArchive::waitingForSite(const QString &site, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query = prepared(
        m_database, QStringLiteral("SELECT download_id FROM site_queue WHERE site = ? ORDER BY download_id"));
    query.addBindValue(site);
    if (!query.exec()) {
        *error = fault(QStringLiteral("cannot be read"), query);
        return std::nullopt;
    }
    QList<qint64> ids;
    while (query.next())
        ids.append(query.value(0).toLongLong());
    return ids;
}

bool ReportArchive::sentToSite(qint64 id, QString *error)
{
    error->clear();
    return inTransaction(
        [&] {
            QSqlQuery sent
                = prepared(m_database, QStringLiteral("DELETE FROM site_queue WHERE download_id = ?"));
            sent.addBindValue(id);
            return write(sent, error);
        },
        error);
}

QSqlQuery ReportArchive::alarmsQuery(const QString &serial) const
{
    QSqlQuery query(m_database);
    query.prepare(QStringLiteral(
        "SELECT began_text, peak, duration, (SELECT count(*) FROM sightings WHERE alarm_id = alarms.id)"
        " FROM alarms WHERE serial = ? ORDER BY began_at IS NULL, began_at, id"));
    query.addBindValue(serial);
    query.exec();
    return query;
}

std::optional<QList<ArchivedAlarm>> ReportArchive::alarms(const QString &serial, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query = alarmsQuery(serial);
    if (!query.isActive()) {
        *error = fault(QStringLiteral("cannot be read"), query);
        return std::nullopt;
    }
    QList<ArchivedAlarm> result;
    while (query.next()) {
        result.append({ query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toInt() });
    }
    return result;
}

std::optional<ReportArchive::Totals> ReportArchive::totals(QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query(m_database);
    if (!query.exec(QStringLiteral("SELECT (SELECT count(*) FROM downloads), (SELECT count(*) FROM alarms)"))
        || !query.next()) {
        *error = fault(QStringLiteral("cannot be read"), query);
        return std::nullopt;
    }
    return Totals { query.value(0).toLongLong(), query.value(1).toLongLong() };
}

std::optional<QStringList> ReportArchive::check(QString *error)
{
    const auto trip = roundTrip();
    QStringList faults;
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    for (const QString &storageCheck : m_engine->storageChecks()) {
        if (!query.exec(storageCheck)) {
            *error = fault(QStringLiteral("cannot be checked"), query);
            return std::nullopt;
        }
        while (query.next()) {
            QStringList values;
            for (int column = 0; column < query.record().count(); ++column)
                values.append(query.value(column).toString());
            if (values != QStringList { QStringLiteral("ok") })
                faults << storageCheck + QStringLiteral(": ") + values.join(QStringLiteral(", "));
        }
    }
    if (!query.exec(
            QStringLiteral("SELECT id, content_key, alarm_count, lines, (SELECT count(*) FROM events WHERE "
                           "download_id = d.id),"
                           " (SELECT count(*) FROM sightings WHERE download_id = d.id) FROM downloads d"))) {
        *error = fault(QStringLiteral("cannot be checked"), query);
        return std::nullopt;
    }
    while (query.next()) {
        const QString id = query.value(0).toString();
        const QStringList lines = query.value(3).toString().split(u'\n');
        if (DownloadFacts::contentKey(lines) != query.value(1).toByteArray())
            faults << QStringLiteral("download %1: its lines are not those it was stored with").arg(id);
        const int alarms = query.value(2).toInt();
        if (query.value(4).toInt() != alarms || query.value(5).toInt() != alarms)
            faults << QStringLiteral(
                "download %1: %2 alarm events, but %3 rows in its event table and %4 alarms")
                          .arg(id)
                          .arg(alarms)
                          .arg(query.value(4).toInt())
                          .arg(query.value(5).toInt());
    }
    if (!query.exec(QStringLiteral("SELECT count(*) FROM alarms WHERE NOT EXISTS (SELECT 1 FROM sightings "
                                   "WHERE alarm_id = alarms.id)"))
        || !query.next()) {
        *error = fault(QStringLiteral("cannot be checked"), query);
        return std::nullopt;
    }
    if (const int orphans = query.value(0).toInt(); orphans > 0)
        faults << QStringLiteral("%1 alarms that no download recorded").arg(orphans);
    return faults;
}
