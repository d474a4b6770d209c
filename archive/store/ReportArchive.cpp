#include "archive/store/ReportArchive.h"

#include <atomic>

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>
#include <QVariant>

#include "archive/store/DownloadFacts.h"
#include "export/report/EventLogParser.h"
#include "export/report/ReportTable.h"

namespace {

// "LOR1" in SQLite's application_id: marks a file as this program's archive.
constexpr int ApplicationId = 0x4C4F5231;

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

// Each step takes the schema from the version before it to its own; the archive runs those it lacks.
const char *const SchemaSteps[] = {
    // 1: the downloads and their event tables.
    "CREATE TABLE downloads ("
    " id INTEGER PRIMARY KEY,"
    " content_key TEXT NOT NULL UNIQUE,"
    " source TEXT NOT NULL,"
    " stored_at TEXT NOT NULL,"
    " program_version TEXT NOT NULL,"
    " marker_lines INTEGER NOT NULL,"
    " downloaded_at TEXT NOT NULL,"
    " serial TEXT NOT NULL,"
    " user_name TEXT NOT NULL,"
    " alarm_count INTEGER NOT NULL,"
    " highest_peak TEXT NOT NULL,"
    " lines TEXT NOT NULL);"
    "CREATE INDEX downloads_by_time ON downloads (downloaded_at, id);"
    "CREATE INDEX downloads_by_serial ON downloads (serial, downloaded_at);"
    "CREATE TABLE events ("
    " download_id INTEGER NOT NULL REFERENCES downloads (id) ON DELETE CASCADE,"
    " row INTEGER NOT NULL,"
    " download_on TEXT NOT NULL, download_at TEXT NOT NULL, serial TEXT NOT NULL, user_name TEXT NOT NULL,"
    " peak TEXT NOT NULL, time_since TEXT NOT NULL, duration TEXT NOT NULL,"
    " life_remaining TEXT NOT NULL, self_tests TEXT NOT NULL, cumulative_time TEXT NOT NULL,"
    " total_events TEXT NOT NULL,"
    " PRIMARY KEY (download_id, row)) WITHOUT ROWID;",
    // 2: each detector's alarms once, with the downloads that recorded them.
    "CREATE TABLE alarms ("
    " id INTEGER PRIMARY KEY,"
    " serial TEXT NOT NULL,"
    " peak TEXT NOT NULL,"
    " duration TEXT NOT NULL,"
    " began_at INTEGER,"
    " began_text TEXT NOT NULL,"
    " precision_seconds INTEGER NOT NULL);"
    "CREATE INDEX alarms_by_detector ON alarms (serial, peak, duration, began_at);"
    "CREATE INDEX alarms_in_time ON alarms (serial, began_at);"
    "CREATE TABLE sightings ("
    " alarm_id INTEGER NOT NULL REFERENCES alarms (id) ON DELETE CASCADE,"
    " download_id INTEGER NOT NULL REFERENCES downloads (id) ON DELETE CASCADE,"
    " PRIMARY KEY (alarm_id, download_id)) WITHOUT ROWID;"
    "CREATE INDEX sightings_by_download ON sightings (download_id);",
};
static_assert(std::size(SchemaSteps) == ReportArchive::SchemaVersion);

std::atomic<int> connectionCount { 0 };

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
    return QStringLiteral("the archive %1 %2: %3").arg(m_path, what, query.lastError().text());
}

bool ReportArchive::open(
    const QString &path, Access access, QString *error, std::chrono::milliseconds busyTimeout)
{
    m_path = path;
    const QFileInfo file(path);
    const bool readOnly = access == Access::ReadOnly;
    if (file.exists() && !file.isFile()) {
        *error = QStringLiteral("%1 is not a file; the archive must be one").arg(path);
        return false;
    }
    if (!file.exists()) {
        if (readOnly) {
            *error = QStringLiteral("there is no archive at %1").arg(path);
            return false;
        }
        if (!QDir().mkpath(file.absolutePath())) {
            *error = QStringLiteral("cannot create the folder of the archive %1").arg(path);
            return false;
        }
    }
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_database.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout.count());
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    m_database.setConnectOptions(options);
    if (!m_database.open()) {
        *error = QStringLiteral("cannot open the archive %1: %2").arg(path, m_database.lastError().text());
        return false;
    }
    if (!initialize(readOnly, error)) {
        m_database.close();
        return false;
    }
    return true;
}

bool ReportArchive::initialize(bool readOnly, QString *error)
{
    QSqlQuery query(m_database);
    const auto value = [&query](const QString &sql) -> std::optional<qint64> {
        if (!query.exec(sql) || !query.next())
            return std::nullopt;
        return query.value(0).toLongLong();
    };
    const std::optional<qint64> application = value(QStringLiteral("PRAGMA application_id"));
    const std::optional<qint64> objects = value(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!application || !objects) {
        *error = QStringLiteral("%1 is not a report archive or is damaged (%2); it is left as it is")
                     .arg(m_path, query.lastError().text());
        return false;
    }
    const bool empty = *application == 0 && *objects == 0;
    if (!empty && *application != ApplicationId) {
        *error
            = QStringLiteral("%1 is a database of another program, not a report archive; it is left as it is")
                  .arg(m_path);
        return false;
    }
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))) {
        *error = fault(QStringLiteral("cannot be used"), query);
        return false;
    }
    const qint64 version = empty ? 0 : value(QStringLiteral("PRAGMA user_version")).value_or(-1);
    query.finish();
    if (version > SchemaVersion || version < 0) {
        *error = QStringLiteral(
            "the archive %1 was made by a newer version of this program; it is left as it is")
                     .arg(m_path);
        return false;
    }
    if (version == SchemaVersion)
        return true;
    if (readOnly) {
        *error = empty
            ? QStringLiteral("there is no archive at %1").arg(m_path)
            : QStringLiteral("the archive %1 must be brought up to date by storing in it once").arg(m_path);
        return false;
    }
    // Write-ahead logging lets readers go on while one process stores; it is set outside a transaction.
    if (empty && !query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
        *error = fault(QStringLiteral("cannot be created"), query);
        return false;
    }
    query.finish();
    return migrate(error);
}

template<typename Change> bool ReportArchive::inTransaction(Change change, QString *error)
{
    QSqlQuery query(m_database);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = fault(QStringLiteral("cannot be written"), query);
        return false;
    }
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
            QSqlQuery query(m_database);
            // Another process may have brought the schema up to date while this one waited.
            if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
                return false;
            const int current = query.value(0).toInt();
            query.finish();
            if (current > SchemaVersion) {
                *error = QStringLiteral("the archive %1 was made by a newer version of this program")
                             .arg(m_path);
                return false;
            }
            for (int version = current; version < SchemaVersion; ++version) {
                for (const QString &statement :
                    QString::fromLatin1(SchemaSteps[version]).split(u';', Qt::SkipEmptyParts)) {
                    if (!query.exec(statement)) {
                        *error = fault(QStringLiteral("cannot be brought up to date"), query);
                        return false;
                    }
                }
                // The alarms of downloads stored before they were kept per detector.
                if (version + 1 == 2 && current > 0) {
                    QSqlQuery all(m_database);
                    all.setForwardOnly(true);
                    if (!all.exec(QStringLiteral("SELECT id, lines FROM downloads")))
                        return false;
                    while (all.next()) {
                        const QStringList lines = all.value(1).toString().split(u'\n');
                        if (!recordAlarms(all.value(0).toLongLong(), lines, error))
                            return false;
                    }
                }
            }
            return query.exec(QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId))
                && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
        },
        error);
}

bool ReportArchive::insertContent(qint64 id, const QStringList &lines, QString *error)
{
    EventLogParser parser;
    for (const QString &line : lines)
        parser.WriteLine(line);
    const ReportTable table(parser, QLocale(QLocale::English));
    QSqlQuery insert = prepared(
        m_database, QStringLiteral("INSERT INTO events VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int row = 0; row < table.rowCount(); ++row) {
        insert.bindValue(0, id);
        insert.bindValue(1, row);
        for (int column = 0; column < EventColumns.size(); ++column)
            insert.bindValue(column + 2, text(table.text(row, EventColumns.at(column))));
        if (!insert.exec()) {
            *error = fault(QStringLiteral("cannot store an event table"), insert);
            return false;
        }
    }
    return recordAlarms(id, lines, error);
}

bool ReportArchive::recordAlarms(qint64 id, const QStringList &lines, QString *error)
{
    const DownloadFacts::Facts facts = DownloadFacts::read(lines);
    QSqlQuery match = prepared(m_database,
        QStringLiteral(
            "SELECT id FROM alarms WHERE serial = :serial AND peak = :peak AND duration = :duration"
            " AND began_at BETWEEN :began - :window AND :began + :window"
            " AND abs(began_at - :began) <= max(precision_seconds, :precision)"
            " AND id NOT IN (SELECT alarm_id FROM sightings WHERE download_id = :download)"
            " ORDER BY abs(began_at - :began) LIMIT 1"));
    QSqlQuery insert = prepared(m_database,
        QStringLiteral("INSERT INTO alarms (serial, peak, duration, began_at, began_text, precision_seconds)"
                       " VALUES (?, ?, ?, ?, ?, ?)"));
    QSqlQuery sighting = prepared(m_database, QStringLiteral("INSERT INTO sightings VALUES (?, ?)"));
    for (const DownloadFacts::Alarm &alarm : facts.alarms) {
        QVariant alarmId;
        const QVariant began = alarm.start ? QVariant(alarm.start->began.toSecsSinceEpoch()) : QVariant();
        if (alarm.start) {
            match.bindValue(QStringLiteral(":serial"), text(alarm.serial));
            match.bindValue(QStringLiteral(":peak"), text(alarm.peak));
            match.bindValue(QStringLiteral(":duration"), text(alarm.duration));
            match.bindValue(QStringLiteral(":began"), began);
            match.bindValue(QStringLiteral(":window"), MatchWindowSeconds);
            match.bindValue(QStringLiteral(":precision"), alarm.start->precisionSeconds);
            match.bindValue(QStringLiteral(":download"), id);
            if (!match.exec()) {
                *error = fault(QStringLiteral("cannot be searched"), match);
                return false;
            }
            if (match.next())
                alarmId = match.value(0);
            match.finish();
        }
        if (!alarmId.isValid()) {
            insert.addBindValue(text(alarm.serial));
            insert.addBindValue(text(alarm.peak));
            insert.addBindValue(text(alarm.duration));
            insert.addBindValue(began);
            insert.addBindValue(text(alarm.start ? DownloadFacts::startText(*alarm.start) : QString()));
            insert.addBindValue(alarm.start ? alarm.start->precisionSeconds : 0);
            if (!insert.exec()) {
                *error = fault(QStringLiteral("cannot store an alarm"), insert);
                return false;
            }
            alarmId = insert.lastInsertId();
        }
        sighting.addBindValue(alarmId);
        sighting.addBindValue(id);
        if (!sighting.exec()) {
            *error = fault(QStringLiteral("cannot store an alarm"), sighting);
            return false;
        }
    }
    return true;
}

std::optional<qint64> ReportArchive::store(
    const QStringList &lines, int markerLines, const QString &source, bool *added, QString *error)
{
    error->clear();
    const QString key = QString::fromLatin1(DownloadFacts::contentKey(lines));
    qint64 id = 0;
    *added = false;
    const bool stored = inTransaction(
        [&] {
            QSqlQuery existing
                = prepared(m_database, QStringLiteral("SELECT id FROM downloads WHERE content_key = ?"));
            existing.addBindValue(key);
            if (!existing.exec())
                return false;
            if (existing.next()) {
                id = existing.value(0).toLongLong();
                return true;
            }
            const DownloadFacts::Facts facts = DownloadFacts::read(lines);
            const QString storedAt = nowText();
            QSqlQuery insert = prepared(m_database,
                QStringLiteral(
                    "INSERT INTO downloads (content_key, source, stored_at, program_version,"
                    " marker_lines, downloaded_at, serial, user_name, alarm_count, highest_peak, lines)"
                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            for (const QVariant &value : { QVariant(key), QVariant(source), QVariant(storedAt),
                     QVariant(QStringLiteral(LORIMET_VERSION)), QVariant(markerLines),
                     QVariant(downloadedAt(facts, storedAt)), text(facts.serial), text(facts.user),
                     QVariant(int(facts.alarms.size())), text(facts.highestPeak),
                     QVariant(lines.join(u'\n')) })
                insert.addBindValue(value);
            if (!insert.exec()) {
                *error = fault(QStringLiteral("cannot store a download"), insert);
                return false;
            }
            id = insert.lastInsertId().toLongLong();
            *added = true;
            return insertContent(id, lines, error);
        },
        error);
    if (!stored)
        return std::nullopt;
    return id;
}

std::optional<qint64> ReportArchive::updateLines(qint64 id, const QStringList &lines, QString *error)
{
    error->clear();
    const QString key = QString::fromLatin1(DownloadFacts::contentKey(lines));
    qint64 result = id;
    const bool updated = inTransaction(
        [&] {
            QSqlQuery query
                = prepared(m_database, QStringLiteral("SELECT id FROM downloads WHERE content_key = ?"));
            query.addBindValue(key);
            if (!query.exec())
                return false;
            if (query.next()) {
                // These lines are archived already: the untagged copy is not kept beside them.
                result = query.value(0).toLongLong();
                query.finish();
                if (result == id)
                    return true;
                QSqlQuery drop = prepared(m_database, QStringLiteral("DELETE FROM downloads WHERE id = ?"));
                drop.addBindValue(id);
                return drop.exec()
                    && QSqlQuery(m_database)
                           .exec(QStringLiteral("DELETE FROM alarms WHERE NOT EXISTS (SELECT 1 FROM "
                                                "sightings WHERE alarm_id = alarms.id)"));
            }
            QSqlQuery stored
                = prepared(m_database, QStringLiteral("SELECT stored_at FROM downloads WHERE id = ?"));
            stored.addBindValue(id);
            if (!stored.exec() || !stored.next()) {
                *error = QStringLiteral("the archive %1 no longer holds download %2").arg(m_path).arg(id);
                return false;
            }
            const DownloadFacts::Facts facts = DownloadFacts::read(lines);
            QSqlQuery update = prepared(m_database,
                QStringLiteral(
                    "UPDATE downloads SET content_key = ?, downloaded_at = ?, serial = ?, user_name = ?,"
                    " alarm_count = ?, highest_peak = ?, lines = ? WHERE id = ?"));
            for (const QVariant &value :
                { QVariant(key), QVariant(downloadedAt(facts, stored.value(0).toString())),
                    text(facts.serial), text(facts.user), QVariant(int(facts.alarms.size())),
                    text(facts.highestPeak), QVariant(lines.join(u'\n')), QVariant(id) })
                update.addBindValue(value);
            QSqlQuery clear(m_database);
            const QString idText = QString::number(id);
            return update.exec()
                && clear.exec(QStringLiteral("DELETE FROM events WHERE download_id = ") + idText)
                && clear.exec(QStringLiteral("DELETE FROM sightings WHERE download_id = ") + idText)
                && clear.exec(QStringLiteral("DELETE FROM alarms WHERE NOT EXISTS (SELECT 1 FROM sightings "
                                             "WHERE alarm_id = alarms.id)"))
                && insertContent(id, lines, error);
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
                if (!drop.exec())
                    return false;
            }
            return QSqlQuery(m_database)
                .exec(QStringLiteral("DELETE FROM alarms WHERE NOT EXISTS (SELECT 1 FROM sightings WHERE "
                                     "alarm_id = alarms.id)"));
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
        conditions << QStringLiteral("user_name = ? COLLATE NOCASE");
        values << filter.user;
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
    QSqlQuery query = prepared(m_database, QStringLiteral("SELECT lines FROM downloads WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        *error = fault(QStringLiteral("cannot be read"), query);
        return std::nullopt;
    }
    if (!query.next()) {
        *error = QStringLiteral("the archive %1 holds no download %2").arg(m_path).arg(id);
        return std::nullopt;
    }
    return query.value(0).toString().split(u'\n');
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
    QStringList faults;
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) {
        *error = fault(QStringLiteral("cannot be checked"), query);
        return std::nullopt;
    }
    while (query.next()) {
        if (const QString result = query.value(0).toString(); result != QLatin1String("ok"))
            faults << result;
    }
    if (!query.exec(QStringLiteral("PRAGMA foreign_key_check"))) {
        *error = fault(QStringLiteral("cannot be checked"), query);
        return std::nullopt;
    }
    while (query.next()) {
        faults << QStringLiteral("row %1 of %2 refers to a missing row of %3")
                      .arg(query.value(1).toString(), query.value(0).toString(), query.value(2).toString());
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
