#include "archive/ArchiveEngine.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

namespace {

constexpr int LatestVersion = 4;

// The schema in both engines' words: {id} is an integer key the database numbers, {int64} a 64-bit
// integer, {sorted} text that sorts byte by byte, {keyed} what ends a table keyed by its primary key.
const char *const SchemaSteps[LatestVersion] = {
    // 1: the downloads and their event tables.
    "CREATE TABLE downloads ("
    " id {id},"
    " content_key TEXT NOT NULL UNIQUE,"
    " source TEXT NOT NULL,"
    " stored_at TEXT NOT NULL,"
    " program_version TEXT NOT NULL,"
    " marker_lines INTEGER NOT NULL,"
    " downloaded_at {sorted} NOT NULL,"
    " serial TEXT NOT NULL,"
    " user_name TEXT NOT NULL,"
    " alarm_count INTEGER NOT NULL,"
    " highest_peak TEXT NOT NULL,"
    " lines TEXT NOT NULL);"
    "CREATE INDEX downloads_by_time ON downloads (downloaded_at, id);"
    "CREATE INDEX downloads_by_serial ON downloads (serial, downloaded_at);"
    "CREATE TABLE events ("
    " download_id {int64} NOT NULL REFERENCES downloads (id) ON DELETE CASCADE,"
    " row INTEGER NOT NULL,"
    " download_on TEXT NOT NULL, download_at TEXT NOT NULL, serial TEXT NOT NULL, user_name TEXT NOT NULL,"
    " peak TEXT NOT NULL, time_since TEXT NOT NULL, duration TEXT NOT NULL,"
    " life_remaining TEXT NOT NULL, self_tests TEXT NOT NULL, cumulative_time TEXT NOT NULL,"
    " total_events TEXT NOT NULL,"
    " PRIMARY KEY (download_id, row)){keyed}",
    // 2: each detector's alarms once, with the downloads that recorded them.
    "CREATE TABLE alarms ("
    " id {id},"
    " serial TEXT NOT NULL,"
    " peak TEXT NOT NULL,"
    " duration TEXT NOT NULL,"
    " began_at {int64},"
    " began_text TEXT NOT NULL,"
    " precision_seconds {int64} NOT NULL);"
    "CREATE INDEX alarms_by_detector ON alarms (serial, peak, duration, began_at);"
    "CREATE INDEX alarms_in_time ON alarms (serial, began_at);"
    "CREATE TABLE sightings ("
    " alarm_id {int64} NOT NULL REFERENCES alarms (id) ON DELETE CASCADE,"
    " download_id {int64} NOT NULL REFERENCES downloads (id) ON DELETE CASCADE,"
    " PRIMARY KEY (alarm_id, download_id)){keyed};"
    "CREATE INDEX sightings_by_download ON sightings (download_id)",
    // 3: the downloads of this PC that wait to be sent to a site archive, in the order they came.
    "CREATE TABLE site_queue ("
    " download_id {int64} NOT NULL PRIMARY KEY REFERENCES downloads (id) ON DELETE CASCADE,"
    " site TEXT NOT NULL)",
    // 4: what each download says of its detector's life and self tests, for the detectors' status.
    "ALTER TABLE downloads ADD COLUMN life_remaining TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE downloads ADD COLUMN self_tests TEXT NOT NULL DEFAULT '';"
    // All the status reads of a download, in the order it reads them, without its lines.
    "CREATE INDEX downloads_by_detector"
    " ON downloads (serial, downloaded_at, id, user_name, self_tests, life_remaining)",
};

QStringList statements(const char *step, const QList<std::pair<const char *, QString>> &words)
{
    QString sql = QString::fromLatin1(step);
    for (const auto &[token, word] : words)
        sql.replace(QLatin1String(token), word);
    QStringList result = sql.split(u';', Qt::SkipEmptyParts);
    for (QString &statement : result)
        statement = statement.trimmed();
    return result;
}

class SqliteEngine : public ArchiveEngine
{
public:
    explicit SqliteEngine(QString path)
        : m_path(std::move(path))
    {
    }

    QString name() const override { return m_path; }
    QString driver() const override { return QStringLiteral("QSQLITE"); }

    bool connect(QSqlDatabase &database, bool readOnly, std::chrono::milliseconds busyTimeout,
        std::chrono::milliseconds, QString *error) const override
    {
        const QFileInfo file(m_path);
        if (file.exists() && !file.isFile()) {
            *error = QCoreApplication::translate("ReportArchive", "%1 is not a file; the archive must be one")
                         .arg(m_path);
            return false;
        }
        if (!file.exists()) {
            if (readOnly) {
                *error
                    = QCoreApplication::translate("ReportArchive", "there is no archive at %1").arg(m_path);
                return false;
            }
            if (!QDir().mkpath(file.absolutePath())) {
                *error = QCoreApplication::translate(
                    "ReportArchive", "cannot create the folder of the archive %1")
                             .arg(m_path);
                return false;
            }
        }
        database.setDatabaseName(m_path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout.count());
        if (readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        // A reader of a write-ahead log needs its shared-memory file beside the archive. In a folder the
        // user may not write to, where no writer can have made one, the file is read as it is.
        if (readOnly && !QFileInfo(file.absolutePath()).isWritable()
            && !QFileInfo::exists(m_path + QStringLiteral("-shm"))) {
            database.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)
                + QStringLiteral("?immutable=1"));
            options += QStringLiteral(";QSQLITE_OPEN_URI");
        }
        database.setConnectOptions(options);
        if (!database.open()) {
            *error = QCoreApplication::translate("ReportArchive", "cannot open the archive %1: %2")
                         .arg(m_path, database.lastError().text());
            return false;
        }
        QSqlQuery foreignKeys(database);
        if (!foreignKeys.exec(QStringLiteral("PRAGMA foreign_keys = ON"))) {
            *error = QCoreApplication::translate("ReportArchive", "cannot open the archive %1: %2")
                         .arg(m_path, foreignKeys.lastError().text());
            return false;
        }
        return true;
    }

    std::optional<State> state(const QSqlDatabase &database, QString *error) const override
    {
        // One statement, so that another process creating the archive meanwhile is seen whole or not at all.
        QSqlQuery query(database);
        if (!query.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id()),"
                                       " (SELECT count(*) FROM sqlite_master),"
                                       " (SELECT user_version FROM pragma_user_version())"))
            || !query.next()) {
            *error = QCoreApplication::translate(
                "ReportArchive", "%1 is not a report archive or is damaged (%2); it is left as it is")
                         .arg(m_path, query.lastError().text());
            return std::nullopt;
        }
        const qint64 application = query.value(0).toLongLong();
        const qint64 objects = query.value(1).toLongLong();
        const int version = query.value(2).toInt();
        query.finish();
        if (application == 0 && objects == 0)
            return State { Contents::Empty, 0 };
        if (application != ApplicationId)
            return State { Contents::Foreign, 0 };
        return State { Contents::Archive, version };
    }

    // Write-ahead logging lets readers go on while one process stores.
    QStringList newArchiveSettings() const override
    {
        return { QStringLiteral("PRAGMA journal_mode = WAL") };
    }

    QStringList schemaStep(int version) const override
    {
        return statements(SchemaSteps[version - 1],
            { { "{id}", QStringLiteral("INTEGER PRIMARY KEY") }, { "{int64}", QStringLiteral("INTEGER") },
                { "{sorted}", QStringLiteral("TEXT") }, { "{keyed}", QStringLiteral(" WITHOUT ROWID") } });
    }

    QStringList markVersion(int version) const override
    {
        return { QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId),
            QStringLiteral("PRAGMA user_version = %1").arg(version) };
    }

    QStringList beginWrite() const override { return { QStringLiteral("BEGIN IMMEDIATE") }; }

    QStringList storageChecks() const override
    {
        return { QStringLiteral("PRAGMA integrity_check"), QStringLiteral("PRAGMA foreign_key_check") };
    }

private:
    // "LOR1" in SQLite's application_id: marks a file as this program's archive.
    static constexpr int ApplicationId = 0x4C4F5231;

    QString m_path;
};

class PostgresEngine : public ArchiveEngine
{
public:
    explicit PostgresEngine(QUrl url)
        : m_url(std::move(url))
    {
    }

    QString name() const override { return withoutSecrets(m_url); }
    QString driver() const override { return QStringLiteral("QPSQL"); }

    bool connect(QSqlDatabase &database, bool readOnly, std::chrono::milliseconds busyTimeout,
        std::chrono::milliseconds roundTripLimit, QString *error) const override
    {
        database.setHostName(m_url.host());
        if (m_url.port() > 0)
            database.setPort(m_url.port());
        database.setUserName(m_url.userName());
        database.setDatabaseName(m_url.path().mid(1));
        // libpq finds the password itself, in PGPASSWORD or the password file, so it is never kept here.
        // A peer that answers nothing is given up: while connecting after a few seconds; once connected
        // when keepalives go unanswered, or sent data unacknowledged, for the round trip's limit.
        const qint64 limitSeconds
            = std::max<qint64>(std::chrono::duration_cast<std::chrono::seconds>(roundTripLimit).count(), 1);
        QStringList options = {
            QStringLiteral("connect_timeout=%1")
                .arg(std::clamp<qint64>(limitSeconds, 2, ConnectTimeoutSeconds)),
            QStringLiteral("keepalives=1"),
            QStringLiteral("keepalives_idle=%1").arg(std::max<qint64>(limitSeconds / 3, 1)),
            QStringLiteral("keepalives_interval=%1").arg(std::max<qint64>(limitSeconds / 6, 1)),
            QStringLiteral("keepalives_count=3"),
            QStringLiteral("tcp_user_timeout=%1").arg(roundTripLimit.count()),
        };
        const QUrlQuery query(m_url);
        for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
            if (key == QLatin1String("host"))
                database.setHostName(value);
            else
                options.append(key + u'=' + quotedOption(value));
        }
        // A writer that waits longer than this for another has met a stuck lock.
        options.append(
            QStringLiteral("options='-c lock_timeout=%1%2'")
                .arg(std::max<qint64>(busyTimeout.count(), 1))
                .arg(readOnly ? QStringLiteral(" -c default_transaction_read_only=on") : QString()));
        database.setConnectOptions(options.join(u';'));
        if (!database.open()) {
            *error = QCoreApplication::translate("ReportArchive", "cannot connect to the archive %1: %2")
                         .arg(name(), database.lastError().text().trimmed());
            return false;
        }
        return true;
    }

    int socket(const QSqlDatabase &database) const override
    {
        // Qt names the type of its connection after the structure behind libpq's PGconn.
        const QVariant handle = database.driver()->handle();
        if (!handle.isValid()
            || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
            return -1;
        PGconn *connection = *static_cast<PGconn *const *>(handle.constData());
        return connection ? PQsocket(connection) : -1;
    }

    std::optional<State> state(const QSqlDatabase &database, QString *error) const override
    {
        QSqlQuery query(database);
        if (!query.exec(
                QStringLiteral("SELECT count(*), count(*) FILTER (WHERE table_name = 'archive_schema')"
                               " FROM information_schema.tables WHERE table_schema = current_schema()"))
            || !query.next()) {
            *error = QCoreApplication::translate("ReportArchive", "the archive %1 cannot be read: %2")
                         .arg(name(), query.lastError().text());
            return std::nullopt;
        }
        if (query.value(0).toInt() == 0)
            return State { Contents::Empty, 0 };
        if (query.value(1).toInt() == 0)
            return State { Contents::Foreign, 0 };
        if (!query.exec(QStringLiteral("SELECT max(version) FROM archive_schema")) || !query.next()) {
            *error = QCoreApplication::translate("ReportArchive", "the archive %1 cannot be read: %2")
                         .arg(name(), query.lastError().text());
            return std::nullopt;
        }
        return State { Contents::Archive, query.value(0).toInt() };
    }

    QStringList schemaStep(int version) const override
    {
        QStringList result = statements(SchemaSteps[version - 1],
            { { "{id}", QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY") },
                { "{int64}", QStringLiteral("BIGINT") }, { "{sorted}", QStringLiteral("TEXT COLLATE \"C\"") },
                { "{keyed}", QString() } });
        if (version == 1)
            result.prepend(QStringLiteral("CREATE TABLE archive_schema (version INTEGER NOT NULL)"));
        return result;
    }

    QStringList markVersion(int version) const override
    {
        return { QStringLiteral("DELETE FROM archive_schema"),
            QStringLiteral("INSERT INTO archive_schema VALUES (%1)").arg(version) };
    }

    // One advisory lock for all writers: an alarm two PCs store at once is then found by the second.
    QStringList beginWrite() const override
    {
        return { QStringLiteral("BEGIN"), QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(WriteLock) };
    }

private:
    static constexpr int ConnectTimeoutSeconds = 5;
    static constexpr qint64 WriteLock = 0x4C4F5231;

    QUrl m_url;
};

// Each libpq setting of a URL is a word of lower-case letters and underscores.
bool isSettingName(const QString &key)
{
    static const QRegularExpression word(QStringLiteral("^[a-z_]+$"));
    return word.match(key).hasMatch();
}

} // namespace

bool ArchiveEngine::holdsSecret(const QUrl &url)
{
    static const QRegularExpression secret(
        QStringLiteral("password"), QRegularExpression::CaseInsensitiveOption);
    return url.hasFragment() || url.userInfo().contains(u':')
        || url.userName(QUrl::FullyDecoded).contains(u':')
        || secret.match(url.query(QUrl::FullyDecoded)).hasMatch();
}

QString ArchiveEngine::withoutSecrets(const QUrl &url)
{
    QUrl shown = url.adjusted(QUrl::RemovePassword | QUrl::RemoveFragment);
    if (!holdsSecret(shown))
        return shown.toString();
    QUrlQuery kept;
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (!key.contains(QLatin1String("password"), Qt::CaseInsensitive)
            && !value.contains(QLatin1String("password"), Qt::CaseInsensitive))
            kept.addQueryItem(key, value);
    }
    shown.setQuery(kept);
    return shown.toString();
}

QString ArchiveEngine::quotedOption(const QString &value)
{
    QString quoted = value;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return u'\'' + quoted + u'\'';
}

bool ArchiveEngine::isServerLocation(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://"))
        || location.startsWith(QLatin1String("postgres://"));
}

std::unique_ptr<ArchiveEngine> ArchiveEngine::forLocation(const QString &location, QString *error)
{
    if (!isServerLocation(location))
        return std::make_unique<SqliteEngine>(location);
    const QUrl url(location, QUrl::StrictMode);
    // Checked first, so that no message ever repeats a URL that holds a password.
    if (holdsSecret(QUrl(location, QUrl::TolerantMode))) {
        *error = QCoreApplication::translate("ReportArchive",
            "the archive URL must not hold a password; put it into the password file "
            "(~/.pgpass) or PGPASSWORD");
        return nullptr;
    }
    const QUrlQuery query(url);
    const auto settings = query.queryItems(QUrl::FullyDecoded);
    const bool wellFormed = std::all_of(settings.cbegin(), settings.cend(),
        [](const auto &setting) { return isSettingName(setting.first) && !setting.second.contains(u';'); });
    if (!url.isValid() || url.path().size() < 2 || !wellFormed) {
        *error = QCoreApplication::translate("ReportArchive",
            "%1 is not an archive URL; it takes the form postgresql://user@host:port/database, with "
            "settings of libpq after a '?' (such as ?sslmode=require)")
                     .arg(url.isValid() ? withoutSecrets(url)
                                        : QCoreApplication::translate("ReportArchive", "the location"));
        return nullptr;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *error = QCoreApplication::translate(
            "ReportArchive", "Qt's PostgreSQL driver is not installed (Debian: libqt6sql6-psql)");
        return nullptr;
    }
    return std::make_unique<PostgresEngine>(url);
}
