// Measures the Excel export of a full display: a new workbook, timed against libxlsxwriter writing the same
// styled table from the same rows when that library is installed; the whole `lorimet-report export` command
// on the display saved as a text report, against libxlsxwriter writing it in a whole run of its own (this
// program with --reference-run: the same reading and parsing, then libxlsxwriter); and an append of the same
// rows to the workbook just made. Prints medians and the peak memory. It is not part of the tests.

#include <algorithm>
#include <vector>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTime>

#ifdef LORIMET_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

#include "bench/FullDisplay.h"
#include "common/Windows1252.h"
#include "documents/excel/XlsxWorkbook.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"
#include "report/TextReportFile.h"

namespace {

constexpr int Runs = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Milliseconds one export takes; a failure ends the benchmark.
double timeExport(const ReportTable &table, const QString &path, bool append)
{
    QElapsedTimer timer;
    timer.start();
    XlsxWorkbook workbook;
    QString error;
    if (!(append ? workbook.open(path, &error) : workbook.create(&error))
        || !workbook.writeTable(table, &error) || !workbook.save(path, &error)) {
        QTextStream(stderr) << "export failed: " << error << '\n';
        std::exit(1);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

#ifdef LORIMET_HAVE_XLSXWRITER
// The same table with the same formats, written by libxlsxwriter.
double timeReference(const ReportTable &table, const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook *workbook = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    const auto headerFormat = [workbook](int column) {
        lxw_format *format = workbook_add_format(workbook);
        format_set_bold(format);
        format_set_font_color(format, LXW_COLOR_WHITE);
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, LXW_COLOR_BLACK);
        format_set_align(format, LXW_ALIGN_CENTER);
        format_set_top(format, LXW_BORDER_THIN);
        format_set_right(format, LXW_BORDER_THIN);
        format_set_right_color(format, column == 6 ? LXW_COLOR_BLACK : LXW_COLOR_WHITE);
        if (column == 0)
            format_set_left(format, LXW_BORDER_THIN);
        return format;
    };
    const auto bodyFormat = [workbook](const char *numberFormat) {
        lxw_format *format = workbook_add_format(workbook);
        format_set_align(format, LXW_ALIGN_CENTER);
        format_set_left(format, LXW_BORDER_HAIR);
        format_set_right(format, LXW_BORDER_HAIR);
        format_set_bottom(format, LXW_BORDER_HAIR);
        if (numberFormat)
            format_set_num_format(format, numberFormat);
        return format;
    };
    lxw_format *body = bodyFormat(nullptr);
    lxw_format *date = bodyFormat("dd-mmm-yyyy");
    lxw_format *time = bodyFormat("hh:mm AM/PM");
    lxw_format *serial = bodyFormat("0");
    const QList<ReportColumn> &columns = table.columns();
    for (int c = 0; c < columns.size(); ++c)
        worksheet_write_string(
            sheet, 0, c, ReportTable::headerText(columns.at(c)).toUtf8().constData(), headerFormat(c));
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int c = 0; c < columns.size(); ++c) {
            const ReportColumn column = columns.at(c);
            lxw_format *format = column == ReportColumn::DownloadOn ? date
                : column == ReportColumn::DownloadAt                ? time
                : column == ReportColumn::SerialNumber              ? serial
                                                                    : body;
            const QVariant value = table.value(row, column);
            if (value.typeId() == QMetaType::QDate)
                worksheet_write_number(sheet, row + 1, c, QDate(1899, 12, 30).daysTo(value.toDate()), format);
            else if (value.typeId() == QMetaType::QTime)
                worksheet_write_number(
                    sheet, row + 1, c, value.toTime().msecsSinceStartOfDay() / 86400000.0, format);
            else if (value.typeId() == QMetaType::Double)
                worksheet_write_number(sheet, row + 1, c, value.toDouble(), format);
            else if (value.isNull())
                worksheet_write_blank(sheet, row + 1, c, format);
            else
                worksheet_write_string(sheet, row + 1, c, value.toString().toUtf8().constData(), format);
        }
    }
    for (int c = 0; c < 11; ++c)
        worksheet_set_column(sheet, c, c, 20, nullptr);
    worksheet_fit_to_pages(sheet, 1, 1);
    if (workbook_close(workbook) != LXW_NO_ERROR) {
        QTextStream(stderr) << "libxlsxwriter failed\n";
        std::exit(1);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The whole export of a text report as a program built on libxlsxwriter would do it: read, parse, write.
int referenceRun(const QString &input, const QString &output)
{
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    EventLogParser parser;
    for (QByteArrayView line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        parser.WriteLine(Windows1252::toUnicode(line));
    }
    timeReference(ReportTable(parser, QLocale(QLocale::English)), output);
    return 0;
}
#endif

// Milliseconds of each run of program.
std::vector<double> timeRuns(const QString &program, const QStringList &arguments)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60'000) || process.exitCode() != 0) {
            QTextStream(stderr) << program << " failed\n";
            std::exit(1);
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
#ifdef LORIMET_HAVE_XLSXWRITER
    if (argc == 4 && QByteArrayView(argv[1]) == "--reference-run")
        return referenceRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
#endif
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("new.xlsx"));

    EventLogParser parser;
    for (const QString &line : FullDisplayLines())
        parser.WriteLine(line);
    const ReportTable table(parser);
    out << table.rowCount() << " rows x " << table.columns().size() << " columns\n";

    std::vector<double> ours;
    std::vector<double> ratios;
    for (int run = 0; run < Runs; ++run) {
        ours.push_back(timeExport(table, path, false));
#ifdef LORIMET_HAVE_XLSXWRITER
        ratios.push_back(
            ours.back() / timeReference(table, folder.filePath(QStringLiteral("reference.xlsx"))));
#endif
    }
    out << "new workbook: median " << median(ours) << " ms\n";
    if (!ratios.empty())
        out << "against libxlsxwriter: median ratio " << median(ratios) << '\n';

    // The whole command, from reading the text report to the replaced file.
    const QString report = folder.filePath(QStringLiteral("display.txt"));
    QFile text(report);
    if (!text.open(QIODevice::WriteOnly))
        return 1;
    for (const QString &line : FullDisplayLines())
        text.write(TextReportFile::encodeLine(line));
    text.close();
    const std::vector<double> commands = timeRuns(QStringLiteral(LORIMET_REPORT_PATH),
        { QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("xlsx"), report,
            folder.filePath(QStringLiteral("command.xlsx")) });
    out << "lorimet-report export --format xlsx: median " << median(commands) << " ms";
    if (!ratios.empty()) {
        out << ", " << median(commands) / (median(ours) / median(ratios)) << " x libxlsxwriter in process";
        const std::vector<double> reference = timeRuns(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--reference-run"), report, folder.filePath(QStringLiteral("run.xlsx")) });
        out << ", " << median(commands) / median(reference) << " x a libxlsxwriter run of "
            << median(reference) << " ms";
    }
    out << '\n';

    std::vector<double> appends;
    for (int run = 0; run < Runs; ++run) {
        const QString copy = folder.filePath(QStringLiteral("append%1.xlsx").arg(run));
        QFile::copy(path, copy);
        appends.push_back(timeExport(table, copy, true));
    }
    out << "append to a " << table.rowCount() << "-row workbook: median " << median(appends) << " ms, "
        << median(appends) / median(ours) << " x a new export\n";

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    out << "peak memory: " << usage.ru_maxrss / 1024 << " MiB\n";
    return 0;
}
