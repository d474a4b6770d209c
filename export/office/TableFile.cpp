#include "export/office/TableFile.h"

bool SaveTableFile(std::unique_ptr<TableFile> &file, const QString &path, bool append,
    const std::function<std::unique_ptr<TableFile>()> &make,
    const std::function<bool(TableFile &, QString *)> &write, QString *error)
{
    constexpr int MaxAttempts = 5;
    bool saved = file->Save(path, error);
    for (int attempt = 1; !saved && append && file->DestinationChanged() && attempt < MaxAttempts;
         ++attempt) {
        file = make();
        saved = file->Open(path, error) && write(*file, error) && file->Save(path, error);
    }
    return saved;
}
