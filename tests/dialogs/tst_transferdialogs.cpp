#include <QElapsedTimer>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "TransferTestSupport.h"
#include "frmProgress.h"
#include "frmReset.h"

namespace {

// Writes down, in order, every time a watched widget is shown ("+name") or hidden ("-name"), and when
// (milliseconds since the recorder was made).
class VisibilityRecorder : public QObject
{
public:
    VisibilityRecorder() { m_clock.start(); }
    void watch(QWidget *widget) { widget->installEventFilter(this); }
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
    void firstPauseCountsFromBeforeTheSearch_data();
    void firstPauseCountsFromBeforeTheSearch();
    void realTiming();
};

void TestTransferDialogs::looksAsDesigned_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("arrows");

    // The stage texts before the work starts are checked where a failed start leaves them.
    QTest::newRow("download") << false << "Data Transfer Status"
                              << QStringList { "imgConnect", "imgInitiate", "imgReceive", "imgFinish" };
    QTest::newRow("reset") << true << "Device Status" << QStringList { "imgReset" };
}

void TestTransferDialogs::looksAsDesigned()
{
    QFETCH(bool, reset);
    QFETCH(QString, caption);
    QFETCH(QStringList, arrows);

    SimulatedHidBus bus;
    RecordingList list;
    const auto dialog = makeDialog(reset, bus, list, quickTiming());
    QCOMPARE(dialog->windowTitle(), caption);
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
        QVERIFY(arrow->pixmap().toImage() == arrowImage && tick->pixmap().toImage() == tickImage);
        QVERIFY(text->font().family() == QStringLiteral("Arial") && text->font().pointSizeF() == 8.25
            && text->font().bold());
        QCOMPARE(text->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
    }
}

void TestTransferDialogs::runs_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<int>("cycles");

    // The transfer and the two further cycles each send one output report; once the adapter is unplugged
    // the further opens fail silently, and an adapter that cannot be opened stops everything at once.
    for (const bool reset : { false, true }) {
        const char *dialog = reset ? "reset" : "download";
        QTest::addRow("%s", dialog) << reset << "answers" << 3;
        QTest::addRow("%s, unplugged after reading", dialog) << reset << "unplugs" << 1;
        for (const char *adapter : { "none", "other product", "fails", "denied" })
            QTest::addRow("%s, %s", dialog, adapter) << reset << adapter << 0;
    }
}

void TestTransferDialogs::runs()
{
    QFETCH(bool, reset);
    QFETCH(QString, adapter);
    QFETCH(int, cycles);

    SimulatedHidBus bus;
    plugIn(bus, adapter);
    RecordingList list;
    list.lines = QStringList { QStringLiteral("EARLIER") };
    DialogAnswerer answerer;
    if (cycles == 0)
        answerer.expectMessageBox(QMessageBox::Ok);
    VisibilityRecorder recorder;
    const auto dialog = makeDialog(reset, bus, list, quickTiming());
    // Escape and the close button do nothing while the dialog works.
    bool closed = false;
    QTimer::singleShot(20, dialog.get(), [&dialog, &closed] {
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        closed = dialog->close() || !dialog->isVisible();
    });

    run(*dialog, recorder);

    // A download's lines follow the earlier ones, each cycle's after the one before; a reset adds none.
    QStringList lines { QStringLiteral("EARLIER") };
    for (int cycle = 1; cycle <= cycles && !reset; ++cycle)
        lines << QStringLiteral("PART %1").arg(cycle) << QStringLiteral("END");
    QCOMPARE(list.lines, lines);
    QCOMPARE(list.selected, lines.size() > 1 ? lines.size() - 1 : -1);
    if (cycles > 0) {
        QCOMPARE(recorder.changes, reset ? ResetStages : DownloadStages);
        QCOMPARE(stageTexts(dialog.get()), reset ? ResetDone : DownloadDone);
        QVERIFY(answerer.messageBoxes().isEmpty());
    } else {
        QCOMPARE(recorder.changes, QStringList { reset ? "+imgReset" : "+imgConnect" });
        QCOMPARE(stageTexts(dialog.get()), reset ? ResetStarted : DownloadStarted);
        verifyInitializationError(answerer.messageBoxes(), adapter == QStringLiteral("denied"));
    }
    QVERIFY(!closed);
    QCOMPARE(outputReportCount(bus), cycles);
    QCOMPARE(bus.openHandleCount(), 0);
    QVERIFY(answerer.unexpected().isEmpty());
}

void TestTransferDialogs::firstPauseCountsFromBeforeTheSearch_data()
{
    QTest::addColumn<int>("searchMs");
    QTest::addColumn<int>("waitMs");

    // A 400 ms pause on the dialog's own monotonic clock, less whatever of it the search took.
    QTest::newRow("instant search") << 0 << 400;
    QTest::newRow("search took half") << 200 << 200;
    QTest::newRow("search took longer") << 2500 << 0;
}

void TestTransferDialogs::firstPauseCountsFromBeforeTheSearch()
{
    QFETCH(int, searchMs);
    QFETCH(int, waitMs);

    SimulatedHidBus bus;
    bus.addDevice();
    RecordingList list;
    TransferTiming timing = quickTiming();
    timing.connectPause = 400ms;
    // The search takes no real time, but once it has opened the adapter the clock is ahead by its length.
    timing.clock = [&bus, search = std::chrono::milliseconds(searchMs)] {
        return std::chrono::steady_clock::now() + (bus.events().isEmpty() ? 0ms : search);
    };
    VisibilityRecorder recorder;
    frmProgress dialog(bus, list, timing);

    run(dialog, recorder);

    const qint64 waited = recorder.timeOf["+imgCheckMark_0"] - recorder.timeOf["+imgConnect"];
    QVERIFY2(waited >= waitMs && waited < waitMs + 150, qPrintable(QString::number(waited)));
    QVERIFY(recorder.changes.endsWith(QStringLiteral("+imgCheckMark_3")));
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
    const qint64 connected = recorder.timeOf["+imgCheckMark_0"] - recorder.timeOf["+imgConnect"];
    QVERIFY2(connected >= 2000 && connected < 2200, qPrintable(QString::number(connected)));
    const qint64 received = recorder.timeOf["+imgCheckMark_2"] - recorder.timeOf["+imgReceive"];
    QVERIFY2(received >= 1300 && received < 1500, qPrintable(QString::number(received)));
    const qint64 total = recorder.timeOf["+imgCheckMark_3"] + 2000 + 2 * 1000;
    QVERIFY2(recorder.elapsed() >= total && recorder.elapsed() < total + 400,
        qPrintable(QString::number(recorder.elapsed())));
    QCOMPARE(list.lines, QStringList { QStringLiteral("REPORT") });
}

QTEST_MAIN(TestTransferDialogs)
#include "tst_transferdialogs.moc"
