#pragma once

#include <array>

#include "app/transfer/TransferDialog.h"

class QGroupBox;
class QLabel;

// The adapter reset dialog: displaying it drains the adapter (a transfer whose lines go nowhere) and shows
// one row that turns from an arrow to a check mark.
class frmReset : public TransferDialog
{
    Q_OBJECT

public:
    explicit frmReset(HidBackend &backend, TransferTiming timing, QWidget *parent = nullptr);

protected:
    void startWork() override { StartReset(); }

private:
    void StartReset();

    QGroupBox *fraMain;
    QLabel *imgReset;
    std::array<QLabel *, 1> imgCheckMark;
    QLabel *lblReset;
};
