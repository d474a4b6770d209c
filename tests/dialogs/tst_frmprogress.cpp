#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "DialogAnswerer.h"
#include "TransferTestSupport.h"
#include "frmProgress.h"

namespace {

const QStringList ArrowNames { QStringLiteral("imgConnect"), QStringLiteral("imgInitiate"),
    QStringLiteral("imgReceive"), QStringLiteral("imgFinish") };

QLabel *child(QWidget *dialog, const QString &name)
{
    return dialog->findChild<QLabel *>(name);
}

QString checkMark(int index)
{
    return QStringLiteral("imgCheckMark_%1").arg(index);
}

// Runs one download dialog to its end, as the main window's Download command does.
void runDownload(SimulatedHidBus &bus, OutputList &list, const TransferTiming &timing,
    VisibilityRecorder *recorder = nullptr)
{
    frmProgress dialog(bus, list, timing);
    if (recorder) {
        for (const QString &name : ArrowNames)
            recorder->watch(child(&dialog, name));
        for (int index = 0; index < 4; ++index)
            recorder->watch(child(&dialog, checkMark(index)));
    }
    dialog.show();
    if (recorder)
        recorder->stop();
}

} // namespace

class TestFrmProgress : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void frameAndLabels();
    void downloadAppendsTheReportAndFinishesEveryStage();
    void initializationFailureShowsOnlyTheErrorBox_data();
    void initializationFailureShowsOnlyTheErrorBox();
    void unplugAfterOpeningStillFinishesEveryStage();
    void linesOfTheFurtherReadsComeAfterTheFirstOnes();
    void arrowsShowExactlyWhileTheirStageRuns();
    void slowSearchEndsTheFirstPauseAtOnce();
    void escapeAndCloseDoNotStopTheTransfer();
    void realTiming();
};

void TestFrmProgress::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("visibleAtStart");
    QTest::addColumn<QString>("text");

    // Twips within the frame, 15 to the pixel.
    QTest::newRow("arrow 1") << "imgConnect" << QRect(12, 20, 16, 16) << true << QString();
    QTest::newRow("arrow 2") << "imgInitiate" << QRect(12, 44, 16, 16) << false << QString();
    QTest::newRow("arrow 3") << "imgReceive" << QRect(12, 68, 16, 16) << false << QString();
    QTest::newRow("arrow 4") << "imgFinish" << QRect(12, 92, 16, 16) << false << QString();
    for (int index = 0; index < 4; ++index) {
        QTest::addRow("check mark %d", index)
            << checkMark(index) << QRect(10, 20 + 24 * index, 16, 16) << false << QString();
    }
    QTest::newRow("label 1") << "lblConnect" << QRect(34, 20, 211, 13) << true
                             << "Connecting To Lorimet Adapter ...";
    QTest::newRow("label 2") << "lblInitiate" << QRect(34, 44, 211, 13) << true
                             << "Initiating Data Transfer ...";
    QTest::newRow("label 3") << "lblReceive" << QRect(34, 68, 211, 13) << true
                             << "Receiving Lorimet Adapter Data ...";
    QTest::newRow("label 4") << "lblComplete" << QRect(34, 92, 211, 13) << true << "Data Transfer Complete";
}

void TestFrmProgress::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, visibleAtStart);
    QFETCH(QString, text);

    SimulatedHidBus bus;
    RecordingList list;
    frmProgress dialog(bus, list, quickTiming());
    QLabel *label = child(&dialog, name);
    QVERIFY(label);
    QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("fraMain"));
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->isVisibleTo(&dialog), visibleAtStart);
    if (text.isEmpty())
        QCOMPARE(label->pixmap().size(), QSize(16, 16));
    else
        QCOMPARE(label->text(), text);
}

void TestFrmProgress::frameAndLabels()
{
    SimulatedHidBus bus;
    RecordingList list;
    frmProgress dialog(bus, list, quickTiming());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Data Transfer Status"));
    QCOMPARE(dialog.size(), QSize(273, 131));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!dialog.isModal());
    auto *frame = dialog.findChild<QGroupBox *>(QStringLiteral("fraMain"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(8, 2, 257, 121));
    QVERIFY(frame->title().isEmpty());

    // Every arrow shows one picture and every check mark another.
    const QImage arrow = child(&dialog, ArrowNames.first())->pixmap().toImage();
    const QImage tick = child(&dialog, checkMark(0))->pixmap().toImage();
    QVERIFY(arrow != tick);
    for (const QString &name : ArrowNames)
        QCOMPARE(child(&dialog, name)->pixmap().toImage(), arrow);
    for (int index = 1; index < 4; ++index)
        QCOMPARE(child(&dialog, checkMark(index))->pixmap().toImage(), tick);

    for (const char *name : { "lblConnect", "lblInitiate", "lblReceive", "lblComplete" }) {
        const QLabel *label = child(&dialog, name);
        QCOMPARE(label->font().family(), QStringLiteral("Arial"));
        QCOMPARE(label->font().pointSizeF(), 8.25);
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
    }
}

void TestFrmProgress::downloadAppendsTheReportAndFinishesEveryStage()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    const auto capture = fastCapture(QStringLiteral("01-two-alarms"));
    answerOutputReports(bus, device,
        [capture](int n) { return n == 1 ? capture : QList<SimulatedHidBus::ScheduledInput>(); });
    RecordingList list;
    list.lines = QStringList { QStringLiteral("earlier report line"), QString() };
    DialogAnswerer answerer;

    frmProgress dialog(bus, list, quickTiming());
    dialog.show();

    const QStringList expected = QStringList { QStringLiteral("earlier report line"), QString() }
        + referenceLines(QStringLiteral("01-two-alarms"));
    QCOMPARE(list.lines, expected);
    QCOMPARE(list.selected, expected.size() - 1);
    for (int index = 0; index < 4; ++index)
        QVERIFY(child(&dialog, checkMark(index))->isVisible());
    for (const QString &name : ArrowNames)
        QVERIFY(!child(&dialog, name)->isVisible());
    QCOMPARE(child(&dialog, "lblConnect")->text(), QStringLiteral("Connected To Lorimet Adapter"));
    QCOMPARE(child(&dialog, "lblInitiate")->text(), QStringLiteral("Data Transfer Initiated"));
    QCOMPARE(child(&dialog, "lblReceive")->text(), QStringLiteral("Lorimet Adapter Data Received"));
    QCOMPARE(child(&dialog, "lblComplete")->text(), QStringLiteral("Data Transfer Complete"));
    QVERIFY(answerer.unexpected().isEmpty());
    // One output report for the download and one for each further cycle; everything is closed again.
    QCOMPARE(outputReportCount(bus), 3);
    QCOMPARE(bus.openHandleCount(), 0);
}

void TestFrmProgress::initializationFailureShowsOnlyTheErrorBox_data()
{
    QTest::addColumn<FailingAdapter>("adapter");
    QTest::addColumn<bool>("withHint");

    QTest::newRow("nothing plugged in") << FailingAdapter::None << false;
    QTest::newRow("another product") << FailingAdapter::OtherProduct << false;
    QTest::newRow("cannot be opened") << FailingAdapter::Unopenable << false;
    QTest::newRow("access denied") << FailingAdapter::AccessDenied << true;
}

void TestFrmProgress::initializationFailureShowsOnlyTheErrorBox()
{
    QFETCH(FailingAdapter, adapter);
    QFETCH(bool, withHint);

    SimulatedHidBus bus;
    addFailingAdapter(bus, adapter);
    RecordingList list;
    list.lines = QStringList { QStringLiteral("kept") };
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    VisibilityRecorder recorder;

    runDownload(bus, list, quickTiming(), &recorder);

    verifyInitializationError(answerer.messageBoxes(), withHint);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(list.lines, QStringList { QStringLiteral("kept") });
    QCOMPARE(list.selected, -1);
    QCOMPARE(recorder.changes, QStringList { QStringLiteral("+imgConnect") });
    QCOMPARE(outputReportCount(bus), 0);
    QCOMPARE(bus.openHandleCount(), 0);
}

void TestFrmProgress::unplugAfterOpeningStillFinishesEveryStage()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    bus.setOutputReportHandler(device, [&bus](int id, const QByteArray &) {
        bus.scheduleInputReports(id, { { 5ms, lineReport("ONE") }, { 5ms, lineReport("TWO") } });
        bus.scheduleUnplug(id, 40ms);
    });
    RecordingList list;
    DialogAnswerer answerer;

    QElapsedTimer elapsed;
    elapsed.start();
    frmProgress dialog(bus, list, quickTiming());
    dialog.show();

    QCOMPARE(list.lines, (QStringList { QStringLiteral("ONE"), QStringLiteral("TWO") }));
    for (int index = 0; index < 4; ++index)
        QVERIFY(child(&dialog, checkMark(index))->isVisible());
    QCOMPARE(child(&dialog, "lblReceive")->text(), QStringLiteral("Lorimet Adapter Data Received"));
    QVERIFY(answerer.messageBoxes().isEmpty());
    QVERIFY(answerer.unexpected().isEmpty());
    // The further opens fail, so their reads neither send nor wait.
    QCOMPARE(outputReportCount(bus), 1);
    QVERIFY(elapsed.elapsed() < 1500);
}

void TestFrmProgress::linesOfTheFurtherReadsComeAfterTheFirstOnes()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    answerOutputReports(bus, device, [](int n) {
        const QByteArray text = QByteArray("PART ") + QByteArray::number(n);
        return QList<SimulatedHidBus::ScheduledInput> { { 5ms, lineReport(text) },
            { 5ms, lineReport("END") } };
    });
    RecordingList list;
    DialogAnswerer answerer;

    runDownload(bus, list, quickTiming());

    QCOMPARE(list.lines, (QStringList { "PART 1", "END", "PART 2", "END", "PART 3", "END" }));
    QCOMPARE(list.selected, 5);
    QVERIFY(answerer.unexpected().isEmpty());
}

void TestFrmProgress::arrowsShowExactlyWhileTheirStageRuns()
{
    SimulatedHidBus bus;
    bus.addDevice();
    RecordingList list;
    VisibilityRecorder recorder;

    runDownload(bus, list, quickTiming(), &recorder);

    // The fourth stage has no running phase: its arrow never appears.
    const QStringList expected { "+imgConnect", "-imgConnect", "+imgCheckMark_0", "+imgInitiate",
        "-imgInitiate", "+imgCheckMark_1", "+imgReceive", "-imgReceive", "+imgCheckMark_2",
        "+imgCheckMark_3" };
    QCOMPARE(recorder.changes, expected);
}

void TestFrmProgress::slowSearchEndsTheFirstPauseAtOnce()
{
    SimulatedHidBus bus;
    bus.addDevice();
    RecordingList list;
    TransferTiming timing = quickTiming();
    timing.connectPause = 2000ms;
    // The first reading is the start time; every later one comes after a search of 2.5 s.
    auto readings = std::make_shared<int>(0);
    timing.clock = [readings] {
        const std::chrono::milliseconds search = (*readings)++ == 0 ? 0ms : 2500ms;
        return std::chrono::steady_clock::now() + search;
    };

    QElapsedTimer elapsed;
    elapsed.start();
    frmProgress dialog(bus, list, timing);
    dialog.show();

    QVERIFY(child(&dialog, checkMark(3))->isVisible());
    QVERIFY2(elapsed.elapsed() < 1500, qPrintable(QString::number(elapsed.elapsed())));
}

void TestFrmProgress::escapeAndCloseDoNotStopTheTransfer()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    RecordingList list;
    frmProgress dialog(bus, list, quickTiming());
    bool stillVisible = true;
    bus.setOutputReportHandler(device, [&bus](int id, const QByteArray &) {
        bus.scheduleInputReports(id, { { 100ms, lineReport("LATE") } });
    });
    QTimer::singleShot(20, &dialog, [&dialog, &stillVisible] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        stillVisible = dialog.isVisible();
    });

    dialog.show();

    QVERIFY(stillVisible);
    QCOMPARE(list.lines.count(QStringLiteral("LATE")), 3);
    QVERIFY(child(&dialog, checkMark(3))->isVisible());
}

void TestFrmProgress::realTiming()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    answerOutputReports(bus, device, [](int n) {
        return n == 1 ? QList<SimulatedHidBus::ScheduledInput> { { 300ms, lineReport("REPORT") } }
                      : QList<SimulatedHidBus::ScheduledInput>();
    });
    RecordingList list;
    VisibilityRecorder recorder;
    QElapsedTimer elapsed;
    elapsed.start();

    runDownload(bus, list, TransferTiming {}, &recorder);

    const qint64 total = elapsed.elapsed();
    QCOMPARE(list.lines, QStringList { QStringLiteral("REPORT") });
    const qint64 firstStageDone = recorder.timeOf("+imgCheckMark_0") - recorder.timeOf("+imgConnect");
    QVERIFY2(firstStageDone >= 2000 && firstStageDone < 2200, qPrintable(QString::number(firstStageDone)));
    // The report comes 300 ms after the output report and 1 s of silence ends the read.
    const qint64 received = recorder.timeOf("+imgCheckMark_2") - recorder.timeOf("+imgReceive");
    QVERIFY2(received >= 1300 && received < 1500, qPrintable(QString::number(received)));
    // Then 2 s, and two further reads of 1 s each.
    QVERIFY2(total >= 2000 + 1300 + 2000 + 2000 && total < 8000, qPrintable(QString::number(total)));
}

QTEST_MAIN(TestFrmProgress)
#include "tst_frmprogress.moc"
