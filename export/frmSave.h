#pragma once

#include <QDialog>
#include <QStringList>

class QGroupBox;
class QPushButton;
class QRadioButton;

// Shows the save options modally, owned by owner, which also owns the file dialogs, and exports the given
// display lines in the format the user picks.
void showSaveOptions(QWidget *owner, const QStringList &displayLines);

// The save options: text, Word or Excel. Every way through OK closes it, whether or not a file was saved.
class frmSave : public QDialog
{
    Q_OBJECT

public:
    frmSave(const QStringList &displayLines, QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cmdOK_Click();
    // fileType is "MsWord" or "MsExcel"; True when the export may go ahead.
    [[nodiscard]] bool GetDestinationFile(const QString &fileType);

    QStringList m_displayLines;
    QGroupBox *fraMain;
    QRadioButton *optTextFile;
    QRadioButton *optWordFile;
    QRadioButton *optExcelFile;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
