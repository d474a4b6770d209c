#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the tests' own, from Debian's packages, in a temporary folder: on a Unix socket
// there and on a free loopback port. When the tests run as root it runs as nobody, as PostgreSQL will not
// run as root. Its superuser "postgres" connects over the socket without a password; roles made with
// addRole log in over TCP with theirs.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();

    [[nodiscard]] bool start(QString *error);
    [[nodiscard]] bool stop(QString *error);
    // Stops every process of the server, as a server that hangs or a network that dropped would answer
    // nothing, or lets them go on again.
    [[nodiscard]] bool freeze(bool frozen, QString *error);

    // A new database owned by the superuser, and the URL of it for role (the superuser by default).
    [[nodiscard]] bool createDatabase(const QString &name, QString *error);
    [[nodiscard]] QString url(const QString &database, const QString &role = QString()) const;
    // Runs statements as the superuser in database.
    [[nodiscard]] bool run(const QString &database, const QStringList &statements, QString *error);

private:
    [[nodiscard]] bool runTool(const QString &tool, const QStringList &args, QString *error) const;

    QTemporaryDir m_folder;
    QString m_bin;
    int m_port = 0;
    bool m_running = false;
};
