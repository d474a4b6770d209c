#pragma once

#include <chrono>
#include <optional>

#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include "CaptureFile.h"

// Turns the data bytes of one transfer's input reports into report lines. One decoder lives for one
// transfer: a line that a transfer leaves unfinished is not continued by the next one.
class ReportDecoder
{
public:
    static constexpr QChar ErrorCharacter = QChar(0x7F);

    // Decodes the bytes in order and returns the lines they finished.
    [[nodiscard]] QStringList decode(QByteArrayView dataBytes);
    // Reports went missing here: the line in progress receives the error character.
    void markLoss();
    // What remains when the transfer ends. An unfinished line is dropped, unless it carries a loss mark:
    // then it is the only trace of the lost reports and is returned.
    [[nodiscard]] std::optional<QString> finish();

private:
    void appendText(unsigned char byte);

    QString m_line;
    bool m_escape = false;
    bool m_UnderscoreSpaces = false;
    bool m_lineHasLoss = false;
};

// The lines a download of the captured reports adds to the display. A report that comes after the read
// limit or later starts a fresh transfer, as in the read loop.
[[nodiscard]] QStringList decodeCapturedTransfers(
    const QList<CapturedReport> &reports, std::chrono::milliseconds readLimit);

// The data bytes of an input report as the platform returned it: a report of 9 or more bytes carries its
// report ID first; a shorter one is data only.
[[nodiscard]] QByteArray dataBytesOfInputReport(QByteArrayView report);
