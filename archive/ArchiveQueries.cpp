#include "archive/ReportArchive.h"

#include <algorithm>

#include <QCoreApplication>
#include <QHash>
#include <QSqlError>
#include <QVariant>

#include "archive/ArchiveSql.h"
#include "report/DownloadFacts.h"

// What the windows and the tool read of the archive.

using ArchiveSql::prepared;

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
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query);
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
            ? fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query)
            : QCoreApplication::translate("ReportArchive", "the archive %1 holds no download %2")
                  .arg(m_path)
                  .arg(id);
        return std::nullopt;
    }
    return Stored { query.value(0).toString().split(u'\n'), query.value(1).toInt(),
        query.value(2).toString() };
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
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query);
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
        *error = fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query);
        return std::nullopt;
    }
    return Totals { query.value(0).toLongLong(), query.value(1).toLongLong() };
}

std::optional<QList<DetectorStatus::Detector>> ReportArchive::detectors(QString *error)
{
    const auto trip = roundTrip();
    // A row or a few per detector each, found through the indexes; where rows tie, the last one read wins,
    // except for the highest peak, where the first alarm of that peak does.
    const QString queries[] = {
        QStringLiteral(
            "SELECT d.serial, d.downloaded_at, d.user_name, d.self_tests, m.downloads FROM"
            " (SELECT serial, MAX(downloaded_at) AS at, COUNT(*) AS downloads FROM downloads"
            " WHERE serial <> '' GROUP BY serial) AS m"
            " JOIN downloads AS d ON d.serial = m.serial AND d.downloaded_at = m.at ORDER BY d.id"),
        // The life remaining of the newest download that reports it.
        QStringLiteral("SELECT d.serial, d.downloaded_at, d.life_remaining FROM"
                       " (SELECT serial, MAX(downloaded_at) AS at FROM downloads"
                       " WHERE serial <> '' AND life_remaining <> '' GROUP BY serial) AS m"
                       " JOIN downloads AS d ON d.serial = m.serial AND d.downloaded_at = m.at"
                       " AND d.life_remaining <> '' ORDER BY d.id"),
        QStringLiteral(
            "SELECT m.serial, m.alarms, a.began_text FROM"
            " (SELECT serial, MAX(began_at) AS at, COUNT(*) AS alarms FROM alarms GROUP BY serial) AS m"
            " LEFT JOIN alarms AS a ON a.serial = m.serial AND a.began_at = m.at ORDER BY a.id"),
        // Each peak of a detector once, with its first alarm.
        QStringLiteral("SELECT a.serial, a.peak, a.began_text FROM"
                       " (SELECT MIN(id) AS id FROM alarms GROUP BY serial, peak) AS f"
                       " JOIN alarms AS a ON a.id = f.id ORDER BY a.id"),
    };
    QHash<QString, DetectorStatus::Detector> bySerial;
    QHash<QString, double> ranks; // of each peak text, read once
    for (int part = 0; part < 4; ++part) {
        QSqlQuery query = prepared(m_database, queries[part]);
        if (!query.exec()) {
            *error = fault(QCoreApplication::translate("ReportArchive", "cannot be read"), query);
            return std::nullopt;
        }
        while (query.next()) {
            const QString serial = query.value(0).toString();
            const auto found = bySerial.find(serial);
            if (part > 0 && found == bySerial.end())
                continue; // alarms of a detector no download names any more
            DetectorStatus::Detector &detector = part == 0 ? bySerial[serial] : *found;
            if (part == 0) {
                detector.serial = serial;
                detector.lastDownload = query.value(1).toString();
                detector.lastUser = query.value(2).toString();
                detector.selfTests = query.value(3).toString();
                detector.downloads = query.value(4).toInt();
            } else if (part == 1) {
                detector.lifeRemainingMonths = DetectorStatus::lifeMonths(query.value(2).toString());
                detector.lifeReportedOn = QDate::fromString(query.value(1).toString().left(10), Qt::ISODate);
            } else if (part == 2) {
                detector.alarmEvents = query.value(1).toInt();
                detector.lastAlarmBegan = query.value(2).toString();
            } else {
                const QString peak = query.value(1).toString();
                auto rank = ranks.constFind(peak);
                if (rank == ranks.constEnd())
                    rank = ranks.insert(peak, DownloadFacts::peakRank(peak));
                if (*rank >= 0
                    && (detector.highestPeak.isEmpty() || *rank > ranks.value(detector.highestPeak))) {
                    detector.highestPeak = peak;
                    detector.highestPeakBegan = query.value(2).toString();
                }
            }
        }
    }
    QList<DetectorStatus::Detector> result = bySerial.values();
    std::sort(result.begin(), result.end(),
        [](const DetectorStatus::Detector &a, const DetectorStatus::Detector &b) {
            return a.serial < b.serial;
        });
    return result;
}
