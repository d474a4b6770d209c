#include "documents/printed/AlarmChart.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace {

// A round step for about count ticks up to top: 1, 2 or 5 times a power of ten.
double tickStep(double top, int count)
{
    const double raw = std::max(top / count, 1e-9);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

QString ppmLabel(double value)
{
    return QStringLiteral("%1 ppm").arg(value);
}

} // namespace

namespace AlarmChart {

Scale::Scale(const AlarmReport::Detector &detector, const QRectF &frame, const QFontMetricsF &metrics)
    : m_line(metrics.height())
{
    for (const AlarmReport::Point &point : detector.points) {
        if (std::isfinite(point.ppm))
            m_highest = std::max(m_highest, point.ppm);
    }
    m_step = tickStep(std::max(m_highest, 1.0) * 1.1, 5);
    m_top = std::ceil(std::max(m_highest, 1.0) * 1.1 / m_step) * m_step;
    const qreal labels = metrics.horizontalAdvance(ppmLabel(m_top)) + m_line;
    m_plot = QRectF(frame.left() + labels, frame.top() + 1.8 * m_line, frame.width() - labels - m_line,
        frame.height() - 4.8 * m_line);

    m_first = detector.points.isEmpty() ? QDateTime() : detector.points.first().when;
    m_last = detector.points.isEmpty() ? QDateTime() : detector.points.last().when;
    if (!m_first.isValid() || m_first.secsTo(m_last) < 3600) {
        const QDateTime middle
            = m_first.isValid() ? m_first : QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        m_first = middle.addSecs(-12 * 3600);
        m_last = middle.addSecs(12 * 3600);
    }
    // A margin either side, so that the first and last marks stand clear of the axes.
    const qint64 margin = m_first.secsTo(m_last) / 30;
    m_first = m_first.addSecs(-margin);
    m_last = m_last.addSecs(margin);
}

qreal Scale::xOf(const QDateTime &when) const
{
    return m_plot.left() + m_plot.width() * double(m_first.secsTo(when)) / double(m_first.secsTo(m_last));
}

qreal Scale::yOf(double ppm) const
{
    return m_plot.bottom() - m_plot.height() * std::min(ppm, m_top) / m_top;
}

QPointF Scale::mark(const AlarmReport::Point &point) const
{
    return { xOf(point.when), yOf(point.ppm) };
}

void paint(QPainter &painter, const QRectF &frame, const AlarmReport::Detector &detector)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const Scale scale(detector, frame, metrics);
    const QRectF &plot = scale.plot();
    const qreal line = scale.m_line;
    const qreal thin = line / 14;

    painter.save();
    for (double value = 0; value <= scale.m_top + scale.m_step / 2; value += scale.m_step) {
        const qreal y = scale.yOf(value);
        painter.setPen(QPen(Qt::lightGray, thin));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(frame.left(), y - line / 2, plot.left() - frame.left() - line / 3, line),
            Qt::AlignRight | Qt::AlignVCenter, ppmLabel(value));
    }
    const qint64 span = scale.m_first.secsTo(scale.m_last);
    const bool withTime = span <= 7 * 86400;
    // As many dates as fit side by side with room between them, five at most.
    const qreal labelWidth = metrics.horizontalAdvance(
        withTime ? QStringLiteral("0000-00-00 00:00") : QStringLiteral("0000-00-00"));
    const int dateTicks = std::clamp(int(plot.width() / (labelWidth * 1.4)), 1, 5);
    for (int tick = 0; tick <= dateTicks; ++tick) {
        const QDateTime when = scale.m_first.addSecs(span * tick / dateTicks);
        const qreal x = scale.xOf(when);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + line / 3));
        const QString label
            = when.toString(withTime ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("yyyy-MM-dd"));
        const qreal width = metrics.horizontalAdvance(label);
        const qreal left = std::clamp(x - width / 2, frame.left(), frame.right() - width);
        painter.drawText(QRectF(left, plot.bottom() + line / 2, width, line), Qt::AlignCenter, label);
    }
    painter.setPen(QPen(Qt::black, thin * 2));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRectF(plot.left(), frame.top(), plot.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Peak exposure (ppm H2S)"));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.6 * line, plot.width(), line), Qt::AlignCenter,
        QStringLiteral("When the alarm began; a hollow mark: the download date, where the start is unknown"));

    if (scale.m_highest > 0) {
        painter.setPen(QPen(QColor(0xB0, 0x20, 0x20), thin * 2, Qt::DashLine));
        const qreal y = scale.yOf(scale.m_highest);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(QRectF(plot.left() + line / 3, y - line, plot.width(), line),
            Qt::AlignLeft | Qt::AlignBottom,
            QStringLiteral("Highest peak: %1").arg(ppmLabel(scale.m_highest)));
    }
    const qreal radius = scale.markRadius();
    for (const AlarmReport::Point &point : detector.points) {
        const QPointF centre = scale.mark(point);
        painter.setPen(QPen(QColor(0x1F, 0x4E, 0x79), thin * 2));
        painter.setBrush(point.began ? QBrush(QColor(0x1F, 0x4E, 0x79)) : QBrush(Qt::NoBrush));
        if (std::isfinite(point.ppm)) {
            painter.drawEllipse(centre, radius, radius);
        } else {
            // An overload reading: a triangle at the top of the scale.
            QPainterPath triangle;
            triangle.moveTo(centre + QPointF(0, -radius * 1.3));
            triangle.lineTo(centre + QPointF(radius * 1.2, radius));
            triangle.lineTo(centre + QPointF(-radius * 1.2, radius));
            triangle.closeSubpath();
            painter.drawPath(triangle);
        }
    }
    painter.restore();
}

int markAt(const AlarmReport::Detector &detector, const QRectF &frame, const QFontMetricsF &metrics,
    const QPointF &position)
{
    const Scale scale(detector, frame, metrics);
    int nearest = -1;
    qreal nearestDistance = scale.markRadius() * 2;
    for (int index = 0; index < detector.points.size(); ++index) {
        const QPointF offset = scale.mark(detector.points.at(index)) - position;
        const qreal distance = std::hypot(offset.x(), offset.y());
        if (distance <= nearestDistance) {
            nearest = index;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace AlarmChart
