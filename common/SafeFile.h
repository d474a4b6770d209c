#pragma once

#include <QByteArray>
#include <QString>

// Writing a user's file completely or not at all. Every writer that replaces a file goes through here.
namespace SafeFile {

// Replaces the file at path with bytes: they are written to a temporary file in the same folder, flushed
// to disk and renamed over path only when every step succeeded. On failure path is left as it was, no
// temporary file remains and error receives the system's reason. A path that exists but is not a regular
// file (a folder, a FIFO, a device) is refused.
[[nodiscard]] bool Replace(const QString &path, const QByteArray &bytes, QString *error);

// False, with the reason, when path exists and is not a regular file; such a path is never written.
[[nodiscard]] bool IsReplaceable(const QString &path, QString *error);

} // namespace SafeFile
