#include "app/mainwindow/ProgramDialogs.h"

#include <QPointer>

#include "app/save/frmSave.h"
#include "app/transfer/frmProgress.h"
#include "app/transfer/frmReset.h"

ProgramDialogs::ProgramDialogs(HidBackend &backend, TransferTiming timing)
    : m_backend(backend)
    , m_timing(std::move(timing))
{
}

void ProgramDialogs::showProgress(QWidget *owner, OutputList &output)
{
    // The owner deletes its children, so the dialog may be gone already when the transfer returns.
    QPointer<frmProgress> dialog = new frmProgress(m_backend, output, m_timing, owner);
    dialog->show();
    delete dialog.data();
}

void ProgramDialogs::showReset(QWidget *owner)
{
    QPointer<frmReset> dialog = new frmReset(m_backend, m_timing, owner);
    dialog->show();
    delete dialog.data();
}

void ProgramDialogs::showSaveOptions(QWidget *owner, const QStringList &displayLines)
{
    ::showSaveOptions(owner, displayLines);
}
