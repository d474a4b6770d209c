#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "DialogAnswerer.h"
#include "TransferTestSupport.h"
#include "frmReset.h"

namespace {

QLabel *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QString::fromLatin1(name));
}

} // namespace

class TestFrmReset : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void resetDrainsAndFinishesTheRow();
    void initializationFailureShowsOnlyTheErrorBox_data();
    void initializationFailureShowsOnlyTheErrorBox();
    void unplugAfterOpeningStillFinishesTheRow();
    void realTiming();
};

void TestFrmReset::layout()
{
    SimulatedHidBus bus;
    frmReset dialog(bus, quickTiming());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Device Status"));
    QCOMPARE(dialog.size(), QSize(273, 59));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    auto *frame = dialog.findChild<QGroupBox *>(QStringLiteral("fraMain"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(8, 2, 257, 49));

    QLabel *arrow = child(&dialog, "imgReset");
    QLabel *tick = child(&dialog, "imgCheckMark_0");
    QLabel *label = child(&dialog, "lblReset");
    QCOMPARE(arrow->geometry(), QRect(12, 20, 16, 16));
    QCOMPARE(tick->geometry(), QRect(10, 20, 16, 16));
    QCOMPARE(label->geometry(), QRect(34, 20, 211, 13));
    QVERIFY(arrow->isVisibleTo(&dialog));
    QVERIFY(!tick->isVisibleTo(&dialog));
    QCOMPARE(arrow->pixmap().size(), QSize(16, 16));
    QCOMPARE(tick->pixmap().size(), QSize(16, 16));
    QCOMPARE(label->text(), QStringLiteral("Resetting Lorimet Data Adapter..."));
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pointSizeF(), 8.25);
    QVERIFY(label->font().bold());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
}

void TestFrmReset::resetDrainsAndFinishesTheRow()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    int answered = 0;
    bus.setOutputReportHandler(device, [&bus, &answered](int id, const QByteArray &report) {
        QCOMPARE(report, QByteArray(2, '\0'));
        ++answered;
        bus.scheduleInputReports(id, { { 5ms, lineReport("STALE") }, { 5ms, lineReport("DATA") } });
    });
    DialogAnswerer answerer;
    VisibilityRecorder recorder;

    frmReset dialog(bus, quickTiming());
    recorder.watch(child(&dialog, "imgReset"));
    recorder.watch(child(&dialog, "imgCheckMark_0"));
    dialog.show();

    QCOMPARE(child(&dialog, "lblReset")->text(), QStringLiteral("Lorimet Adapter reset complete"));
    QCOMPARE(recorder.changes, (QStringList { "+imgReset", "-imgReset", "+imgCheckMark_0" }));
    QCOMPARE(answered, 3);
    QCOMPARE(bus.openHandleCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
}

void TestFrmReset::initializationFailureShowsOnlyTheErrorBox_data()
{
    QTest::addColumn<FailingAdapter>("adapter");
    QTest::addColumn<bool>("withHint");

    QTest::newRow("nothing plugged in") << FailingAdapter::None << false;
    QTest::newRow("cannot be opened") << FailingAdapter::Unopenable << false;
    QTest::newRow("access denied") << FailingAdapter::AccessDenied << true;
}

void TestFrmReset::initializationFailureShowsOnlyTheErrorBox()
{
    QFETCH(FailingAdapter, adapter);
    QFETCH(bool, withHint);

    SimulatedHidBus bus;
    addFailingAdapter(bus, adapter);
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);

    frmReset dialog(bus, quickTiming());
    dialog.show();

    verifyInitializationError(answerer.messageBoxes(), withHint);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(child(&dialog, "lblReset")->text(), QStringLiteral("Resetting Lorimet Data Adapter..."));
    QVERIFY(child(&dialog, "imgReset")->isVisible());
    QVERIFY(!child(&dialog, "imgCheckMark_0")->isVisible());
    QCOMPARE(outputReportCount(bus), 0);
}

void TestFrmReset::unplugAfterOpeningStillFinishesTheRow()
{
    SimulatedHidBus bus;
    const int device = bus.addDevice();
    bus.setOutputReportHandler(device, [&bus](int id, const QByteArray &) { bus.scheduleUnplug(id, 10ms); });
    DialogAnswerer answerer;

    frmReset dialog(bus, quickTiming());
    dialog.show();

    QVERIFY(child(&dialog, "imgCheckMark_0")->isVisible());
    QVERIFY(answerer.messageBoxes().isEmpty());
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(outputReportCount(bus), 1);
}

void TestFrmReset::realTiming()
{
    SimulatedHidBus bus;
    bus.addDevice();
    VisibilityRecorder recorder;
    QElapsedTimer elapsed;
    elapsed.start();
    frmReset dialog(bus, TransferTiming {});
    recorder.watch(child(&dialog, "imgReset"));
    recorder.watch(child(&dialog, "imgCheckMark_0"));

    dialog.show();

    const qint64 total = elapsed.elapsed();
    // A silent adapter: the row is done after one second of silence, then come 2 s and two more seconds
    // of silence.
    const qint64 rowDone = recorder.timeOf("+imgCheckMark_0") - recorder.timeOf("+imgReset");
    QVERIFY2(rowDone >= 1000 && rowDone < 1200, qPrintable(QString::number(rowDone)));
    QVERIFY2(total >= 1000 + 2000 + 2000 && total < 5800, qPrintable(QString::number(total)));
}

QTEST_MAIN(TestFrmReset)
#include "tst_frmreset.moc"
