#pragma once

#include <QString>

// Fonts whose advance widths the table writers know, for fitting columns to their texts without a screen.
// The widths come from metric-compatible free fonts (Carlito for Calibri, Liberation Sans for Arial).
enum class MetricFont
{
    CalibriRegular,
    CalibriBold,
    ArialRegular,
    ArialBold,
};

namespace FontMetrics {

// The advance width of text in points at the given size. A character outside the table counts as wide
// as the widest character of the font, so a fitted column is never too narrow.
[[nodiscard]] double TextWidth(MetricFont font, const QString &text, double pointSize);

} // namespace FontMetrics
