#include "app/save/frmSave.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/save/APICommonDialog.h"
#include "app/save/ExportChoice.h"
#include "app/save/ExportDrivers.h"
#include "app/save/PrintedDocument.h"
#include "app/save/frmAppend.h"
#include "app/windows/WindowFonts.h"
#include "app/windows/WindowPlacement.h"

void showSaveOptions(QWidget *owner, const QStringList &displayLines)
{
    APICommonDialog::setOwner(owner);
    frmSave dialog(displayLines, owner);
    dialog.exec();
}

frmSave::frmSave(const QStringList &displayLines, QWidget *owner)
    : QDialog(owner,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_displayLines(displayLines)
    , fraMain(new QGroupBox(tr("Save As"), this))
    , optTextFile(new QRadioButton(tr("Microsoft Windows Text File"), fraMain))
    , optWordFile(new QRadioButton(tr("Microsoft Word Document"), fraMain))
    , optExcelFile(new QRadioButton(tr("Microsoft Excel Document"), fraMain))
    , optPdfFile(new QRadioButton(tr("&PDF"), fraMain))
    , cmdOK(new QPushButton(tr("&OK"), this))
    , cmdPrint(new QPushButton(tr("P&rint..."), this))
    , cmdCancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(tr("Save Options"));
    setFont(WindowFonts::arial());
    fraMain->setObjectName(QStringLiteral("fraMain"));
    optTextFile->setObjectName(QStringLiteral("optTextFile"));
    optWordFile->setObjectName(QStringLiteral("optWordFile"));
    optExcelFile->setObjectName(QStringLiteral("optExcelFile"));
    optPdfFile->setObjectName(QStringLiteral("optPdfFile"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    optTextFile->setChecked(true);
    // Enter on a focused button presses that button; elsewhere it presses OK.
    cmdOK->setAutoDefault(true);
    cmdCancel->setAutoDefault(true);
    cmdPrint->setAutoDefault(true);
    cmdOK->setDefault(true);

    auto *options = new QVBoxLayout(fraMain);
    options->addWidget(optTextFile);
    options->addWidget(optWordFile);
    options->addWidget(optExcelFile);
    options->addWidget(optPdfFile);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdPrint);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraMain);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(optTextFile, optWordFile);
    setTabOrder(optWordFile, optExcelFile);
    setTabOrder(optExcelFile, optPdfFile);
    setTabOrder(optPdfFile, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdPrint);

    connect(cmdOK, &QPushButton::clicked, this, &frmSave::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPrint, &QPushButton::clicked, this, &frmSave::cmdPrint_Click);
}

void frmSave::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    WindowPlacement::placeAtOneThird(*this);
}

void frmSave::cmdOK_Click()
{
    setCursor(Qt::WaitCursor);
    if (optTextFile->isChecked()) {
        SupportFunctions::ExportToText(m_displayLines);
    } else if (optExcelFile->isChecked()) {
        if (GetDestinationFile(QStringLiteral("MsExcel")))
            SupportFunctions::ExportToExcel(m_displayLines);
    } else if (optWordFile->isChecked()) {
        if (GetDestinationFile(QStringLiteral("MsWord")))
            SupportFunctions::ExportToWord(m_displayLines);
    } else if (optPdfFile->isChecked()) {
        if (const QString file = GetPdfFile(); !file.isEmpty())
            PrintedDocument::saveAsPdf(m_displayLines, file);
    }
    unsetCursor();
    accept();
}

void frmSave::cmdPrint_Click()
{
    hide();
    PrintedDocument::print(APICommonDialog::owner(), m_displayLines);
    accept();
}

QString frmSave::GetPdfFile()
{
    hide();
    QString file = APICommonDialog::ShowSaveFileDialog(
        tr("Save the Report as PDF"), tr("PDF Files"), QStringLiteral("*.pdf"), QString());
    if (file.isEmpty())
        return {};
    if (QFileInfo(file).suffix().isEmpty())
        file += QLatin1String(".pdf");
    if (QFileInfo::exists(file)
        && QMessageBox::question(APICommonDialog::owner(), windowTitle(),
               tr("%1 already exists.\r\nDo you want to replace it?").arg(file),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return {};
    return file;
}

bool frmSave::GetDestinationFile(const QString &fileType)
{
    hide();
    const bool word = fileType == QLatin1String("MsWord");
    ExportChoice &choice = exportChoice();
    choice.ExportFileName = word
        ? APICommonDialog::ShowSaveFileDialog(
            tr("Save the Data File as MS Word"), tr("MsWord Files"), QStringLiteral("*.docx"), QString())
        : APICommonDialog::ShowSaveFileDialog(
            tr("Save the Data File as Excel Sheet"), tr("Excel Files"), QStringLiteral("*.xlsx"), QString());
    if (choice.ExportFileName.isEmpty())
        return false;
    // The documents are Office Open XML; a name without extension would leave a file nothing recognises.
    if (QFileInfo(choice.ExportFileName).suffix().isEmpty())
        choice.ExportFileName += word ? QLatin1String(".docx") : QLatin1String(".xlsx");
    if (QFileInfo::exists(choice.ExportFileName)) {
        frmAppend appendOptions(this);
        appendOptions.exec();
        return !choice.ExportCancelled;
    }
    choice.ExportAppend = false;
    return true;
}
