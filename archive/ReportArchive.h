#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include "archive/RoundTripWatchdog.h"
#include "report/DetectorStatus.h"

class ArchiveEngine;
class EventLogParser;
namespace DownloadFacts {
struct Facts;
}

// Which downloads a listing or an export covers; an empty field does not filter.
struct ArchiveFilter
{
    QString serial;
    QString user; // ignoring letter case
    QDate since;
    QDate until; // inclusive
};

struct ArchivedDownload
{
    qint64 id = 0;
    QString downloadedAt; // the tagged date and time, or when it was stored while it has no tags
    QString serial;
    QString user;
    int alarmCount = 0;
    QString highestPeak;
};

struct ArchivedAlarm
{
    QString began; // as precisely as the report gives it; empty when the report does not tell
    QString peak;
    QString duration;
    int downloads = 0; // how many archived downloads recorded it
};

// Every download the user kept, in an SQLite file or on a PostgreSQL server: its lines as displayed, its
// event table, and per detector the alarms it recorded with the time each began, each alarm once however
// often it was downloaded. Every change is one transaction; several processes may share the file.
class ReportArchive
{
public:
    enum class Access
    {
        ReadWrite, // creates the archive when the file does not exist or is empty
        ReadOnly,
    };

    static constexpr int SchemaVersion = 4;
    // How long a writer waits for another one; a window waits less, as another instance stores in well
    // under that and a lock held longer is stuck.
    static constexpr std::chrono::seconds DefaultBusyTimeout { 5 };
    static constexpr std::chrono::milliseconds WindowBusyTimeout { 2000 };
    // How long a site archive's server may take to answer one call before the connection is closed.
    static constexpr std::chrono::seconds DefaultRoundTripLimit { 30 };

    ReportArchive();
    ~ReportArchive();
    ReportArchive(const ReportArchive &) = delete;
    ReportArchive &operator=(const ReportArchive &) = delete;

    // The archive of the user: LORIMET_ARCHIVE when set, else fileName in the application's data folder.
    // A location is the path of an SQLite file or a postgresql:// URL of a site archive.
    [[nodiscard]] static QString defaultPath(const QString &fileName = QStringLiteral("archive.sqlite"));

    // A file or database that is not an archive of this program, or one of a newer schema, is refused
    // and left as it is. Waits up to busyTimeout for another process that is writing. A server that
    // does not answer a call within roundTripLimit has its connection closed: the call fails, saying so,
    // and the server rolls back what the call had begun.
    [[nodiscard]] bool open(const QString &location, Access access, QString *error,
        std::chrono::milliseconds busyTimeout = DefaultBusyTimeout,
        std::chrono::milliseconds roundTripLimit = DefaultRoundTripLimit);
    [[nodiscard]] bool isOpen() const { return m_database.isOpen(); }
    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QSqlDatabase database() const { return m_database; }

    // Keeps a download: the lines as displayed and the number of lines the download added (markerLines).
    // Lines already archived are not stored again; added tells which happened. source names where the
    // lines came from: "download", or the text export they were imported from.
    [[nodiscard]] std::optional<qint64> store(
        const QStringList &lines, int markerLines, const QString &source, bool *added, QString *error);
    // A download as store() kept it: the row that holds it, whether that call added the row, and what
    // it stored.
    struct Kept
    {
        qint64 id = 0;
        bool added = false;
        QStringList lines;
        int markerLines = 0;
        QString source;
    };
    // The download's lines after the tagging dialog wrote its tags. They go into the kept row only when
    // that store added it and the row still holds what it stored: another program that stored the same
    // lines shares the row and writes tags of its own, so each tagged download is kept beside the
    // other. Otherwise they are stored as a download of their own. Returns the id that now holds them:
    // another one when those lines were archived already.
    [[nodiscard]] std::optional<qint64> updateLines(
        const Kept &kept, const QStringList &lines, QString *error);
    [[nodiscard]] bool remove(const QList<qint64> &ids, QString *error);

    // Newest first.
    [[nodiscard]] std::optional<QList<ArchivedDownload>> downloads(
        const ArchiveFilter &filter, QString *error);
    [[nodiscard]] std::optional<QStringList> lines(qint64 id, QString *error);

    // A download as it was stored, to be stored again elsewhere.
    struct Stored
    {
        QStringList lines;
        int markerLines = 0;
        QString source;
    };
    [[nodiscard]] std::optional<Stored> stored(qint64 id, QString *error);

    // The downloads of this PC that wait to be sent to the site archive at site, in the order they came.
    [[nodiscard]] bool queueForSite(qint64 id, const QString &site, QString *error);
    [[nodiscard]] std::optional<QList<qint64>> waitingForSite(const QString &site, QString *error);
    [[nodiscard]] bool sentToSite(qint64 id, QString *error);
    // Every detector the downloads name, by serial number, with its newest download's facts and its
    // alarms; its status is the caller's to tell, for the day it asks about.
    [[nodiscard]] std::optional<QList<DetectorStatus::Detector>> detectors(QString *error);
    // In the order they began; those of unknown start last.
    [[nodiscard]] std::optional<QList<ArchivedAlarm>> alarms(const QString &serial, QString *error);

    // The faults found: damaged pages, broken links, a download whose lines or events do not match
    // what was stored with them. Nothing on a sound archive.
    [[nodiscard]] std::optional<QStringList> check(QString *error);
    struct Totals
    {
        qint64 downloads = 0;
        qint64 alarms = 0;
    };
    [[nodiscard]] std::optional<Totals> totals(QString *error);

private:
    // Watches one call to a server from now until the trip goes.
    [[nodiscard]] RoundTripWatchdog::Trip roundTrip() { return RoundTripWatchdog::Trip(m_watchdog.get()); }
    [[nodiscard]] bool initialize(bool readOnly, QString *error);
    [[nodiscard]] QSqlQuery downloadsQuery(const ArchiveFilter &filter) const;
    [[nodiscard]] QSqlQuery alarmsQuery(const QString &serial) const;
    [[nodiscard]] bool migrate(QString *error);
    // What schema version adds to the downloads stored before it: their alarms (2), their life remaining
    // and self tests (4).
    [[nodiscard]] bool fillIn(int version, QString *error);
    // Runs change in one write transaction, taken at once so that two writers wait for each other.
    template<typename Change> [[nodiscard]] bool inTransaction(Change change, QString *error);
    // Inserts the rows of values, columns to a row, with the statement's head into.
    [[nodiscard]] bool insertRows(
        const QString &into, int columns, const QVariantList &values, QString *error);
    // Inside a write transaction: adds the download and its content, or finds the row that holds the
    // same lines already.
    [[nodiscard]] std::optional<qint64> insertDownload(
        const QStringList &lines, int markerLines, const QString &source, bool *added, QString *error);
    [[nodiscard]] bool insertContent(
        qint64 id, const EventLogParser &parser, const DownloadFacts::Facts &facts, QString *error);
    [[nodiscard]] bool recordAlarms(qint64 id, const DownloadFacts::Facts &facts, QString *error);
    [[nodiscard]] QString fault(const QString &what, const QSqlQuery &query) const;
    // Runs a prepared statement, or the statement sql, of a change; a failure is told in error.
    [[nodiscard]] bool write(QSqlQuery &query, QString *error) const;
    [[nodiscard]] bool write(const QString &sql, QString *error) const;

    std::unique_ptr<ArchiveEngine> m_engine;
    std::unique_ptr<RoundTripWatchdog> m_watchdog;
    QString m_connection;
    QString m_path;
    QSqlDatabase m_database;
};
