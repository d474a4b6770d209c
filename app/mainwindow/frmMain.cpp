#include "app/mainwindow/frmMain.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include "app/mainwindow/AppInfo.h"
#include "app/mainwindow/Artwork.h"
#include "app/mainwindow/CommandDialogs.h"
#include "app/mainwindow/DownloadArchive.h"
#include "app/mainwindow/ReportDisplay.h"
#include "app/mainwindow/frmAbout.h"
#include "app/mainwindow/frmReportTagging.h"
#include "app/windows/WindowFonts.h"
#include "app/windows/WindowPlacement.h"

namespace {

constexpr QChar ErrorCharacter(0x7F);

// A question that only its buttons answer: Esc and the window's close control do nothing.
class AnswerRequiredBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!event->matches(QKeySequence::Cancel))
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (clickedButton())
            QMessageBox::closeEvent(event);
        else
            event->ignore();
    }
};

} // namespace

frmMain::frmMain(CommandDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tessaly Lorimet Adapter"));
    setWindowIcon(Artwork::windowIcon());
    buildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(368, 517);
    setCentralWidget(client);

    mnuHistory = menuBar()->addAction(tr("&History"));
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    mnuHistory->setEnabled(false);
    connect(mnuHistory, &QAction::triggered, this, &frmMain::mnuHistory_Click);

    mnuHelpAbout = menuBar()->addAction(tr("&About"));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    Shape1 = new QFrame(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(166, 0, 203, 477);
    Shape1->setFrameShape(QFrame::NoFrame);
    Shape1->setAutoFillBackground(true);
    QPalette shapePalette = Shape1->palette();
    shapePalette.setColor(QPalette::Window, QColor(128, 128, 128));
    Shape1->setPalette(shapePalette);

    m_lstOutput = new ReportDisplay(client);
    m_lstOutput->setObjectName(QStringLiteral("lstOutput"));
    m_lstOutput->setGeometry(172, 4, 191, 467);
    QFont fixedPitch(QStringLiteral("Courier New"));
    fixedPitch.setPointSizeF(9);
    fixedPitch.setStyleHint(QFont::Monospace);
    m_lstOutput->setFont(fixedPitch);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(20, 407, 125, 70);
    Image1->setPixmap(Artwork::logo(devicePixelRatioF()));

    const auto addButton = [client](const char *name, const QString &caption, QRect geometry) {
        auto *button = new QPushButton(caption, client);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        button->setFont(WindowFonts::arial());
        return button;
    };
    cmdDownload = addButton("cmdDownload", tr("&Download from Adapter"), { 16, 18, 129, 27 });
    cmdSave = addButton("cmdSave", tr("&Save"), { 16, 48, 129, 27 });
    cmdClearReport = addButton("cmdClearReport", tr("&Clear Display"), { 16, 78, 129, 27 });
    cmdResetDevice = addButton("cmdResetDevice", tr("&Reset the Adapter"), { 16, 108, 129, 27 });
    cmdExit = addButton("cmdExit", tr("E&xit"), { 238, 484, 125, 27 });

    connect(cmdDownload, &QPushButton::clicked, this, &frmMain::cmdDownload_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdClearReport, &QPushButton::clicked, this, &frmMain::cmdClearReport_Click);
    connect(cmdResetDevice, &QPushButton::clicked, this, &frmMain::cmdResetDevice_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);

    setTabOrder(m_lstOutput, cmdExit);
    setTabOrder(cmdExit, cmdDownload);
    setTabOrder(cmdDownload, cmdSave);
    setTabOrder(cmdSave, cmdResetDevice);
    setTabOrder(cmdResetDevice, cmdClearReport);
    m_lstOutput->setFocus();
}

bool frmMain::DisplayHasErrorCharacters() const
{
    const QStringList &lines = m_lstOutput->reportModel().lines();
    return std::any_of(lines.cbegin(), lines.cend(),
        [](const QString &line) { return !line.isEmpty() && line.contains(ErrorCharacter); });
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        WindowPlacement::placeAtOneThird(*this);
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The transfer dialog works inside one of this window's commands; the window closes once it returns.
    if (m_transferRunning) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    if (m_about)
        m_about->close();
    QMainWindow::closeEvent(event);
}

void frmMain::cmdDownload_Click()
{
    m_reportStart = m_lstOutput->ListCount();
    m_lstOutput->SetFocus();
    m_lstOutput->reportModel().resetLinesLeftOut();
    if (!runTransfer([this] { m_dialogs.showProgress(this, *m_lstOutput); }))
        return;
    m_reportEnd = m_lstOutput->ListCount();

    if (const int linesLeftOut = m_lstOutput->reportModel().linesLeftOut(); linesLeftOut > 0)
        reportLinesLeftOut(linesLeftOut);

    if (DisplayHasErrorCharacters() && !confirmKeepingReport()) {
        for (int position = m_lstOutput->ListCount() - 1; position >= m_reportStart; --position)
            m_lstOutput->RemoveItem(static_cast<qint16>(position));
        return;
    }

    if (m_reportStart < m_reportEnd) {
        if (m_archive)
            m_archive->downloadKept(this, newestReportLines());
        frmReportTagging tagging(*this);
        if (tagging.exec() == QDialog::Accepted && m_archive)
            m_archive->tagsWritten(this, newestReportLines());
        if (m_archive)
            m_archive->downloadFinished(this);
    }
}

QStringList frmMain::newestReportLines() const
{
    return m_lstOutput->reportModel().lines().mid(m_reportStart, m_reportEnd - m_reportStart);
}

void frmMain::setArchive(DownloadArchive *archive)
{
    m_archive = archive;
    mnuHistory->setEnabled(archive && !m_transferRunning);
}

void frmMain::mnuHistory_Click()
{
    m_archive->showHistory(this, *this);
}

void frmMain::putOnDisplay(const QStringList &lines)
{
    m_lstOutput->reportModel().resetLinesLeftOut();
    m_reportStart = m_lstOutput->ListCount();
    for (const QString &line : lines)
        m_lstOutput->AddItem(line);
    // Shown as a download is: the newest line selected and in view.
    m_lstOutput->SetListIndex(static_cast<qint16>(m_lstOutput->ListCount() - 1));
    m_lstOutput->publishPending();
    m_reportEnd = m_lstOutput->ListCount();
    if (const int linesLeftOut = m_lstOutput->reportModel().linesLeftOut(); linesLeftOut > 0)
        reportLinesLeftOut(linesLeftOut);
}

void frmMain::save(QWidget *owner, const QStringList &lines)
{
    m_dialogs.showSaveOptions(owner, lines);
}

void frmMain::cmdSave_Click()
{
    if (m_lstOutput->ListCount() == 0) {
        QMessageBox box(QMessageBox::Information, tr("Export Status"),
            tr("No current report exists to save."), QMessageBox::Ok, this);
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        return;
    }
    m_lstOutput->SetFocus();
    m_dialogs.showSaveOptions(this, m_lstOutput->Lines());
}

void frmMain::cmdClearReport_Click()
{
    m_lstOutput->SetFocus();
    m_lstOutput->Clear();
}

void frmMain::cmdResetDevice_Click()
{
    m_lstOutput->SetFocus();
    (void)runTransfer([this] { m_dialogs.showReset(this); });
}

void frmMain::cmdExit_Click()
{
    m_lstOutput->SetFocus();
    close();
}

void frmMain::mnuHelpAbout_Click()
{
    // An open About box comes forward; one that is closing is replaced.
    if (!m_about || !m_about->isVisible())
        m_about = new frmAbout(*this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

bool frmMain::runTransfer(const std::function<void()> &transfer)
{
    m_transferRunning = true;
    setCommandsEnabled(false);
    transfer();
    m_lstOutput->publishPending();
    setCommandsEnabled(true);
    m_transferRunning = false;

    if (m_closeRequested) {
        m_closeRequested = false;
        close();
        return false;
    }
    return true;
}

void frmMain::setCommandsEnabled(bool enabled)
{
    for (QWidget *command : { cmdDownload, cmdSave, cmdClearReport, cmdResetDevice, cmdExit })
        command->setEnabled(enabled);
    mnuHelpAbout->setEnabled(enabled);
    mnuHistory->setEnabled(enabled && m_archive);
}

void frmMain::reportLinesLeftOut(int linesLeftOut)
{
    const QString text = linesLeftOut == 1
        ? tr("The display is full: 1 line of the report just downloaded was left out.")
        : tr("The display is full: %n lines of the report just downloaded were left out.", nullptr,
            linesLeftOut);
    QMessageBox box(QMessageBox::Warning, AppInfo::Title,
        text + tr("\n\nPlease save the display and clear it before the next download."), QMessageBox::Ok,
        this);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

bool frmMain::confirmKeepingReport()
{
    const QString prompt
        = tr("The display contains missing and/or error characters that may disrupt formatting when "
             "saving\n"
             "to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to "
             "the\n"
             "Lorimet Adapter.\n\n"
             "Would you like to keep the report just downloaded?");
    AnswerRequiredBox box(QMessageBox::Question, tr("Lorimet Adapter Confirmation"), prompt,
        QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
