#pragma once

#include <mutex>
#include <optional>

#include <QList>
#include <QStringList>

#include "device/CaptureFile.h"
#include "device/simulated/SimulatedHidBus.h"

// A simulated adapter for the demo program: one Lorimet Adapter on a simulated HID bus that answers a
// download with the next of the shipped detector reports, one after the other and then from the first
// again. Only an armed output report gets an answer, so the further reads of a download and a reset drain
// an adapter that stays silent, as a real one does once the detector has finished sending.
class DemoAdapter
{
public:
    // Loads every capture file of the directory (a resource directory too), in file name order.
    explicit DemoAdapter(const QString &captureDirectory);

    [[nodiscard]] HidBackend &backend() { return m_bus; }
    [[nodiscard]] SimulatedHidBus &bus() { return m_bus; }

    // The next output report the adapter receives starts the next capture.
    void armNextCapture();

private:
    void answer();

    SimulatedHidBus m_bus;
    int m_device = -1;
    QList<QList<CapturedReport>> m_captures;

    // The output report handler runs on the bus's I/O thread.
    std::mutex m_mutex;
    bool m_armed = false;
    qsizetype m_next = 0;
};
