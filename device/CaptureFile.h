#pragma once

#include <chrono>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

// One input report of a recorded transfer: the bytes as they came (report ID first) and the time since
// the previous report (since the output report for the first one).
struct CapturedReport
{
    std::chrono::milliseconds delay { 0 };
    QByteArray bytes;

    friend bool operator==(const CapturedReport &, const CapturedReport &) = default;
};

struct CaptureError
{
    int line = 0; // 0 when the file itself could not be read
    QString message;
};

// Capture files: text, one input report per line as 9 two-digit hex bytes separated by spaces (report ID
// first), optionally preceded by "+N", the milliseconds since the previous report. "#" starts a comment;
// blank lines are ignored.
namespace CaptureFile {

inline constexpr int ReportSize = 9;

// The reports of a capture file's text; nothing, with the line and the reason, when a line is malformed.
[[nodiscard]] std::optional<QList<CapturedReport>> parse(const QByteArray &text, CaptureError *error);
// The largest capture file read; a larger one is refused.
constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;

[[nodiscard]] std::optional<QList<CapturedReport>> read(const QString &fileName, CaptureError *error);
[[nodiscard]] QByteArray format(const QList<CapturedReport> &reports, const QString &comment = {});
[[nodiscard]] bool write(
    const QString &fileName, const QList<CapturedReport> &reports, const QString &comment, QString *error);

} // namespace CaptureFile
