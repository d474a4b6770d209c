#pragma once

#include "app/mainwindow/CommandDialogs.h"
#include "app/transfer/TransferTiming.h"

class HidBackend;

// The main window's dialogs on a HID backend: Download and Reset show the progress and reset dialogs
// owned by the main window, not modal; the transfer runs inside the show request and the dialog is
// deleted when it returns. Save shows the save options over the display's lines.
class ProgramDialogs : public CommandDialogs
{
public:
    explicit ProgramDialogs(HidBackend &backend, TransferTiming timing = {});

    void showProgress(QWidget *owner, OutputList &output) override;
    void showReset(QWidget *owner) override;
    void showSaveOptions(QWidget *owner, const QStringList &displayLines) override;

private:
    HidBackend &m_backend;
    TransferTiming m_timing;
};
