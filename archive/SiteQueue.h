#pragma once

#include <QString>

class ReportArchive;

// Downloads of this PC on their way to the site archive: each waits in the local archive until the site
// has it, so that none is lost while the server is away and none arrives twice.
namespace SiteQueue {

struct Progress
{
    int sent = 0;
    int waiting = 0; // still in the queue after a failure
};

// Sends what waits for site, oldest first, and stops at the first failure (error says why). A download
// the site holds already counts as sent: one that was sent just before this PC went down is not stored
// twice.
[[nodiscard]] bool sendWaiting(ReportArchive &local, ReportArchive &site, Progress &progress, QString *error);

} // namespace SiteQueue
