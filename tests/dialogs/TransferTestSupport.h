#pragma once

#include <chrono>
#include <memory>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include "CaptureFile.h"
#include "DialogAnswerer.h"
#include "OutputList.h"
#include "SimulatedHidBus.h"
#include "TransferTiming.h"

using namespace std::chrono_literals;

// The report list as the adapter sees it.
class RecordingList : public OutputList
{
public:
    void AddItem(const QString &line) override { lines.append(line); }
    [[nodiscard]] qint16 ListCount() const override { return static_cast<qint16>(lines.size()); }
    void SetListIndex(qint16 index) override { selected = index; }

    QStringList lines;
    qint16 selected = -1;
};

// Timing short enough for many runs per test, long enough for a loaded machine to keep up.
inline TransferTiming quickTiming()
{
    TransferTiming timing;
    timing.connectPause = 60ms;
    timing.settlePause = 60ms;
    timing.drainPause = 40ms;
    timing.readTimeout = 150ms;
    return timing;
}

inline QString resourcesDir()
{
    return QStringLiteral(LORIMET_RESOURCES_DIR);
}

inline QString captureFile(const QString &name)
{
    return resourcesDir() + QStringLiteral("/captures/") + name + QStringLiteral(".cap");
}

// The lines a download of the shipped capture must add, written down independently of the decoder.
inline QStringList referenceLines(const QString &name)
{
    QFile file(QStringLiteral(LORIMET_TEST_DATA_DIR "/dialogs/") + name + QStringLiteral(".lines"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

// A shipped capture replayed fast: every report a few milliseconds after the previous one.
inline QList<SimulatedHidBus::ScheduledInput> fastCapture(const QString &name)
{
    QList<SimulatedHidBus::ScheduledInput> inputs;
    const CaptureParseResult capture = CaptureFile::read(captureFile(name));
    for (const CapturedReport &report : capture.reports)
        inputs.append({ std::min<std::chrono::milliseconds>(report.delay, 2ms), report.bytes });
    return inputs;
}

// One input report carrying text and the end of its line (at most seven characters).
inline QByteArray lineReport(const QByteArray &text)
{
    QByteArray report(9, '\x04');
    report[0] = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        report[1 + i] = text.at(i);
    report[1 + text.size()] = '\n';
    return report;
}

// Answers the n-th output report (counted from 1) the device receives with what inputsFor(n) returns.
template<typename InputsFor> void answerOutputReports(SimulatedHidBus &bus, int device, InputsFor inputsFor)
{
    auto count = std::make_shared<int>(0);
    bus.setOutputReportHandler(device, [&bus, count, inputsFor](int id, const QByteArray &) {
        bus.scheduleInputReports(id, inputsFor(++*count));
    });
}

// Adapters that InitDevice cannot open, for data-driven rows.
enum class FailingAdapter
{
    None,
    OtherProduct,
    Unopenable,
    AccessDenied
};

inline void addFailingAdapter(SimulatedHidBus &bus, FailingAdapter kind)
{
    SimulatedHidBus::DeviceSettings settings;
    switch (kind) {
    case FailingAdapter::None:
        return;
    case FailingAdapter::OtherProduct:
        settings.productId = 0x0001;
        break;
    case FailingAdapter::Unopenable:
        settings.open = SimulatedHidBus::OpenBehaviour::Fails;
        break;
    case FailingAdapter::AccessDenied:
        settings.open = SimulatedHidBus::OpenBehaviour::AccessDenied;
        break;
    }
    bus.addDevice(settings);
}

inline const QString NotAttachedText
    = QStringLiteral("The device is not attached to the system.  Please re-check the USB connection.");

// The "Initialization Error" box: the text verbatim, and after an empty line the udev hint when the
// adapter was there but not to be opened.
inline void verifyInitializationError(const QList<MessageBoxRecord> &boxes, bool withHint)
{
    QCOMPARE(boxes.size(), 1);
    const MessageBoxRecord &box = boxes.first();
    QCOMPARE(box.title, QStringLiteral("Initialization Error"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    if (!withHint) {
        QCOMPARE(box.text, NotAttachedText);
        return;
    }
    QVERIFY2(box.text.startsWith(NotAttachedText + QStringLiteral("\n\n")), qPrintable(box.text));
    const QString hint = box.text.mid(NotAttachedText.size() + 2);
    QVERIFY(hint.contains(QStringLiteral("70-lorimet-adapter.rules")));
    QVERIFY(hint.contains(QStringLiteral("plug it in again")));
}

inline int outputReportCount(const SimulatedHidBus &bus)
{
    int count = 0;
    for (const SimulatedHidBus::BusEvent &event : bus.events())
        count += event.kind == SimulatedHidBus::EventKind::OutputReport ? 1 : 0;
    return count;
}

// Writes down, in order, every time one of the watched widgets is shown or hidden, and when (milliseconds
// since the recorder was made), until it is stopped.
class VisibilityRecorder : public QObject
{
public:
    VisibilityRecorder() { m_clock.start(); }

    void watch(QWidget *widget) { widget->installEventFilter(this); }
    void stop() { m_recording = false; }

    [[nodiscard]] qint64 timeOf(const QString &change) const
    {
        const qsizetype index = changes.indexOf(change);
        return index < 0 ? -1 : times.at(index);
    }

    QStringList changes;
    QList<qint64> times;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_recording && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            changes.append((event->type() == QEvent::Show ? QStringLiteral("+") : QStringLiteral("-"))
                + watched->objectName());
            times.append(m_clock.elapsed());
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
    bool m_recording = true;
};
