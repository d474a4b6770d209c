#pragma once

#include <optional>

#include <QString>

// Fonts whose advance widths the table writers know, for fitting columns to their texts without a screen.
// The widths come from metric-compatible free fonts (Carlito for Calibri, Liberation Sans, Serif and Mono
// for Arial, Times New Roman and Courier New, Caladea for Cambria).
enum class MetricFont
{
    CalibriRegular,
    CalibriBold,
    ArialRegular,
    ArialBold,
    TimesRegular,
    TimesBold,
    CourierRegular,
    CourierBold,
    CambriaRegular,
    CambriaBold,
};

namespace FontMetrics {

// The advance width of text in points at the given size. A character outside the table counts as wide
// as the widest character of the font, so a fitted column is never too narrow.
[[nodiscard]] double textWidth(MetricFont font, const QString &text, double pointSize);

// The known font that has the widths of a font family, by its name or a metric-compatible one's.
[[nodiscard]] std::optional<MetricFont> forFamily(const QString &family, bool bold);

// The width of text in a font family; a family none of the known fonts stands for is measured as the
// widest of them, so that its texts still fit.
[[nodiscard]] double textWidth(const QString &family, bool bold, const QString &text, double pointSize);

} // namespace FontMetrics
