#pragma once

#include <chrono>
#include <functional>

#include <QDialog>
#include <QTimer>

#include "archive/ArchiveThread.h"
#include "report/DetectorStatus.h"

class AlarmChartView;
class ArchiveRows;
class DetectorRows;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

// What the History window asks of the program: put archived lines on the display as a download would,
// and save lines through the program's save options.
class HistoryActions
{
public:
    virtual ~HistoryActions() = default;
    virtual void putOnDisplay(const QStringList &lines) = 0;
    virtual void save(QWidget *owner, const QStringList &lines) = 0;
};

// The archived downloads, newest first, filtered by serial number, user and date range, and the alarms of
// the selected download's detector in the order they began, charted above their list. The archive is
// read and written in a thread of its own: the window opens at once and stays responsive while a server
// is slow, says when it has not answered for a while, and tells of a call that failed.
class frmHistory : public QDialog
{
    Q_OBJECT

public:
    // The files to import and the CSV file to write; the system's file dialogs unless a test sets its own.
    using ImportChooser = std::function<QStringList(QWidget *owner)>;
    using CsvChooser = std::function<QString(QWidget *owner)>;
    // Lets the user choose another archive; true when he did, and the window closes to show that one.
    using LocationChooser = std::function<bool(QWidget *owner)>;
    static constexpr int LocationChanged = 2;

    // Opens the archive at location; when that fails and a fallback location is given, says so and shows
    // that one instead.
    frmHistory(const QString &location, HistoryActions &actions, QWidget *parent = nullptr,
        const QString &fallback = QString(),
        std::chrono::milliseconds roundTripLimit = ReportArchive::DefaultRoundTripLimit);
    ~frmHistory() override;

    void setChoosers(ImportChooser importChooser, CsvChooser csvChooser);
    void setLocationChooser(LocationChooser chooser);
    // When a detector needs attention, and the day its status is told for (today unless a test sets one).
    void setDetectorThresholds(
        const DetectorStatus::Thresholds &thresholds, QDate asOf = QDate::currentDate());
    // While no call to the archive waits for its answer; the tests wait for it.
    [[nodiscard]] bool isIdle() const { return m_waiting == 0; }

public slots:
    void reject() override;

private:
    void buildControls();
    void open(const QString &location, const QString &fallback);
    // Runs work in the archive's thread, then done with its result here, telling the user while it waits.
    template<typename Work, typename Done> void post(Work work, Done done);
    // The same, waiting here for the result with the window's commands disabled.
    template<typename Work> auto call(Work work);
    void waitingChanged(int change);
    // Lists the downloads again, and the detectors.
    void reload();
    void refresh();
    void refreshDetectors();
    void showDetectors();
    void showAlarmsOfCurrent();
    void showAlarmsOf(const QString &serial);
    [[nodiscard]] QList<qint64> selectedIds() const;
    // The selected downloads' lines, oldest first; nothing (after telling the user) when they cannot be read.
    [[nodiscard]] std::optional<QStringList> selectedLines();
    void putOnDisplay();
    void save();
    void exportCsv();
    void deleteSelected();
    void importTextReports();
    void chooseLocation();
    void tell(bool failure, const QString &text);

    HistoryActions &m_actions;
    const std::chrono::milliseconds m_roundTripLimit;
    ImportChooser m_importChooser;
    CsvChooser m_csvChooser;
    LocationChooser m_locationChooser;
    ArchiveRows *m_downloads;
    ArchiveRows *m_alarms;
    DetectorRows *m_detectorRows;
    QList<DetectorStatus::Detector> m_fleet;
    DetectorStatus::Thresholds m_thresholds;
    QDate m_asOf = QDate::currentDate();
    bool m_opened = false;
    int m_waiting = 0; // calls to the archive not answered yet
    int m_refreshes = 0; // the newest listing asked for
    int m_alarmQueries = 0;
    QTimer m_slowAnswer;

    QLineEdit *txtSerial;
    QLineEdit *txtUser;
    QCheckBox *chkSince;
    QDateEdit *dtpSince;
    QCheckBox *chkUntil;
    QDateEdit *dtpUntil;
    QTabWidget *tabViews;
    QTableView *tblDownloads;
    QCheckBox *chkAttention;
    QTableView *tblDetectors;
    QLabel *lblDetector;
    AlarmChartView *chartAlarms;
    QTableView *tblAlarms;
    QLabel *lblStatus;
    QPushButton *cmdPutOnDisplay;
    QPushButton *cmdSave;
    QPushButton *cmdExportCsv;
    QPushButton *cmdDelete;
    QPushButton *cmdImport;
    QPushButton *cmdLocation;
    QPushButton *cmdClose;
    // Last, so that it ends first: answers that come after the window is gone are dropped.
    ArchiveThread m_archive;
};
