#pragma once

#include <algorithm>
#include <chrono>
#include <memory>

#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include "CaptureFile.h"
#include "DialogAnswerer.h"
#include "OutputList.h"
#include "SimulatedHidBus.h"
#include "TransferTiming.h"

using namespace std::chrono_literals;
using Inputs = QList<SimulatedHidBus::ScheduledInput>;

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

// Short enough for many runs per test, long enough for a loaded machine to keep up.
inline TransferTiming quickTiming()
{
    TransferTiming timing;
    timing.connectPause = 60ms;
    timing.settlePause = 60ms;
    timing.drainPause = 40ms;
    timing.readTimeout = 150ms;
    return timing;
}

inline QString captureFile(const QString &name)
{
    return QStringLiteral(LORIMET_RESOURCES_DIR "/captures/") + name + QStringLiteral(".cap");
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

// An adapter that sends the shipped capture, replayed fast, for the first output report only.
inline void answerWithCapture(SimulatedHidBus &bus, const QString &name)
{
    Inputs inputs;
    for (const CapturedReport &report : CaptureFile::read(captureFile(name)).reports)
        inputs.append({ std::min<std::chrono::milliseconds>(report.delay, 2ms), report.bytes });
    answerOutputReports(bus, bus.addDevice(), [inputs](int n) { return n == 1 ? inputs : Inputs(); });
}

inline int outputReportCount(const SimulatedHidBus &bus)
{
    return static_cast<int>(std::ranges::count_if(bus.events(), [](const SimulatedHidBus::BusEvent &event) {
        return event.kind == SimulatedHidBus::EventKind::OutputReport;
    }));
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

// Writes down, in order, every time a watched widget is shown ("+name") or hidden ("-name"), and when
// (milliseconds since the recorder was made).
class VisibilityRecorder : public QObject
{
public:
    VisibilityRecorder() { m_clock.start(); }

    void watch(QWidget *widget) { widget->installEventFilter(this); }

    [[nodiscard]] qint64 elapsed() const { return m_clock.elapsed(); }
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
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            changes.append((event->type() == QEvent::Show ? QStringLiteral("+") : QStringLiteral("-"))
                + watched->objectName());
            times.append(m_clock.elapsed());
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
};
