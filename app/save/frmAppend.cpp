#include "app/save/frmAppend.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/save/ExportChoice.h"
#include "app/windows/WindowFonts.h"
#include "app/windows/WindowPlacement.h"

frmAppend::frmAppend(QWidget *owner)
    : QDialog(owner,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , Label1(new QLabel(tr("This file already exists.  Please choose one of the options below:"), this))
    , cmdAppend(new QPushButton(tr("&Append"), this))
    , cmdOverwrite(new QPushButton(tr("&Overwrite"), this))
    , cmdCancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmAppend"));
    setWindowTitle(tr(" Append Options"));
    setFont(WindowFonts::arial());
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdAppend->setObjectName(QStringLiteral("cmdAppend"));
    cmdOverwrite->setObjectName(QStringLiteral("cmdOverwrite"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    // Enter presses the button that has the focus, which is Cancel at opening, so the document is
    // overwritten only on purpose; Esc and the close box mean Cancel.
    for (QPushButton *button : { cmdAppend, cmdOverwrite, cmdCancel })
        button->setAutoDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdAppend);
    buttons->addWidget(cmdOverwrite);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cmdCancel, cmdAppend);
    setTabOrder(cmdAppend, cmdOverwrite);

    connect(cmdAppend, &QPushButton::clicked, this, &frmAppend::cmdAppend_Click);
    connect(cmdOverwrite, &QPushButton::clicked, this, &frmAppend::cmdOverwrite_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAppend::cmdCancel_Click);
    connect(this, &QDialog::rejected, this, [] { exportChoice().ExportCancelled = true; });
}

void frmAppend::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QWidget *owner = parentWidget())
        WindowPlacement::centreOver(*this, *owner);
    cmdCancel->setFocus(Qt::TabFocusReason);
}

void frmAppend::cmdAppend_Click()
{
    exportChoice().ExportCancelled = false;
    exportChoice().ExportAppend = true;
    accept();
}

void frmAppend::cmdOverwrite_Click()
{
    exportChoice().ExportCancelled = false;
    exportChoice().ExportAppend = false;
    accept();
}

void frmAppend::cmdCancel_Click()
{
    reject();
}
