#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Shows the application title, the version and the logo. Not modal; it deletes itself when closed.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget &owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *cmdOK;
    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    bool m_placed = false;
};
