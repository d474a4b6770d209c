#pragma once

#include <chrono>
#include <optional>

#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include "device/CaptureFile.h"

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

// The data bytes of one device's input reports as the platform returns them. A device that numbers its
// reports puts the report ID before the eight data bytes, which shows in a report of more than eight bytes;
// from then on a shorter report of that device is taken to carry its ID as well. Until then a report of
// eight bytes or fewer is data only.
class InputReportFraming
{
public:
    [[nodiscard]] QByteArray dataBytes(QByteArrayView report);

private:
    bool m_numbered = false;
};
