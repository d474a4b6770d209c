#include "app/mainwindow/DemoAdapter.h"

#include <QDir>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDemo, "lorimet.demo")

DemoAdapter::DemoAdapter(const QString &captureDirectory)
{
    const QDir directory(captureDirectory);
    const QStringList files = directory.entryList({ QStringLiteral("*.cap") }, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        CaptureError error;
        const std::optional<QList<CapturedReport>> capture
            = CaptureFile::read(directory.filePath(file), &error);
        if (!capture) {
            qCWarning(lcDemo) << "skipping capture" << file << "line" << error.line << error.message;
            continue;
        }
        m_captures.append(*capture);
    }

    m_device = m_bus.addDevice();
    m_bus.setOutputReportHandler(m_device, [this](int, const QByteArray &) { answer(); });
}

void DemoAdapter::armNextCapture()
{
    const std::lock_guard lock(m_mutex);
    m_armed = true;
}

void DemoAdapter::answer()
{
    QList<SimulatedHidBus::ScheduledInput> inputs;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_armed || m_captures.isEmpty())
            return;
        m_armed = false;
        for (const CapturedReport &report : m_captures.at(m_next))
            inputs.append({ report.delay, report.bytes });
        m_next = (m_next + 1) % m_captures.size();
    }
    m_bus.scheduleInputReports(m_device, inputs);
}
