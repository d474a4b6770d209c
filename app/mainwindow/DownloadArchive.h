#pragma once

#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include "archive/ReportArchive.h"

class HistoryActions;
class QThread;
class QWidget;

// Keeps every download in the report archive on this PC and opens the History window over it. The
// archive is opened on first use. Archiving never stands in the way of a download: when the archive
// cannot be written the user is told once, and the download stays on the display to be saved as usual.
//
// With a site archive chosen (a PostgreSQL URL, kept in the settings file), each finished download also
// waits in the local archive until a sender in the background has stored it on the server: at start and
// after each download, oldest first. The History window then shows the site's archive. A server that does
// not answer a call within the settings' siteTimeoutSeconds (30 by default) has its connection closed.
class DownloadArchive
{
    Q_DECLARE_TR_FUNCTIONS(DownloadArchive)

public:
    // settingsPath is the settings file, siteKey the key under which it keeps the site archive's URL.
    DownloadArchive(QString path, QString settingsPath, QString siteKey = QStringLiteral("siteArchive"));
    ~DownloadArchive();

    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QString siteLocation() const { return m_site; }
    // An empty location keeps downloads on this PC only.
    [[nodiscard]] bool setSiteLocation(const QString &location, QString *error);

    // A download the user kept: its lines as displayed.
    void downloadKept(QWidget *owner, const QStringList &lines);
    // The same download once the tagging dialog wrote its tags.
    void tagsWritten(QWidget *owner, const QStringList &lines);
    // The download is final, tagged or not: it goes to the site archive.
    void downloadFinished(QWidget *owner);
    // Starts the sender unless it runs; then it runs again when done.
    void sendWaiting(QWidget *owner);
    void showHistory(QWidget *owner, HistoryActions &actions);

    // While the sender runs; the tests wait for it.
    [[nodiscard]] bool isSending() const { return m_sender != nullptr; }

private:
    [[nodiscard]] bool opened(QString *error);
    void cannotStore(QWidget *owner, const QString &reason);
    void siteUnreachable(QWidget *owner, const QString &reason);
    [[nodiscard]] bool chooseSite(QWidget *owner);

    QString m_path;
    QString m_settingsPath;
    QString m_siteKey;
    QString m_site;
    // How long the site's server may take to answer one call: siteTimeoutSeconds in the settings.
    std::chrono::milliseconds m_roundTripLimit = ReportArchive::DefaultRoundTripLimit;
    // When History's Detectors tab says a detector needs attention: detectorEndsWithinDays and
    // detectorNotDownloadedForDays in the settings.
    DetectorStatus::Thresholds m_thresholds;
    std::unique_ptr<ReportArchive> m_archive;
    std::optional<ReportArchive::Kept> m_lastDownload;
    bool m_failureTold = false;
    bool m_siteFailureTold = false;
    // Receives the sender's end in this thread; the sender runs while a download goes on.
    QObject m_context;
    std::unique_ptr<QThread> m_sender;
    bool m_sendAgain = false;
};
