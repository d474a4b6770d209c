#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "TransferTestSupport.h"
#include "frmProgress.h"
#include "frmReset.h"

namespace {

// "none", or an adapter that answers the n-th output report with "PART n" and "END"; "unplugs" is then
// pulled out right after that, "other product", "fails" and "denied" cannot be opened at all.
void plugIn(SimulatedHidBus &bus, const QString &adapter)
{
    if (adapter == QStringLiteral("none"))
        return;
    SimulatedHidBus::DeviceSettings settings;
    settings.productId = adapter == QStringLiteral("other product") ? 0x0001 : settings.productId;
    settings.open = adapter == QStringLiteral("fails") ? SimulatedHidBus::OpenBehaviour::Fails
        : adapter == QStringLiteral("denied")          ? SimulatedHidBus::OpenBehaviour::AccessDenied
                                                       : SimulatedHidBus::OpenBehaviour::Opens;
    auto count = std::make_shared<int>(0);
    bus.setOutputReportHandler(bus.addDevice(settings),
        [&bus, count, unplugs = adapter == QStringLiteral("unplugs")](int id, const QByteArray &) {
            const QByteArray part = "PART " + QByteArray::number(++*count);
            bus.scheduleInputReports(id, { { 5ms, lineReport(part) }, { 5ms, lineReport("END") } });
            if (unplugs)
                bus.scheduleUnplug(id, 40ms);
        });
}

std::unique_ptr<QDialog> makeDialog(
    bool reset, SimulatedHidBus &bus, OutputList &list, const TransferTiming &timing)
{
    if (reset)
        return std::make_unique<frmReset>(bus, timing);
    return std::make_unique<frmProgress>(bus, list, timing);
}

// The dialog's images ("img...") or stage labels ("lbl...") in the order of their rows.
QList<QLabel *> labels(QWidget *dialog, const char *prefix)
{
    return dialog->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^") + QLatin1String(prefix)));
}

// Shows the dialog, which runs its whole transfer inside the show request, recording every image change.
void run(QDialog &dialog, VisibilityRecorder &recorder)
{
    for (QLabel *image : labels(&dialog, "img"))
        recorder.watch(image);
    dialog.show();
}

QStringList stageTexts(QWidget *dialog)
{
    QStringList texts;
    for (const QLabel *label : labels(dialog, "lbl"))
        texts.append(label->text());
    return texts;
}

const QStringList DownloadStarted { "Connecting To Lorimet Adapter ...", "Initiating Data Transfer ...",
    "Receiving Lorimet Adapter Data ...", "Data Transfer Complete" };
const QStringList DownloadDone { "Connected To Lorimet Adapter", "Data Transfer Initiated",
    "Lorimet Adapter Data Received", "Data Transfer Complete" };
const QStringList ResetStarted { "Resetting Lorimet Data Adapter..." };
const QStringList ResetDone { "Lorimet Adapter reset complete" };
// The fourth stage has no running phase: its arrow never appears.
const QStringList DownloadStages { "+imgConnect", "-imgConnect", "+imgCheckMark_0", "+imgInitiate",
    "-imgInitiate", "+imgCheckMark_1", "+imgReceive", "-imgReceive", "+imgCheckMark_2", "+imgCheckMark_3" };
const QStringList ResetStages { "+imgReset", "-imgReset", "+imgCheckMark_0" };

} // namespace

class TestTransferDialogs : public QObject
{
    Q_OBJECT

private slots:
    void looksAsDesigned_data();
    void looksAsDesigned();
    void runs_data();
    void runs();
    void pauseEndsAtTheFirstReadingPastTheDeadline_data();
    void pauseEndsAtTheFirstReadingPastTheDeadline();
    void slowSearchEndsTheFirstPauseAtOnce();
    void escapeAndCloseDoNotStopTheTransfer();
    void realTiming();
};

void TestTransferDialogs::looksAsDesigned_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("arrows");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("download") << false << "Data Transfer Status"
                              << QStringList { "imgConnect", "imgInitiate", "imgReceive", "imgFinish" }
                              << DownloadStarted;
    QTest::newRow("reset") << true << "Device Status" << QStringList { "imgReset" } << ResetStarted;
}

void TestTransferDialogs::looksAsDesigned()
{
    QFETCH(bool, reset);
    QFETCH(QString, caption);
    QFETCH(QStringList, arrows);
    QFETCH(QStringList, texts);

    SimulatedHidBus bus;
    RecordingList list;
    const auto dialog = makeDialog(reset, bus, list, quickTiming());
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(stageTexts(dialog.get()), texts);
    // Twips at 15 to the pixel: rows 360 twips apart, and the frame grows with them.
    const int frameHeight = 49 + 24 * static_cast<int>(arrows.size() - 1);
    QCOMPARE(dialog->size(), QSize(273, frameHeight + 10));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!dialog->isModal());
    QCOMPARE(
        dialog->findChild<QGroupBox *>(QStringLiteral("fraMain"))->geometry(), QRect(8, 2, 257, frameHeight));

    const QImage arrowImage = dialog->findChild<QLabel *>(arrows.first())->pixmap().toImage();
    const QImage tickImage
        = dialog->findChild<QLabel *>(QStringLiteral("imgCheckMark_0"))->pixmap().toImage();
    QCOMPARE(arrowImage.size(), QSize(16, 16));
    QVERIFY(arrowImage != tickImage);
    for (int row = 0; row < arrows.size(); ++row) {
        const int top = 20 + 24 * row;
        const QLabel *arrow = dialog->findChild<QLabel *>(arrows.at(row));
        const QLabel *tick = dialog->findChild<QLabel *>(QStringLiteral("imgCheckMark_%1").arg(row));
        const QLabel *text = labels(dialog.get(), "lbl").at(row);
        QCOMPARE(arrow->geometry(), QRect(12, top, 16, 16));
        QCOMPARE(tick->geometry(), QRect(10, top, 16, 16));
        QCOMPARE(text->geometry(), QRect(34, top, 211, 13));
        QCOMPARE(arrow->isVisibleTo(dialog.get()), row == 0);
        QVERIFY(!tick->isVisibleTo(dialog.get()));
        QCOMPARE(arrow->pixmap().toImage(), arrowImage);
        QCOMPARE(tick->pixmap().toImage(), tickImage);
        QCOMPARE(text->font().family(), QStringLiteral("Arial"));
        QCOMPARE(text->font().pointSizeF(), 8.25);
        QVERIFY(text->font().bold());
        QCOMPARE(text->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
    }
}

void TestTransferDialogs::runs_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("outputReports");
    QTest::addColumn<int>("errorBoxes");

    // One output report for the download and one for each further cycle, whose lines come after it. Once
    // unplugged, the further opens fail: they neither add lines nor show anything.
    const QStringList kept { "EARLIER" };
    QTest::newRow("download") << false << "answers"
                              << kept + QStringList { "PART 1", "END", "PART 2", "END", "PART 3", "END" }
                              << DownloadStages << DownloadDone << 3 << 0;
    QTest::newRow("download, unplugged after reading")
        << false << "unplugs" << kept + QStringList { "PART 1", "END" } << DownloadStages << DownloadDone << 1
        << 0;
    for (const char *adapter : { "none", "other product", "fails", "denied" }) {
        QTest::addRow("download, %s", adapter)
            << false << adapter << kept << QStringList { "+imgConnect" } << DownloadStarted << 0 << 1;
    }
    QTest::newRow("reset") << true << "answers" << kept << ResetStages << ResetDone << 3 << 0;
    QTest::newRow("reset, unplugged after reading")
        << true << "unplugs" << kept << ResetStages << ResetDone << 1 << 0;
    for (const char *adapter : { "none", "denied" })
        QTest::addRow("reset, %s", adapter)
            << true << adapter << kept << QStringList { "+imgReset" } << ResetStarted << 0 << 1;
}

void TestTransferDialogs::runs()
{
    QFETCH(bool, reset);
    QFETCH(QString, adapter);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, changes);
    QFETCH(QStringList, texts);
    QFETCH(int, outputReports);
    QFETCH(int, errorBoxes);

    SimulatedHidBus bus;
    plugIn(bus, adapter);
    RecordingList list;
    list.lines = QStringList { QStringLiteral("EARLIER") };
    DialogAnswerer answerer;
    if (errorBoxes > 0)
        answerer.expectMessageBox(QMessageBox::Ok);
    VisibilityRecorder recorder;

    const auto dialog = makeDialog(reset, bus, list, quickTiming());
    run(*dialog, recorder);

    QCOMPARE(list.lines, lines);
    QCOMPARE(list.selected, lines.size() > 1 ? lines.size() - 1 : -1);
    QCOMPARE(recorder.changes, changes);
    QCOMPARE(stageTexts(dialog.get()), texts);
    QCOMPARE(outputReportCount(bus), outputReports);
    QCOMPARE(bus.openHandleCount(), 0);
    QCOMPARE(answerer.messageBoxes().size(), errorBoxes);
    if (errorBoxes > 0)
        verifyInitializationError(answerer.messageBoxes(), adapter == QStringLiteral("denied"));
    QVERIFY(answerer.unexpected().isEmpty());
}

void TestTransferDialogs::pauseEndsAtTheFirstReadingPastTheDeadline_data()
{
    QTest::addColumn<int>("alreadyElapsedMs");
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<int>("readings");

    // The start is taken before a search that may itself use part of the 2 s pause, or all of it.
    QTest::newRow("fresh start") << 0 << 250 << 9;
    QTest::newRow("search used half") << 1000 << 250 << 5;
    QTest::newRow("search took longer") << 3500 << 250 << 1;
    QTest::newRow("uneven steps") << 500 << 400 << 5;
}

void TestTransferDialogs::pauseEndsAtTheFirstReadingPastTheDeadline()
{
    QFETCH(int, alreadyElapsedMs);
    QFETCH(int, stepMs);
    QFETCH(int, readings);

    // Only the given clock counts, moving on by a fixed step each time it is read.
    using TimePoint = std::chrono::steady_clock::time_point;
    const TimePoint start { std::chrono::hours(24 * 3) };
    TimePoint now = start + std::chrono::milliseconds(alreadyElapsedMs);
    QList<TimePoint> seen;
    const MonotonicClock clock = [&] {
        seen.append(now);
        now += std::chrono::milliseconds(stepMs);
        return seen.last();
    };

    QElapsedTimer real;
    real.start();
    pauseSince(clock, start, 2000ms);

    QCOMPARE(seen.size(), readings);
    QVERIFY(seen.last() >= start + 2000ms);
    QVERIFY(std::all_of(seen.begin(), seen.end() - 1, [&](TimePoint t) { return t < start + 2000ms; }));
    QVERIFY(readings > 1 || real.elapsed() < 50);
}

void TestTransferDialogs::slowSearchEndsTheFirstPauseAtOnce()
{
    SimulatedHidBus bus;
    bus.addDevice();
    RecordingList list;
    TransferTiming timing = quickTiming();
    timing.connectPause = 2000ms;
    // The first reading is the start time; every later one comes after a search of 2.5 s.
    auto readings = std::make_shared<int>(0);
    timing.clock
        = [readings] { return std::chrono::steady_clock::now() + ((*readings)++ == 0 ? 0ms : 2500ms); };
    QElapsedTimer elapsed;
    elapsed.start();
    frmProgress dialog(bus, list, timing);

    dialog.show();

    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("imgCheckMark_3"))->isVisible());
    QVERIFY2(elapsed.elapsed() < 1500, qPrintable(QString::number(elapsed.elapsed())));
}

void TestTransferDialogs::escapeAndCloseDoNotStopTheTransfer()
{
    SimulatedHidBus bus;
    answerOutputReports(bus, bus.addDevice(), [](int) { return Inputs { { 100ms, lineReport("LATE") } }; });
    RecordingList list;
    frmProgress dialog(bus, list, quickTiming());
    bool stillVisible = true;
    QTimer::singleShot(20, &dialog, [&dialog, &stillVisible] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        stillVisible = dialog.isVisible();
    });

    dialog.show();

    QVERIFY(stillVisible);
    QCOMPARE(list.lines, QStringList(3, QStringLiteral("LATE")));
}

// The one run of the download at its real values.
void TestTransferDialogs::realTiming()
{
    SimulatedHidBus bus;
    answerOutputReports(bus, bus.addDevice(), [](int n) {
        return n == 1 ? Inputs { { 300ms, lineReport("REPORT") } } : Inputs();
    });
    RecordingList list;
    VisibilityRecorder recorder;
    frmProgress dialog(bus, list, TransferTiming {});

    run(dialog, recorder);

    // The first row is done 2 s after the search began; the report arrives 300 ms after the request and
    // 1 s of silence ends the read; then 2 s more, and two further reads of 1 s each.
    const qint64 connected = recorder.timeOf("+imgCheckMark_0") - recorder.timeOf("+imgConnect");
    QVERIFY2(connected >= 2000 && connected < 2200, qPrintable(QString::number(connected)));
    const qint64 received = recorder.timeOf("+imgCheckMark_2") - recorder.timeOf("+imgReceive");
    QVERIFY2(received >= 1300 && received < 1500, qPrintable(QString::number(received)));
    const qint64 total = recorder.timeOf("+imgCheckMark_3") + 2000 + 2 * 1000;
    QVERIFY2(recorder.elapsed() >= total && recorder.elapsed() < total + 400,
        qPrintable(QString::number(recorder.elapsed())));
    QCOMPARE(list.lines, QStringList { QStringLiteral("REPORT") });
}

QTEST_MAIN(TestTransferDialogs)
#include "tst_transferdialogs.moc"
