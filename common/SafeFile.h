#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writing a user's file completely or not at all. Every writer that replaces a file or adds to one goes
// through here.
namespace SafeFile {

// Replaces the file at path with bytes: they are written to a temporary file in the same folder, flushed
// to disk and renamed over path only when every step succeeded. On failure path is left as it was, no
// temporary file remains and error receives the system's reason. A path that exists but is not a regular
// file (a folder, a FIFO, a device) is refused.
[[nodiscard]] bool Replace(const QString &path, const QByteArray &bytes, QString *error);

// False, with the reason, when path exists and is not a regular file; such a path is never written.
[[nodiscard]] bool IsReplaceable(const QString &path, QString *error);

// A file that grows at its end, in place: it keeps its inode, owner, mode and hard links, and a file the
// user may write in a folder the user may not write to can still be added to.
class AppendFile
{
public:
    AppendFile() = default;
    Q_DISABLE_COPY_MOVE(AppendFile)

    // Opens path for appending, creating it when it does not exist. A path that exists but is not a
    // regular file is refused without being opened.
    [[nodiscard]] bool Open(const QString &path, QString *error);
    // Adds bytes after the last byte in one write, while other appenders that use this class wait, so
    // concurrent exports keep all their lines. When the write fails the file is cut back to its length
    // before (a file that Open created is removed again) and error receives the system's reason.
    [[nodiscard]] bool Append(const QByteArray &bytes, QString *error);

private:
    QFile m_file;
    bool m_created = false;
};

} // namespace SafeFile
