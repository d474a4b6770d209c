#include "documents/printed/PrintedReport.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "documents/printed/AlarmChart.h"
#include "report/AlarmReport.h"
#include "report/SupportFunctions.h"

namespace {

const QString FontFamily = QStringLiteral("Liberation Sans");
constexpr qreal BodyPoints = 8.5;
constexpr qreal SmallestPoints = 5;
constexpr int PdfResolution = 300;

// The columns that hold numbers and dates: their cells never wrap.
bool keepsOneLine(ReportColumn column)
{
    switch (column) {
    case ReportColumn::DownloadOn:
    case ReportColumn::DownloadAt:
    case ReportColumn::SerialNumber:
    case ReportColumn::Peak:
    case ReportColumn::SelfTests:
        return true;
    default:
        return false;
    }
}

QFont font(qreal points, bool bold = false)
{
    QFont result(FontFamily);
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// Wraps between words, or anywhere in a cell whose word is wider than the cell: the last resort that keeps
// every column on the page.
int wrapFlag(const QFontMetricsF &metrics, const QString &text, qreal width);

// The widest word of a text, for a column that may wrap it between words.
qreal widestWord(const QFontMetricsF &metrics, const QString &text)
{
    qreal widest = 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

int wrapFlag(const QFontMetricsF &metrics, const QString &text, qreal width)
{
    return widestWord(metrics, text) > width ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
}

// Pages filled from the top: painting with a painter, or only counting the pages when there is none.
class Pages
{
public:
    Pages(QPagedPaintDevice &device, QPainter *painter, const PrintedReport::Options &options, int total)
        : m_device(device)
        , m_painter(painter)
        , m_options(options)
        , m_total(total)
    {
        const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
        const QFontMetricsF footer(font(BodyPoints - 1), &device);
        m_footerHeight = footer.height() * 2;
        m_area = QRectF(0, 0, paint.width(), paint.height() - m_footerHeight);
    }

    [[nodiscard]] QPainter *painter() const { return m_painter; }
    [[nodiscard]] const QRectF &area() const { return m_area; }
    [[nodiscard]] qreal y() const { return m_y; }
    [[nodiscard]] int page() const { return m_page; }
    [[nodiscard]] QPaintDevice *device() const { return &m_device; }

    void advance(qreal height) { m_y += height; }
    // Starts a new page unless height fits below what the page holds; true when it started one.
    bool ensure(qreal height)
    {
        if (m_y == 0 || m_y + height <= m_area.bottom())
            return false;
        newPage();
        return true;
    }
    void newPage()
    {
        footer();
        if (m_painter)
            m_device.newPage();
        ++m_page;
        m_y = 0;
    }
    void finish() { footer(); }

private:
    void footer()
    {
        if (!m_painter)
            return;
        m_painter->save();
        m_painter->setFont(font(BodyPoints - 1));
        m_painter->setPen(Qt::darkGray);
        const QRectF line(0, m_area.bottom() + m_footerHeight / 2, m_area.width(), m_footerHeight / 2);
        m_painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Made %1 by %2")
                .arg(m_options.madeAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")), m_options.program));
        m_painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("Page %1 of %2").arg(m_page).arg(m_total));
        m_painter->restore();
    }

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
    const PrintedReport::Options &m_options;
    int m_total;
    int m_page = 1;
    qreal m_y = 0;
    qreal m_footerHeight = 0;
    QRectF m_area;
};

// One line of text at the top of what is left of the page.
void textLine(Pages &pages, const QString &text, const QFont &lineFont)
{
    const QFontMetricsF metrics(lineFont, pages.device());
    pages.ensure(metrics.height());
    if (QPainter *painter = pages.painter()) {
        painter->setFont(lineFont);
        painter->drawText(QRectF(0, pages.y(), pages.area().width(), metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    pages.advance(metrics.height() * 1.2);
}

void titleBlock(Pages &pages, const AlarmReport &report, const PrintedReport::Options &options)
{
    textLine(pages, QStringLiteral("Alarm Report"), font(18, true));
    QStringList serials;
    int events = 0;
    for (const AlarmReport::Detector &detector : report.detectors()) {
        serials << detector.serial;
        events += detector.alarmEvents;
    }
    // A long list is cut short: every detector has its own section below.
    constexpr int NamedDetectors = 12;
    if (serials.size() > NamedDetectors) {
        const qsizetype more = serials.size() - NamedDetectors;
        serials.resize(NamedDetectors);
        serials << QStringLiteral("and %1 more").arg(more);
    }
    const QFont body = font(BodyPoints + 1.5);
    textLine(pages,
        QStringLiteral("Made by %1 on %2")
            .arg(options.program,
                QLocale(QLocale::English).toString(options.madeAt, QStringLiteral("d MMMM yyyy, HH:mm"))),
        body);
    textLine(pages,
        serials.isEmpty() ? QStringLiteral("No alarm events.")
                          : QStringLiteral("Detectors: %1. Alarm events: %2.")
                                .arg(serials.join(QStringLiteral(", ")))
                                .arg(events),
        body);
    if (report.firstDay().isValid()) {
        textLine(pages,
            QStringLiteral("Alarms from %1 to %2")
                .arg(report.firstDay().toString(Qt::ISODate), report.lastDay().toString(Qt::ISODate)),
            body);
    }
    pages.advance(QFontMetricsF(body, pages.device()).height());
}

// The fleet: one line per detector, alarms or not, with its status on the day the report was made.
void fleetTable(Pages &pages, const AlarmReport &report, const PrintedReport::Options &options)
{
    if (report.fleet().isEmpty())
        return;
    textLine(pages, QStringLiteral("Detectors"), font(BodyPoints + 3.5, true));
    const QFont body = font(BodyPoints);
    const QFont bold = font(BodyPoints, true);
    const QFontMetricsF metrics(body, pages.device());
    const QStringList headers { QStringLiteral("Serial #"), QStringLiteral("Reports"),
        QStringLiteral("Last report"), QStringLiteral("User"), QStringLiteral("Life (months)"),
        QStringLiteral("Ends"), QStringLiteral("Self tests"), QStringLiteral("Alarm events"),
        QStringLiteral("Highest peak"), QStringLiteral("Status") };
    const QList<qreal> shares { 1.1, 0.8, 1.4, 2.0, 1.3, 1.1, 0.9, 1.2, 1.5, 1.8 };
    const qreal total = std::accumulate(shares.cbegin(), shares.cend(), 0.0);
    const qreal height = metrics.height() * 1.4;
    const qreal padding = metrics.height() / 3;
    const auto drawRow = [&](const QStringList &cells, bool header, const QColor &statusColour) {
        if (QPainter *painter = pages.painter()) {
            painter->setFont(header ? bold : body);
            qreal x = 0;
            for (qsizetype i = 0; i < cells.size(); ++i) {
                const QRectF cell(x, pages.y(), pages.area().width() * shares.at(i) / total, height);
                if (header)
                    painter->fillRect(cell, QColor(0xD9, 0xE2, 0xF3));
                else if (i == cells.size() - 1 && statusColour.isValid())
                    painter->fillRect(cell, statusColour);
                painter->setPen(QPen(Qt::gray, metrics.height() / 20));
                painter->drawRect(cell);
                painter->setPen(Qt::black);
                const QRectF inner = cell.adjusted(padding, 0, -padding, 0);
                painter->drawText(inner, Qt::AlignVCenter | Qt::AlignLeft,
                    QFontMetricsF(painter->font(), painter->device())
                        .elidedText(cells.at(i), Qt::ElideRight, inner.width()));
                x += cell.width();
            }
        }
        pages.advance(height);
    };
    pages.ensure(height * 3);
    drawRow(headers, true, {});
    const QDate asOf = options.madeAt.date();
    for (const DetectorStatus::Detector &detector : report.fleet()) {
        const QStringList status = detector.status(asOf, {});
        const QDate ends = detector.ends();
        if (pages.ensure(height))
            drawRow(headers, true, {});
        drawRow(
            { detector.serial, QString::number(detector.downloads), detector.lastDownload, detector.lastUser,
                detector.lifeRemainingMonths ? QString::number(*detector.lifeRemainingMonths) : QString(),
                ends.isValid() ? ends.toString(Qt::ISODate) : QString(), detector.selfTests,
                QString::number(detector.alarmEvents), detector.highestPeak,
                status.isEmpty() ? QStringLiteral("in service") : status.join(QStringLiteral(", ")) },
            false, AlarmChart::statusColour(status));
    }
    pages.advance(metrics.height());
}

// One detector's heading, summary and chart in frame.
void detectorCell(QPainter &painter, const QRectF &frame, const AlarmReport::Detector &detector)
{
    const QFont heading = font(BodyPoints + 2, true);
    const QFont body = font(BodyPoints);
    const QFontMetricsF headingMetrics(heading, painter.device());
    const QFontMetricsF bodyMetrics(body, painter.device());
    const QString highest = detector.highestPeak.isEmpty() ? QStringLiteral("none readable")
        : detector.highestWhen.isEmpty()
        ? detector.highestPeak
        : QStringLiteral("%1, began %2").arg(detector.highestPeak, detector.highestWhen);
    const QStringList lines {
        QStringLiteral("Alarm events: %1    Total alarm time: %2")
            .arg(detector.alarmEvents)
            .arg(SupportFunctions::spanText(detector.totalAlarmSeconds)),
        QStringLiteral("Highest peak: %1").arg(highest),
        QStringLiteral("Life remaining: %1    Self tests: %2 (newest download)")
            .arg(detector.lifeRemaining.isEmpty() ? QStringLiteral("not given") : detector.lifeRemaining,
                detector.selfTests.isEmpty() ? QStringLiteral("not given") : detector.selfTests),
    };
    qreal y = frame.top();
    painter.setFont(heading);
    painter.drawText(QRectF(frame.left(), y, frame.width(), headingMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Detector %1").arg(detector.serial));
    y += headingMetrics.height() * 1.2;
    painter.setFont(body);
    for (const QString &line : lines) {
        painter.drawText(QRectF(frame.left(), y, frame.width(), bodyMetrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, bodyMetrics.elidedText(line, Qt::ElideRight, frame.width()));
        y += bodyMetrics.height() * 1.1;
    }
    painter.setFont(font(BodyPoints - 0.5));
    AlarmChart::paint(painter, QRectF(frame.left(), y, frame.width(), frame.bottom() - y), detector);
}

// The detectors with alarms, two charts side by side, three rows to a page.
void detectorCharts(Pages &pages, const AlarmReport &report)
{
    QList<const AlarmReport::Detector *> charted;
    for (const AlarmReport::Detector &detector : report.detectors()) {
        if (detector.alarmEvents > 0)
            charted.append(&detector);
    }
    const qreal gap = QFontMetricsF(font(BodyPoints), pages.device()).height();
    const qreal cellWidth = (pages.area().width() - gap) / 2;
    const qreal cellHeight = (pages.area().height() - 2 * gap) / 3;
    for (qsizetype i = 0; i < charted.size(); i += 2) {
        pages.ensure(cellHeight);
        if (QPainter *painter = pages.painter()) {
            for (qsizetype j = i; j < std::min(i + 2, charted.size()); ++j) {
                const qreal x = (j - i) * (cellWidth + gap);
                detectorCell(*painter, QRectF(x, pages.y(), cellWidth, cellHeight - gap), *charted.at(j));
            }
        }
        pages.advance(cellHeight + gap);
    }
}

// The event table's columns: numbers and dates as wide as their widest cell, the others sharing the rest
// of the page and wrapping between words. The font shrinks until the one-line columns and the widest
// words fit.
struct TableLayout
{
    QFont font;
    QFont headerFont;
    QList<qreal> widths;
    qreal padding = 0;
    qreal headerHeight = 0;
    QList<qreal> rowHeights;
};

// The height of a row of texts in the table's columns, their longer texts wrapped.
qreal rowHeight(const TableLayout &layout, const QList<ReportColumn> &columns, const QStringList &texts,
    const QFontMetricsF &metrics, bool header)
{
    qreal height = metrics.height();
    for (int i = 0; i < texts.size(); ++i) {
        if (!header && keepsOneLine(columns.at(i)))
            continue;
        const qreal inner = layout.widths.at(i) - 2 * layout.padding;
        height = std::max(height,
            metrics.boundingRect(QRectF(0, 0, inner, 1e6), wrapFlag(metrics, texts.at(i), inner), texts.at(i))
                .height());
    }
    return height + layout.padding;
}

QStringList rowTexts(const ReportTable &table, int row)
{
    QStringList texts;
    for (const ReportColumn column : table.columns())
        texts << table.text(row, column);
    return texts;
}

TableLayout tableLayout(const ReportTable &table, QPaintDevice *device, qreal pageWidth)
{
    const QList<ReportColumn> &columns = table.columns();
    // A word longer than this may not widen its column further; it is broken instead.
    const qreal fairShare = pageWidth / columns.size();
    for (qreal points = BodyPoints;; points -= 0.5) {
        TableLayout layout { font(points), font(points, true), {}, 0, 0, {} };
        const QFontMetricsF metrics(layout.font, device);
        const QFontMetricsF headerMetrics(layout.headerFont, device);
        layout.padding = metrics.height() / 2;
        QList<qreal> natural;
        QList<qreal> least;
        for (const ReportColumn column : columns) {
            const QString header = ReportTable::headerText(column);
            qreal widest = 0;
            qreal word = widestWord(headerMetrics, header);
            for (int row = 0; row < table.rowCount(); ++row) {
                const QString text = table.text(row, column);
                widest = std::max(widest, metrics.horizontalAdvance(text));
                if (!keepsOneLine(column))
                    word = std::max(word, widestWord(metrics, text));
            }
            widest = std::max(widest, word) + 2 * layout.padding;
            natural << widest;
            least << (keepsOneLine(column) ? widest : std::min(word, fairShare) + 2 * layout.padding);
        }
        const qreal leastSum = std::accumulate(least.cbegin(), least.cend(), 0.0);
        if (leastSum > pageWidth && points > SmallestPoints)
            continue;
        const qreal naturalSum = std::accumulate(natural.cbegin(), natural.cend(), 0.0);
        if (naturalSum <= pageWidth) {
            // Room for every cell on one line: the spare width goes to all columns alike.
            for (const qreal width : natural)
                layout.widths << width + (pageWidth - naturalSum) / natural.size();
        } else {
            // The wrapping columns share what the others leave, by their natural widths.
            const qreal spare = pageWidth - leastSum;
            qreal wanting = 0;
            for (int i = 0; i < natural.size(); ++i)
                wanting += natural.at(i) - least.at(i);
            for (int i = 0; i < natural.size(); ++i)
                layout.widths << least.at(i)
                        + (wanting > 0 ? spare * (natural.at(i) - least.at(i)) / wanting : 0);
        }
        layout.headerHeight
            = rowHeight(layout, columns, table.headers(), QFontMetricsF(layout.headerFont, device), true);
        for (int row = 0; row < table.rowCount(); ++row)
            layout.rowHeights << rowHeight(layout, columns, rowTexts(table, row), metrics, false);
        return layout;
    }
}

void eventTable(Pages &pages, const ReportTable &table, const TableLayout &layout)
{
    const QFontMetricsF metrics(layout.font, pages.device());
    const QList<ReportColumn> &columns = table.columns();
    const auto drawRow = [&](const QStringList &texts, qreal height, bool header) {
        QPainter *painter = pages.painter();
        if (!painter)
            return;
        painter->setFont(header ? layout.headerFont : layout.font);
        const QFontMetricsF textMetrics(painter->font(), painter->device());
        qreal x = 0;
        for (int i = 0; i < texts.size(); ++i) {
            const QRectF cell(x, pages.y(), layout.widths.at(i), height);
            if (header)
                painter->fillRect(cell, QColor(0xD9, 0xE2, 0xF3));
            painter->setPen(QPen(Qt::gray, metrics.height() / 20));
            painter->drawRect(cell);
            painter->setPen(Qt::black);
            const qreal inner = layout.widths.at(i) - 2 * layout.padding;
            const int flags = Qt::AlignVCenter
                | (header || !keepsOneLine(columns.at(i)) ? wrapFlag(textMetrics, texts.at(i), inner) : 0)
                | (header                             ? Qt::AlignHCenter
                        : keepsOneLine(columns.at(i)) ? Qt::AlignRight
                                                      : Qt::AlignLeft);
            painter->drawText(
                cell.adjusted(layout.padding, layout.padding / 2, -layout.padding, -layout.padding / 2),
                flags, texts.at(i));
            x += layout.widths.at(i);
        }
    };
    const QStringList headers = table.headers();
    const auto header = [&] {
        drawRow(headers, layout.headerHeight, true);
        pages.advance(layout.headerHeight);
    };
    pages.ensure(layout.headerHeight + metrics.height() * 3);
    header();
    for (int row = 0; row < table.rowCount(); ++row) {
        const qreal height = layout.rowHeights.at(row);
        if (pages.ensure(height))
            header();
        if (pages.painter())
            drawRow(rowTexts(table, row), height, false);
        pages.advance(height);
    }
}

// Lays the report out on pages; paints it when painter is set, and returns the number of pages.
int layOut(const AlarmReport &report, const TableLayout &table, QPagedPaintDevice &device, QPainter *painter,
    const PrintedReport::Options &options, int total)
{
    Pages pages(device, painter, options, total);
    titleBlock(pages, report, options);
    fleetTable(pages, report, options);
    detectorCharts(pages, report);
    if (report.table().rowCount() > 0) {
        textLine(pages, QStringLiteral("Alarm Events"), font(BodyPoints + 3.5, true));
        eventTable(pages, report.table(), table);
    }
    pages.finish();
    return pages.page();
}

} // namespace

namespace PrintedReport {

void setPageLayout(QPagedPaintDevice &device, QLocale::MeasurementSystem measurement)
{
    // Letter is the paper of the United States; the United Kingdom prints on A4 although Qt counts it as
    // imperial.
    const bool inches = measurement == QLocale::ImperialUSSystem;
    device.setPageLayout(QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4),
        QPageLayout::Landscape, inches ? QMarginsF(0.5, 0.5, 0.5, 0.5) : QMarginsF(12.7, 12.7, 12.7, 12.7),
        inches ? QPageLayout::Inch : QPageLayout::Millimeter));
}

bool paint(const AlarmReport &report, QPagedPaintDevice &device, const Options &options, QString *error)
{
    const TableLayout table = tableLayout(
        report.table(), &device, device.pageLayout().paintRectPixels(device.logicalDpiX()).width());
    const int total = layOut(report, table, device, nullptr, options, 0);
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("the report cannot be painted on this device");
        return false;
    }
    layOut(report, table, device, &painter, options, total);
    if (!painter.end()) {
        *error = QStringLiteral("the report could not be finished");
        return false;
    }
    return true;
}

std::optional<QByteArray> pdf(const AlarmReport &report, const Options &options, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        *error = buffer.errorString();
        return std::nullopt;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setCreator(options.program);
        writer.setTitle(QStringLiteral("Alarm Report"));
        setPageLayout(writer, options.measurement);
        if (!paint(report, writer, options, error))
            return std::nullopt;
    }
    return bytes;
}

} // namespace PrintedReport
