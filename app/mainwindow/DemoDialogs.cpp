#include "app/mainwindow/DemoDialogs.h"

DemoDialogs::DemoDialogs(const QString &captureDirectory, TransferTiming timing)
    : m_adapter(captureDirectory)
    , m_dialogs(m_adapter.backend(), std::move(timing))
{
}

void DemoDialogs::showProgress(QWidget *owner, OutputList &output)
{
    m_adapter.armNextCapture();
    m_dialogs.showProgress(owner, output);
}

void DemoDialogs::showReset(QWidget *owner)
{
    m_dialogs.showReset(owner);
}

void DemoDialogs::showSaveOptions(QWidget *owner, const QStringList &displayLines)
{
    m_dialogs.showSaveOptions(owner, displayLines);
}
