#include "archive/ReportArchive.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

#include "archive/ArchiveSql.h"
#include "report/DownloadFacts.h"

// The integrity check of an archive.

std::optional<QStringList> ReportArchive::check(QString *error)
{
    const auto trip = roundTrip();
    QStringList faults;
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    for (const QString &storageCheck : m_engine->storageChecks()) {
        if (!query.exec(storageCheck)) {
            *error = fault(QCoreApplication::translate("ReportArchive", "cannot be checked"), query);
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
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be checked"), query);
        return std::nullopt;
    }
    while (query.next()) {
        const QString id = query.value(0).toString();
        const QStringList lines = query.value(3).toString().split(u'\n');
        if (DownloadFacts::contentKey(lines) != query.value(1).toByteArray())
            faults << QCoreApplication::translate(
                "ReportArchive", "download %1: its lines are not those it was stored with")
                          .arg(id);
        const int alarms = query.value(2).toInt();
        if (query.value(4).toInt() != alarms || query.value(5).toInt() != alarms)
            faults << QCoreApplication::translate(
                "ReportArchive", "download %1: %2 alarm events, but %3 rows in its event table and %4 alarms")
                          .arg(id)
                          .arg(alarms)
                          .arg(query.value(4).toInt())
                          .arg(query.value(5).toInt());
    }
    if (!query.exec(QStringLiteral("SELECT count(*) FROM alarms WHERE NOT EXISTS (SELECT 1 FROM sightings "
                                   "WHERE alarm_id = alarms.id)"))
        || !query.next()) {
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be checked"), query);
        return std::nullopt;
    }
    if (const int orphans = query.value(0).toInt(); orphans > 0)
        faults << QCoreApplication::translate("ReportArchive", "%1 alarms that no download recorded")
                      .arg(orphans);
    return faults;
}
