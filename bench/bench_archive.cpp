// Measures the report archive: storing a full display (32,767 lines, about 3,300 alarm events), importing
// 1,000 text reports, listing 100,000 archived downloads filtered by serial number, and opening the
// History window over them; then storing and listing on a PostgreSQL server. It is not part of the tests; run
// it with QT_QPA_PLATFORM=offscreen where there is no screen.

#include <algorithm>
#include <memory>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/history/frmHistory.h"
#include "archive/ArchiveImport.h"
#include "archive/ReportArchive.h"
#include "bench/FullDisplay.h"
#include "report/TextReportFile.h"
#include "tests/support/PostgresServer.h"

namespace {

constexpr int Runs = 5;

template<typename Run> qint64 medianTime(Run run)
{
    std::vector<qint64> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run(i))
            return -1;
        times.push_back(timer.elapsed());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct NoActions : HistoryActions
{
    void putOnDisplay(const QStringList &) override { }
    void save(QWidget *, const QStringList &) override { }
};

// The median time to store the lines of a full display in an archive made for it beforehand.
template<typename Location> qint64 storeTime(const QStringList &display, Location location)
{
    std::vector<std::unique_ptr<ReportArchive>> archives;
    for (int run = 0; run < Runs; ++run) {
        QString error;
        archives.push_back(std::make_unique<ReportArchive>());
        if (!archives.back()->open(location(run), ReportArchive::Access::ReadWrite, &error))
            return -1;
    }
    return medianTime([&](int run) {
        QString error;
        bool added = false;
        return archives.at(run)
            ->store(display, int(display.size()), QStringLiteral("download"), &added, &error)
            .has_value();
    });
}

// Fills archive at location with 100,000 copies of report of 10,000 detectors, with an alarm each, numbered
// by i from numbers (a row source the engine knows, after the statement's prefix), and prints the time to
// list those of one detector and to tell every detector's status.
bool listTime(QTextStream &out, ReportArchive &archive, const QString &location, const QStringList &report,
    const QString &prefix, const QString &dayOfCopy, const QString &numbers)
{
    QString error;
    bool added = false;
    if (!archive.open(location, ReportArchive::Access::ReadWrite, &error)
        || !archive.store(report, int(report.size()), QStringLiteral("download"), &added, &error)) {
        out << error << '\n';
        return false;
    }
    QSqlQuery fill(archive.database());
    const QString downloads = QStringLiteral(
        " INSERT INTO downloads (content_key, source, stored_at, program_version, marker_lines, "
        "downloaded_at,"
        " serial, user_name, alarm_count, highest_peak, lines, life_remaining, self_tests)"
        " SELECT content_key || i, source, stored_at, program_version, marker_lines, %1 || ' 10:00',"
        " 'S' || (i % 10000), user_name, alarm_count, highest_peak, lines, '24 months', '2'"
        " FROM %2, downloads WHERE downloads.id = 1");
    // The archive numbers its alarms itself; these come after the stored report's.
    const QString alarms = QStringLiteral(
        " INSERT INTO alarms (id, serial, peak, duration, began_at, began_text, precision_seconds)"
        " SELECT 1000000 + i, 'S' || (i % 10000), (i % 50) || ' ppm H2S', '4 secs', i * 60, %1, 60 FROM %2");
    // A server's archive at rest has been vacuumed and analysed by the server's autovacuum.
    const bool filled = fill.exec(prefix + downloads.arg(dayOfCopy, numbers))
        && fill.exec(prefix + alarms.arg(dayOfCopy, numbers))
        && (archive.database().driverName() != QLatin1String("QPSQL")
            || fill.exec(QStringLiteral("VACUUM ANALYZE")));
    if (!filled) {
        out << fill.lastError().text() << '\n';
        return false;
    }
    int matches = 0;
    const qint64 list = medianTime([&](int run) {
        const auto downloads = archive.downloads({ QStringLiteral("S%1").arg(run * 7), {}, {}, {} }, &error);
        matches = downloads ? int(downloads->size()) : 0;
        return downloads.has_value();
    });
    out << "list 100,000 downloads filtered by serial number (" << matches << " match) in "
        << archive.database().driverName() << ": " << list << " ms (median of " << Runs << ")\n";
    qsizetype detectors = 0;
    const qint64 status = medianTime([&](int) {
        const auto all = archive.detectors(&error);
        detectors = all ? all->size() : 0;
        return all.has_value();
    });
    out << "the status of " << detectors << " detectors over 100,000 downloads in "
        << archive.database().driverName() << ": " << status << " ms (median of " << Runs << ")\n";
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    QString error;
    const QStringList display = FullDisplayLines();

    const qint64 store = storeTime(
        display, [&](int run) { return folder.filePath(QStringLiteral("store-%1.sqlite").arg(run)); });
    out << "store a full display (" << display.size() << " lines): " << store << " ms (median of " << Runs
        << ")\n";

    // 1,000 reports of the full display's kind, each of its own detector and time.
    QByteArray text;
    const qsizetype reportLines = display.indexOf(QStringLiteral("========================"), 1) + 1;
    for (int report = 0; report < 1000; ++report) {
        for (QString line : display.mid(0, reportLines)) {
            if (line.startsWith(QLatin1String("   S/N:")) || line.startsWith(QLatin1String("Serial #:")))
                line = line.section(u':', 0, 0) + QStringLiteral(": %1").arg(10000 + report);
            text += TextReportFile::encodeLine(line);
        }
    }
    const QString exportFile = folder.filePath(QStringLiteral("export.txt"));
    QFile file(exportFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return 1;
    file.close();
    ReportArchive imported;
    ImportTally tally;
    QElapsedTimer timer;
    timer.start();
    if (!imported.open(
            folder.filePath(QStringLiteral("import.sqlite")), ReportArchive::Access::ReadWrite, &error)
        || !importTextExports(imported, { exportFile }, tally, {}, &error)) {
        out << error << '\n';
        return 1;
    }
    out << "import 1,000 text reports: " << timer.elapsed() << " ms (" << tally.summary() << ")\n";

    // 100,000 downloads of 10,000 detectors, copied from one stored report as a long-used archive holds them.
    const QStringList report = display.mid(0, reportLines);
    ReportArchive large;
    if (!listTime(out, large, folder.filePath(QStringLiteral("large.sqlite")), report,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 99999)"),
            QStringLiteral("date('2020-01-01', '+' || (i / 50) || ' days')"), QStringLiteral("n")))
        return 1;

    NoActions actions;
    const qint64 window = medianTime([&](int) {
        frmHistory history(large.path(), actions);
        history.show();
        const QAbstractItemModel *rows
            = history.findChild<QTableView *>(QStringLiteral("tblDownloads"))->model();
        while (rows->rowCount() == 0 || !history.isIdle())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return rows->rowCount() > 0;
    });
    out << "open the History window over 100,000 downloads, until its list is filled: " << window
        << " ms (median of " << Runs << ")\n";
    const qint64 fleet = medianTime([&](int) {
        frmHistory history(large.path(), actions);
        history.show();
        history.findChild<QTabWidget *>(QStringLiteral("tabViews"))->setCurrentIndex(2);
        const QAbstractItemModel *rows
            = history.findChild<QTableView *>(QStringLiteral("tblDetectors"))->model();
        while (rows->rowCount() == 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return rows->rowCount() > 0;
    });
    out << "open the History window on its Detectors tab over 10,000 detectors, until it is filled: " << fleet
        << " ms (median of " << Runs << ")\n";

    // The same on a PostgreSQL server on this machine's loopback, where Debian's postgresql is installed.
    PostgresServer server;
    if (!server.start(&error)) {
        out << "no PostgreSQL server: " << error << '\n';
        return 0;
    }
    for (int run = 0; run < Runs; ++run) {
        if (!server.createDatabase(QStringLiteral("store%1").arg(run), &error))
            return 1;
    }
    const qint64 serverStore
        = storeTime(display, [&](int run) { return server.url(QStringLiteral("store%1").arg(run)); });
    out << "store a full display on PostgreSQL: " << serverStore << " ms (median of " << Runs << ")\n";
    ReportArchive site;
    if (!server.createDatabase(QStringLiteral("large"), &error)
        || !listTime(out, site, server.url(QStringLiteral("large")), report, QString(),
            QStringLiteral("to_char(DATE '2020-01-01' + i / 50, 'YYYY-MM-DD')"),
            QStringLiteral("generate_series(1, 99999) AS i")))
        return 1;
    return 0;
}
