#include "SafeFile.h"

#include <QFileInfo>
#include <QSaveFile>

bool SafeFile::IsReplaceable(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return true;
    if (error)
        *error = info.isDir() ? QStringLiteral("%1 is a folder, not a file.").arg(path)
                              : QStringLiteral("%1 is not a regular file.").arg(path);
    return false;
}

bool SafeFile::Replace(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!IsReplaceable(path, error))
        return false;
    QSaveFile file(path);
    // commit() flushes, syncs to disk and renames; a failed write before it makes commit() fail too, and
    // QSaveFile then removes its temporary file.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}
