#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Asks what to do with a Word or Excel destination that already exists: append, overwrite or cancel. Each
// answer is stored in exportChoice(); closing the window counts as Cancel.
class frmAppend : public QDialog
{
    Q_OBJECT

public:
    explicit frmAppend(QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cmdAppend_Click();
    void cmdOverwrite_Click();
    void cmdCancel_Click();

    QLabel *Label1;
    QPushButton *cmdAppend;
    QPushButton *cmdOverwrite;
    QPushButton *cmdCancel;
};
