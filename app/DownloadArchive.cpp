#include "app/DownloadArchive.h"

#include <QMessageBox>

#include "app/AppInfo.h"
#include "archive/frmHistory.h"
#include "archive/store/ReportArchive.h"

namespace {

// Another instance stores in well under this; a lock held longer is stuck, and the window must not be.
constexpr std::chrono::milliseconds BusyTimeout { 2000 };

} // namespace

DownloadArchive::DownloadArchive(QString path)
    : m_path(std::move(path))
{
}

DownloadArchive::~DownloadArchive() = default;

bool DownloadArchive::opened(QString *error)
{
    if (m_archive)
        return true;
    auto archive = std::make_unique<ReportArchive>();
    if (!archive->open(m_path, ReportArchive::Access::ReadWrite, error, BusyTimeout))
        return false;
    m_archive = std::move(archive);
    return true;
}

void DownloadArchive::downloadKept(QWidget *owner, const QStringList &lines)
{
    m_lastDownload.reset();
    QString error;
    bool added = false;
    if (!opened(&error)) {
        cannotStore(owner, error);
        return;
    }
    m_lastDownload = m_archive->store(lines, int(lines.size()), QStringLiteral("download"), &added, &error);
    if (!m_lastDownload)
        cannotStore(owner, error);
}

void DownloadArchive::tagsWritten(QWidget *owner, const QStringList &lines)
{
    if (!m_lastDownload) {
        // Stored now, with its tags, when it could not be stored as it arrived.
        downloadKept(owner, lines);
        return;
    }
    QString error;
    m_lastDownload = m_archive->updateLines(*m_lastDownload, lines, &error);
    if (!m_lastDownload)
        cannotStore(owner, error);
}

void DownloadArchive::cannotStore(QWidget *owner, const QString &reason)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    QMessageBox box(QMessageBox::Warning, AppInfo::Title,
        QStringLiteral("The download could not be kept in the report archive:\n%1\n\n"
                       "It stays on the display and can be saved as usual.")
            .arg(reason),
        QMessageBox::Ok, owner);
    box.exec();
}

void DownloadArchive::showHistory(QWidget *owner, HistoryActions &actions)
{
    QString error;
    if (!opened(&error)) {
        QMessageBox box(QMessageBox::Warning, AppInfo::Title,
            QStringLiteral("The report archive cannot be opened:\n%1").arg(error), QMessageBox::Ok, owner);
        box.exec();
        return;
    }
    frmHistory history(*m_archive, actions, owner);
    history.exec();
}
