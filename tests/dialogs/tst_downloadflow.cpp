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

// The main window, on the simulated bus or the demo adapter, showing the given lines.
template<typename Dialogs> struct MainWindow
{
    template<typename Source>
    MainWindow(const QStringList &lines, Source &&source, const TransferTiming &timing = quickTiming())
        : dialogs(source, timing)
    {
        window.show();
        for (const QString &line : lines)
            window.lstOutput().AddItem(line);
        window.lstOutput().publishPending();
    }

    void click(const char *name)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    // Of the five command buttons and Help > About.
    [[nodiscard]] int enabledCommands()
    {
        int enabled = window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->isEnabled() ? 1 : 0;
        for (const char *name : { "cmdDownload", "cmdSave", "cmdClearReport", "cmdResetDevice", "cmdExit" })
            enabled += window.findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled() ? 1 : 0;
        return enabled;
    }

    Dialogs dialogs;
    frmMain window { dialogs };
};

// Samples the main window's commands whenever one of its transfer dialogs is on screen: all must be
// disabled, and the dialog, owned by the main window, must leave it free: nothing modal is up.
class CommandSampler : public QObject
{
public:
    explicit CommandSampler(MainWindow<ProgramDialogs> &main)
        : m_main(main)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const QList<QDialog *> dialogs = m_main.window.findChildren<QDialog *>();
            if (std::ranges::any_of(dialogs, [](QDialog *dialog) {
                    return dialog->isVisible()
                        && (qobject_cast<frmProgress *>(dialog) || qobject_cast<frmReset *>(dialog));
                })) {
                ++m_samples;
                m_faults += m_main.enabledCommands() > 0 || QApplication::activeModalWidget() ? 1 : 0;
            }
        });
        m_timer.start(5);
    }

    // Afterwards the dialog is gone and every command is back.
    void verify() const
    {
        QVERIFY(m_samples > 0);
        QCOMPARE(m_faults, 0);
        QCOMPARE(m_main.enabledCommands(), 6);
        QVERIFY(m_main.window.findChildren<QDialog *>().isEmpty());
    }

private:
    MainWindow<ProgramDialogs> &m_main;
    int m_samples = 0;
    int m_faults = 0;
    QTimer m_timer;
};

} // namespace

class TestDownloadFlow : public QObject
{
    Q_OBJECT

private slots:
    void downloadAppendsTheReportAndOpensTagging();
    void resetNeverChangesTheDisplay();
    void shippedCapturesDecodeToTheirReports_data();
    void shippedCapturesDecodeToTheirReports();
    void demoSendsTheNextCaptureOnEachDownload();
    void saveWritesTheDisplayToATextFile();
};

void TestDownloadFlow::downloadAppendsTheReportAndOpensTagging()
{
    SimulatedHidBus bus;
    MainWindow<ProgramDialogs> main({ "EARLIER REPORT", "" }, bus);
    DialogAnswerer answerer;
    // Without an adapter only the error box appears, and the display and its markers stay as they were.
    answerer.expectMessageBox(QMessageBox::Ok);
    main.click("cmdDownload");
    verifyInitializationError(answerer.messageBoxes(), false);
    QCOMPARE(main.window.lstOutput().Lines(), (QStringList { "EARLIER REPORT", "" }));
    QCOMPARE(main.window.ReportStart(), 2);
    QCOMPARE(main.window.ReportEnd(), 2);

    answerWithCapture(bus, QStringLiteral("01-two-alarms"));
    CommandSampler sampler(main);
    QString serial;
    answerer.expectDialog([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmReportTagging"));
        // The report is already in the display when the tagging dialog opens.
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("txtSerialNo"));
        serial = field->isReadOnly() ? field->text() : QString();
        dialog->findChild<QLineEdit *>(QStringLiteral("txtUser"))->setText(QStringLiteral("J. Smith"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });

    main.click("cmdDownload");

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(serial, QStringLiteral("40213"));
    sampler.verify();
    // The report lands after the earlier lines, with its tag lines filled in by the tagging dialog.
    const QStringList shown = main.window.lstOutput().Lines();
    QStringList expected
        = QStringList { "EARLIER REPORT", "" } + referenceLines(QStringLiteral("01-two-alarms"));
    QCOMPARE(shown.size(), expected.size());
    const QRegularExpression stamp(
        QStringLiteral("^(Date: \\d\\d-[A-Z][a-z]{2}-\\d{4}|Time: \\d{1,2}:\\d\\d [AP]M)$"));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].startsWith(QStringLiteral("Date:"))
            || expected[i].startsWith(QStringLiteral("Time:"))) {
            QVERIFY2(stamp.match(shown[i]).hasMatch() && shown[i].left(5) == expected[i].left(5),
                qPrintable(shown[i]));
            expected[i] = shown[i];
        }
    }
    expected.replaceInStrings(
        QRegularExpression(QStringLiteral("^Serial #:.*")), QStringLiteral("Serial #: 40213"));
    expected.replaceInStrings(
        QRegularExpression(QStringLiteral("^User:.*")), QStringLiteral("User: J. Smith"));
    QCOMPARE(shown, expected);
    QCOMPARE(main.window.ReportStart(), 2);
    QCOMPARE(main.window.ReportEnd(), expected.size());
}

// The one run of the reset at its real values.
void TestDownloadFlow::resetNeverChangesTheDisplay()
{
    const QStringList before { "FIRST REPORT", "Date: 05-Dec-2026", "", "SECOND" };
    SimulatedHidBus bus;
    MainWindow<ProgramDialogs> main(before, bus, TransferTiming {});
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
    QCOMPARE(main.window.lstOutput().Lines(), before);
    QCOMPARE(main.window.ReportStart(), 0);
    QCOMPARE(main.window.ReportEnd(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    sampler.verify();
}

void TestDownloadFlow::shippedCapturesDecodeToTheirReports_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("errorCharacters");

    QTest::newRow("two alarms") << "01-two-alarms" << 0;
    QTest::newRow("no alarms") << "02-no-alarms" << 0;
    QTest::newRow("overload") << "03-overload" << 0;
    QTest::newRow("corrupted") << "04-corrupted" << 1;
}

void TestDownloadFlow::shippedCapturesDecodeToTheirReports()
{
    QFETCH(QString, name);
    QFETCH(int, errorCharacters);

    // The program embeds exactly the shipped captures, in name order.
    const QStringList shipped = QDir(QStringLiteral(LORIMET_RESOURCES_DIR "/captures"))
                                    .entryList({ "*.cap" }, QDir::Files, QDir::Name);
    QCOMPARE(DemoAdapter(QStringLiteral(":/captures")).captureNames(), shipped);
    QVERIFY(shipped.contains(name + QStringLiteral(".cap")));

    const CaptureParseResult capture = CaptureFile::read(captureFile(name));
    QVERIFY(!capture.error);
    // Every gap is shorter than the silence that ends a transfer, so each capture is one download.
    const QStringList lines = decodeCapturedTransfers(capture.reports, 1000ms);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines, referenceLines(name));
    QVERIFY(std::ranges::all_of(lines, [](const QString &line) { return line.size() == 24; }));
    QCOMPARE(lines.join(QString()).count(QChar(0x7F)), errorCharacters);
    for (const char *pattern : { "^   S/N: \\d+ *$", "^Date:", "^Time:", "^Serial #:", "^User:" })
        QCOMPARE(lines.filter(QRegularExpression(QString::fromLatin1(pattern))).size(), 1);
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
    MainWindow<DemoDialogs> main({}, directory.path());
    DialogAnswerer answerer;
    for (int i = 0; i < 3; ++i)
        answerer.expectDialog(
            [](QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click(); });

    // Neither the reset nor the further reads of a download use up a capture; after the last comes the first.
    for (const char *name : { "cmdDownload", "cmdResetDevice", "cmdDownload", "cmdDownload" })
        main.click(name);

    QCOMPARE(answerer.pendingCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(main.window.lstOutput().Lines(), (QStringList { "FIRST", "SECOND", "FIRST" }));
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
    MainWindow<ProgramDialogs> main({ "FIRST REPORT", "", "Date: 05-Dec-2026" }, bus);
    DialogAnswerer answerer;
    answerer.expectDialog([&main](QWidget *dialog) {
        QCOMPARE(dialog->parentWidget(), &main.window);
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
