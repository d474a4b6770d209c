#pragma once

#include <array>

#include <QDialog>

#include "TransferTiming.h"

class HidBackend;
class QGroupBox;
class QLabel;

// The adapter reset dialog: displaying it drains the adapter (a transfer whose lines go nowhere) and shows
// one row that turns from an arrow to a check mark. show() returns when the reset is over; the owner then
// deletes the dialog.
class frmReset : public QDialog
{
    Q_OBJECT

public:
    explicit frmReset(HidBackend &backend, TransferTiming timing, QWidget *parent = nullptr);

    void setVisible(bool visible) override;

public slots:
    // The reset cannot be stopped halfway, so Esc does nothing while it runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void StartReset();

    HidBackend &m_backend;
    TransferTiming m_timing;
    bool m_started = false;
    bool m_running = false;

    QGroupBox *fraMain;
    QLabel *imgReset;
    std::array<QLabel *, 1> imgCheckMark;
    QLabel *lblReset;
};
