#pragma once

#include <memory>
#include <optional>
#include <type_traits>

#include <QEventLoop>
#include <QObject>
#include <QThread>

#include "archive/ReportArchive.h"

// A report archive that lives in a thread of its own, so that a server that is slow or gone never holds
// up the thread that asks: a window goes on painting and taking input while a call runs, and every call
// ends within the archive's round-trip limit. The archive is made, used and closed in that thread only,
// as its database connection demands.
class ArchiveThread
{
public:
    ArchiveThread();
    // Waits for the call that runs, then closes the archive and ends the thread.
    ~ArchiveThread();
    ArchiveThread(const ArchiveThread &) = delete;
    ArchiveThread &operator=(const ArchiveThread &) = delete;

    // Runs work(archive) in the archive's thread, then done(result) in this one, unless this object is
    // gone by then. Calls run one after the other, in the order they were made.
    template<typename Work, typename Done> void post(Work work, Done done)
    {
        QMetaObject::invokeMethod(
            m_worker.get(),
            [this, work = std::move(work), done = std::move(done)]() mutable {
                auto result = work(archive());
                QMetaObject::invokeMethod(
                    &m_receiver,
                    [done = std::move(done), result = std::move(result)]() mutable {
                        done(std::move(result));
                    },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }

    // Runs work(archive) in the archive's thread and returns its result; meanwhile this thread's events
    // go on.
    template<typename Work> auto call(Work work)
    {
        std::optional<std::invoke_result_t<Work, ReportArchive &>> result;
        QEventLoop loop;
        post([&work](ReportArchive &archive) { return work(archive); },
            [&result, &loop](auto answer) {
                result.emplace(std::move(answer));
                loop.quit();
            });
        if (!result)
            loop.exec();
        return std::move(*result);
    }

private:
    // Only in the archive's thread.
    [[nodiscard]] ReportArchive &archive();

    QThread m_thread;
    std::unique_ptr<QObject> m_worker; // lives in m_thread
    QObject m_receiver; // lives in the thread that made this object
    std::unique_ptr<ReportArchive> m_archive;
};
