#include "documents/printed/AlarmChart.h"

#include <algorithm>
#include <cmath>
#include <tuple>

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

QColor statusColour(const QStringList &status)
{
    if (status.contains(DetectorStatus::Expired))
        return QColor(0xF4, 0xC7, 0xC3);
    if (status.contains(DetectorStatus::EndsSoon))
        return QColor(0xFC, 0xE8, 0xB2);
    return status.isEmpty() ? QColor() : QColor(0xDD, 0xE3, 0xEA);
}

Scale::Scale(const AlarmReport::Detector &detector, const QRectF &frame, const QFontMetricsF &metrics)
    : m_line(metrics.height())
{
    for (const AlarmReport::Point &point : detector.points) {
        if (std::isfinite(point.ppm))
            m_highest = std::max(m_highest, point.ppm);
        else
            m_overRange = true;
    }
    m_step = tickStep(std::max(m_highest, 1.0) * 1.1, 5);
    m_top = std::ceil(std::max(m_highest, 1.0) * 1.1 / m_step) * m_step;
    const qreal labels = metrics.horizontalAdvance(ppmLabel(m_top)) + m_line;
    m_plot = QRectF(frame.left() + labels, frame.top() + 1.8 * m_line, frame.width() - labels - m_line,
        frame.height() - 6 * m_line);
    m_band = m_overRange ? std::min(1.6 * m_line, m_plot.height() / 3) : 0;

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
    if (!std::isfinite(ppm))
        return m_plot.top() + m_band / 2;
    return m_plot.bottom() - (m_plot.height() - m_band) * std::min(ppm, m_top) / m_top;
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
        QStringLiteral("When the alarm began"));
    if (scale.m_overRange) {
        // The over-range band: above every number, as far as a detector can tell.
        const QRectF band(plot.left(), plot.top(), plot.width(), scale.m_band);
        painter.fillRect(band, QColor(0xF6, 0xE3, 0xE3));
        painter.drawText(
            QRectF(frame.left(), band.top(), plot.left() - frame.left() - line / 3, band.height()),
            Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("O.L."));
    }

    // The highest peak, as the summary names it: an over-range reading beats any number.
    if (scale.m_overRange || scale.m_highest > 0) {
        painter.setPen(QPen(QColor(0xB0, 0x20, 0x20), thin * 2, Qt::DashLine));
        const qreal y = scale.m_overRange ? plot.top() + scale.m_band : scale.yOf(scale.m_highest);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(QRectF(plot.left() + line / 3, scale.m_overRange ? y : y - line, plot.width(), line),
            Qt::AlignLeft | (scale.m_overRange ? Qt::AlignTop : Qt::AlignBottom),
            QStringLiteral("Highest peak: %1")
                .arg(scale.m_overRange ? QStringLiteral("O.L. (over range)") : ppmLabel(scale.m_highest)));
    }
    const qreal radius = scale.markRadius();
    const auto drawMark = [&painter, radius, thin](const QPointF &centre, bool began, bool overRange) {
        painter.setPen(QPen(QColor(0x1F, 0x4E, 0x79), thin * 2));
        painter.setBrush(began ? QBrush(QColor(0x1F, 0x4E, 0x79)) : QBrush(Qt::NoBrush));
        if (!overRange) {
            painter.drawEllipse(centre, radius, radius);
            return;
        }
        QPainterPath triangle;
        triangle.moveTo(centre + QPointF(0, -radius * 1.3));
        triangle.lineTo(centre + QPointF(radius * 1.2, radius));
        triangle.lineTo(centre + QPointF(-radius * 1.2, radius));
        triangle.closeSubpath();
        painter.drawPath(triangle);
    };
    for (const AlarmReport::Point &point : detector.points)
        drawMark(scale.mark(point), point.began, !std::isfinite(point.ppm));

    // A legend of every kind of mark, centred below the axis.
    const std::tuple<bool, bool, QString> kinds[] = {
        { true, false, QStringLiteral("alarm began") },
        { false, false, QStringLiteral("download date, start unknown") },
        { true, true, QStringLiteral("over range (O.L.)") },
    };
    qreal width = 0;
    for (const auto &[began, overRange, text] : kinds)
        width += radius * 3 + metrics.horizontalAdvance(text) + line;
    qreal x = plot.center().x() - (width - line) / 2;
    const qreal y = plot.bottom() + 2.7 * line;
    for (const auto &[began, overRange, text] : kinds) {
        drawMark(QPointF(x + radius * 1.5, y + line / 2), began, overRange);
        x += radius * 3;
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(x, y, metrics.horizontalAdvance(text), line), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text) + line;
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
