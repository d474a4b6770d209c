#pragma once

#include <array>

#include "app/transfer/TransferDialog.h"

class OutputList;
class QGroupBox;
class QLabel;

// The download progress dialog: displaying it runs one whole download into the output list and shows its
// four stages, each with an arrow while it runs and a check mark when it is done.
class frmProgress : public TransferDialog
{
    Q_OBJECT

public:
    frmProgress(HidBackend &backend, OutputList &output, TransferTiming timing, QWidget *parent = nullptr);

protected:
    void startWork() override { StartTransfer(); }

private:
    void StartTransfer();

    OutputList &m_output;

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
