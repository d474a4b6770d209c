#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "APICommonDialog.h"
#include "DemoDialogs.h"
#include "DialogAnswerer.h"
#include "ProgramDialogs.h"
#include "ReportDisplay.h"
#include "TextDocument.h"
#include "TransferTestSupport.h"
#include "frmMain.h"
#include "frmProgress.h"
#include "frmReset.h"
#include "frmSave.h"

namespace {

const QStringList CommandNames { "cmdDownload", "cmdSave", "cmdClearReport", "cmdResetDevice", "cmdExit" };

// Samples the main window's commands whenever one of its transfer dialogs is on screen.
class CommandSampler : public QObject
{
public:
    explicit CommandSampler(frmMain &window)
        : m_window(window)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &CommandSampler::sample);
        m_timer.start();
    }

    int samples = 0;
    int samplesWithACommandEnabled = 0;
    int samplesWithAModalWindow = 0;

private:
    void sample()
    {
        const bool dialogShown = std::ranges::any_of(m_window.findChildren<QDialog *>(), [](QDialog *dialog) {
            return dialog->isVisible()
                && (qobject_cast<frmProgress *>(dialog) || qobject_cast<frmReset *>(dialog));
        });
        if (!dialogShown)
            return;
        ++samples;
        // The dialog is owned by the main window but leaves it free: nothing modal is up.
        samplesWithAModalWindow += QApplication::activeModalWidget() ? 1 : 0;
        bool enabled = m_window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->isEnabled();
        for (const QString &name : CommandNames)
            enabled = enabled || m_window.findChild<QPushButton *>(name)->isEnabled();
        samplesWithACommandEnabled += enabled ? 1 : 0;
    }

    frmMain &m_window;
    QTimer m_timer;
};

void click(frmMain &window, const char *name)
{
    QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

bool commandsEnabled(frmMain &window)
{
    return std::ranges::all_of(CommandNames,
        [&window](const QString &name) { return window.findChild<QPushButton *>(name)->isEnabled(); });
}

void fill(ReportDisplay &display, const QStringList &lines)
{
    for (const QString &line : lines)
        display.AddItem(line);
    display.publishPending();
}

} // namespace

class TestDownloadFlow : public QObject
{
    Q_OBJECT

private slots:
    void downloadAppendsTheReportAndOpensTagging();
    void corruptedReportIsOfferedForRemoval();
    void noAdapterShowsTheErrorAndLeavesTheDisplay();
    void resetNeverChangesTheDisplay();
    void demoSendsTheNextCaptureOnEachDownload();
    void saveWritesTheDisplayToATextFile();
};

void TestDownloadFlow::downloadAppendsTheReportAndOpensTagging()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    const auto capture = fastCapture(QStringLiteral("01-two-alarms"));
    answerOutputReports(bus, device,
        [capture](int n) { return n == 1 ? capture : QList<SimulatedHidBus::ScheduledInput>(); });
    ProgramDialogs dialogs(bus, quickTiming());
    frmMain window(dialogs);
    window.show();
    fill(window.lstOutput(), { "EARLIER REPORT", "" });
    CommandSampler sampler(window);

    DialogAnswerer answerer;
    QString serial;
    bool serialReadOnly = false;
    answerer.expectDialog([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmReportTagging"));
        // The report is already in the display when the tagging dialog opens.
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("txtSerialNo"));
        serial = field->text();
        serialReadOnly = field->isReadOnly();
        dialog->findChild<QLineEdit *>(QStringLiteral("txtUser"))->setText(QStringLiteral("J. Smith"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });

    click(window, "cmdDownload");

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(serial, QStringLiteral("40213"));
    QVERIFY(serialReadOnly);

    // The report lands after the earlier lines, with its tag lines filled in by the tagging dialog.
    const QStringList report = referenceLines(QStringLiteral("01-two-alarms"));
    const QStringList shown = window.lstOutput().Lines();
    QCOMPARE(shown.size(), 2 + report.size());
    QCOMPARE(shown.mid(0, 2), (QStringList { "EARLIER REPORT", "" }));
    for (qsizetype i = 0; i < report.size(); ++i) {
        const QString &sent = report.at(i);
        const QString &line = shown.at(2 + i);
        if (sent.startsWith(QStringLiteral("Date:")))
            QVERIFY2(QRegularExpression(QStringLiteral("^Date: \\d\\d-[A-Z][a-z]{2}-\\d{4}$"))
                         .match(line)
                         .hasMatch(),
                qPrintable(line));
        else if (sent.startsWith(QStringLiteral("Time:")))
            QVERIFY2(
                QRegularExpression(QStringLiteral("^Time: \\d{1,2}:\\d\\d [AP]M$")).match(line).hasMatch(),
                qPrintable(line));
        else if (sent.startsWith(QStringLiteral("Serial #:")))
            QCOMPARE(line, QStringLiteral("Serial #: 40213"));
        else if (sent.startsWith(QStringLiteral("User:")))
            QCOMPARE(line, QStringLiteral("User: J. Smith"));
        else
            QCOMPARE(line, sent);
    }
    QCOMPARE(window.ReportStart(), 2);
    QCOMPARE(window.ReportEnd(), 2 + report.size());

    QVERIFY(sampler.samples > 0);
    QCOMPARE(sampler.samplesWithACommandEnabled, 0);
    QCOMPARE(sampler.samplesWithAModalWindow, 0);
    QVERIFY(commandsEnabled(window));
    QVERIFY(window.findChildren<frmProgress *>().isEmpty());
}

void TestDownloadFlow::corruptedReportIsOfferedForRemoval()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    const auto capture = fastCapture(QStringLiteral("04-corrupted"));
    answerOutputReports(bus, device,
        [capture](int n) { return n == 1 ? capture : QList<SimulatedHidBus::ScheduledInput>(); });
    ProgramDialogs dialogs(bus, quickTiming());
    frmMain window(dialogs);
    window.show();
    fill(window.lstOutput(), { "EARLIER REPORT" });

    DialogAnswerer answerer;
    QStringList linesWhenAsked;
    answerer.expectDialog([&](QWidget *dialog) {
        linesWhenAsked = window.lstOutput().Lines();
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Lorimet Adapter Confirmation"));
        box->button(QMessageBox::No)->click();
    });

    click(window, "cmdDownload");

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(
        linesWhenAsked, QStringList { "EARLIER REPORT" } + referenceLines(QStringLiteral("04-corrupted")));
    QCOMPARE(window.lstOutput().Lines(), QStringList { "EARLIER REPORT" });
}

void TestDownloadFlow::noAdapterShowsTheErrorAndLeavesTheDisplay()
{
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, quickTiming());
    frmMain window(dialogs);
    window.show();
    fill(window.lstOutput(), { "EARLIER REPORT" });

    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);

    click(window, "cmdDownload");

    QCOMPARE(answerer.messageBoxes().size(), 1);
    QCOMPARE(answerer.messageBoxes().first().title, QStringLiteral("Initialization Error"));
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(window.lstOutput().Lines(), QStringList { "EARLIER REPORT" });
    QCOMPARE(window.ReportStart(), 1);
    QCOMPARE(window.ReportEnd(), 1);
    QVERIFY(commandsEnabled(window));
}

void TestDownloadFlow::resetNeverChangesTheDisplay()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    // The adapter answers every output report with a stream of lines that stops after a while.
    answerOutputReports(bus, device, [](int) {
        QList<SimulatedHidBus::ScheduledInput> inputs;
        for (int i = 0; i < 20; ++i)
            inputs.append({ 2ms, lineReport("NOISE") });
        return inputs;
    });
    ProgramDialogs dialogs(bus, quickTiming());
    frmMain window(dialogs);
    window.show();
    const QStringList before { "FIRST REPORT", "Date: 05-Dec-2026", "", "SECOND" };
    fill(window.lstOutput(), before);
    CommandSampler sampler(window);
    DialogAnswerer answerer;

    click(window, "cmdResetDevice");

    QCOMPARE(outputReportCount(bus), 3);
    QCOMPARE(window.lstOutput().Lines(), before);
    QCOMPARE(window.ReportStart(), 0);
    QCOMPARE(window.ReportEnd(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QVERIFY(sampler.samples > 0);
    QCOMPARE(sampler.samplesWithACommandEnabled, 0);
    QCOMPARE(sampler.samplesWithAModalWindow, 0);
    QVERIFY(commandsEnabled(window));
    QVERIFY(window.findChildren<frmReset *>().isEmpty());
}

void TestDownloadFlow::demoSendsTheNextCaptureOnEachDownload()
{
    TransferTiming timing = quickTiming();
    // The captures keep the detector's own pace, so a read waits as long as the longest gap needs.
    timing.readTimeout = 400ms;
    DemoDialogs dialogs(QStringLiteral(":/captures"), timing);
    frmMain window(dialogs);
    window.show();
    DialogAnswerer answerer;
    answerer.expectDialog(
        [](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click(); });
    answerer.expectDialog(
        [](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click(); });

    click(window, "cmdDownload");
    click(window, "cmdResetDevice");
    click(window, "cmdDownload");

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(window.lstOutput().Lines(),
        referenceLines(QStringLiteral("01-two-alarms")) + referenceLines(QStringLiteral("02-no-alarms")));
}

void TestDownloadFlow::saveWritesTheDisplayToATextFile()
{
    QTemporaryDir folder;
    const QString chosen = folder.filePath(QStringLiteral("day1"));
    APICommonDialog::SetDialogRunner(
        [&](APICommonDialog::DialogKind, const APICommonDialog::FileDialogOptions &, QWidget *) {
            return chosen;
        });
    QList<QUrl> shown;
    TextDocument::SetFileOpener([&shown](const QUrl &url) {
        shown.append(url);
        return true;
    });
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, quickTiming());
    frmMain window(dialogs);
    window.show();
    fill(window.lstOutput(), { "FIRST REPORT", "", "Date: 05-Dec-2026" });

    DialogAnswerer answerer;
    answerer.expectDialog([&window](QWidget *dialog) {
        QCOMPARE(dialog->parentWidget(), &window);
        QVERIFY(qobject_cast<frmSave *>(dialog));
        QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("optTextFile"))->isChecked());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    click(window, "cmdSave");
    APICommonDialog::SetDialogRunner({});
    TextDocument::SetFileOpener({});

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QFile saved(chosen + QStringLiteral(".txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("FIRST REPORT\r\n\r\nDate: 05-Dec-2026\r\n"));
    QCOMPARE(shown, QList<QUrl> { QUrl::fromLocalFile(saved.fileName()) });
}

QTEST_MAIN(TestDownloadFlow)
#include "tst_downloadflow.moc"
