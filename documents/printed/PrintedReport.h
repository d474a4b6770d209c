#pragma once

#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

class AlarmReport;
class QPagedPaintDevice;

// The printed alarm report: a title block, per detector a summary and a chart of its alarm peaks against
// when they began, then the event table with its header on every page, "Page N of M" and the time it was
// made in every page's footer. It is painted on any paged device: a PDF writer or a printer.
namespace PrintedReport {

struct Options
{
    QString program; // "Lorimet Adapter 1.1.8": named in the footer and as the PDF's creator
    QDateTime madeAt;
    QLocale::MeasurementSystem measurement = QLocale::system().measurementSystem(); // A4, or Letter in inches
};

// Landscape A4, or Letter where the measurement is in inches.
void setPageLayout(QPagedPaintDevice &device, QLocale::MeasurementSystem measurement);

// Paints report on device, whose page layout is set already. False, with the reason in error, when the
// device cannot be painted on.
[[nodiscard]] bool paint(
    const AlarmReport &report, QPagedPaintDevice &device, const Options &options, QString *error);

// The report as the bytes of a PDF file, with its fonts embedded and its text selectable.
[[nodiscard]] std::optional<QByteArray> pdf(
    const AlarmReport &report, const Options &options, QString *error);

} // namespace PrintedReport
