#include <QCoreApplication>

#include "documents/table/TableFile.h"

QStringList TableFile::notes() const
{
    QStringList notes;
    for (const QString &note : { writeNote(), saveNote() }) {
        if (!note.isEmpty())
            notes.append(note);
    }
    return notes;
}

QString TableFile::addedColumnsNote(const QStringList &headers)
{
    return QCoreApplication::translate("TableFile", "Columns added to the table: %1.")
        .arg(headers.join(QStringLiteral(", ")));
}

bool saveTableFile(std::unique_ptr<TableFile> &file, const QString &path, bool append,
    const std::function<std::unique_ptr<TableFile>()> &make,
    const std::function<bool(TableFile &, QString *)> &write, QString *error)
{
    constexpr int MaxAttempts = 5;
    bool saved = file->save(path, error);
    for (int attempt = 1; !saved && append && file->destinationChanged() && attempt < MaxAttempts;
         ++attempt) {
        file = make();
        saved = file->open(path, error) && write(*file, error) && file->save(path, error);
    }
    return saved;
}
