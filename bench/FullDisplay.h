#pragma once

#include <QString>
#include <QStringList>

// A full display for the export benchmarks: 32,767 report lines of reports with four alarm events each and
// every optional block, about 3,300 event rows in all.
inline QStringList FullDisplayLines()
{
    constexpr int DisplayLines = 32767;
    const auto line = [](const QString &text) { return text.leftJustified(24, u' '); };
    QStringList lines;
    for (int report = 0; lines.size() < DisplayLines; ++report) {
        lines << line(QStringLiteral("========================"))
              << line(QStringLiteral("  H2S EVENT LOG REPORT"))
              << line(QStringLiteral("   S/N: %1").arg(4000 + report))
              << QStringLiteral("Date: %1-Dec-2026").arg(1 + report % 28, 2, 10, QChar(u'0'))
              << QStringLiteral("Time: %1:%2 PM").arg(1 + report % 12).arg(report % 60, 2, 10, QChar(u'0'))
              << QStringLiteral("Serial #: %1").arg(4000 + report)
              << QStringLiteral("User: Safety Officer %1").arg(report % 7)
              << line(QStringLiteral("------------------------")) << line(QStringLiteral("Life Remaining:"))
              << line(QStringLiteral("%1 months").arg(24 - report % 24))
              << line(QStringLiteral("Self tests:")) << line(QString::number(report % 300))
              << line(QStringLiteral("Total events/duration:"))
              << line(QStringLiteral("4 / %1 min.").arg(report % 90));
        for (int event = 0; event < 4; ++event) {
            lines << line(QStringLiteral("Peak exposure:"))
                  << line(event == 3 ? QStringLiteral("O.L. ppm H2S")
                                     : QStringLiteral("%1 ppm H2S").arg(10 + event * 7))
                  << line(QStringLiteral("Time since alarm began:"))
                  << line(QStringLiteral("%1 days %2 hrs %3 mins")
                              .arg(event + 1)
                              .arg(report % 24)
                              .arg(report % 60))
                  << line(QStringLiteral("Alarm duration:"))
                  << line(QStringLiteral("%1 mins %2 secs").arg(event).arg(report % 60));
        }
        lines << line(QStringLiteral("========================"));
    }
    return lines.mid(0, DisplayLines);
}
