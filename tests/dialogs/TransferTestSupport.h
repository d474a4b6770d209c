#pragma once

#include <algorithm>
#include <chrono>
#include <memory>

#include <QFile>
#include <QMessageBox>
#include <QStringList>

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
    return { .connectPause = 60ms, .settlePause = 60ms, .drainPause = 40ms, .readTimeout = 150ms };
}

// The lines a download of the shipped capture must add, written down independently of the decoder.
inline QStringList referenceLines(const QString &name)
{
    QFile file(QStringLiteral(LORIMET_TEST_DATA_DIR "/dialogs/") + name + QStringLiteral(".lines"));
    const QStringList lines
        = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n') : QStringList();
    return lines.mid(0, lines.size() - 1);
}

// One input report carrying text and the end of its line (at most seven characters).
inline QByteArray lineReport(const QByteArray &text)
{
    return (QByteArray(1, '\0') + text + '\n').leftJustified(9, '\x04');
}

// Answers the n-th output report (counted from 1) the device receives with what inputsFor(n) returns.
template<typename InputsFor> void answerOutputReports(SimulatedHidBus &bus, int device, InputsFor inputsFor)
{
    auto count = std::make_shared<int>(0);
    bus.setOutputReportHandler(device, [&bus, count, inputsFor](int id, const QByteArray &) {
        bus.scheduleInputReports(id, inputsFor(++*count));
    });
}

inline int outputReportCount(const SimulatedHidBus &bus)
{
    return static_cast<int>(std::ranges::count_if(bus.events(), [](const SimulatedHidBus::BusEvent &event) {
        return event.kind == SimulatedHidBus::EventKind::OutputReport;
    }));
}

// The "Initialization Error" box: the text verbatim, and after an empty line the udev hint when the
// adapter was there but not to be opened.
inline void verifyInitializationError(const QList<MessageBoxRecord> &boxes, bool withHint)
{
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().title, QStringLiteral("Initialization Error"));
    QCOMPARE(boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const QStringList parts = boxes.first().text.split(QStringLiteral("\n\n"));
    QCOMPARE(parts.first(),
        QStringLiteral("The device is not attached to the system.  Please re-check the USB connection."));
    QCOMPARE(parts.size(), withHint ? 2 : 1);
    QVERIFY(!withHint
        || (parts.last().contains(QStringLiteral("70-lorimet-adapter.rules"))
            && parts.last().contains(QStringLiteral("plug it in again"))));
}
