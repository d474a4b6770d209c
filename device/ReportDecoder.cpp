#include "device/ReportDecoder.h"

#include <algorithm>

#include "common/Windows1252.h"

namespace {

constexpr unsigned char Ignored = 0x04;
constexpr unsigned char EndOfLine = 0x0A;
constexpr unsigned char Escape = 0x1B;
constexpr unsigned char UnderscoreOn = 0xFB;
constexpr unsigned char UnderscoreOff = 0xFA;
constexpr int ReportDataSize = 8;

} // namespace

QStringList ReportDecoder::decode(QByteArrayView dataBytes)
{
    QStringList finished;
    for (const char raw : dataBytes) {
        const auto byte = static_cast<unsigned char>(raw);
        if (byte == Ignored)
            continue;
        if (byte == EndOfLine) {
            finished.append(m_line);
            m_line.clear();
            m_lineHasLoss = false;
            continue;
        }
        if (byte == Escape) {
            m_escape = true;
            continue;
        }
        if (m_escape) {
            m_escape = false;
            if (byte == UnderscoreOn)
                m_UnderscoreSpaces = true;
            else if (byte == UnderscoreOff)
                m_UnderscoreSpaces = false;
            continue;
        }
        appendText(byte);
    }
    return finished;
}

void ReportDecoder::appendText(unsigned char byte)
{
    if (m_UnderscoreSpaces && byte == 0x20)
        byte = 0x5F;
    // The detector's character set has the 2 of "H2S" at 0x96.
    if (byte == 0x96)
        byte = 0x32;
    m_line.append(Windows1252::toUnicode(byte));
}

void ReportDecoder::markLoss()
{
    m_line.append(ErrorCharacter);
    m_lineHasLoss = true;
}

std::optional<QString> ReportDecoder::finish()
{
    std::optional<QString> rest;
    if (m_lineHasLoss)
        rest = m_line;
    m_line.clear();
    m_lineHasLoss = false;
    m_escape = false;
    m_UnderscoreSpaces = false;
    return rest;
}

QStringList decodeCapturedTransfers(const QList<CapturedReport> &reports, std::chrono::milliseconds readLimit)
{
    QStringList lines;
    ReportDecoder decoder;
    InputReportFraming framing;
    for (const CapturedReport &report : reports) {
        if (report.delay >= readLimit)
            decoder = ReportDecoder();
        lines += decoder.decode(framing.dataBytes(report.bytes));
    }
    return lines;
}

QByteArray InputReportFraming::dataBytes(QByteArrayView report)
{
    m_numbered = m_numbered || report.size() > ReportDataSize;
    if (m_numbered)
        report = report.sliced(std::min<qsizetype>(1, report.size()));
    return report.first(std::min<qsizetype>(report.size(), ReportDataSize)).toByteArray();
}
