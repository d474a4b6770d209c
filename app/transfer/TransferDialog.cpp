#include "app/transfer/TransferDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include "app/windows/WindowPlacement.h"
#include "device/LorimetAdapter.h"

TransferDialog::TransferDialog(HidBackend &backend, TransferTiming timing, QWidget *parent)
    : QDialog(parent)
    , m_backend(backend)
    , m_timing(std::move(timing))
{
}

void TransferDialog::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (visible && !m_started) {
        m_started = true;
        m_running = true;
        startWork();
        m_running = false;
    }
}

void TransferDialog::reject()
{
    if (!m_running)
        QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TransferDialog::Form_Load()
{
    WindowPlacement::placeAtOneThird(*this);
    QCoreApplication::processEvents();
}

std::unique_ptr<LorimetAdapter> TransferDialog::createAdapter() const
{
    auto adapter = std::make_unique<LorimetAdapter>(m_backend);
    if (m_timing.readTimeout)
        adapter->setReadTimeout(*m_timing.readTimeout);
    return adapter;
}

void TransferDialog::readTwiceMore(LorimetAdapter &adapter)
{
    adapter.CloseDevice();
    static_cast<void>(adapter.InitDevice());
    adapter.ReadDevice();
    adapter.CloseDevice();
    static_cast<void>(adapter.InitDevice());
    adapter.ReadDevice();
    adapter.CloseDevice();
}
