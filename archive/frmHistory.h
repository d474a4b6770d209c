#pragma once

#include <functional>

#include <QDialog>

#include "archive/store/ReportArchive.h"

class AlarmChartView;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSqlQueryModel;
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
// the selected download's detector in the order they began. The lists fetch their rows as they are
// scrolled to, so a large archive opens at once. The detector's alarms are charted above their list.
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

    frmHistory(ReportArchive &archive, HistoryActions &actions, QWidget *parent = nullptr);

    void setChoosers(ImportChooser importChooser, CsvChooser csvChooser);
    void setLocationChooser(LocationChooser chooser);

private:
    void buildControls();
    void refresh();
    void showAlarmsOfCurrent();
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

    ReportArchive &m_archive;
    HistoryActions &m_actions;
    ImportChooser m_importChooser;
    CsvChooser m_csvChooser;
    LocationChooser m_locationChooser;
    QSqlQueryModel *m_downloads;
    QSqlQueryModel *m_alarms;

    QLineEdit *txtSerial;
    QLineEdit *txtUser;
    QCheckBox *chkSince;
    QDateEdit *dtpSince;
    QCheckBox *chkUntil;
    QDateEdit *dtpUntil;
    QTabWidget *tabViews;
    QTableView *tblDownloads;
    QLabel *lblDetector;
    AlarmChartView *chartAlarms;
    QTableView *tblAlarms;
    QPushButton *cmdPutOnDisplay;
    QPushButton *cmdSave;
    QPushButton *cmdExportCsv;
    QPushButton *cmdDelete;
    QPushButton *cmdImport;
    QPushButton *cmdLocation;
    QPushButton *cmdClose;
};
