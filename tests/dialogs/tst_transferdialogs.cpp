#include <memory>
#include <utility>

#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "dialogs/frmProgress.h"
#include "dialogs/frmReset.h"
#include "tests/support/TransferTestSupport.h"

namespace {

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
    if (adapter == QStringLiteral("denied"))
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

class TestTransferDialogs : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void realTiming();
};

void TestTransferDialogs::runs_data()
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

void TestTransferDialogs::runs()
{
    QFETCH(bool, reset);
    QFETCH(QString, adapter);
    QFETCH(int, cycles);

    SimulatedHidBus bus;
    const int device = plugIn(bus, adapter);
    RecordingList list;
    list.lines = QStringList { QStringLiteral("EARLIER") };
    // Pulled out once its answer is on the display, however slowly the machine runs.
    if (adapter == QStringLiteral("unplugs")) {
        list.onAdd = [&](qsizetype) {
            if (list.lines.last() == QLatin1String("END"))
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
    QStringList lines { QStringLiteral("EARLIER") };
    for (int cycle = 1; cycle <= cycles && !reset; ++cycle)
        lines << QStringLiteral("PART %1").arg(cycle) << QStringLiteral("END");
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
    QVERIFY(answerer.unexpected().isEmpty());
}

// The one run of the download at its real values.
void TestTransferDialogs::realTiming()
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
    QCOMPARE(list.lines, QStringList(3, QStringLiteral("REPORT")));
}

QTEST_MAIN(TestTransferDialogs)
#include "tst_transferdialogs.moc"
