#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class TagField;
class frmMain;

// Lets the user tag the report just downloaded (positions ReportStart to ReportEnd - 1 of the owner's
// display) with the date and time of the download, the detector's serial number and the user's name.
class frmReportTagging : public QDialog
{
    Q_OBJECT

public:
    explicit frmReportTagging(frmMain &owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void takeSerialNumberFromReport();
    void WriteReportTags();

    frmMain &m_owner;
    QGroupBox *fraMain;
    QLabel *Label6;
    QLabel *Label9;
    QLabel *Label8;
    QLabel *Label7;
    TagField *txtDate;
    TagField *txtTime;
    TagField *txtSerialNo;
    TagField *txtUser;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    bool m_placed = false;
};
