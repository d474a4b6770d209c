#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

#include "app/history/frmHistory.h"

class CommandDialogs;
class DownloadArchive;
class QAction;
class QFrame;
class QLabel;
class QPushButton;
class ReportDisplay;
class frmAbout;

// The main window: owns the report display and the markers of the latest download, and runs the commands
// in their fixed order of steps.
class frmMain : public QMainWindow, private HistoryActions
{
    Q_OBJECT
    Q_PROPERTY(qint16 ReportStart READ ReportStart)
    Q_PROPERTY(qint16 ReportEnd READ ReportEnd)

public:
    explicit frmMain(CommandDialogs &dialogs, QWidget *parent = nullptr);
    ~frmMain() override;

    [[nodiscard]] ReportDisplay &lstOutput() { return *m_lstOutput; }
    [[nodiscard]] const ReportDisplay &lstOutput() const { return *m_lstOutput; }

    // The newest report occupies positions ReportStart to ReportEnd - 1.
    [[nodiscard]] qint16 ReportStart() const { return m_reportStart; }
    [[nodiscard]] qint16 ReportEnd() const { return m_reportEnd; }

    // True when a non-empty line of the display holds the error character (code 127).
    [[nodiscard]] bool DisplayHasErrorCharacters() const;

    // Where downloads are kept; without one the History command is disabled.
    void setArchive(DownloadArchive *archive);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void cmdDownload_Click();
    void cmdSave_Click();
    void cmdClearReport_Click();
    void cmdResetDevice_Click();
    void cmdExit_Click();
    void mnuHelpAbout_Click();
    void mnuHistory_Click();

    // Archived lines come onto the display as a download's do.
    void putOnDisplay(const QStringList &lines) override;
    void save(QWidget *owner, const QStringList &lines) override;
    [[nodiscard]] QStringList newestReportLines() const;

    // Runs a transfer dialog with the commands disabled; returns false when the window was closed
    // meanwhile and has now been closed for good.
    [[nodiscard]] bool runTransfer(const std::function<void()> &transfer);
    void setCommandsEnabled(bool enabled);
    void reportLinesLeftOut(int linesLeftOut);
    [[nodiscard]] bool confirmKeepingReport();

    CommandDialogs &m_dialogs;
    ReportDisplay *m_lstOutput;
    QPushButton *cmdDownload;
    QPushButton *cmdSave;
    QPushButton *cmdClearReport;
    QPushButton *cmdResetDevice;
    QPushButton *cmdExit;
    QFrame *Shape1;
    QLabel *Image1;
    QAction *mnuHistory;
    QAction *mnuHelpAbout;
    QPointer<frmAbout> m_about;
    DownloadArchive *m_archive = nullptr;

    qint16 m_reportStart = 0;
    qint16 m_reportEnd = 0;
    bool m_transferRunning = false;
    bool m_closeRequested = false;
    bool m_placed = false;
};
