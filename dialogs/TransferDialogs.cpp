#include "TransferDialogs.h"

#include <QPointer>

#include "frmProgress.h"
#include "frmReset.h"

TransferDialogs::TransferDialogs(HidBackend &backend, TransferTiming timing)
    : m_backend(backend)
    , m_timing(std::move(timing))
{
}

void TransferDialogs::showProgress(QWidget *owner, OutputList &output)
{
    // The owner deletes its children, so the dialog may be gone already when the transfer returns.
    QPointer<frmProgress> dialog = new frmProgress(m_backend, output, m_timing, owner);
    dialog->show();
    delete dialog.data();
}

void TransferDialogs::showReset(QWidget *owner)
{
    QPointer<frmReset> dialog = new frmReset(m_backend, m_timing, owner);
    dialog->show();
    delete dialog.data();
}

void TransferDialogs::showSaveOptions(QWidget *, const QStringList &) { }
