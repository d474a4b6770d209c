#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class HistoryActions;
class ReportArchive;
class QWidget;

// Keeps every download in the report archive and opens the History window over it. The archive is
// opened on first use. Archiving never stands in the way of a download: when the archive cannot be
// written the user is told once, and the download stays on the display to be saved as usual.
class DownloadArchive
{
public:
    explicit DownloadArchive(QString path);
    ~DownloadArchive();

    [[nodiscard]] QString path() const { return m_path; }

    // A download the user kept: its lines as displayed.
    void downloadKept(QWidget *owner, const QStringList &lines);
    // The same download once the tagging dialog wrote its tags.
    void tagsWritten(QWidget *owner, const QStringList &lines);
    void showHistory(QWidget *owner, HistoryActions &actions);

private:
    [[nodiscard]] bool opened(QString *error);
    void cannotStore(QWidget *owner, const QString &reason);

    QString m_path;
    std::unique_ptr<ReportArchive> m_archive;
    std::optional<qint64> m_lastDownload;
    bool m_failureTold = false;
};
