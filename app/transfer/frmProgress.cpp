#include "app/transfer/frmProgress.h"

#include <memory>

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>

#include "app/transfer/TransferWidgets.h"
#include "common/OutputList.h"
#include "device/LorimetAdapter.h"

using namespace TransferWidgets;

frmProgress::frmProgress(HidBackend &backend, OutputList &output, TransferTiming timing, QWidget *parent)
    : TransferDialog(backend, std::move(timing), parent)
    , m_output(output)
{
    setObjectName(QStringLiteral("frmProgress"));
    setFixedFrame(this, tr("Data Transfer Status"), 4095, 1965);

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
    lblConnect = addStageLabel(
        fraMain, QStringLiteral("lblConnect"), tr("Connecting To Lorimet Adapter ..."), rowTops[0]);
    lblInitiate = addStageLabel(
        fraMain, QStringLiteral("lblInitiate"), tr("Initiating Data Transfer ..."), rowTops[1]);
    lblReceive = addStageLabel(
        fraMain, QStringLiteral("lblReceive"), tr("Receiving Lorimet Adapter Data ..."), rowTops[2]);
    lblComplete
        = addStageLabel(fraMain, QStringLiteral("lblComplete"), tr("Data Transfer Complete"), rowTops[3]);

    Form_Load();
}

void frmProgress::StartTransfer()
{
    const std::unique_ptr<LorimetAdapter> adapter = createAdapter();
    adapter->setOutputListBox(&m_output);

    const auto start = std::chrono::steady_clock::now();
    if (!adapter->InitDevice()) {
        showInitializationError(this, adapter->accessDenied());
        return;
    }
    pauseSince(start, timing().connectPause);

    imgConnect->hide();
    imgCheckMark[0]->show();
    lblConnect->setText(tr("Connected To Lorimet Adapter"));

    // Nothing goes to the adapter in this stage; it only shows that the transfer is about to start.
    imgInitiate->show();
    QCoreApplication::processEvents();
    imgInitiate->hide();
    imgCheckMark[1]->show();
    lblInitiate->setText(tr("Data Transfer Initiated"));

    imgReceive->show();
    QCoreApplication::processEvents();
    adapter->ReadDevice();
    imgReceive->hide();
    imgCheckMark[2]->show();
    lblReceive->setText(tr("Lorimet Adapter Data Received"));
    QCoreApplication::processEvents();

    imgFinish->hide();
    imgCheckMark[3]->show();
    QCoreApplication::processEvents();

    pauseSince(std::chrono::steady_clock::now(), timing().settlePause);
    // Lines of the further reads belong to the same report.
    readTwiceMore(*adapter);
}
