#pragma once

#include <QDialog>
#include <QStringList>

class QGroupBox;
class QPushButton;
class QRadioButton;

// Shows the save options modally, owned by owner, which also owns the file dialogs, and exports the given
// display lines in the format the user picks.
void showSaveOptions(QWidget *owner, const QStringList &displayLines);

// The save options: text, Word, Excel or the printed report as PDF, and printing that report. Every way
// through OK or Print closes it, whether or not a file was saved.
class frmSave : public QDialog
{
    Q_OBJECT

public:
    frmSave(const QStringList &displayLines, QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cmdOK_Click();
    void cmdPrint_Click();
    // The PDF file to write, after asking before an existing one is replaced; empty when there is none.
    [[nodiscard]] QString GetPdfFile();
    // fileType is "MsWord" or "MsExcel"; True when the export may go ahead.
    [[nodiscard]] bool GetDestinationFile(const QString &fileType);

    QStringList m_displayLines;
    QGroupBox *fraMain;
    QRadioButton *optTextFile;
    QRadioButton *optWordFile;
    QRadioButton *optExcelFile;
    QRadioButton *optPdfFile;
    QPushButton *cmdOK;
    QPushButton *cmdPrint;
    QPushButton *cmdCancel;
};
