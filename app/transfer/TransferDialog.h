#pragma once

#include <memory>

#include <QDialog>

#include "app/transfer/TransferTiming.h"

class HidBackend;
class LorimetAdapter;

// What the download and reset dialogs share: each runs its whole work with one LorimetAdapter inside its
// first show request, once the window is on screen, so the owner's show() returns only when the work is
// over; the owner then deletes the dialog.
class TransferDialog : public QDialog
{
    Q_OBJECT

public:
    void setVisible(bool visible) override;

public slots:
    // The work cannot be stopped halfway, so Esc does nothing while it runs.
    void reject() override;

protected:
    TransferDialog(HidBackend &backend, TransferTiming timing, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;

    // Places the dialog and lets pending events run once; the dialogs call it when their controls exist.
    void Form_Load();
    // The dialog's work, run once at the first show.
    virtual void startWork() = 0;

    [[nodiscard]] std::unique_ptr<LorimetAdapter> createAdapter() const;
    // Two further close-open-read cycles pick up what the detector may still send. A failed open here
    // stays silent: the first transfer has already run.
    static void readTwiceMore(LorimetAdapter &adapter);
    [[nodiscard]] const TransferTiming &timing() const { return m_timing; }

private:
    HidBackend &m_backend;
    TransferTiming m_timing;
    bool m_started = false;
    bool m_running = false;
};
