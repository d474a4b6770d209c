#include "app/mainwindow/frmAbout.h"

#include <QLabel>
#include <QPushButton>

#include "app/mainwindow/AppInfo.h"
#include "app/mainwindow/Artwork.h"
#include "app/windows/WindowFonts.h"
#include "app/windows/WindowPlacement.h"

frmAbout::frmAbout(QWidget &owner)
    : QDialog(&owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About %1").arg(AppInfo::Title));
    setFixedSize(259, 85);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(170, 58, 84, 23);
    cmdOK->setFont(WindowFonts::arial(8.25));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(6, 8, 125, 70);
    picIcon->setPixmap(Artwork::logo(devicePixelRatioF()));

    lblTitle = new QLabel(AppInfo::Title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(136, 8, 117, 16);
    lblTitle->setFont(WindowFonts::arial(9));

    lblVersion = new QLabel(tr("Version %1.%2.%3")
                                .arg(AppInfo::VersionMajor)
                                .arg(AppInfo::VersionMinor)
                                .arg(AppInfo::VersionRevision),
        this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(136, 30, 117, 15);
    lblVersion->setFont(WindowFonts::arial(9));
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_placed && parentWidget()) {
        m_placed = true;
        WindowPlacement::centreOver(*this, *parentWidget());
    }
}
