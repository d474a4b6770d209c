#pragma once

#include <QList>
#include <QWidget>

#include "archive/ReportArchive.h"
#include "report/AlarmReport.h"

// One detector's archived alarms as the printed report charts them: peak against when each began, with a
// tooltip per mark. Alarms whose start the archive does not know are left out of the chart.
class AlarmChartView : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmChartView(QWidget *parent = nullptr);

    void setAlarms(const QString &serial, const QList<ArchivedAlarm> &alarms);
    [[nodiscard]] int markCount() const { return int(m_detector.points.size()); }
    // Where the mark of the index-th charted alarm lies, in the view's coordinates.
    [[nodiscard]] QPoint markPosition(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    [[nodiscard]] QRectF frame() const;

    AlarmReport::Detector m_detector;
    QList<ArchivedAlarm> m_charted; // the alarm behind each point, by the point's row
};
