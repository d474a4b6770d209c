#pragma once

#include <optional>

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The state of each detector as the archive knows it: its downloads, its life, its alarms, and the words
// that say what needs attention on a given day.
namespace DetectorStatus {

// When a detector needs attention: its life ends within endsWithin days, or it has not been downloaded for
// more than notDownloadedFor days.
struct Thresholds
{
    int endsWithin = 60;
    int notDownloadedFor = 30;
};

inline constexpr QLatin1StringView Expired("expired");
inline constexpr QLatin1StringView EndsSoon("ends-soon");
inline constexpr QLatin1StringView NotDownloaded("not-downloaded");

struct Detector
{
    QString serial;
    int downloads = 0;
    QString lastDownload; // "2026-12-05 13:05", or the date alone when the report gave no time
    QString lastUser;
    QString selfTests; // as the newest download gives them
    // From the newest download that reports its life remaining.
    std::optional<int> lifeRemainingMonths;
    QDate lifeReportedOn;
    int alarmEvents = 0; // each alarm once, however many downloads recorded it
    QString highestPeak;
    QString highestPeakBegan;
    QString lastAlarmBegan;

    // The estimated end of life: the day of the report that gave the life remaining, that many months on.
    [[nodiscard]] QDate ends() const;
    // Nothing when all is well.
    [[nodiscard]] QStringList status(QDate asOf, const Thresholds &thresholds) const;
};

// The months a "Life Remaining" value says ("24 months"); nothing when it names no number.
[[nodiscard]] std::optional<int> lifeMonths(const QString &lifeRemaining);

} // namespace DetectorStatus
