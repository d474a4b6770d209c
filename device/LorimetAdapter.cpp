#include "device/LorimetAdapter.h"

#include <cerrno>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "common/OutputList.h"
#include "device/ReportDecoder.h"

Q_LOGGING_CATEGORY(lcLorimetDevice, "lorimet.device", QtInfoMsg)

namespace {

const QByteArray OutputReport(2, '\0');

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}

} // namespace

LorimetAdapter::LorimetAdapter(HidBackend &backend)
    : m_backend(backend)
{
}

LorimetAdapter::~LorimetAdapter()
{
    CloseDevice();
}

bool LorimetAdapter::InitDevice()
{
    if (m_HIDHandle > 0 && m_ReadHandle > 0 && m_EventHandle > 0) {
        const bool attached = m_backend.isAttached(m_HIDHandle);
        LogApiResult(QStringLiteral("HidD_GetPreparsedData"));
        if (!attached) {
            CancelReading();
            CloseDevice();
        }
        return attached;
    }

    bool result = false;
    if (m_HIDHandle <= 0)
        result = FindDevice();
    if (m_ReadHandle <= 0 && result)
        result = OpenReadHandle();
    if (m_EventHandle <= 0 && result)
        result = CreateReadEvent();
    return result;
}

bool LorimetAdapter::FindDevice()
{
    m_accessDenied = false;
    const QList<HidInterface> interfaces = m_backend.enumerateInterfaces();
    LogApiResult(QStringLiteral("SetupDiEnumDeviceInterfaces"));

    bool found = false;
    for (const HidInterface &candidate : interfaces) {
        m_DevicePath = candidate.path;
        m_HIDHandle = m_backend.openPath(m_DevicePath, HidOpenMode::Identify);
        const int openError = m_backend.lastError();
        LogApiResult(QStringLiteral("CreateFile"));
        if (m_HIDHandle == -1) {
            if (isPermissionError(openError)
                && AdapterIdentity::matches(candidate.vendorId, candidate.productId))
                m_accessDenied = true;
            continue;
        }

        const std::optional<HidAttributes> attributes = m_backend.readAttributes(m_HIDHandle);
        LogApiResult(QStringLiteral("HidD_GetAttributes"));
        if (attributes && AdapterIdentity::matches(attributes->vendorId, attributes->productId)) {
            found = true;
            break;
        }
        m_backend.close(m_HIDHandle);
        LogApiResult(QStringLiteral("CloseHandle"));
    }

    if (found) {
        m_accessDenied = false;
        return true;
    }
    m_HIDHandle = 0;
    m_ReadHandle = 0;
    m_EventHandle = 0;
    return false;
}

bool LorimetAdapter::OpenReadHandle()
{
    m_ReadHandle = m_backend.openPath(m_DevicePath, HidOpenMode::Transfer);
    LogApiResult(QStringLiteral("CreateFile, ReadHandle"));
    if (m_ReadHandle != -1) {
        m_backend.setInputQueueDepth(m_ReadHandle, InputBufferCount);
        LogApiResult(QStringLiteral("HidD_SetNumInputBuffers(lngBufferCount = %1)").arg(InputBufferCount));
    }
    return m_ReadHandle != -1;
}

bool LorimetAdapter::CreateReadEvent()
{
    if (m_EventHandle != 0)
        return true;
    m_EventHandle = m_backend.createCompletionEvent();
    const bool created = m_backend.lastError() == 0;
    LogApiResult(QStringLiteral("CreateEvent"));
    return created;
}

void LorimetAdapter::CloseDevice()
{
    if (m_EventHandle != 0) {
        m_backend.resetCompletionEvent(m_EventHandle);
        LogApiResult(QStringLiteral("ResetEvent (EventHandle)"));
        m_backend.closeCompletionEvent(m_EventHandle);
    }
    m_EventHandle = 0;

    if (m_HIDHandle > 0) {
        m_backend.close(m_HIDHandle);
        LogApiResult(QStringLiteral("CloseHandle (HIDHandle)"));
    }
    m_HIDHandle = 0;

    if (m_ReadHandle > 0) {
        m_backend.close(m_ReadHandle);
        LogApiResult(QStringLiteral("CloseHandle (ReadHandle)"));
    }
    m_ReadHandle = 0;
}

bool LorimetAdapter::ReadDevice()
{
    WriteOutputReport();
    if (m_HIDHandle != 0 && m_ReadHandle != 0 && m_EventHandle != 0)
        ReadReports();
    return false;
}

void LorimetAdapter::CancelReading()
{
    m_CancelRequested = true;
}

void LorimetAdapter::WriteOutputReport()
{
    // Not waited for: the read loop's first wait covers the device's answer.
    m_backend.writeOutputReport(m_ReadHandle, OutputReport);
    LogApiResult(QStringLiteral("WriteFile"));
}

bool LorimetAdapter::ReadReports()
{
    m_CancelRequested = false;
    ReportDecoder decoder;

    for (;;) {
        const HidReadResult report = m_backend.readInputReport(m_ReadHandle, QDeadlineTimer(m_readTimeout));
        LogApiResult(QStringLiteral("ReadFile"));
        if (report.status != HidReadResult::Status::Report)
            break;

        QCoreApplication::processEvents();

        if (m_inputReportObserver)
            m_inputReportObserver(report.data, report.arrival);
        for (const QString &line : decoder.decode(report.data))
            appendLine(line);
        if (report.lossAfter)
            decoder.markLoss();

        const bool reset = m_backend.resetCompletionEvent(m_EventHandle);
        LogApiResult(QStringLiteral("ResetEvent (EventHandle)"));
        if (!reset || m_CancelRequested)
            break;

        QCoreApplication::processEvents();
    }

    m_backend.resetCompletionEvent(m_EventHandle);
    LogApiResult(QStringLiteral("ResetEvent (EventHandle)"));
    m_backend.cancel(m_ReadHandle);
    LogApiResult(QStringLiteral("CancelIO"));
    if (const std::optional<QString> damaged = decoder.finish())
        appendLine(*damaged);
    return false;
}

void LorimetAdapter::appendLine(const QString &line)
{
    if (!m_OutputListBox)
        return;
    m_OutputListBox->AddItem(line);
    m_OutputListBox->SetListIndex(static_cast<qint16>(m_OutputListBox->ListCount() - 1));
}

void LorimetAdapter::LogApiResult(const QString &label)
{
    qCDebug(lcLorimetDevice) << label << "error" << m_backend.lastError();
    QCoreApplication::processEvents();
}
