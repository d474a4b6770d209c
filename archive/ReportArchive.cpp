#include "archive/ReportArchive.h"

#include <atomic>

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QStandardPaths>
#include <QVariant>

#include "archive/ArchiveEngine.h"
#include "archive/ArchiveSql.h"
#include "report/DownloadFacts.h"

using ArchiveSql::prepared;

namespace {

std::atomic<int> connectionCount { 0 };

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
        return QCoreApplication::translate("ReportArchive",
            "the archive %1 did not answer within %2 s; the connection was closed and "
            "nothing was changed")
            .arg(m_path)
            .arg(std::chrono::duration_cast<std::chrono::seconds>(m_watchdog->limit()).count());
    return QCoreApplication::translate("ReportArchive", "the archive %1 %2: %3")
        .arg(m_path, what, query.lastError().text());
}

bool ReportArchive::write(QSqlQuery &query, QString *error) const
{
    if (query.exec())
        return true;
    *error = fault(QCoreApplication::translate("ReportArchive", "cannot be written"), query);
    return false;
}

bool ReportArchive::write(const QString &sql, QString *error) const
{
    QSqlQuery query(m_database);
    if (query.exec(sql))
        return true;
    *error = fault(QCoreApplication::translate("ReportArchive", "cannot be written"), query);
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
        *error = QCoreApplication::translate(
            "ReportArchive", "%1 is a database of another program, not a report archive; it is left as it is")
                     .arg(m_path);
        return false;
    }
    if (state->version > SchemaVersion) {
        *error = QCoreApplication::translate("ReportArchive",
            "the archive %1 was made by a newer version of this program; it is left as it is")
                     .arg(m_path);
        return false;
    }
    if (state->version == SchemaVersion)
        return true;
    const bool empty = state->contents == ArchiveEngine::Contents::Empty;
    if (readOnly) {
        *error = empty ? QCoreApplication::translate("ReportArchive", "there is no archive at %1").arg(m_path)
                       : QCoreApplication::translate(
                           "ReportArchive", "the archive %1 must be brought up to date by storing in it once")
                             .arg(m_path);
        return false;
    }
    if (empty) {
        QSqlQuery query(m_database);
        for (const QString &setting : m_engine->newArchiveSettings()) {
            if (!query.exec(setting)) {
                *error = fault(QCoreApplication::translate("ReportArchive", "cannot be created"), query);
                return false;
            }
            query.finish();
        }
    }
    return migrate(error);
}

bool ReportArchive::fillIn(int version, QString *error)
{
    if (version != 2 && version != 4)
        return true;
    QSqlQuery all(m_database);
    all.setForwardOnly(true);
    if (!all.exec(QStringLiteral("SELECT id, lines FROM downloads"))) {
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be brought up to date"), all);
        return false;
    }
    QSqlQuery update = ArchiveSql::prepared(
        m_database, QStringLiteral("UPDATE downloads SET life_remaining = ?, self_tests = ? WHERE id = ?"));
    while (all.next()) {
        const qint64 id = all.value(0).toLongLong();
        const DownloadFacts::Facts facts = DownloadFacts::read(all.value(1).toString().split(u'\n'));
        if (version == 2 && !recordAlarms(id, facts, error))
            return false;
        if (version == 4) {
            update.addBindValue(ArchiveSql::text(facts.lifeRemaining));
            update.addBindValue(ArchiveSql::text(facts.selfTests));
            update.addBindValue(id);
            if (!write(update, error))
                return false;
        }
    }
    return true;
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
                *error = QCoreApplication::translate(
                    "ReportArchive", "the archive %1 was made by a newer version of this program")
                             .arg(m_path);
                return false;
            }
            QSqlQuery query(m_database);
            for (int version = state->version + 1; version <= SchemaVersion; ++version) {
                for (const QString &statement : m_engine->schemaStep(version)) {
                    if (!query.exec(statement)) {
                        *error = fault(
                            QCoreApplication::translate("ReportArchive", "cannot be brought up to date"),
                            query);
                        return false;
                    }
                }
                if (state->version > 0 && !fillIn(version, error))
                    return false;
            }
            for (const QString &statement : m_engine->markVersion(SchemaVersion)) {
                if (!query.exec(statement)) {
                    *error = fault(
                        QCoreApplication::translate("ReportArchive", "cannot be brought up to date"), query);
                    return false;
                }
            }
            return true;
        },
        error);
}
