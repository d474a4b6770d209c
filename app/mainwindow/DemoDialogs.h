#pragma once

#include "app/mainwindow/CommandDialogs.h"
#include "app/mainwindow/DemoAdapter.h"
#include "app/mainwindow/ProgramDialogs.h"

// The dialogs of the demo program: the real transfer dialogs over the simulated adapter, which answers
// each download with the next shipped detector report.
class DemoDialogs : public CommandDialogs
{
public:
    explicit DemoDialogs(const QString &captureDirectory, TransferTiming timing = {});

    void showProgress(QWidget *owner, OutputList &output) override;
    void showReset(QWidget *owner) override;
    void showSaveOptions(QWidget *owner, const QStringList &displayLines) override;

    [[nodiscard]] DemoAdapter &adapter() { return m_adapter; }

private:
    DemoAdapter m_adapter;
    ProgramDialogs m_dialogs;
};
