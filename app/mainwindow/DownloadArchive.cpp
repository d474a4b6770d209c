#include "app/mainwindow/DownloadArchive.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QThread>

#include "app/history/frmHistory.h"
#include "app/mainwindow/AppInfo.h"
#include "archive/ArchiveEngine.h"
#include "archive/ReportArchive.h"
#include "archive/SiteQueue.h"

namespace {

struct SendResult
{
    bool sent = false;
    QString error;
};

// Runs in the sender's thread, on connections of its own.
SendResult sendToSite(const QString &localPath, const QString &site, std::chrono::milliseconds roundTripLimit)
{
    SendResult result;
    ReportArchive local;
    if (!local.open(
            localPath, ReportArchive::Access::ReadWrite, &result.error, ReportArchive::WindowBusyTimeout))
        return result;
    const std::optional<QList<qint64>> waiting = local.waitingForSite(site, &result.error);
    if (!waiting)
        return result;
    ReportArchive server;
    SiteQueue::Progress progress;
    result.sent = waiting->isEmpty()
        || (server.open(site, ReportArchive::Access::ReadWrite, &result.error,
                ReportArchive::WindowBusyTimeout, roundTripLimit)
            && SiteQueue::sendWaiting(local, server, progress, &result.error));
    return result;
}

// The settings name the site archive and its user: for the user's eyes only.
void keepPrivate(const QString &settingsPath)
{
    if (QFileInfo::exists(settingsPath))
        QFile::setPermissions(settingsPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

DownloadArchive::DownloadArchive(QString path, QString settingsPath, QString siteKey)
    : m_path(std::move(path))
    , m_settingsPath(std::move(settingsPath))
    , m_siteKey(std::move(siteKey))
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    m_site = settings.value(m_siteKey).toString();
    if (const int seconds = settings.value(QStringLiteral("siteTimeoutSeconds")).toInt(); seconds > 0)
        m_roundTripLimit = std::chrono::seconds(seconds);
    m_thresholds.endsWithin
        = settings.value(QStringLiteral("detectorEndsWithinDays"), m_thresholds.endsWithin).toInt();
    m_thresholds.notDownloadedFor
        = settings.value(QStringLiteral("detectorNotDownloadedForDays"), m_thresholds.notDownloadedFor)
              .toInt();
    keepPrivate(m_settingsPath);
    // An earlier version kept a URL with a password in it: the password goes, the rest stays.
    if (const QUrl stored(m_site); ArchiveEngine::holdsSecret(stored)) {
        m_site = ArchiveEngine::withoutSecrets(stored);
        settings.setValue(m_siteKey, m_site);
        settings.sync();
        keepPrivate(m_settingsPath);
    }
}

DownloadArchive::~DownloadArchive()
{
    if (m_sender)
        m_sender->wait();
}

bool DownloadArchive::setSiteLocation(const QString &location, QString *error)
{
    QString site;
    if (!location.trimmed().isEmpty()) {
        if (!ArchiveEngine::isServerLocation(location.trimmed())) {
            *error = tr("A site archive is a PostgreSQL server: "
                        "postgresql://user@host:port/database");
            return false;
        }
        const std::unique_ptr<ArchiveEngine> engine = ArchiveEngine::forLocation(location.trimmed(), error);
        if (!engine)
            return false;
        site = engine->name();
    }
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(m_siteKey, site);
    settings.sync();
    keepPrivate(m_settingsPath);
    if (settings.status() != QSettings::NoError) {
        *error = tr("The settings file %1 cannot be written.").arg(m_settingsPath);
        return false;
    }
    m_site = site;
    m_siteFailureTold = false;
    return true;
}

bool DownloadArchive::opened(QString *error)
{
    if (m_archive)
        return true;
    auto archive = std::make_unique<ReportArchive>();
    if (!archive->open(m_path, ReportArchive::Access::ReadWrite, error, ReportArchive::WindowBusyTimeout))
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
    const QString source = QStringLiteral("download");
    const int markerLines = int(lines.size());
    if (const std::optional<qint64> id = m_archive->store(lines, markerLines, source, &added, &error))
        m_lastDownload = ReportArchive::Kept { *id, added, lines, markerLines, source };
    else
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
    const std::optional<qint64> id = m_archive->updateLines(*m_lastDownload, lines, &error);
    if (!id) {
        m_lastDownload.reset();
        cannotStore(owner, error);
        return;
    }
    m_lastDownload->id = *id;
}

void DownloadArchive::downloadFinished(QWidget *owner)
{
    if (m_site.isEmpty() || !m_lastDownload)
        return;
    QString error;
    if (!m_archive->queueForSite(m_lastDownload->id, m_site, &error)) {
        cannotStore(owner, error);
        return;
    }
    sendWaiting(owner);
}

void DownloadArchive::sendWaiting(QWidget *owner)
{
    if (m_site.isEmpty())
        return;
    if (m_sender) {
        m_sendAgain = true;
        return;
    }
    auto result = std::make_shared<SendResult>();
    m_sender.reset(QThread::create([result, local = m_path, site = m_site, limit = m_roundTripLimit] {
        *result = sendToSite(local, site, limit);
    }));
    QObject::connect(m_sender.get(), &QThread::finished, &m_context, [this, owner, result] {
        m_sender->wait();
        m_sender.reset();
        if (!result->sent)
            siteUnreachable(owner, result->error);
        if (std::exchange(m_sendAgain, false))
            sendWaiting(owner);
    });
    m_sender->start();
}

void DownloadArchive::cannotStore(QWidget *owner, const QString &reason)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    QMessageBox box(QMessageBox::Warning, AppInfo::Title,
        tr("The download could not be kept in the report archive:\n%1\n\n"
           "It stays on the display and can be saved as usual.")
            .arg(reason),
        QMessageBox::Ok, owner);
    box.exec();
}

void DownloadArchive::siteUnreachable(QWidget *owner, const QString &reason)
{
    if (m_siteFailureTold)
        return;
    m_siteFailureTold = true;
    // Nothing is lost and nothing waits for the user: the note does not stop the window.
    auto *box = new QMessageBox(QMessageBox::Information, AppInfo::Title,
        tr("The site archive cannot be reached: downloads are kept on this PC; will be sent to the "
           "site archive when it can be reached again.\n\n%1")
            .arg(reason),
        QMessageBox::Ok, owner);
    box->setObjectName(QStringLiteral("msgSiteAway"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

bool DownloadArchive::chooseSite(QWidget *owner)
{
    QInputDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("dlgArchiveLocation"));
    dialog.setWindowTitle(tr("Archive Location"));
    dialog.setLabelText(tr("A site archive on a PostgreSQL server that the PCs of the site share,\n"
                           "as postgresql://user@host:port/database (the password comes from\n"
                           "~/.pgpass or PGPASSWORD). Empty: this PC's archive only."));
    dialog.setTextValue(m_site);
    while (dialog.exec() == QDialog::Accepted) {
        QString error;
        if (setSiteLocation(dialog.textValue(), &error))
            return true;
        QMessageBox box(QMessageBox::Warning, AppInfo::Title, error, QMessageBox::Ok, owner);
        box.exec();
    }
    return false;
}

void DownloadArchive::showHistory(QWidget *owner, HistoryActions &actions)
{
    for (;;) {
        // The window reaches the site archive in a thread of its own, and shows this PC's archive when
        // the site cannot be reached.
        if (!m_site.isEmpty())
            sendWaiting(owner);
        frmHistory history(m_site.isEmpty() ? m_path : m_site, actions, owner,
            m_site.isEmpty() ? QString() : m_path, m_roundTripLimit);
        history.setLocationChooser([this](QWidget *parent) { return chooseSite(parent); });
        history.setDetectorThresholds(m_thresholds);
        if (history.exec() != frmHistory::LocationChanged)
            return;
    }
}
