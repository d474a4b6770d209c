#pragma once

#include <QColor>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QStringList>

#include "report/AlarmReport.h"

class QPainter;

// The chart of one detector's alarms: peak ppm against when each began, one mark per alarm, with axes,
// units, a line at the highest peak and a legend of the marks. Over-range readings ("O.L.") have a band of
// their own above the numeric scale. The printed report and the History window draw the same chart.
namespace AlarmChart {

// The colour that marks a detector's status beside its words, in History and in the printed report;
// invalid when all is well.
[[nodiscard]] QColor statusColour(const QStringList &status);

// Where a chart in frame puts its plot and its marks, for the font given by metrics.
class Scale
{
public:
    Scale(const AlarmReport::Detector &detector, const QRectF &frame, const QFontMetricsF &metrics);

    [[nodiscard]] const QRectF &plot() const { return m_plot; }
    [[nodiscard]] QPointF mark(const AlarmReport::Point &point) const;
    [[nodiscard]] qreal markRadius() const { return m_line / 4; }

private:
    friend void paint(QPainter &painter, const QRectF &frame, const AlarmReport::Detector &detector);

    [[nodiscard]] qreal xOf(const QDateTime &when) const;
    [[nodiscard]] qreal yOf(double ppm) const;

    qreal m_line;
    double m_highest = 0; // the highest peak that is a number
    bool m_overRange = false; // some peak is an over-range reading
    qreal m_band = 0; // the height of the over-range band at the top of the plot
    double m_top = 0;
    double m_step = 0;
    QDateTime m_first;
    QDateTime m_last;
    QRectF m_plot;
};

// Paints the chart of detector in frame with the painter's font.
void paint(QPainter &painter, const QRectF &frame, const AlarmReport::Detector &detector);

// The alarm whose mark lies at position in a chart in frame, as an index into detector.points; -1 for
// none.
[[nodiscard]] int markAt(const AlarmReport::Detector &detector, const QRectF &frame,
    const QFontMetricsF &metrics, const QPointF &position);

} // namespace AlarmChart
