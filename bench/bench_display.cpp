// Measures the UI-thread time of a download that fills the report display: 32,767 lines appended one at
// a time through the display's operations, each followed by the selection of the newest line, with the
// real view on screen. Run it on a display (or QT_QPA_PLATFORM=offscreen); it is not part of the tests.

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "app/mainwindow/ReportDisplay.h"
#include "app/mainwindow/ReportDisplayModel.h"

namespace {

// Every line of a report is 24 characters wide.
QString reportLine(int number)
{
    return QStringLiteral("Event %1").arg(number, 6, 10, QLatin1Char('0')).leftJustified(24, u' ');
}

// eventsEvery: how many lines arrive between two rounds of event processing (0: none until the end), as a
// transfer processes pending events after each input report.
qint64 fillDisplay(int eventsEvery)
{
    ReportDisplay display;
    QFont fixedPitch(QStringLiteral("Courier New"));
    fixedPitch.setPointSizeF(9);
    display.setFont(fixedPitch);
    display.resize(191, 467);
    display.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    for (int line = 0; line < ReportDisplayModel::MaxLines; ++line) {
        display.AddItem(reportLine(line));
        display.SetListIndex(static_cast<qint16>(display.ListCount() - 1));
        if (eventsEvery > 0 && line % eventsEvery == 0)
            QApplication::processEvents();
    }
    display.publishPending();
    QApplication::processEvents();
    const qint64 elapsed = timer.elapsed();

    if (display.ListCount() != ReportDisplayModel::MaxLines || !display.currentIndex().isValid()
        || display.currentIndex().row() != ReportDisplayModel::MaxLines - 1)
        return -1;
    return elapsed;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTextStream out(stdout);
    const int lines = ReportDisplayModel::MaxLines;
    for (const int eventsEvery : { 0, 3, 1 }) {
        const qint64 elapsed = fillDisplay(eventsEvery);
        if (elapsed < 0) {
            out << "the display did not end with the newest line selected\n";
            return 1;
        }
        out << lines << " lines, events processed "
            << (eventsEvery == 0 ? QStringLiteral("at the end only")
                                 : QStringLiteral("every %1 line(s)").arg(eventsEvery))
            << ": " << elapsed << " ms\n";
    }
    return 0;
}
