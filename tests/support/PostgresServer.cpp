#include "tests/support/PostgresServer.h"

#include <cerrno>
#include <csignal>

#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>

namespace {

constexpr uid_t Nobody = 65534;

} // namespace

PostgresServer::PostgresServer()
{
    const QStringList versions
        = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (!versions.isEmpty())
        m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(versions.last());
}

PostgresServer::~PostgresServer()
{
    QString error;
    if (m_running)
        (void)stop(&error);
}

bool PostgresServer::runTool(const QString &tool, const QStringList &args, QString *error) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (geteuid() == 0) {
        process.setChildProcessModifier([] {
            if (setgid(Nobody) != 0 || setuid(Nobody) != 0)
                _exit(127);
        });
    }
    process.start(m_bin + tool, args);
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = tool + " failed: " + QString::fromLocal8Bit(process.readAll()) + process.errorString();
        return false;
    }
    return true;
}

bool PostgresServer::start(QString *error)
{
    if (m_bin.isEmpty()) {
        *error = "PostgreSQL is not installed (Debian: postgresql)";
        return false;
    }
    const QString data = m_folder.filePath("data");
    if (geteuid() == 0 && chown(QFile::encodeName(m_folder.path()).constData(), Nobody, Nobody) != 0) {
        *error = "cannot give the server's folder to nobody";
        return false;
    }
    if (!QDir(data).exists()
        && !runTool("initdb",
            { "-D", data, "-U", "postgres", "--auth-local=trust", "--auth-host=scram-sha-256", "--no-sync",
                "--locale=C", "-E", "UTF8" },
            error))
        return false;
    if (m_port == 0) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost)) {
            *error = "no free port: " + probe.errorString();
            return false;
        }
        m_port = probe.serverPort();
    }
    const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                                .arg(m_folder.path())
                                .arg(m_port);
    if (!runTool("pg_ctl",
            { "-D", data, "-l", m_folder.filePath("log"), "-w", "-t", "60", "-o", options, "start" }, error))
        return false;
    m_running = true;
    return true;
}

bool PostgresServer::stop(QString *error)
{
    m_running = false;
    return runTool("pg_ctl", { "-D", m_folder.filePath("data"), "-m", "fast", "-w", "stop" }, error);
}

bool PostgresServer::freeze(bool frozen, QString *error)
{
    QFile pidFile(m_folder.filePath("data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) {
        *error = pidFile.errorString();
        return false;
    }
    const QByteArray postmaster = pidFile.readLine().trimmed();
    QList<pid_t> processes = { static_cast<pid_t>(postmaster.toInt()) };
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        // pid (name) state ppid ...: the name may hold spaces, so the fields are counted after its end.
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields.at(1) == postmaster)
                processes.append(static_cast<pid_t>(entry.toInt()));
        }
    }
    for (const pid_t process : processes) {
        if (kill(process, frozen ? SIGSTOP : SIGCONT) != 0 && errno != ESRCH) {
            *error = QStringLiteral("cannot signal process %1").arg(process);
            return false;
        }
    }
    return true;
}

QString PostgresServer::url(const QString &database, const QString &role) const
{
    if (role.isEmpty())
        return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3")
            .arg(database, m_folder.path())
            .arg(m_port);
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(role).arg(m_port).arg(database);
}

bool PostgresServer::run(const QString &database, const QStringList &statements, QString *error)
{
    bool done = true;
    {
        QSqlDatabase connection = QSqlDatabase::addDatabase("QPSQL", "test-superuser");
        connection.setHostName(m_folder.path());
        connection.setPort(m_port);
        connection.setUserName("postgres");
        connection.setDatabaseName(database);
        if (!connection.open()) {
            *error = connection.lastError().text();
            done = false;
        }
        QSqlQuery query(connection);
        for (const QString &statement : statements) {
            if (done && !query.exec(statement)) {
                *error = statement + ": " + query.lastError().text();
                done = false;
            }
        }
    }
    QSqlDatabase::removeDatabase("test-superuser");
    return done;
}

bool PostgresServer::createDatabase(const QString &name, QString *error)
{
    return run("postgres", { QStringLiteral("CREATE DATABASE %1").arg(name) }, error);
}
