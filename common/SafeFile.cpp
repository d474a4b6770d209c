#include "common/SafeFile.h"

#include <algorithm>
#include <cerrno>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QPair>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#ifndef Q_OS_UNIX
#include <QCryptographicHash>
#endif

#ifdef Q_OS_UNIX
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Temporary files are named after their destination: ".NAME.lorimet-XXXXXX", so that one a killed update
// left behind is recognised; journals of text appends ".NAME.lorimet-journal".
const QString TemporaryMarker = QStringLiteral(".lorimet-");
const QString JournalSuffix = QStringLiteral(".lorimet-journal");

void setError(QString *error, const QString &reason)
{
    *error = reason;
}

QString systemError(int code)
{
    return qt_error_string(code);
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

QString journalOf(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(u'.' + info.fileName() + JournalSuffix);
}

// The journal of an open file whose folder the user may not write to (a shared log): in the user's cache,
// named after the file's device and inode, so that it is found again under any name of the file.
QString cacheJournalOf(const QFile &file)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/lorimet-adapter/journals/");
#ifdef Q_OS_UNIX
    struct stat status
    {
    };
    if (fstat(file.handle(), &status) != 0)
        return {};
    return folder + QStringLiteral("%1-%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
#else
    return folder
        + QString::fromLatin1(
            QCryptographicHash::hash(QFileInfo(file).canonicalFilePath().toUtf8(), QCryptographicHash::Sha1)
                .toHex());
#endif
}

#ifdef Q_OS_UNIX

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

bool writeAll(int fd, const QByteArray &bytes, int &code)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t count
            = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            code = count < 0 ? errno : ENOSPC;
            return false;
        }
        written += count;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

bool sameInode(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool unchanged(const struct stat &a, const struct stat &b)
{
    return sameInode(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec
        && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

#endif

} // namespace

std::optional<QString> SafeFile::followablePath(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
#ifdef Q_OS_UNIX
    struct stat link;
    struct stat folder;
    if (lstat(nativePath(path).constData(), &link) == 0
        && stat(nativePath(info.absolutePath()).constData(), &folder) == 0 && (folder.st_mode & S_ISVTX)
        && (folder.st_mode & S_IWOTH) && link.st_uid != geteuid() && link.st_uid != folder.st_uid) {
        setError(error,
            QCoreApplication::translate("SafeFile",
                "%1 is a symbolic link that another user put in a folder everyone may write to; "
                "it is not followed.")
                .arg(path));
        return std::nullopt;
    }
#endif
    // The file the link leads to, through any further links; a link to nothing yet names the new file.
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

bool SafeFile::sameFile(const QString &first, const QString &second)
{
#ifdef Q_OS_UNIX
    struct stat a;
    struct stat b;
    return stat(nativePath(first).constData(), &a) == 0 && stat(nativePath(second).constData(), &b) == 0
        && sameInode(a, b);
#else
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
#endif
}

bool SafeFile::isReplaceable(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return true;
    setError(error,
        info.isDir() ? QCoreApplication::translate("SafeFile", "%1 is a folder, not a file.").arg(path)
                     : QCoreApplication::translate("SafeFile", "%1 is not a regular file.").arg(path));
    return false;
}

struct SafeFile::Update::Private
{
    bool changed = false;
    QString note;
#ifdef Q_OS_UNIX
    // The locked file and what it was when locked.
    int fd = -1;
    QString path;
    struct stat locked = {};

    ~Private()
    {
        unlock();
    }

    // The files this process holds locked: a second update of one of them would wait for itself.
    static QSet<QPair<quint64, quint64>> &heldHere()
    {
        static QSet<QPair<quint64, quint64>> held;
        return held;
    }
    static QMutex &heldMutex()
    {
        static QMutex mutex;
        return mutex;
    }
    static QPair<quint64, quint64> key(const struct stat &file)
    {
        return { quint64(file.st_dev), quint64(file.st_ino) };
    }

    void unlock()
    {
        if (fd < 0)
            return;
        {
            const QMutexLocker locker(&heldMutex());
            heldHere().remove(key(locked));
        }
        ::close(fd);
        fd = -1;
    }

    // Opens and locks the file at path; a file replaced while this waited for the lock is let go and the
    // new one locked instead.
    bool lock(const QString &lockPath, QString *error)
    {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            const int opened = ::open(nativePath(lockPath).constData(), O_RDONLY | O_CLOEXEC);
            if (opened < 0) {
                setError(error, systemError(errno));
                return false;
            }
            struct stat before;
            if (fstat(opened, &before) == 0) {
                const QMutexLocker locker(&heldMutex());
                if (heldHere().contains(key(before))) {
                    ::close(opened);
                    setError(error,
                        QCoreApplication::translate(
                            "SafeFile", "%1 is being written by another export of this program.")
                            .arg(lockPath));
                    return false;
                }
            }
            int result = 0;
            while ((result = flock(opened, LOCK_EX)) != 0 && errno == EINTR) { }
            // A file system without locks (some network shares) still has the check before the rename.
            if (result != 0 && (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL))
                result = 0;
            struct stat named;
            if (result == 0 && fstat(opened, &locked) == 0
                && stat(nativePath(lockPath).constData(), &named) == 0 && sameInode(locked, named)) {
                const QMutexLocker locker(&heldMutex());
                heldHere().insert(key(locked));
                fd = opened;
                path = lockPath;
                return true;
            }
            const int code = errno;
            ::close(opened);
            if (result != 0) {
                setError(error, systemError(code));
                return false;
            }
        }
        setError(error,
            QCoreApplication::translate("SafeFile", "%1 keeps being replaced by another program.")
                .arg(lockPath));
        return false;
    }

    // Removes the temporary files of updates of name that were killed; called while holding the lock,
    // when no other update of this file can be writing one.
    static void removeLeftovers(const QDir &folder, const QString &name)
    {
        static const QRegularExpression random(QStringLiteral("^[A-Za-z0-9]{6}$"));
        const QString prefix = u'.' + name + TemporaryMarker;
        for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (entry.startsWith(prefix) && random.match(entry.mid(prefix.size())).hasMatch())
                QFile::remove(folder.filePath(entry));
        }
    }
#endif
};

SafeFile::Update::Update()
    : d(std::make_unique<Private>())
{
}

SafeFile::Update::~Update() = default;

bool SafeFile::Update::changed() const
{
    return d->changed;
}

QString SafeFile::Update::note() const
{
    return d->note;
}

bool SafeFile::Update::read(const QString &path, qint64 maxSize, QByteArray &bytes, QString *error)
{
    const std::optional<QString> followed = followablePath(path, error);
    if (!followed || !isReplaceable(*followed, error))
        return false;
#ifdef Q_OS_UNIX
    if (!d->lock(*followed, error))
        return false;
    if (d->locked.st_size > maxSize) {
        setError(error,
            QCoreApplication::translate("SafeFile", "The file is larger than %1 MiB.").arg(maxSize >> 20));
        return false;
    }
    QFile file;
    if (!file.open(d->fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        setError(error, file.errorString());
        return false;
    }
    // As large as the file, and one byte more to see a file that grew meanwhile.
    bytes = file.read(std::min<qint64>(d->locked.st_size, maxSize) + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxSize) {
        setError(error,
            file.error() != QFileDevice::NoError
                ? file.errorString()
                : QCoreApplication::translate("SafeFile", "The file is larger than %1 MiB.")
                      .arg(maxSize >> 20));
        return false;
    }
    return true;
#else
    QFile file(*followed);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.size() > maxSize) {
        setError(error,
            QCoreApplication::translate("SafeFile", "The file is larger than %1 MiB.").arg(maxSize >> 20));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return false;
    }
    return true;
#endif
}

bool SafeFile::Update::replace(const QString &path, const QByteArray &bytes, QString *error)
{
    const std::optional<QString> followed = followablePath(path, error);
    if (!followed || !isReplaceable(*followed, error))
        return false;
    const QString target = *followed;
#ifdef Q_OS_UNIX
    if (d->fd >= 0 && d->path != target) {
        setError(
            error, QCoreApplication::translate("SafeFile", "%1 is not the file that was read.").arg(path));
        return false;
    }
    if (d->fd < 0 && QFileInfo::exists(target) && !d->lock(target, error))
        return false;
    const bool existed = d->fd >= 0;
    if (existed && d->locked.st_nlink > 1) {
        setError(error,
            QCoreApplication::translate("SafeFile",
                "%1 has other hard links, which replacing it would separate from it; save to another "
                "file.")
                .arg(path));
        return false;
    }

    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    if (existed)
        Private::removeLeftovers(folder, info.fileName());
    QByteArray temporary
        = nativePath(folder.filePath(u'.' + info.fileName() + TemporaryMarker + QStringLiteral("XXXXXX")));
    if (info.fileName().toUtf8().size() + 1 + TemporaryMarker.size() + 6 > NAME_MAX) {
        setError(error,
            QCoreApplication::translate("SafeFile",
                "The name %1 is too long for the temporary file that is written beside it; choose a "
                "shorter name.")
                .arg(info.fileName()));
        return false;
    }
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        setError(error, systemError(errno));
        return false;
    }
    const auto fail = [&](int code) {
        ::close(fd);
        ::unlink(temporary.constData());
        setError(error, systemError(code));
        return false;
    };
    int code = 0;
    if (!writeAll(fd, bytes, code))
        return fail(code);
    if (fsync(fd) != 0)
        return fail(errno);
    if (existed) {
        if (fchmod(fd, d->locked.st_mode & 07777) != 0)
            return fail(errno);
        if (fchown(fd, d->locked.st_uid, d->locked.st_gid) != 0) {
            // Not permitted to give it to another user: the group may still be kept.
            const bool groupKept = fchown(fd, static_cast<uid_t>(-1), d->locked.st_gid) == 0;
            d->note = groupKept ? QCoreApplication::translate(
                          "SafeFile", "%1 now belongs to you; its owner could not be kept.")
                                      .arg(path)
                                : QCoreApplication::translate("SafeFile",
                                    "%1 now belongs to you and your group; its owner and group "
                                    "could not be kept.")
                                      .arg(path);
        }
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd, 0666 & ~mask) != 0)
            return fail(errno);
    }
    if (::close(fd) != 0) {
        code = errno;
        ::unlink(temporary.constData());
        setError(error, systemError(code));
        return false;
    }
    struct stat now;
    const bool present = stat(nativePath(target).constData(), &now) == 0;
    if (existed ? !present || !unchanged(now, d->locked) : present) {
        ::unlink(temporary.constData());
        d->changed = true;
        setError(error,
            QCoreApplication::translate(
                "SafeFile", "%1 was changed by another program while the report was being written.")
                .arg(path));
        return false;
    }
    if (::rename(temporary.constData(), nativePath(target).constData()) != 0) {
        code = errno;
        ::unlink(temporary.constData());
        setError(error, systemError(code));
        return false;
    }
    syncFolder(folder.absolutePath());
    d->unlock();
    return true;
#else
    // Unbuffered, as QSaveFile overlooks a write that fails while commit() flushes its buffer.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(file, bytes)
        || !file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
#endif
}

bool SafeFile::replace(const QString &path, const QByteArray &bytes, QString *error, QString *note)
{
    Update update;
    const bool replaced = update.replace(path, bytes, error);
    if (note)
        *note = update.note();
    return replaced;
}

namespace {

// Holds the advisory lock that makes appenders to one file take turns.
class AppendLock
{
public:
    explicit AppendLock(const QFile &file)
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

} // namespace

// Called while holding the lock, so that a journal is only ever that of an append that did not finish.
bool SafeFile::AppendFile::repair(const QString &path, const QString &journalPath, QString *error)
{
    QFile journal(journalPath);
    if (!journal.exists())
        return true;
    if (!journal.open(QIODevice::ReadOnly)) {
        setError(error, journal.errorString());
        return false;
    }
    bool ok = false;
    const qint64 length = journal.read(32).trimmed().toLongLong(&ok);
    journal.close();
    if (ok && length >= 0 && m_file.size() > length) {
        if (!m_file.resize(length)) {
            setError(error, m_file.errorString());
            return false;
        }
        m_note = QCoreApplication::translate("SafeFile",
            "%1 was cut back to %2 bytes, its length before an export to it that did not "
            "finish.")
                     .arg(path)
                     .arg(length);
    }
    if (!journal.remove()) {
        setError(error, journal.errorString());
        return false;
    }
    return true;
}

bool SafeFile::AppendFile::open(const QString &path, QString *error)
{
    const std::optional<QString> followed = followablePath(path, error);
    if (!followed || !isReplaceable(*followed, error))
        return false;
    m_file.setFileName(*followed);
    // Unbuffered: Append hands all its bytes to the system in one write.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    m_created = m_file.open(mode | QIODevice::NewOnly);
    if (!m_created) {
        // Creating fails when the file exists; otherwise its reason (such as a folder the user may not
        // write to) is the one to tell.
        const QString createError = m_file.errorString();
        if (!m_file.open(mode | QIODevice::ExistingOnly)) {
            setError(error, m_file.exists() ? m_file.errorString() : createError);
            return false;
        }
    }
    // The journal lies beside the file, where every user of a shared folder finds it; where the user may
    // not write, in the user's own cache. An unfinished append may have left one in either place.
    const QString beside = journalOf(*followed);
    const QString cached = cacheJournalOf(m_file);
    m_journal
        = QFileInfo(QFileInfo(*followed).absolutePath()).isWritable() || cached.isEmpty() ? beside : cached;
    const AppendLock lock(m_file);
    return repair(*followed, beside, error) && (cached.isEmpty() || repair(*followed, cached, error));
}

bool SafeFile::AppendFile::append(const QByteArray &bytes, QString *error)
{
    const AppendLock lock(m_file);
    const qint64 before = m_file.size();
    QFile journal(m_journal);
    const auto fail = [&](const QString &reason) {
        setError(error, reason);
        if (m_created && before == 0)
            QFile::remove(m_file.fileName());
        else
            (void)m_file.resize(before);
        journal.remove();
        return false;
    };
    // The length before goes to the journal first, so that a killed export can be cut back.
    if (const QString folder = QFileInfo(m_journal).absolutePath(); !QDir().mkpath(folder))
        return fail(
            QCoreApplication::translate("SafeFile", "The journal's folder %1 cannot be made").arg(folder));
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)
        || !writeAll(journal, QByteArray::number(before)))
        return fail(QCoreApplication::translate("SafeFile", "The journal %1 cannot be written: %2")
                        .arg(m_journal, journal.errorString()));
#ifdef Q_OS_UNIX
    if (fsync(journal.handle()) != 0)
        return fail(systemError(errno));
#endif
    journal.close();
    if (!writeAll(m_file, bytes))
        return fail(m_file.errorString());
#ifdef Q_OS_UNIX
    if (fsync(m_file.handle()) != 0)
        return fail(systemError(errno));
#endif
    journal.remove();
    return true;
}
