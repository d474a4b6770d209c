#include "archive/ReportArchive.h"

#include <algorithm>

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

std::optional<QList<DetectorStatus::Detector>> ReportArchive::detectors(QString *error)
{
    const auto trip = roundTrip();
    QHash<QString, DetectorStatus::Detector> bySerial;
    // Oldest first, so that the last row of a detector is its newest download.
    QSqlQuery downloads = prepared(m_database,
        QStringLiteral("SELECT serial, downloaded_at, user_name, self_tests, life_remaining FROM downloads"
                       " WHERE serial <> '' ORDER BY downloaded_at, id"));
    if (!downloads.exec()) {
        *error = fault(QStringLiteral("cannot be read"), downloads);
        return std::nullopt;
    }
    while (downloads.next()) {
        const QString serial = downloads.value(0).toString();
        DetectorStatus::Detector &detector = bySerial[serial];
        detector.serial = serial;
        ++detector.downloads;
        detector.lastDownload = downloads.value(1).toString();
        detector.lastUser = downloads.value(2).toString();
        detector.selfTests = downloads.value(3).toString();
        if (const std::optional<int> months = DetectorStatus::lifeMonths(downloads.value(4).toString())) {
            detector.lifeRemainingMonths = months;
            detector.lifeReportedOn = QDate::fromString(detector.lastDownload.left(10), Qt::ISODate);
        }
    }
    QSqlQuery alarms = prepared(
        m_database, QStringLiteral("SELECT serial, peak, began_text, began_at FROM alarms ORDER BY id"));
    if (!alarms.exec()) {
        *error = fault(QStringLiteral("cannot be read"), alarms);
        return std::nullopt;
    }
    QHash<QString, qint64> lastBegan;
    while (alarms.next()) {
        const auto found = bySerial.find(alarms.value(0).toString());
        if (found == bySerial.end())
            continue;
        DetectorStatus::Detector &detector = *found;
        ++detector.alarmEvents;
        const QString peak = alarms.value(1).toString();
        const double rank = DownloadFacts::peakRank(peak);
        if (rank >= 0
            && (detector.highestPeak.isEmpty() || rank > DownloadFacts::peakRank(detector.highestPeak))) {
            detector.highestPeak = peak;
            detector.highestPeakBegan = alarms.value(2).toString();
        }
        if (!alarms.value(3).isNull()) {
            const qint64 began = alarms.value(3).toLongLong();
            auto last = lastBegan.find(detector.serial);
            if (last == lastBegan.end() || began > *last) {
                lastBegan.insert(detector.serial, began);
                detector.lastAlarmBegan = alarms.value(2).toString();
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
