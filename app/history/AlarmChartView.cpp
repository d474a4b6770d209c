#include "app/history/AlarmChartView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "app/windows/WindowDates.h"
#include "documents/printed/AlarmChart.h"
#include "report/DownloadFacts.h"

namespace {

// A start as the archive shows it, at its precision: "2026-12-05 12:55", "2026-12-05 12 h", "2026-12-05".
QDateTime startOf(const QString &began)
{
    for (const char *format :
        { "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH 'h'", "yyyy-MM-dd" }) {
        QDateTime when = QDateTime::fromString(began, QLatin1String(format));
        if (when.isValid()) {
            when.setTimeSpec(Qt::UTC);
            return when;
        }
    }
    return {};
}

} // namespace

AlarmChartView::AlarmChartView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chartAlarms"));
    setMinimumHeight(180);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AlarmChartView::setAlarms(const QString &serial, const QList<ArchivedAlarm> &alarms)
{
    m_detector = {};
    m_detector.serial = serial;
    m_charted.clear();
    for (const ArchivedAlarm &alarm : alarms) {
        const QDateTime when = startOf(alarm.began);
        const double ppm = DownloadFacts::peakRank(alarm.peak);
        if (!when.isValid() || ppm < 0)
            continue;
        m_detector.points.append({ when, true, ppm, int(m_charted.size()) });
        m_charted.append(alarm);
    }
    std::stable_sort(m_detector.points.begin(), m_detector.points.end(),
        [](const AlarmReport::Point &a, const AlarmReport::Point &b) { return a.when < b.when; });
    update();
}

QRectF AlarmChartView::frame() const
{
    return QRectF(rect()).adjusted(8, 8, -8, -8);
}

QPoint AlarmChartView::markPosition(int index) const
{
    const AlarmChart::Scale scale(m_detector, frame(), QFontMetricsF(font(), this));
    return scale.mark(m_detector.points.at(index)).toPoint();
}

void AlarmChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    painter.setPen(palette().text().color());
    AlarmChart::paint(painter, frame(), m_detector);
}

bool AlarmChartView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const int index = AlarmChart::markAt(m_detector, frame(), QFontMetricsF(font(), this), help->pos());
    if (index < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const ArchivedAlarm &alarm = m_charted.at(m_detector.points.at(index).row);
    QToolTip::showText(help->globalPos(),
        tr("Began %1\nPeak %2\nDuration %3").arg(WindowDates::shown(alarm.began), alarm.peak, alarm.duration),
        this);
    return true;
}
