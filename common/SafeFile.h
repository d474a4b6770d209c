#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QFile>
#include <QString>

// Writing a user's file completely or not at all. Every writer that replaces a file or adds to one goes
// through here.
namespace SafeFile {

// The path a writer may follow. A symbolic link in a sticky folder that everyone may write to (such as
// /tmp) is followed only when it belongs to the user or to the folder's owner, as the kernel's
// protected_symlinks rule has it: a link planted there by someone else is refused with the reason. Any
// other path is its own answer.
[[nodiscard]] std::optional<QString> followablePath(const QString &path, QString *error);

// Whether two paths name one existing file (the same device and inode), through links and other names.
[[nodiscard]] bool sameFile(const QString &first, const QString &second);

// False, with the reason, when path exists and is not a regular file; such a path is never written.
[[nodiscard]] bool isReplaceable(const QString &path, QString *error);

// One update of a file that may exist: from Read until Replace it holds an advisory lock on the file, so
// that updates of one file by this program's processes take turns and none loses another's work.
class Update
{
public:
    Update();
    ~Update();
    Q_DISABLE_COPY_MOVE(Update)

    // Locks the file at path, waiting while another update holds it, and reads it whole; a file larger
    // than maxSize is refused.
    [[nodiscard]] bool read(const QString &path, qint64 maxSize, QByteArray &bytes, QString *error);

    // Replaces the file at path with bytes. They are written to a temporary file beside it, synced to
    // disk, given the old file's owner, group and mode where this process may set them, and renamed over
    // it only when every step succeeded and the file is still the one Read read (the same device, inode,
    // size and modification time). On failure path is left as it was and no temporary file remains; a
    // temporary file that a killed update left is removed. A file with other hard links is refused rather
    // than separated from them.
    [[nodiscard]] bool replace(const QString &path, const QByteArray &bytes, QString *error);

    // Whether Replace found the file changed by another program since Read: then nothing was written,
    // and reading it again and redoing the work is the way on.
    [[nodiscard]] bool changed() const;
    // What Replace could not keep of the old file (its owner or group), to tell the user; empty when it
    // kept everything.
    [[nodiscard]] QString note() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Replaces the file at path with bytes, as an update that did not read it first; note, when given,
// receives what could not be kept of the old file.
[[nodiscard]] bool replace(
    const QString &path, const QByteArray &bytes, QString *error, QString *note = nullptr);

// A file that grows at its end, in place: it keeps its inode, owner, mode and hard links, and a file the
// user may write in a folder the user may not write to can still be added to. While bytes are added, a
// small journal records its length before: beside the file, or in the user's cache when the folder is not
// the user's to write. A file whose journal a killed export left behind is cut back to that length when
// it is next opened.
class AppendFile
{
public:
    AppendFile() = default;
    Q_DISABLE_COPY_MOVE(AppendFile)

    // Opens path for appending, creating it when it does not exist, after repairing an unfinished
    // append. A path that exists but is not a regular file is refused without being opened.
    [[nodiscard]] bool open(const QString &path, QString *error);
    // Adds bytes after the last byte in one write, while other appenders that use this class wait, so
    // concurrent exports keep all their lines. When the write fails the file is cut back to its length
    // before (a file that Open created is removed again) and error receives the system's reason.
    [[nodiscard]] bool append(const QByteArray &bytes, QString *error);
    // What Open repaired, to tell the user; empty when there was nothing to repair.
    [[nodiscard]] QString note() const { return m_note; }

private:
    [[nodiscard]] bool repair(const QString &path, const QString &journalPath, QString *error);

    QFile m_file;
    QString m_journal;
    QString m_note;
    bool m_created = false;
};

} // namespace SafeFile
