#pragma once

#include <optional>

#include <QString>

// Duration texts of the detector ("6 days 4 hrs 21 mins", "1 mins 22 secs"): brought to one fixed shape for
// the event table, read as seconds, and said again from seconds.
namespace SupportFunctions {

// Pads every single digit standing alone between spaces, or at the start before a space, with a leading
// zero: "12 days 3 hrs 21 mins" gives "12 days 03 hrs 21 mins".
[[nodiscard]] QString PadSingleDigits(const QString &text);

// Puts the missing "mins", "hrs" and "days" parts in front as zero and, unless noSeconds, a missing "secs"
// part at the end: "3 mins" gives "00 days 00 hrs 3 mins 00 secs".
[[nodiscard]] QString NormalizeDuration(const QString &text, bool noSeconds);

inline constexpr qint64 Minute = 60;
inline constexpr qint64 Hour = 60 * Minute;
inline constexpr qint64 Day = 24 * Hour;

// A duration text in seconds, with the smallest unit it names; nothing when it names none.
struct Span
{
    qint64 seconds;
    qint64 unit;
};
[[nodiscard]] std::optional<Span> span(const QString &text);

// A duration in seconds in the report's units, singular for one: "1 hr 3 mins 5 secs".
[[nodiscard]] QString spanText(qint64 seconds);

} // namespace SupportFunctions
