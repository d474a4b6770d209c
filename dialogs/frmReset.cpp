#include "frmReset.h"

#include <memory>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>

#include "HidBackend.h"
#include "LorimetAdapter.h"
#include "TransferWidgets.h"
#include "WindowPlacement.h"

using namespace TransferWidgets;

frmReset::frmReset(HidBackend &backend, TransferTiming timing, QWidget *parent)
    : QDialog(parent)
    , m_backend(backend)
    , m_timing(std::move(timing))
{
    setObjectName(QStringLiteral("frmReset"));
    setFixedFrame(this, QStringLiteral("Device Status"), 4095, 885);

    fraMain = new QGroupBox(this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setGeometry(twips(120), twips(30), twips(3855), twips(735));

    constexpr int rowTop = 300;
    imgReset = addIcon(fraMain, QStringLiteral("imgReset"), StageIcon::Arrow, 180, rowTop, true);
    imgCheckMark[0]
        = addIcon(fraMain, QStringLiteral("imgCheckMark_0"), StageIcon::CheckMark, 150, rowTop, false);
    lblReset = addStageLabel(
        fraMain, QStringLiteral("lblReset"), QStringLiteral("Resetting Lorimet Data Adapter..."), rowTop);

    Form_Load();
}

void frmReset::setVisible(bool visible)
{
    // The work runs inside the first show request, once the window is on screen, so the owner's
    // show() returns only when it is over.
    QDialog::setVisible(visible);
    if (visible && !m_started) {
        m_started = true;
        m_running = true;
        StartReset();
        m_running = false;
    }
}

void frmReset::reject()
{
    if (!m_running)
        QDialog::reject();
}

void frmReset::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmReset::Form_Load()
{
    WindowPlacement::placeAtOneThird(*this);
    QCoreApplication::processEvents();
}

void frmReset::StartReset()
{
    // No output list: whatever the adapter sends is read and dropped, and the display never changes.
    auto adapter = std::make_unique<LorimetAdapter>(m_backend);
    if (m_timing.readTimeout)
        adapter->setReadTimeout(*m_timing.readTimeout);

    if (!adapter->InitDevice()) {
        showInitializationError(this, adapter->AccessDenied());
        return;
    }

    QCoreApplication::processEvents();
    const auto start = m_timing.clock();
    adapter->ReadDevice();
    pauseSince(m_timing.clock, start, m_timing.drainPause);

    lblReset->setText(QStringLiteral("Lorimet Adapter reset complete"));
    imgReset->hide();
    imgCheckMark[0]->show();
    QCoreApplication::processEvents();

    pauseSince(m_timing.clock, m_timing.clock(), m_timing.settlePause);

    adapter->CloseDevice();
    static_cast<void>(adapter->InitDevice());
    adapter->ReadDevice();
    adapter->CloseDevice();
    static_cast<void>(adapter->InitDevice());
    adapter->ReadDevice();
    adapter->CloseDevice();
}
