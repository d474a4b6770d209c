#pragma once

#include <functional>

#include <QList>
#include <QString>

#include "report/TextReports.h"

class ReportArchive;

// Text exports into the archive: each report that is not archived yet is added.
struct ImportTally
{
    struct Unreadable
    {
        QString file;
        TextReports::Unreadable where;
    };

    int added = 0;
    int alreadyThere = 0;
    QList<Unreadable> unreadable;

    [[nodiscard]] QString summary() const;
};

// Called after each report with the reports done and the file's total; returning false stops the import,
// keeping what was imported.
using ImportProgress = std::function<bool(const QString &file, int done, int total)>;

// False when a file could not be read or the archive not written (error says why), or the import was
// stopped; the tally holds what was done until then.
[[nodiscard]] bool importTextExports(ReportArchive &archive, const QStringList &files, ImportTally &tally,
    const ImportProgress &progress, QString *error);
