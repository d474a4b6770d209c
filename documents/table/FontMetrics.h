#pragma once

#include <optional>

#include <QString>

// Fonts whose advance widths the table writers know, for fitting columns to their texts without a screen.
// The widths come from metric-compatible free fonts (Carlito for Calibri, Liberation Sans, Serif and Mono
// for Arial, Times New Roman and Courier New, Caladea for Cambria).
// Per family its regular, bold, italic and bold italic face, in that order.
enum class MetricFont
{
    CalibriRegular,
    CalibriBold,
    CalibriItalic,
    CalibriBoldItalic,
    ArialRegular,
    ArialBold,
    ArialItalic,
    ArialBoldItalic,
    TimesRegular,
    TimesBold,
    TimesItalic,
    TimesBoldItalic,
    CourierRegular,
    CourierBold,
    CourierItalic,
    CourierBoldItalic,
    CambriaRegular,
    CambriaBold,
    CambriaItalic,
    CambriaBoldItalic,
};

namespace FontMetrics {

// The advance width of text in points at the given size. A character outside the table counts as wide
// as the widest character of the font, so a fitted column is never too narrow.
[[nodiscard]] double textWidth(MetricFont font, const QString &text, double pointSize);

// The known face that has the widths of a font family, by its name or a metric-compatible one's, in that
// weight and slant.
[[nodiscard]] std::optional<MetricFont> forFamily(const QString &family, bool bold, bool italic = false);

// The width of text in a font family; a family none of the known fonts stands for is measured as the
// widest of them, so that its texts still fit.
[[nodiscard]] double textWidth(
    const QString &family, bool bold, const QString &text, double pointSize, bool italic = false);

} // namespace FontMetrics
