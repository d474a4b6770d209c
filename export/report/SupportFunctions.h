#pragma once

#include <QString>

// Duration texts of the detector ("6 days 4 hrs 21 mins", "1 mins 22 secs") brought to one fixed shape for
// the event table.
namespace SupportFunctions {

// Pads every single digit standing alone between spaces, or at the start before a space, with a leading
// zero: "12 days 3 hrs 21 mins" gives "12 days 03 hrs 21 mins".
[[nodiscard]] QString PadSingleDigits(const QString &text);

// Puts the missing "mins", "hrs" and "days" parts in front as zero and, unless noSeconds, a missing "secs"
// part at the end: "3 mins" gives "00 days 00 hrs 3 mins 00 secs".
[[nodiscard]] QString NormalizeDuration(const QString &text, bool noSeconds);

} // namespace SupportFunctions
