#include "archive/ArchiveImport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "archive/ReportArchive.h"

QString ImportTally::summary() const
{
    return QCoreApplication::translate("ReportArchive", "%n reports added", nullptr, added)
        + QStringLiteral(", ")
        + QCoreApplication::translate("ReportArchive", "%n already in the archive", nullptr, alreadyThere)
        + QStringLiteral(", ")
        + QCoreApplication::translate("ReportArchive", "%n unreadable", nullptr, int(unreadable.size()));
}

bool importTextExports(ReportArchive &archive, const QStringList &files, ImportTally &tally,
    const ImportProgress &progress, QString *error)
{
    for (const QString &file : files) {
        const std::optional<TextReports::Split> split = TextReports::read(file, error);
        if (!split)
            return false;
        for (const TextReports::Unreadable &unreadable : split->unreadable)
            tally.unreadable.append({ file, unreadable });
        const QString source = QStringLiteral("import: ") + QFileInfo(file).fileName();
        const int total = int(split->reports.size());
        for (int done = 0; done < total; ++done) {
            const QStringList &lines = split->reports.at(done).lines;
            bool added = false;
            if (!archive.store(lines, int(lines.size()), source, &added, error))
                return false;
            ++(added ? tally.added : tally.alreadyThere);
            if (progress && !progress(file, done + 1, total))
                return false;
        }
    }
    return true;
}
