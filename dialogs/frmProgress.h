#pragma once

#include <array>

#include <QDialog>

#include "TransferTiming.h"

class HidBackend;
class OutputList;
class QGroupBox;
class QLabel;

// The download progress dialog: displaying it runs one whole download into the output list and shows its
// four stages, each with an arrow while it runs and a check mark when it is done. show() returns when the
// transfer is over; the owner then deletes the dialog.
class frmProgress : public QDialog
{
    Q_OBJECT

public:
    frmProgress(HidBackend &backend, OutputList &output, TransferTiming timing, QWidget *parent = nullptr);

    void setVisible(bool visible) override;

public slots:
    // The transfer cannot be stopped halfway, so Esc does nothing while it runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void StartTransfer();

    HidBackend &m_backend;
    OutputList &m_output;
    TransferTiming m_timing;
    bool m_started = false;
    bool m_running = false;

    QGroupBox *fraMain;
    QLabel *imgConnect;
    QLabel *imgInitiate;
    QLabel *imgReceive;
    QLabel *imgFinish;
    std::array<QLabel *, 4> imgCheckMark;
    QLabel *lblConnect;
    QLabel *lblInitiate;
    QLabel *lblReceive;
    QLabel *lblComplete;
};
