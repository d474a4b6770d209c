#pragma once

#include <chrono>
#include <functional>

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include "device/HidBackend.h"

class OutputList;
class QObject;

Q_DECLARE_LOGGING_CATEGORY(lcLorimetDevice)

// The link to the Lorimet Adapter: finds it among the HID devices, opens it, starts a transfer with the
// output report and decodes the input reports into report lines for the OutputListBox. One object serves
// one transfer dialog run; it knows nothing of the backend it drives.
//
// Handle values: 0 closed, -1 a failed open, greater than 0 open.
class LorimetAdapter
{
public:
    static constexpr std::chrono::milliseconds DefaultReadTimeout { 1000 };
    static constexpr int InputBufferCount = 512;

    explicit LorimetAdapter(HidBackend &backend);
    ~LorimetAdapter();

    LorimetAdapter(const LorimetAdapter &) = delete;
    LorimetAdapter &operator=(const LorimetAdapter &) = delete;

    // True when the adapter is open: newly opened, or already open and still attached.
    [[nodiscard]] bool InitDevice();
    void CloseDevice();
    // Writes the output report and, when open, reads the transfer until the adapter falls silent.
    // Always false: no caller has a use for a result.
    bool ReadDevice();
    // Ends a running read loop after the report it is decoding.
    void CancelReading();

    void setOutputListBox(OutputList *list) { m_OutputListBox = list; }
    void setRawBytesTextBox(QObject *textBox) { m_RawBytesTextBox = textBox; }
    void setRawTextTextBox(QObject *textBox) { m_RawTextTextBox = textBox; }

    // The last InitDevice found the adapter but was not allowed to open it.
    [[nodiscard]] bool accessDenied() const { return m_accessDenied; }

    [[nodiscard]] qint32 HIDHandle() const { return m_HIDHandle; }
    [[nodiscard]] qint32 ReadHandle() const { return m_ReadHandle; }
    [[nodiscard]] qint32 EventHandle() const { return m_EventHandle; }

    // Sees every input report the read loop takes, before it is decoded.
    using InputReportObserver
        = std::function<void(const QByteArray &dataBytes, std::chrono::steady_clock::time_point arrival)>;
    void setInputReportObserver(InputReportObserver observer) { m_inputReportObserver = std::move(observer); }

    // How long each read waits for the next input report, measured from the start of that read.
    void setReadTimeout(std::chrono::milliseconds timeout) { m_readTimeout = timeout; }

private:
    [[nodiscard]] bool FindDevice();
    [[nodiscard]] bool OpenReadHandle();
    [[nodiscard]] bool CreateReadEvent();
    void WriteOutputReport();
    bool ReadReports();
    void LogApiResult(const QString &label);
    void appendLine(const QString &line);

    HidBackend &m_backend;
    bool m_CancelRequested = false;
    qint32 m_HIDHandle = 0;
    qint32 m_ReadHandle = 0;
    qint32 m_EventHandle = 0;
    QString m_DevicePath;
    OutputList *m_OutputListBox = nullptr;
    QObject *m_RawBytesTextBox = nullptr;
    QObject *m_RawTextTextBox = nullptr;
    bool m_accessDenied = false;
    std::chrono::milliseconds m_readTimeout = DefaultReadTimeout;
    InputReportObserver m_inputReportObserver;
};
