#include <memory>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "app/history/frmHistory.h"
#include "app/mainwindow/DemoDialogs.h"
#include "app/mainwindow/DownloadArchive.h"
#include "app/mainwindow/ProgramDialogs.h"
#include "app/mainwindow/ReportDisplay.h"
#include "app/mainwindow/frmMain.h"
#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"
#include "app/transfer/frmProgress.h"
#include "app/transfer/frmReset.h"
#include "archive/ReportArchive.h"
#include "device/CaptureFile.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TransferTestSupport.h"

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
        int enabled = findChild<QAction *>("mnuHelpAbout")->isEnabled() ? 1 : 0;
        for (const char *name : { "cmdDownload", "cmdSave", "cmdClearReport", "cmdResetDevice", "cmdExit" })
            enabled += findChild<QPushButton *>(QLatin1String(name))->isEnabled() ? 1 : 0;
        return enabled;
    }
};

// An adapter that sends the shipped capture, replayed fast, for the first output report only.
// Closes the tagging dialog of a download without tags.
void cancelTagging(QWidget *tagging)
{
    tagging->findChild<QPushButton *>("cmdCancel")->click();
}

void answerWithCapture(SimulatedHidBus &bus, const char *name)
{
    auto inputs = std::make_shared<QList<SimulatedHidBus::ScheduledInput>>();
    CaptureError error;
    const QList<CapturedReport> capture
        = CaptureFile::read(QStringLiteral(LORIMET_RESOURCES_DIR "/captures/%1.cap").arg(name), &error)
              .value_or(QList<CapturedReport>());
    for (const CapturedReport &report : capture)
        inputs->append({ std::min<std::chrono::milliseconds>(report.delay, 2ms), report.bytes });
    bus.setOutputReportHandler(bus.addDevice(), [&bus, inputs](int id, const QByteArray &) {
        bus.scheduleInputReports(id, std::exchange(*inputs, {}));
    });
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

// The dialog's images ("img...") or stage labels ("lbl...") in the order of their rows.
QList<QLabel *> labels(QWidget *dialog, const char *prefix)
{
    return dialog->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^") + QLatin1String(prefix)));
}

// Writes down, in order, every time one of the dialog's images is shown ("+name") or hidden ("-name"), and
// when (milliseconds since the recorder was made).
class VisibilityRecorder : public QObject
{
public:
    explicit VisibilityRecorder(QWidget *dialog)
    {
        m_clock.start();
        for (QLabel *image : labels(dialog, "img"))
            image->installEventFilter(this);
    }
    [[nodiscard]] qint64 elapsed() const { return m_clock.elapsed(); }

    QStringList changes;
    QHash<QString, qint64> timeOf;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            changes.append(QLatin1String(event->type() == QEvent::Show ? "+" : "-") + watched->objectName());
            timeOf.insert(changes.last(), m_clock.elapsed());
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
};

// An adapter that answers the n-th output report with "PART n" and "END"; or one this user may not open.
// Returns the adapter's device number.
int plugIn(SimulatedHidBus &bus, const QString &adapter)
{
    SimulatedHidBus::DeviceSettings settings;
    if (adapter == "denied")
        settings.open = SimulatedHidBus::OpenBehaviour::AccessDenied;
    auto count = std::make_shared<int>(0);
    const int device = bus.addDevice(settings);
    bus.setOutputReportHandler(device, [&bus, count](int id, const QByteArray &) {
        const QByteArray part = "PART " + QByteArray::number(++*count);
        bus.scheduleInputReports(id, { { 5ms, lineReport(part) }, { 5ms, lineReport("END") } });
    });
    return device;
}

// A bus on which the first adapter search takes 300 ms.
struct SlowSearchBus : SimulatedHidBus
{
    [[nodiscard]] QList<HidInterface> enumerateInterfaces() override
    {
        if (!std::exchange(searched, true))
            QThread::msleep(700);
        return SimulatedHidBus::enumerateInterfaces();
    }

    bool searched = false;
};

// The fourth stage has no running phase: its arrow never appears.
const QStringList DownloadStages { "+imgConnect", "-imgConnect", "+imgCheckMark_0", "+imgInitiate",
    "-imgInitiate", "+imgCheckMark_1", "+imgReceive", "-imgReceive", "+imgCheckMark_2", "+imgCheckMark_3" };

} // namespace

class TestDownloadFlow : public QObject
{
    Q_OBJECT

private slots:
    // The transfer dialogs on their own.
    void transferDialogRuns_data();
    void transferDialogRuns();
    void downloadDialogAtItsRealTiming();

    // The whole program.
    void downloadAppendsTheReportAndOpensTagging();
    void resetNeverChangesTheDisplay();
    void demoSendsTheNextCaptureOnEachDownload();
    void downloadIsArchivedWithItsTags();
    void archiveFailureIsToldOnceAndTheDownloadStays();
    void siteAwayKeepsDownloadsHereWithOneQuietNote();
    void aDownloadOnOnePcShowsInTheOthersHistory();
    void twoProgramsOnOneArchiveKeepBothTaggedDownloads();
};

void TestDownloadFlow::downloadAppendsTheReportAndOpensTagging()
{
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, quickTiming());
    const QStringList earlier { "EARLIER REPORT", "" };
    MainWindow main(dialogs, earlier);
    DialogAnswerer answerer;
    // Without an adapter only the error box appears, and the display stays as it was.
    answerer.expectMessageBox(QMessageBox::Ok);
    main.click("cmdDownload");
    verifyInitializationError(answerer.messageBoxes(), false);
    QCOMPARE(main.lstOutput().Lines(), earlier);

    answerWithCapture(bus, "01-two-alarms");
    CommandSampler sampler(main);
    QStringList atTagging;
    answerer.expectDialog([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), "frmReportTagging");
        atTagging = main.lstOutput().Lines();
        cancelTagging(dialog);
    });

    main.click("cmdDownload");

    QCOMPARE(answerer.unanswered(), QStringList());
    // The whole report is in the display, after the earlier lines, when the tagging dialog opens.
    QCOMPARE(atTagging, earlier + referenceLines("01-two-alarms"));
    QVERIFY(sampler.samples > 0 && sampler.faults == 0);
}

// The one run of the reset at its real values.
void TestDownloadFlow::resetNeverChangesTheDisplay()
{
    const QStringList before { "FIRST REPORT", "Date: 05-Dec-2026", "", "SECOND" };
    SimulatedHidBus bus;
    ProgramDialogs dialogs(bus, TransferTiming {});
    MainWindow main(dialogs, before);
    // The adapter answers every output report with a stream of lines that stops after 40 ms.
    bus.respondWithCapture(bus.addDevice(), QList<CapturedReport>(20, { 2ms, lineReport("NOISE") }));
    CommandSampler sampler(main);
    DialogAnswerer answerer;
    QElapsedTimer elapsed;
    elapsed.start();

    main.click("cmdResetDevice");

    // Each read ends after 1 s of silence, by when the 1 s drain pause, counted from before the first
    // read, is over; then 2 s, and the two further reads.
    QVERIFY2(elapsed.elapsed() >= 3 * 1040 + 2000 && elapsed.elapsed() < 5600,
        qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(std::ranges::count(
                 bus.events(), SimulatedHidBus::EventKind::OutputReport, &SimulatedHidBus::BusEvent::kind),
        3);
    QCOMPARE(main.lstOutput().Lines(), before);
    QCOMPARE(answerer.unanswered(), QStringList());
    QVERIFY(sampler.samples > 0 && sampler.faults == 0);
}

void TestDownloadFlow::demoSendsTheNextCaptureOnEachDownload()
{
    // Loaded in name order; a broken capture is left out.
    QTemporaryDir directory;
    QVERIFY(CaptureFile::write(directory.filePath("2.cap"), { { 5ms, lineReport("SECOND") } }, {}, nullptr));
    QVERIFY(CaptureFile::write(directory.filePath("1.cap"), { { 5ms, lineReport("FIRST") } }, {}, nullptr));
    QFile broken(directory.filePath("15-broken.cap"));
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && broken.write("+5 00 41 0A\n") > 0);
    DemoDialogs dialogs(directory.path(), quickTiming());
    MainWindow main(dialogs, {});
    DialogAnswerer answerer;
    for (int i = 0; i < 3; ++i)
        answerer.expectDialog(cancelTagging);

    // Neither the reset nor the further reads of a download use up a capture; after the last comes the first.
    for (const char *name : { "cmdDownload", "cmdResetDevice", "cmdDownload", "cmdDownload" })
        main.click(name);

    QCOMPARE(answerer.unanswered(), QStringList());
    QCOMPARE(main.lstOutput().Lines(), (QStringList { "FIRST", "SECOND", "FIRST" }));
}

void TestDownloadFlow::downloadIsArchivedWithItsTags()
{
    QTemporaryDir folder;
    DownloadArchive archive(folder.filePath("archive.sqlite"), folder.filePath("settings.ini"));
    // Saved as text from the History, through the program's own Save options.
    const QString saved = folder.filePath("saved.txt");
    APICommonDialog::setDialogRunner([&](auto, const auto &, QWidget *) { return saved; });
    DocumentViewer::setOpener([](const QUrl &) { return true; });
    SimulatedHidBus bus;
    answerWithCapture(bus, "01-two-alarms");
    ProgramDialogs dialogs(bus, quickTiming());
    MainWindow main(dialogs, {});
    main.setArchive(&archive);
    DialogAnswerer answerer;
    answerer.expectDialog([](QWidget *tagging) {
        auto *user = tagging->findChild<QLineEdit *>("txtUser");
        user->setText("R. Okafor");
        tagging->findChild<QPushButton *>("cmdOK")->click();
    });
    main.click("cmdDownload");
    const QStringList downloaded = main.lstOutput().Lines();

    int listed = 0;
    QStringList row;
    int alarms = 0;
    QString firstBegan;
    answerer.expectDialog([&](QWidget *history) {
        auto *downloads = history->findChild<QTableView *>("tblDownloads");
        QTRY_VERIFY(qobject_cast<frmHistory *>(history)->isIdle() && downloads->model()->rowCount() > 0);
        listed = downloads->model()->rowCount();
        for (int column = 1; column < downloads->model()->columnCount(); ++column)
            row.append(downloads->model()->index(0, column).data().toString());
        downloads->selectRow(0);
        auto *alarmView = history->findChild<QTableView *>("tblAlarms");
        QTRY_VERIFY(alarmView->model()->rowCount() > 0);
        alarms = alarmView->model()->rowCount();
        firstBegan = alarmView->model()->index(0, 0).data().toString();
        history->findChild<QPushButton *>("cmdPutOnDisplay")->click();
        history->findChild<QPushButton *>("cmdSave")->click();
        history->findChild<QPushButton *>("cmdClose")->click();
    });
    answerer.expectDialog([](QWidget *save) { save->findChild<QPushButton *>("cmdOK")->click(); });
    main.findChild<QAction *>("mnuHistory")->trigger();
    APICommonDialog::setDialogRunner({});
    DocumentViewer::setOpener({});

    QCOMPARE(answerer.unanswered(), QStringList());
    // Listed with its tags: the user without the dots the tag lines drop, and its two alarms.
    QCOMPARE(listed, 1);
    QCOMPARE(row.mid(1), (QStringList { "40213", "R Okafor", "2", "38 ppm H2S" }));
    QCOMPARE(row.first(), QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm"));
    QCOMPARE(alarms, 2);
    QVERIFY(!firstBegan.isEmpty());
    // Put back on the display as a download: the same lines again, marked as the newest report.
    QCOMPARE(main.lstOutput().Lines(), downloaded + downloaded);
    QCOMPARE(main.ReportStart(), downloaded.size());
    QCOMPARE(main.ReportEnd(), 2 * downloaded.size());
    QCOMPARE(main.lstOutput().currentIndex().row(), 2 * downloaded.size() - 1);
    QCOMPARE(readBytes(saved), (downloaded.join("\r\n") + "\r\n").toLatin1());
}

void TestDownloadFlow::archiveFailureIsToldOnceAndTheDownloadStays()
{
    QTemporaryDir folder;
    const QString foreign = folder.filePath("notes.txt");
    const QByteArray notes("not an archive\n");
    QVERIFY(writeBytes(foreign, notes));
    DownloadArchive archive(foreign, folder.filePath("settings.ini"));
    DemoDialogs dialogs(QStringLiteral(LORIMET_RESOURCES_DIR "/captures"), quickTiming());
    MainWindow main(dialogs, {});
    main.setArchive(&archive);
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    answerer.expectDialog(cancelTagging);
    answerer.expectDialog(cancelTagging);

    main.click("cmdDownload");
    main.click("cmdDownload");

    QCOMPARE(answerer.unanswered(), QStringList());
    QCOMPARE(answerer.messageBoxes().size(), 1);
    QVERIFY(answerer.messageBoxes().first().text.contains(foreign));
    QCOMPARE(main.lstOutput().Lines(), referenceLines("01-two-alarms") + referenceLines("02-no-alarms"));
    QCOMPARE(readBytes(foreign), notes);
}

void TestDownloadFlow::siteAwayKeepsDownloadsHereWithOneQuietNote()
{
    QTemporaryDir folder;
    const QString local = folder.filePath("archive.sqlite");
    const QString settings = folder.filePath("settings.ini");
    // Nothing listens on port 1: the site is away at once.
    const QString site = "postgresql://storer@127.0.0.1:1/site";
    // An earlier version kept a password in the URL, in a file that everyone could read.
    QVERIFY(writeBytes(settings, "[General]\nsiteArchive=" + site.toUtf8() + "?password=Secret-9\n"));
    QVERIFY(QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(DownloadArchive(local, settings).siteLocation().startsWith(site));
    QVERIFY(!readBytes(settings).contains("Secret-9"));
    QVERIFY(!(QFile::permissions(settings) & (QFile::ReadGroup | QFile::ReadOther)));
    QString error;
    QVERIFY2(DownloadArchive(local, settings).setSiteLocation(site, &error), qPrintable(error));
    DownloadArchive archive(local, settings);
    QCOMPARE(archive.siteLocation(), site);
    DemoDialogs dialogs(QStringLiteral(LORIMET_RESOURCES_DIR "/captures"), quickTiming());
    MainWindow main(dialogs, {});
    main.setArchive(&archive);
    DialogAnswerer answerer;
    const auto notes = [] {
        QList<QMessageBox *> boxes;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "msgSiteAway" && widget->isVisible())
                boxes.append(qobject_cast<QMessageBox *>(widget));
        }
        return boxes;
    };

    for (int download = 0; download < 2; ++download) {
        answerer.expectDialog(cancelTagging);
        main.click("cmdDownload");
        QTRY_VERIFY(!archive.isSending());
    }

    QCOMPARE(answerer.unanswered(), QStringList());
    QCOMPARE(notes().size(), 1);
    QVERIFY(notes().first()->text().contains("kept on this PC; will be sent to the site archive"));
    ReportArchive kept;
    QVERIFY(kept.open(local, ReportArchive::Access::ReadOnly, &error));
    QCOMPARE(kept.waitingForSite(site, &error)->size(), 2);
    notes().first()->close();
}

void TestDownloadFlow::aDownloadOnOnePcShowsInTheOthersHistory()
{
    PostgresServer server;
    QString error;
    QVERIFY2(server.start(&error) && server.createDatabase("site", &error), qPrintable(error));
    QTemporaryDir first;
    QTemporaryDir second;
    const auto pc = [&](const QTemporaryDir &folder) {
        auto archive = std::make_unique<DownloadArchive>(
            folder.filePath("archive.sqlite"), folder.filePath("settings.ini"));
        return archive->setSiteLocation(server.url("site"), &error) ? std::move(archive) : nullptr;
    };
    const std::unique_ptr<DownloadArchive> archiveA = pc(first);
    // B gives a server up when it has not answered for two seconds.
    QVERIFY(writeBytes(second.filePath("settings.ini"), "[General]\nsiteTimeoutSeconds=2\n"));
    const std::unique_ptr<DownloadArchive> archiveB = pc(second);
    QVERIFY2(archiveA && archiveB, qPrintable(error));
    DemoDialogs dialogs(QStringLiteral(LORIMET_RESOURCES_DIR "/captures"), quickTiming());
    MainWindow pcA(dialogs, {});
    pcA.setArchive(archiveA.get());
    MainWindow pcB(dialogs, {});
    pcB.setArchive(archiveB.get());
    DialogAnswerer answerer;
    answerer.expectDialog([](QWidget *tagging) {
        tagging->findChild<QLineEdit *>("txtUser")->setText("On A");
        tagging->findChild<QPushButton *>("cmdOK")->click();
    });
    pcA.click("cmdDownload");
    QTRY_VERIFY(!archiveA->isSending());

    QStringList users;
    QString title;
    answerer.expectDialog([&](QWidget *history) {
        const QAbstractItemModel *downloads = history->findChild<QTableView *>("tblDownloads")->model();
        QTRY_VERIFY(qobject_cast<frmHistory *>(history)->isIdle() && downloads->rowCount() > 0);
        title = history->windowTitle();
        for (int row = 0; row < downloads->rowCount(); ++row)
            users.append(downloads->index(row, 3).data().toString());
        history->findChild<QPushButton *>("cmdClose")->click();
    });
    pcB.findChild<QAction *>("mnuHistory")->trigger();

    QCOMPARE(answerer.unanswered(), QStringList());
    QVERIFY2(title.endsWith(server.url("site")), qPrintable(title));
    QCOMPARE(users, QStringList { "On A" });

    // A server that stops answering: the window goes on taking input and says that it waits, then tells
    // that the server did not answer.
    auto thaw = qScopeGuard([&server] {
        QString ignored;
        (void)server.freeze(false, &ignored);
    });
    QString waiting;
    QString told;
    answerer.expectDialog([&](QWidget *history) {
        auto *window = qobject_cast<frmHistory *>(history);
        QTRY_VERIFY(window->isIdle());
        QVERIFY2(server.freeze(true, &error), qPrintable(error));
        QTest::keyClicks(history->findChild<QLineEdit *>("txtUser"), "On");
        auto *status = history->findChild<QLabel *>("lblStatus");
        QTRY_VERIFY((waiting = status->text()).contains("not answered yet"));
        QTRY_VERIFY(window->isIdle());
        told = status->text();
        history->findChild<QPushButton *>("cmdClose")->click();
    });
    pcB.findChild<QAction *>("mnuHistory")->trigger();
    QCOMPARE(answerer.unanswered(), QStringList());
    QCOMPARE(waiting, "The archive has not answered yet; waiting for it up to 2 s.");
    QVERIFY2(told.contains("did not answer within 2 s"), qPrintable(told));
}

// Two programs download the same detector into one archive and tag it each in turn: both tagged
// downloads are kept, whoever tags first.
void TestDownloadFlow::twoProgramsOnOneArchiveKeepBothTaggedDownloads()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("archive.sqlite");
    const QStringList arrived = referenceLines("01-two-alarms");
    const auto taggedBy = [&arrived](const QString &user) {
        QStringList lines = arrived;
        for (QString &line : lines) {
            if (line.startsWith("User:"))
                line = "User: " + user;
        }
        return lines;
    };
    DownloadArchive first(path, folder.filePath("first.ini"));
    DownloadArchive second(path, folder.filePath("second.ini"));
    first.downloadKept(nullptr, arrived);
    second.downloadKept(nullptr, arrived);
    second.tagsWritten(nullptr, taggedBy("B. Ito"));
    first.tagsWritten(nullptr, taggedBy("A. Reyes"));

    ReportArchive archive;
    QString error;
    QVERIFY(archive.open(path, ReportArchive::Access::ReadOnly, &error));
    // The first to store keeps the row it stored; the other's tags went into a row of its own.
    QMap<qint64, QString> users;
    for (const ArchivedDownload &download : archive.downloads({}, &error).value_or(QList<ArchivedDownload>()))
        users.insert(download.id, download.user);
    QCOMPARE(users.values(), QStringList({ "A Reyes", "B Ito" }));
}

void TestDownloadFlow::transferDialogRuns_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<int>("cycles");

    // The transfer and the two further cycles each get one answer; once the adapter is unplugged
    // the further opens fail silently, and an adapter that cannot be opened stops everything at once.
    QTest::newRow("download") << false << "answers" << 3;
    QTest::newRow("download, unplugged after reading") << false << "unplugs" << 1;
    QTest::newRow("download, access denied") << false << "denied" << 0;
    QTest::newRow("reset") << true << "answers" << 3;
    QTest::newRow("reset, access denied") << true << "denied" << 0;
}

void TestDownloadFlow::transferDialogRuns()
{
    QFETCH(bool, reset);
    QFETCH(QString, adapter);
    QFETCH(int, cycles);

    SimulatedHidBus bus;
    const int device = plugIn(bus, adapter);
    RecordingList list;
    list.lines = QStringList { "EARLIER" };
    // Pulled out once its answer is on the display, however slowly the machine runs.
    if (adapter == "unplugs") {
        list.onAdd = [&](qsizetype) {
            if (list.lines.last() == "END")
                bus.unplug(device);
        };
    }
    DialogAnswerer answerer;
    if (cycles == 0)
        answerer.expectMessageBox(QMessageBox::Ok);
    const std::unique_ptr<QDialog> dialog = reset
        ? std::unique_ptr<QDialog>(std::make_unique<frmReset>(bus, quickTiming()))
        : std::make_unique<frmProgress>(bus, list, quickTiming());
    VisibilityRecorder recorder(dialog.get());
    // Escape and the close button do nothing while the dialog works.
    bool closed = false;
    QTimer::singleShot(20, dialog.get(), [&dialog, &closed] {
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        closed = dialog->close() || !dialog->isVisible();
    });

    dialog->show();

    QCOMPARE(dialog->windowTitle(), reset ? "Device Status" : "Data Transfer Status");
    QStringList stageTexts;
    for (const QLabel *label : labels(dialog.get(), "lbl"))
        stageTexts.append(label->text());
    // A download's lines follow the earlier ones, each cycle's after the one before.
    QStringList lines { "EARLIER" };
    for (int cycle = 1; cycle <= cycles && !reset; ++cycle)
        lines << QStringLiteral("PART %1").arg(cycle) << "END";
    QCOMPARE(list.lines, lines);
    // A failed start leaves the first row running and every text as it was.
    QStringList stages { reset ? "+imgReset" : "+imgConnect" };
    QStringList texts = reset
        ? QStringList { "Resetting Lorimet Data Adapter..." }
        : QStringList { "Connecting To Lorimet Adapter ...", "Initiating Data Transfer ...",
              "Receiving Lorimet Adapter Data ...", "Data Transfer Complete" };
    if (cycles > 0) {
        stages = reset ? QStringList { "+imgReset", "-imgReset", "+imgCheckMark_0" } : DownloadStages;
        texts = reset ? QStringList { "Lorimet Adapter reset complete" }
                      : QStringList { "Connected To Lorimet Adapter", "Data Transfer Initiated",
                            "Lorimet Adapter Data Received", "Data Transfer Complete" };
        QVERIFY(answerer.messageBoxes().isEmpty());
    } else {
        verifyInitializationError(answerer.messageBoxes(), true);
    }
    QCOMPARE(recorder.changes, stages);
    QCOMPARE(stageTexts, texts);
    QVERIFY(!closed);
    QCOMPARE(bus.openHandleCount(), 0);
    QCOMPARE(answerer.unanswered(), QStringList());
}

// The one run of the download at its real values.
void TestDownloadFlow::downloadDialogAtItsRealTiming()
{
    SlowSearchBus bus;
    bus.respondWithCapture(bus.addDevice(), { { 5ms, lineReport("REPORT") } });
    RecordingList list;
    frmProgress dialog(bus, list, TransferTiming {});
    VisibilityRecorder recorder(&dialog);

    dialog.show();

    // The first row is done 2 s after the search began, however long the search took; after the read, 2 s
    // more and two further reads, each ended by 1 s of silence after its line.
    const qint64 connected = recorder.timeOf["+imgCheckMark_0"] - recorder.timeOf["+imgConnect"];
    QVERIFY2(connected >= 2000 && connected < 2400, qPrintable(QString::number(connected)));
    const qint64 total = recorder.timeOf["+imgCheckMark_3"] + 2000 + 2 * 1005;
    QVERIFY2(recorder.elapsed() >= total && recorder.elapsed() < total + 600,
        qPrintable(QString::number(recorder.elapsed())));
    QCOMPARE(list.lines, QStringList(3, "REPORT"));
}

QTEST_MAIN(TestDownloadFlow)
#include "tst_downloadflow.moc"
