#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "APICommonDialog.h"
#include "CaptureFile.h"
#include "DemoAdapter.h"
#include "DemoDialogs.h"
#include "ProgramDialogs.h"
#include "ReportDecoder.h"
#include "ReportDisplay.h"
#include "TextDocument.h"
#include "TransferTestSupport.h"
#include "frmMain.h"
#include "frmProgress.h"
#include "frmReset.h"
#include "frmSave.h"

namespace {

// The main window on the given dialogs, showing the given lines.
struct MainWindow : frmMain
{
    MainWindow(CommandDialogs &dialogs, const QStringList &lines)
        : frmMain(dialogs)
    {
        show();
        for (const QString &line : lines)
            lstOutput().AddItem(line);
        lstOutput().publishPending();
    }

    void click(const char *name)
    {
        QTest::mouseClick(findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

    // Of the five command buttons and Help > About.
    [[nodiscard]] int enabledCommands()
    {
        int enabled = findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->isEnabled() ? 1 : 0;
        for (const char *name : { "cmdDownload", "cmdSave", "cmdClearReport", "cmdResetDevice", "cmdExit" })
            enabled += findChild<QPushButton *>(QLatin1String(name))->isEnabled() ? 1 : 0;
        return enabled;
    }
};

// An adapter that sends the shipped capture, replayed fast, for the first output report only.
void answerWithCapture(SimulatedHidBus &bus, const char *name)
{
    Inputs inputs;
    for (const CapturedReport &report :
        CaptureFile::read(QStringLiteral(LORIMET_RESOURCES_DIR "/captures/%1.cap").arg(name)).reports)
        inputs.append({ std::min<std::chrono::milliseconds>(report.delay, 2ms), report.bytes });
    answerOutputReports(bus, bus.addDevice(), [inputs](int n) { return n == 1 ? inputs : Inputs(); });
}

// Samples the main window's commands whenever one of its transfer dialogs is up: a fault is a command
// left enabled or a modal window, as the dialog, owned by the main window, must leave it free.
struct CommandSampler : QTimer
{
    explicit CommandSampler(MainWindow &main)
    {
        connect(this, &QTimer::timeout, [this, &main] {
            if (main.findChild<frmProgress *>() || main.findChild<frmReset *>()) {
                ++samples;
                faults += main.enabledCommands() > 0 || QApplication::activeModalWidget() ? 1 : 0;
            }
        });
        start(5);
    }

    int samples = 0;
    int faults = 0;
};

} // namespace

class TestDownloadFlow : public QObject
{
    Q_OBJECT

private slots:
    void downloadAppendsTheReportAndOpensTagging();
    void resetNeverChangesTheDisplay();
    void shippedCapturesAreWholeReports();
    void demoSendsTheNextCaptureOnEachDownload();
    void saveWritesTheDisplayToATextFile();
};

void TestDownloadFlow::downloadAppendsTheReportAndOpensTagging()
{
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, quickTiming());
    MainWindow main(dialogs, { "EARLIER REPORT", "" });
    DialogAnswerer answerer;
    // Without an adapter only the error box appears, and the display and its markers stay as they were.
    answerer.expectMessageBox(QMessageBox::Ok);
    main.click("cmdDownload");
    verifyInitializationError(answerer.messageBoxes(), false);
    QCOMPARE(main.lstOutput().Lines(), (QStringList { "EARLIER REPORT", "" }));
    QCOMPARE(main.ReportStart(), 2);
    QCOMPARE(main.ReportEnd(), 2);

    answerWithCapture(bus, "01-two-alarms");
    CommandSampler sampler(main);
    QString serial;
    answerer.expectDialog([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmReportTagging"));
        // The report is already in the display when the tagging dialog opens.
        serial = dialog->findChild<QLineEdit *>(QStringLiteral("txtSerialNo"))->text();
        dialog->findChild<QLineEdit *>(QStringLiteral("txtUser"))->setText(QStringLiteral("J. Smith"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });

    main.click("cmdDownload");

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(serial, QStringLiteral("40213"));
    QVERIFY(sampler.samples > 0);
    QCOMPARE(sampler.faults, 0);
    QCOMPARE(main.enabledCommands(), 6);
    // The report lands after the earlier lines; the tagging dialog fills in its four blank tag lines.
    const QStringList shown = main.lstOutput().Lines();
    const QStringList expected = QStringList { "EARLIER REPORT", "" } + referenceLines("01-two-alarms");
    const qsizetype tags = expected.indexOf(QRegularExpression(QStringLiteral("Date:.*")));
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(shown.mid(0, tags) + shown.mid(tags + 4), expected.mid(0, tags) + expected.mid(tags + 4));
    const QRegularExpression filled(
        QStringLiteral("^Date: \\d\\d-[A-Z][a-z]{2}-\\d{4}\nTime: \\d{1,2}:\\d\\d [AP]M\nSerial #: "
                       "40213\nUser: J\\. Smith$"));
    QVERIFY2(
        filled.match(shown.mid(tags, 4).join('\n')).hasMatch(), qPrintable(shown.mid(tags, 4).join('|')));
    QCOMPARE(main.ReportStart(), 2);
    QCOMPARE(main.ReportEnd(), shown.size());
}

// The one run of the reset at its real values.
void TestDownloadFlow::resetNeverChangesTheDisplay()
{
    const QStringList before { "FIRST REPORT", "Date: 05-Dec-2026", "", "SECOND" };
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, TransferTiming {});
    MainWindow main(dialogs, before);
    // The adapter answers every output report with a stream of lines that stops after 40 ms.
    answerOutputReports(bus, bus.addDevice(), [](int) { return Inputs(20, { 2ms, lineReport("NOISE") }); });
    CommandSampler sampler(main);
    DialogAnswerer answerer;
    QElapsedTimer elapsed;
    elapsed.start();

    main.click("cmdResetDevice");

    // Each read ends after 1 s of silence, by when the 1 s drain pause, counted from before the first
    // read, is over; then 2 s, and the two further reads.
    QVERIFY2(elapsed.elapsed() >= 3 * 1040 + 2000 && elapsed.elapsed() < 5600,
        qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(outputReportCount(bus), 3);
    QCOMPARE(main.lstOutput().Lines(), before);
    QCOMPARE(main.ReportStart(), 0);
    QCOMPARE(main.ReportEnd(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QVERIFY(sampler.samples > 0);
    QCOMPARE(sampler.faults, 0);
    QCOMPARE(main.enabledCommands(), 6);
}

void TestDownloadFlow::shippedCapturesAreWholeReports()
{
    // The program embeds exactly the shipped captures, in name order; one carries a corrupted character.
    const QDir directory(QStringLiteral(LORIMET_RESOURCES_DIR "/captures"));
    const QStringList shipped = directory.entryList({ "*.cap" }, QDir::Files, QDir::Name);
    QCOMPARE(DemoAdapter(QStringLiteral(":/captures")).captureNames(), shipped);
    QCOMPARE(shipped.size(), 4);
    for (const QString &file : shipped) {
        // Every gap is shorter than the silence that ends a transfer, so each capture is one download.
        const QStringList lines
            = decodeCapturedTransfers(CaptureFile::read(directory.filePath(file)).reports, 1000ms);
        QCOMPARE(lines, referenceLines(file.chopped(4)));
        QVERIFY(
            !lines.isEmpty() && std::ranges::all_of(lines, [](const QString &l) { return l.size() == 24; }));
        QCOMPARE(
            lines.join(QString()).count(QChar(0x7F)), file.contains(QStringLiteral("corrupted")) ? 1 : 0);
        for (const char *pattern : { "^   S/N: \\d+ *$", "^Date:", "^Time:", "^Serial #:", "^User:" })
            QCOMPARE(lines.filter(QRegularExpression(QString::fromLatin1(pattern))).size(), 1);
    }
}

void TestDownloadFlow::demoSendsTheNextCaptureOnEachDownload()
{
    // Loaded in name order; a broken capture and other files are left out.
    QTemporaryDir directory;
    QVERIFY(!CaptureFile::write(directory.filePath("2.cap"), { { 5ms, lineReport("SECOND") } }));
    QVERIFY(!CaptureFile::write(directory.filePath("1.cap"), { { 5ms, lineReport("FIRST") } }));
    QVERIFY(!CaptureFile::write(directory.filePath("notes.txt"), { { 5ms, lineReport("NOTES") } }));
    QFile broken(directory.filePath("15-broken.cap"));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("+5 00 41 0A\n") > 0);
    broken.close();
    DemoDialogs dialogs(directory.path(), quickTiming());
    MainWindow main(dialogs, {});
    DialogAnswerer answerer;
    for (int i = 0; i < 3; ++i)
        answerer.expectDialog(
            [](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click(); });

    // Neither the reset nor the further reads of a download use up a capture; after the last comes the first.
    for (const char *name : { "cmdDownload", "cmdResetDevice", "cmdDownload", "cmdDownload" })
        main.click(name);

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(main.lstOutput().Lines(), (QStringList { "FIRST", "SECOND", "FIRST" }));
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
    ProgramDialogs dialogs(bus);
    MainWindow main(dialogs, { "FIRST REPORT", "", "Date: 05-Dec-2026" });
    DialogAnswerer answerer;
    answerer.expectDialog([&main](QWidget *dialog) {
        QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(&main));
        QVERIFY(qobject_cast<frmSave *>(dialog));
        QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("optTextFile"))->isChecked());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });

    main.click("cmdSave");
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
