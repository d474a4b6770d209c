#include "archive/ReportArchive.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QVariant>

#include "archive/ArchiveSql.h"

// The downloads of this PC that wait to be sent to a site archive.

using ArchiveSql::prepared;

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
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query);
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
