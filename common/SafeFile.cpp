#include "SafeFile.h"

#include <cerrno>

#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// Holds the advisory lock that makes appenders to one file take turns.
class AppendLock
{
public:
    explicit AppendLock(QFile &file)
        : m_handle(file.handle())
    {
#ifdef Q_OS_UNIX
        while (flock(m_handle, LOCK_EX) != 0 && errno == EINTR) { }
#endif
    }
    ~AppendLock()
    {
#ifdef Q_OS_UNIX
        flock(m_handle, LOCK_UN);
#endif
    }
    Q_DISABLE_COPY_MOVE(AppendLock)

private:
    int m_handle;
};

void setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

// Hands bytes to an unbuffered file, so that every write is checked where it happens. One write normally
// takes everything; after a short one, the next either goes on or fails and sets the file's error.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

// Waits until the written bytes are on the disk; a disk that turns them down late says so here.
bool syncToDisk(QFileDevice &file, QString *error)
{
#ifdef Q_OS_UNIX
    if (fsync(file.handle()) != 0) {
        setError(error, qt_error_string(errno));
        return false;
    }
#else
    Q_UNUSED(file)
    Q_UNUSED(error)
#endif
    return true;
}

} // namespace

bool SafeFile::IsReplaceable(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return true;
    setError(error,
        info.isDir() ? QStringLiteral("%1 is a folder, not a file.").arg(path)
                     : QStringLiteral("%1 is not a regular file.").arg(path));
    return false;
}

bool SafeFile::Replace(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!IsReplaceable(path, error))
        return false;
    // Unbuffered, as QSaveFile overlooks a write that fails while commit() flushes its buffer, and would
    // rename the truncated file into place. Until commit() renames, the file is a temporary one that
    // QSaveFile removes when it is not committed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(file, bytes)) {
        setError(error, file.errorString());
        return false;
    }
    if (!syncToDisk(file, error))
        return false;
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool SafeFile::AppendFile::Open(const QString &path, QString *error)
{
    if (!IsReplaceable(path, error))
        return false;
    m_file.setFileName(path);
    // Unbuffered: Append hands all its bytes to the system in one write.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    m_created = m_file.open(mode | QIODevice::NewOnly);
    if (m_created)
        return true;
    // Creating fails when the file exists; otherwise its reason (such as a folder the user may not write
    // to) is the one to tell.
    const QString createError = m_file.errorString();
    if (m_file.open(mode | QIODevice::ExistingOnly))
        return true;
    setError(error, m_file.exists() ? m_file.errorString() : createError);
    return false;
}

bool SafeFile::AppendFile::Append(const QByteArray &bytes, QString *error)
{
    const AppendLock lock(m_file);
    const qint64 before = m_file.size();
    if (writeAll(m_file, bytes))
        return true;
    setError(error, m_file.errorString());
    if (m_created && before == 0)
        QFile::remove(m_file.fileName());
    else
        (void)m_file.resize(before);
    return false;
}
