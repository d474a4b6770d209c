#include "app/transfer/frmReset.h"

#include <memory>

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>

#include "app/transfer/TransferWidgets.h"
#include "device/LorimetAdapter.h"

using namespace TransferWidgets;

frmReset::frmReset(HidBackend &backend, TransferTiming timing, QWidget *parent)
    : TransferDialog(backend, std::move(timing), parent)
{
    setObjectName(QStringLiteral("frmReset"));
    setFixedFrame(this, tr("Device Status"), 4095, 885);

    fraMain = new QGroupBox(this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setGeometry(twips(120), twips(30), twips(3855), twips(735));

    constexpr int rowTop = 300;
    imgReset = addIcon(fraMain, QStringLiteral("imgReset"), StageIcon::Arrow, 180, rowTop, true);
    imgCheckMark[0]
        = addIcon(fraMain, QStringLiteral("imgCheckMark_0"), StageIcon::CheckMark, 150, rowTop, false);
    lblReset
        = addStageLabel(fraMain, QStringLiteral("lblReset"), tr("Resetting Lorimet Data Adapter..."), rowTop);

    Form_Load();
}

void frmReset::StartReset()
{
    // No output list: whatever the adapter sends is read and dropped, and the display never changes.
    const std::unique_ptr<LorimetAdapter> adapter = createAdapter();

    if (!adapter->InitDevice()) {
        showInitializationError(this, adapter->accessDenied());
        return;
    }

    QCoreApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    adapter->ReadDevice();
    pauseSince(start, timing().drainPause);

    lblReset->setText(tr("Lorimet Adapter reset complete"));
    imgReset->hide();
    imgCheckMark[0]->show();
    QCoreApplication::processEvents();

    pauseSince(std::chrono::steady_clock::now(), timing().settlePause);
    readTwiceMore(*adapter);
}
