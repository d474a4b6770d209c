#include "frmProgress.h"

#include <memory>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>

#include "HidBackend.h"
#include "LorimetAdapter.h"
#include "OutputList.h"
#include "TransferWidgets.h"
#include "WindowPlacement.h"

using namespace TransferWidgets;

frmProgress::frmProgress(HidBackend &backend, OutputList &output, TransferTiming timing, QWidget *parent)
    : QDialog(parent)
    , m_backend(backend)
    , m_output(output)
    , m_timing(std::move(timing))
{
    setObjectName(QStringLiteral("frmProgress"));
    setFixedFrame(this, QStringLiteral("Data Transfer Status"), 4095, 1965);

    fraMain = new QGroupBox(this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setGeometry(twips(120), twips(30), twips(3855), twips(1815));

    constexpr std::array rowTops { 300, 660, 1020, 1380 };
    imgConnect = addIcon(fraMain, QStringLiteral("imgConnect"), StageIcon::Arrow, 180, rowTops[0], true);
    imgInitiate = addIcon(fraMain, QStringLiteral("imgInitiate"), StageIcon::Arrow, 180, rowTops[1], false);
    imgReceive = addIcon(fraMain, QStringLiteral("imgReceive"), StageIcon::Arrow, 180, rowTops[2], false);
    imgFinish = addIcon(fraMain, QStringLiteral("imgFinish"), StageIcon::Arrow, 180, rowTops[3], false);
    for (std::size_t index = 0; index < imgCheckMark.size(); ++index) {
        imgCheckMark[index] = addIcon(fraMain, QStringLiteral("imgCheckMark_%1").arg(index),
            StageIcon::CheckMark, 150, rowTops[index], false);
    }
    lblConnect = addStageLabel(fraMain, QStringLiteral("lblConnect"),
        QStringLiteral("Connecting To Lorimet Adapter ..."), rowTops[0]);
    lblInitiate = addStageLabel(
        fraMain, QStringLiteral("lblInitiate"), QStringLiteral("Initiating Data Transfer ..."), rowTops[1]);
    lblReceive = addStageLabel(fraMain, QStringLiteral("lblReceive"),
        QStringLiteral("Receiving Lorimet Adapter Data ..."), rowTops[2]);
    lblComplete = addStageLabel(
        fraMain, QStringLiteral("lblComplete"), QStringLiteral("Data Transfer Complete"), rowTops[3]);

    Form_Load();
}

void frmProgress::setVisible(bool visible)
{
    // The work runs inside the first show request, once the window is on screen, so the owner's
    // show() returns only when it is over.
    QDialog::setVisible(visible);
    if (visible && !m_started) {
        m_started = true;
        m_running = true;
        StartTransfer();
        m_running = false;
    }
}

void frmProgress::reject()
{
    if (!m_running)
        QDialog::reject();
}

void frmProgress::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmProgress::Form_Load()
{
    WindowPlacement::placeAtOneThird(*this);
    QCoreApplication::processEvents();
}

void frmProgress::StartTransfer()
{
    auto adapter = std::make_unique<LorimetAdapter>(m_backend);
    adapter->setOutputListBox(&m_output);
    if (m_timing.readTimeout)
        adapter->setReadTimeout(*m_timing.readTimeout);

    const auto start = m_timing.clock();
    if (!adapter->InitDevice()) {
        showInitializationError(this, adapter->AccessDenied());
        return;
    }
    pauseSince(m_timing.clock, start, m_timing.connectPause);

    imgConnect->hide();
    imgCheckMark[0]->show();
    lblConnect->setText(QStringLiteral("Connected To Lorimet Adapter"));

    // Nothing goes to the adapter in this stage; it only shows that the transfer is about to start.
    imgInitiate->show();
    QCoreApplication::processEvents();
    imgInitiate->hide();
    imgCheckMark[1]->show();
    lblInitiate->setText(QStringLiteral("Data Transfer Initiated"));

    imgReceive->show();
    QCoreApplication::processEvents();
    adapter->ReadDevice();
    imgReceive->hide();
    imgCheckMark[2]->show();
    lblReceive->setText(QStringLiteral("Lorimet Adapter Data Received"));
    QCoreApplication::processEvents();

    imgFinish->hide();
    imgCheckMark[3]->show();
    QCoreApplication::processEvents();

    pauseSince(m_timing.clock, m_timing.clock(), m_timing.settlePause);

    // Two more cycles pick up what the detector may still send; their lines belong to the same report. A
    // failed open here stays silent: the report itself has arrived.
    adapter->CloseDevice();
    static_cast<void>(adapter->InitDevice());
    adapter->ReadDevice();
    adapter->CloseDevice();
    static_cast<void>(adapter->InitDevice());
    adapter->ReadDevice();
    adapter->CloseDevice();
}
