#include "archive/ArchiveThread.h"

ArchiveThread::ArchiveThread()
    : m_worker(std::make_unique<QObject>())
{
    m_thread.setObjectName(QStringLiteral("report archive"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

ArchiveThread::~ArchiveThread()
{
    QMetaObject::invokeMethod(
        m_worker.get(), [this] { m_archive.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

ReportArchive &ArchiveThread::archive()
{
    if (!m_archive)
        m_archive = std::make_unique<ReportArchive>();
    return *m_archive;
}
