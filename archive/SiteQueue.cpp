#include "archive/SiteQueue.h"

#include "archive/ReportArchive.h"

bool SiteQueue::sendWaiting(ReportArchive &local, ReportArchive &site, Progress &progress, QString *error)
{
    const std::optional<QList<qint64>> waiting = local.waitingForSite(site.path(), error);
    if (!waiting)
        return false;
    progress.waiting = int(waiting->size());
    for (const qint64 id : *waiting) {
        const std::optional<ReportArchive::Stored> download = local.stored(id, error);
        bool added = false;
        if (!download || !site.store(download->lines, download->markerLines, download->source, &added, error)
            || !local.sentToSite(id, error))
            return false;
        ++progress.sent;
        --progress.waiting;
    }
    return true;
}
