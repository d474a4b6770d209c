#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QUrl>

// Where the differences between the database engines the archive runs on are kept: a file of SQLite on
// each PC, or a PostgreSQL server that a site shares. Everything else speaks SQL both understand.
class ArchiveEngine
{
public:
    enum class Contents
    {
        Empty,
        Archive,
        Foreign, // tables of another program
    };
    struct State
    {
        Contents contents = Contents::Empty;
        int version = 0;
    };

    virtual ~ArchiveEngine() = default;

    // A postgresql:// (or postgres://) URL, or else the path of an SQLite file.
    [[nodiscard]] static bool isServerLocation(const QString &location);
    // A server's URL that holds a password in any part is refused: the password belongs in the password
    // file or PGPASSWORD, never where messages, window titles, settings or process lists show it.
    [[nodiscard]] static std::unique_ptr<ArchiveEngine> forLocation(const QString &location, QString *error);
    // Whether a server's URL carries a secret anywhere: in its user part, or as a setting of libpq that
    // names one, in any letter case, percent-encoded or not, even inside another setting's value.
    [[nodiscard]] static bool holdsSecret(const QUrl &url);
    // A server's URL as it may be shown: without a password or any setting that names one.
    [[nodiscard]] static QString withoutSecrets(const QUrl &url);
    // A value of a libpq setting, quoted so that it stays one value whatever it holds.
    [[nodiscard]] static QString quotedOption(const QString &value);

    // The location as messages name it; a server's URL without any password.
    [[nodiscard]] virtual QString name() const = 0;
    // Qt's SQL driver for the engine.
    [[nodiscard]] virtual QString driver() const = 0;
    // A server connection gives up on a peer that answers nothing for roundTripLimit: its keepalives and
    // its unacknowledged data time out by then.
    [[nodiscard]] virtual bool connect(QSqlDatabase &database, bool readOnly,
        std::chrono::milliseconds busyTimeout, std::chrono::milliseconds roundTripLimit,
        QString *error) const = 0;
    // The socket of a server connection, for a watchdog to close; -1 for a file.
    [[nodiscard]] virtual int socket(const QSqlDatabase &) const { return -1; }
    [[nodiscard]] virtual std::optional<State> state(const QSqlDatabase &database, QString *error) const = 0;
    // Settings a new archive takes before its first table, outside any transaction.
    [[nodiscard]] virtual QStringList newArchiveSettings() const { return {}; }
    // The statements that take the schema from version - 1 to version.
    [[nodiscard]] virtual QStringList schemaStep(int version) const = 0;
    [[nodiscard]] virtual QStringList markVersion(int version) const = 0;
    // Starts a write transaction that writers of every process take one after the other.
    [[nodiscard]] virtual QStringList beginWrite() const = 0;
    // Checks of the engine's own storage; each row of their answer other than "ok" is a fault.
    [[nodiscard]] virtual QStringList storageChecks() const { return {}; }
};
