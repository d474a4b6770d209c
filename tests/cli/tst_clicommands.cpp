#include <cerrno>
#include <csignal>
#include <cstring>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "archive/ReportArchive.h"
#include "cli/CliCommands.h"
#include "cli/ExportCommand.h"
#include "device/CaptureFile.h"
#include "device/simulated/SimulatedHidBus.h"
#include "report/TextReportFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TransferTestSupport.h"

using namespace std::chrono_literals;

namespace {

const QString DataDir = QStringLiteral(LORIMET_TEST_DATA_DIR "/");

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// The whole tool, or with a backend the record command on it, the capture file being the one argument.
Run runTool(const QStringList &args, HidBackend *backend = nullptr)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = backend ? recordTransfer(*backend, args.first(), 400ms, out, err)
                         : runLorimetReport(args, out, err);
    return run;
}

// A bus whose adapter holds a report, a second old, when the transfer begins.
class StaleReportBus : public SimulatedHidBus
{
public:
    HidReadResult readInputReport(qint32 handle, QDeadlineTimer deadline) override
    {
        if (std::exchange(m_staleReportDue, false))
            return { HidReadResult::Status::Report, QByteArray(8, '\x04'), false, Clock::now() - 1s };
        return SimulatedHidBus::readInputReport(handle, deadline);
    }

private:
    bool m_staleReportDue = true;
};

// lorimet-report itself, run as a child process whose files may not grow past a limit (the file-size
// limit stands in for a full disk) or whose standard output is full.
const QString Tool = QStringLiteral(LORIMET_REPORT_PATH);

struct ChildRun
{
    int status = -1;
    QByteArray err;
};

// The tool in folder; with a size limit its files may not grow past that many bytes (SIGXFSZ left at its
// default, which kills a process that does not ignore it), with a memory limit it may not take more.
// A tool killed by a signal has status -1.
ChildRun runChild(const QString &folder, const QStringList &args, qint64 sizeLimit = -1,
    const QString &standardOutput = QString(), qint64 memoryLimit = -1, int user = -1)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    process.setChildProcessModifier([sizeLimit, memoryLimit, user] {
        if (user >= 0 && (setgid(static_cast<gid_t>(user)) != 0 || setuid(static_cast<uid_t>(user)) != 0))
            _exit(127);
        std::signal(SIGXFSZ, SIG_DFL);
        if (sizeLimit >= 0) {
            const rlimit limit { static_cast<rlim_t>(sizeLimit), static_cast<rlim_t>(sizeLimit) };
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (memoryLimit >= 0) {
            const rlimit limit { static_cast<rlim_t>(memoryLimit), static_cast<rlim_t>(memoryLimit) };
            setrlimit(RLIMIT_AS, &limit);
        }
    });
    process.start(Tool, args);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { process.exitCode(), process.readAllStandardError() + process.readAllStandardOutput() };
}

const QString TwoReports = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");

// A text export of count reports of one detector, each by another user.
QString writeReports(const QString &path, const QString &users, int count)
{
    QByteArray text;
    const QStringList report = referenceLines("01-two-alarms");
    for (int i = 0; i < count; ++i) {
        for (const QString &line : report) {
            text += TextReportFile::encodeLine(
                line.startsWith("User:") ? QStringLiteral("User: %1 %2").arg(users).arg(i) : line);
        }
    }
    return writeBytes(path, text) ? path : QString();
}

std::optional<qint64> archivedDownloads(const QString &path)
{
    ReportArchive archive;
    QString error;
    if (!archive.open(path, ReportArchive::Access::ReadOnly, &error))
        return std::nullopt;
    const auto totals = archive.totals(&error);
    return totals ? std::optional(totals->downloads) : std::nullopt;
}

} // namespace

// The tool's commands, run in this process.
class TestCliCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void csvOfTwoReports();
    void standardOutput_data();
    void standardOutput();
    void textIsAppended();
    void failures_data();
    void failures();
    void decodePrintsTheDownloadedLines();
    void usageAndFailures_data();
    void usageAndFailures();
    void recordWritesTheTransfer();
    void recordWithoutAdapterFails();
    void archiveImportListShowExportAndCheck();
    void archiveUsageAndMissingArchive();
    void detectorsTellWhatNeedsAttention();

    // The tool in a child process: under limits, side by side, on hostile destinations.
    void exportOnFullDisk_data();
    void exportOnFullDisk();
    void fullStandardOutput_data();
    void fullStandardOutput();
    void concurrentAppendsKeepEveryRow_data();
    void concurrentAppendsKeepEveryRow();
    void sharedFolderTheUserMayNotWriteTo();
    void memoryStaysBounded();
    void documentOpenInAnotherProgram();
    void killedArchiveImportLeavesTheArchiveSound();

private:
    int run(const QStringList &args);

    QTemporaryDir m_sharedDir; // for every test
    std::unique_ptr<QTemporaryDir> m_tempDir;
    const QString m_startDir = QDir::currentPath();
    QByteArray m_out;
    QString m_err;
};

void TestCliCommands::initTestCase()
{
    QFile huge(m_sharedDir.filePath("huge.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(256) * 1024 * 1024 + 1));
    QFile events(m_sharedDir.filePath("events.txt"));
    QVERIFY(events.open(QIODevice::WriteOnly));
    const QByteArray event("Peak\n1\n");
    QVERIFY(events.write(event.repeated(1'048'576)) == event.size() * 1'048'576);
    QFile bad(m_sharedDir.filePath("bad.cap"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("# fine so far\n+5 00 41 0A 04 04 04 04 04 04\n\n+5 00 41 0A 04 04 04 04 04\n");
}

void TestCliCommands::cleanup()
{
    QDir::setCurrent(m_startDir);
}

// Every test works in a fresh folder of its own.
void TestCliCommands::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid() && QDir::setCurrent(m_tempDir->path()));
    m_out.clear();
    m_err.clear();
}

// Standard output is a device, as in the tool, so that OUTPUT "-" can write to it.
int TestCliCommands::run(const QStringList &args)
{
    QBuffer outDevice(&m_out);
    outDevice.open(QIODevice::WriteOnly | QIODevice::Append);
    QTextStream out(&outDevice);
    QTextStream err(&m_err);
    return runExportCommand(args, out, err);
}

void TestCliCommands::csvOfTwoReports()
{
    QVERIFY(writeBytes("events.csv", QByteArray(2000, 'x')));
    QCOMPARE(run({ "--format", "csv", LORIMET_TEST_DATA_DIR "/export/two_reports.txt", "events.csv" }), 0);
    QCOMPARE(m_err, QString());
    QVERIFY2(m_out.startsWith("3 events"), qPrintable(m_out));
    QCOMPARE(readBytes("events.csv"),
        QByteArray(
            "Download On,Download At,Serial #,User,Peak,Time Since Alarm Began,Duration of Alarm,"
            "Life Remaining,Self Tests,Cumulative Alarm Time,Total Events\r\n"
            "05-Dec-2026,01:05 PM,12345,J Smith,15 ppm H2S,06 days 04 hrs 21 mins,"
            "00 days 00 hrs 01 mins 22 secs,24 months,2,2 min.,5\r\n"
            "05-Dec-2026,01:05 PM,12345,J Smith,O.L. ppm H2S,00 days 00 hrs 10 mins,"
            "00 days 00 hrs 00 mins 04 secs,24 months,2,2 min.,5\r\n"
            "06-Dec-2026,09:30 AM,A12-345,\"Zo\xC3\xAB, \"\"Lee\"\"\",40 ppm H2S,00 days 03 hrs 05 mins,"
            "00 days 00 hrs 03 mins 00 secs,23 months,,3 mins,1\r\n"));
}

void TestCliCommands::standardOutput_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("txt") << "txt"
                         << QByteArray(
                                "User: A\rB\r\nPeak exposure:\r\n5 \x80\r\nAlarm duration:\r\n4 secs\r\n");
    QTest::newRow("csv") << "csv"
                         << QByteArray(
                                "Download On,Download At,Serial #,User,Peak,Time Since Alarm Began,"
                                "Duration of Alarm\r\n,,,\"A\rB\",5 \xE2\x82\xAC,00 days 00 hrs 00 mins ,"
                                "00 days 00 hrs 00 mins 04 secs\r\n");
}

// "-" is standard output, which then carries the file alone.
void TestCliCommands::standardOutput()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, written);
    // A carriage return inside a line stays in it, and a CSV field holding one is quoted.
    QVERIFY(writeBytes("report.txt", "User: A\rB\nPeak exposure:\n5 \x80\r\nAlarm duration:\n4 secs"));
    QCOMPARE(run({ "--format", format, "report.txt", "-" }), 0);
    QCOMPARE(m_err, QString());
    QCOMPARE(m_out, written);
    QVERIFY(!QFile::exists("-"));
}

// Each run adds its lines after what the file holds, and says how many.
void TestCliCommands::textIsAppended()
{
    QVERIFY(writeBytes("report.txt", "Peak exposure:\n5 ppm\n"));
    QVERIFY(writeBytes("out.txt", "earlier\r\n"));

    QCOMPARE(run({ "--format", "txt", "report.txt", "out.txt" }), 0);
    QCOMPARE(run({ "--format=txt", "report.txt", "out.txt" }), 0);
    QCOMPARE(m_out, QByteArray("2 lines appended to out.txt\n2 lines appended to out.txt\n"));
    const QByteArray expected("earlier\r\nPeak exposure:\r\n5 ppm\r\nPeak exposure:\r\n5 ppm\r\n");
    QCOMPARE(readBytes("out.txt"), expected);
    QCOMPARE(QDir().entryList(QDir::Files), QStringList({ "out.txt", "report.txt" }));
}

void TestCliCommands::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    // In a folder holding "report.txt" and its link "alias.txt", the empty folder "folder" and the FIFO
    // "fifo"; the shared folder holds "huge.txt", one byte larger than 256 MiB, and "events.txt", one alarm
    // event more than a worksheet takes.
    const auto row = [](const char *name, const QStringList &args, int status, const QString &message) {
        QTest::newRow(name) << args << status << message;
    };
    const QString usage
        = QStringLiteral("Usage: lorimet-report export ") + QLatin1String(ExportCommandArguments);
    const QString huge = m_sharedDir.filePath("huge.txt");
    const QString events = m_sharedDir.filePath("events.txt");
    row("missing input", { "--format", "csv", "missing.txt", "out.csv" }, 1, "cannot read missing.txt: ");
    row("input is a folder", { "--format", "csv", "folder", "out.csv" }, 1, "cannot read folder: ");
    row("output folder missing", { "--format", "csv", "report.txt", "no such folder/out.csv" }, 1,
        "cannot write no such folder/out.csv: ");
    row("output is a folder", { "--format", "csv", "report.txt", "folder" }, 1, "folder is a folder");
    row("output is a fifo", { "--format", "csv", "report.txt", "fifo" }, 1, "fifo is not a regular file");
    row("output is the input", { "--format", "csv", "report.txt", "alias.txt" }, 1,
        "it is the report being exported");
    row("no room for the temporary file's name", { "--format", "csv", "report.txt", QString(250, u'n') }, 1,
        "too long for the temporary file");
    row("input too large", { "--format", "txt", huge, "out.txt" }, 1, "larger than 256 MiB");
    row("too many events", { "--format", "csv", events, "out.csv" }, 1, "1,048,576 rows of a worksheet");
    row("nothing", {}, 2, usage);
    row("format not offered", { "--format", "odt", "report.txt", "out.odt" }, 2, usage);
    row("append to text", { "--format", "txt", "--append", "report.txt", "out.txt" }, 2, usage);
    row("append to nothing", { "--format", "xlsx", "--append", "report.txt", "out.xlsx" }, 1,
        "cannot write out.xlsx: ");
    row("append to a text file", { "--format", "docx", "--append", "report.txt", "report.txt" }, 1,
        "cannot write report.txt: ");
    row("extra file", { "--format", "csv", "report.txt", "b", "c" }, 2, usage);
    row("workbook to standard output", { "--format", "xlsx", "report.txt", "-" }, 2, usage);
}

void TestCliCommands::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QVERIFY(writeBytes("report.txt", "Peak exposure:\r\n5 ppm H2S\r\n"));
    QVERIFY(QDir().mkdir("folder"));
    QCOMPARE(mkfifo("fifo", 0600), 0);
    QVERIFY(QFile::link("report.txt", "alias.txt"));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QCOMPARE(run(args), status);
    QVERIFY(m_out.isEmpty());
    QVERIFY2(m_err.contains(message), qPrintable(m_err));
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir("folder").isEmpty());
}

void TestCliCommands::decodePrintsTheDownloadedLines()
{
    for (const QString name : { "example-streams", "event-log" }) {
        const Run run = runTool({ "decode", DataDir + name + ".cap" });
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QFile expected(DataDir + name + ".txt");
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(run.out, QString::fromUtf8(expected.readAll()));
    }
}

void TestCliCommands::usageAndFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // on stderr, or on stdout for success
    const auto row = [](const char *name, const QStringList &args, int status, const QString &message) {
        QTest::newRow(name) << args << status << message;
    };

    const QString bad = m_sharedDir.filePath("bad.cap");
    row("no command", {}, 2, "a command is missing");
    row("unknown command", { "print" }, 2, "unknown command \"print\"");
    row("export without files", { "export", "--format", "csv" }, 2, "Usage: lorimet-report export --format");
    row("decode without file", { "decode" }, 2, "Usage: lorimet-report decode CAPTURE");
    row("record without file", { "record" }, 2, "Usage: lorimet-report record CAPTURE");
    row("help", { "--help" }, 0, "  export --format txt|csv|xlsx|docx|pdf [--append] INPUT OUTPUT  ");
    row("version", { "--version" }, 0, "lorimet-report " LORIMET_PROJECT_VERSION "\n");
    row("command help", { "record", "--help" }, 0, "Usage: lorimet-report record CAPTURE");
    row("malformed capture", { "decode", bad }, 2, bad + ":4: ");
    row("missing capture", { "decode", "/nonexistent/transfer.cap" }, 1, "/nonexistent/transfer.cap");
    row("endless capture", { "decode", "/dev/zero" }, 1, "larger than 256 MiB");
}

void TestCliCommands::usageAndFailures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);

    const Run run = runTool(args);
    QCOMPARE(run.status, status);
    QCOMPARE(run.err.isEmpty(), status == 0);
    QCOMPARE(run.out.isEmpty(), status != 0);
    QVERIFY2((status == 0 ? run.out : run.err).contains(message), qPrintable(run.out + run.err));
}

void TestCliCommands::recordWritesTheTransfer()
{
    CaptureError error;
    const QList<CapturedReport> sent
        = CaptureFile::read(DataDir + "event-log.cap", &error).value_or(QList<CapturedReport>());
    QVERIFY(!sent.isEmpty());
    StaleReportBus bus;
    bus.respondWithCapture(bus.addDevice(), sent);
    const QString fileName = m_sharedDir.filePath("recorded.cap");

    const Run run = runTool({ fileName }, &bus);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(bus.openHandleCount(), 0);

    QList<CapturedReport> recorded = CaptureFile::read(fileName, &error).value_or(QList<CapturedReport>());
    QVERIFY(!recorded.isEmpty());
    // The stale report counts as arriving with the output report.
    QCOMPARE(recorded.takeFirst(), (CapturedReport { 0ms, QByteArray(1, '\0') + QByteArray(8, '\x04') }));
    QCOMPARE(recorded.size(), sent.size());
    for (qsizetype i = 0; i < sent.size(); ++i) {
        QCOMPARE(recorded.at(i).bytes, sent.at(i).bytes);
        // Measured delays follow the sent ones; a loaded machine only delays, and a late report is
        // followed by a shorter gap.
        if (sent.at(i).delay >= 200ms)
            QVERIFY(recorded.at(i).delay >= 150ms && recorded.at(i).delay < 400ms);
    }
}

void TestCliCommands::recordWithoutAdapterFails()
{
    SimulatedHidBus bus;
    const QString fileName = m_sharedDir.filePath("not-recorded.cap");
    for (const QString message : { "no Lorimet Adapter is attached", "udev rule" }) {
        const Run run = runTool({ fileName }, &bus);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(fileName));
        // Then an adapter the user may not open.
        bus.addDevice({ .open = SimulatedHidBus::OpenBehaviour::AccessDenied });
    }
}

// Every export format, on a disk where no file may grow past the size of OUTPUT plus room: an append then
// fails at once, or in part when there is room, and a file written beside OUTPUT fails part-way.
void TestCliCommands::exportOnFullDisk_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("existing"); // OUTPUT before the export; empty: no OUTPUT
    QTest::addColumn<qint64>("room");

    const QByteArray earlier("earlier export\r\n");
    const QByteArray workbook = readBytes(LORIMET_TEST_DATA_DIR "/export/earlier-export.xlsx");
    const QByteArray document = readBytes(LORIMET_TEST_DATA_DIR "/export/earlier_export_libreoffice.docx");
    struct Row
    {
        const char *name;
        QStringList options;
        QByteArray existing;
        qint64 room;
    };
    const Row rows[] = {
        { "txt", { "--format", "txt" }, earlier, 0 },
        { "txt, part of the lines fit", { "--format", "txt" }, earlier, 20 },
        { "txt, new file", { "--format", "txt" }, {}, 0 },
        { "csv", { "--format", "csv" }, earlier, 0 },
        { "csv, part of the table fits", { "--format", "csv" }, earlier, 20 },
        { "csv, new file", { "--format", "csv" }, {}, 0 },
        { "xlsx, appended", { "--format", "xlsx", "--append" }, workbook, 0 },
        { "docx, appended", { "--format", "docx", "--append" }, document, 0 },
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.options << row.existing << row.room;
}

void TestCliCommands::exportOnFullDisk()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, existing);
    QFETCH(qint64, room);
    QTemporaryDir dir;
    const QString output = dir.filePath("output");
    if (!existing.isEmpty())
        QVERIFY(writeBytes(output, existing));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const ChildRun run = runChild(dir.path(),
        QStringList { "export" } << options << LORIMET_TEST_DATA_DIR "/export/two_reports.txt" << output,
        existing.size() + room);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(std::strerror(EFBIG)), run.err.constData());
    QCOMPARE(readBytes(output), existing);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestCliCommands::fullStandardOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("decode") << QStringList { "decode", LORIMET_TEST_DATA_DIR "/event-log.cap" };
    QTest::newRow("help") << QStringList { "--help" };
    QTest::newRow("txt export") << QStringList { "export", "--format", "txt",
        LORIMET_TEST_DATA_DIR "/export/two_reports.txt", "-" };
}

void TestCliCommands::fullStandardOutput()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    const ChildRun run = runChild(dir.path(), args, -1, "/dev/full");
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(std::strerror(ENOSPC)), run.err.constData());
}

void TestCliCommands::concurrentAppendsKeepEveryRow_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("workbook") << "xlsx";
    QTest::newRow("document") << "docx";
}

// Four processes append ten times each to one file; every row arrives, none twice.
void TestCliCommands::concurrentAppendsKeepEveryRow()
{
    QFETCH(QString, format);
    constexpr int Workers = 4;
    constexpr int Rounds = 10;
    QTemporaryDir dir;
    const QString output = dir.filePath("shared." + format);
    const QString report = dir.filePath("report.txt");
    QVERIFY(writeBytes(report, "Date: 05-Dec-2026\nPeak exposure:\n15 ppm H2S\nAlarm duration:\n4 secs\n"));
    QCOMPARE(runChild(dir.path(), { "export", "--format", format, report, output }).status, 0);

    std::vector<std::thread> workers;
    std::atomic<int> failures = 0;
    for (int worker = 0; worker < Workers; ++worker) {
        workers.emplace_back([&] {
            for (int round = 0; round < Rounds; ++round)
                if (runChild(dir.path(), { "export", "--format", format, "--append", report, output }).status
                    != 0)
                    ++failures;
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    QCOMPARE(failures.load(), 0);

    // The rows counted in the saved file: one row element each, the header row besides.
    QProcess unzip;
    unzip.start(QStringLiteral(LORIMET_PYTHON3),
        { "-c",
            QStringLiteral("import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                           "print(z.read(sys.argv[2]).decode().count(sys.argv[3]))"),
            output, format == "xlsx" ? "xl/worksheets/sheet1.xml" : "word/document.xml",
            format == "xlsx" ? "<row " : "<w:tr>" });
    QVERIFY(unzip.waitForFinished(30'000));
    QCOMPARE(unzip.readAllStandardOutput().trimmed().toInt(), 1 + 1 + Workers * Rounds);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// A shared folder of logs and an archive, where the user may write the log but not the folder: the text
// export appends with its journal in the user's cache, where a killed one is also found and cut back, and
// the archive is listed, shown and exported.
void TestCliCommands::sharedFolderTheUserMayNotWriteTo()
{
    constexpr int Nobody = 65534;
    const int user = geteuid() == 0 ? Nobody : -1;
    QTemporaryDir dir;
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    const QString cache = dir.filePath("cache");
    QVERIFY(QDir().mkdir(cache) && chmod(QFile::encodeName(cache).constData(), 0777) == 0);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    const auto restoreCache = qScopeGuard([] { qunsetenv("XDG_CACHE_HOME"); });
    const QString shared = dir.filePath("shared");
    QVERIFY(QDir().mkdir(shared));
    const QString log = shared + "/log.txt";
    QVERIFY(writeBytes(log, "earlier\r\nPeak expo"));
    QVERIFY(chmod(QFile::encodeName(log).constData(), 0666) == 0);
    const QString archive = shared + "/archive.sqlite";
    QCOMPARE(runChild(dir.path(), { "archive", "--archive", archive, "import", TwoReports }).status, 0);
    QVERIFY(chmod(QFile::encodeName(archive).constData(), 0644) == 0);
    QVERIFY(chmod(QFile::encodeName(shared).constData(), 0555) == 0);
    const auto writable = qScopeGuard([&] { chmod(QFile::encodeName(shared).constData(), 0755); });

    // An export killed after its journal was written, in the cache, named after the file's device and inode.
    struct stat status
    {
    };
    QVERIFY(stat(QFile::encodeName(log).constData(), &status) == 0);
    const QString journals = cache + "/lorimet-adapter/journals";
    QVERIFY(QDir().mkpath(journals));
    QVERIFY(writeBytes(journals + QStringLiteral("/%1-%2").arg(status.st_dev).arg(status.st_ino), "9"));
    QVERIFY(chmod(QFile::encodeName(journals).constData(), 0777) == 0);
    QVERIFY(chmod(QFile::encodeName(cache + "/lorimet-adapter").constData(), 0777) == 0);

    const ChildRun appended
        = runChild(dir.path(), { "export", "--format", "txt", TwoReports, log }, -1, {}, -1, user);
    QVERIFY2(appended.status == 0, appended.err.constData());
    QVERIFY2(appended.err.contains("cut back to 9 bytes"), appended.err.constData());
    QCOMPARE(
        readBytes(log), "earlier\r\n" + readBytes(TwoReports).replace("\r\n", "\n").replace("\n", "\r\n"));
    QCOMPARE(
        QDir(shared).entryList(QDir::Files | QDir::Hidden), QStringList({ "archive.sqlite", "log.txt" }));
    QCOMPARE(QDir(journals).entryList(QDir::Files | QDir::Hidden), QStringList());

    for (const QStringList &command : { QStringList { "list" }, QStringList { "show", "1" },
             QStringList { "export", "--format", "csv", cache + "/out.csv" } }) {
        const ChildRun read = runChild(
            dir.path(), QStringList { "archive", "--archive", archive } + command, -1, {}, -1, user);
        QVERIFY2(read.status == 0, read.err.constData());
    }
    QVERIFY(readBytes(cache + "/out.csv").startsWith("Download On"));
}

// Work and memory follow what the sheet holds; what would need too much is refused, never a crash.
void TestCliCommands::memoryStaysBounded()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than any limit the test could set");
#else
    QTemporaryDir dir;
    // Millions of empty rows: a small file that would take gigabytes once parsed.
    const QString workbook = dir.filePath("rows.xlsx");
    QCOMPARE(runChild(dir.path(), { "export", "--format", "xlsx", TwoReports, workbook }).status, 0);
    QProcess patch;
    patch.start(QStringLiteral(LORIMET_PYTHON3),
        { "-c",
            QStringLiteral(
                "import sys, zipfile\n"
                "src = zipfile.ZipFile(sys.argv[1]); parts = {n: src.read(n) for n in src.namelist()}\n"
                "name = 'xl/worksheets/sheet1.xml'\n"
                "parts[name] = parts[name].replace(b'</sheetData>', b'<row/>' * 4000000 + b'</sheetData>')\n"
                "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as out:\n"
                "    [out.writestr(n, b) for n, b in parts.items()]\n"),
            workbook });
    QVERIFY(patch.waitForFinished(60'000) && patch.exitCode() == 0);
    const QByteArray before = readBytes(workbook);
    constexpr qint64 Limit = qint64(1) << 30;
    const ChildRun refused = runChild(
        dir.path(), { "export", "--format", "xlsx", "--append", TwoReports, workbook }, -1, {}, Limit);
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("too large to append to"), refused.err.constData());
    QCOMPARE(readBytes(workbook), before);

    // Memory that runs out ends the tool with a message and status 1.
    const QString events = dir.filePath("events.txt");
    QVERIFY(writeBytes(events, QByteArray("Peak exposure:\n1 ppm\n").repeated(1'000'000)));
    const ChildRun exhausted = runChild(dir.path(),
        { "export", "--format", "xlsx", events, dir.filePath("big.xlsx") }, -1, {}, qint64(200) << 20);
    QCOMPARE(exhausted.status, 1);
    QVERIFY2(exhausted.err.contains("out of memory"), exhausted.err.constData());
    QVERIFY(!QFile::exists(dir.filePath("big.xlsx")));
#endif
}

// A document open in an office program is not appended to behind its back.
void TestCliCommands::documentOpenInAnotherProgram()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(TwoReports, dir.filePath("in.txt")));
    const QString book = dir.filePath("book.xlsx");
    QCOMPARE(runChild(dir.path(), { "export", "--format", "xlsx", "in.txt", book }).status, 0);
    QVERIFY(writeBytes(dir.filePath(".~lock.book.xlsx#"), "user,host"));
    const ChildRun open = runChild(dir.path(), { "export", "--format", "xlsx", "--append", "in.txt", book });
    QCOMPARE(open.status, 1);
    QVERIFY2(open.err.contains("The file is open in another program: book.xlsx. Close it and save again."),
        open.err.constData());
}

void TestCliCommands::archiveImportListShowExportAndCheck()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath("a.sqlite");
    const QStringList in = { "archive", "--archive", archive };
    Run run = runTool(in + QStringList { "import", TwoReports });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "2 reports added, 0 already in the archive, 0 unreadable\n");
    QCOMPARE(runTool(in + QStringList { "import", TwoReports }).out,
        "0 reports added, 2 already in the archive, 0 unreadable\n");

    // The archive the environment names serves when none is given.
    qputenv("LORIMET_ARCHIVE", archive.toUtf8());
    run = runTool({ "archive", "list", "--format", "json" });
    qunsetenv("LORIMET_ARCHIVE");
    QCOMPARE(run.status, 0);
    const QJsonArray listed = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.at(0).toObject().value("downloaded").toString(), "2026-12-06 09:30");
    QCOMPARE(listed.at(1).toObject().value("serial").toString(), "00012345");
    QCOMPARE(listed.at(1).toObject().value("highestPeak").toString(), "O.L. ppm H2S");

    run = runTool(in + QStringList { "alarms", "--serial", "00012345" });
    QCOMPARE(run.out,
        QStringLiteral("Began             Peak          Duration        Downloads\n"
                       "2026-11-29 08:44  15 ppm H2S    1 mins 22 secs  1\n"
                       "2026-12-05 12:55  O.L. ppm H2S  4 secs          1\n"));
    run = runTool(
        in + QStringList { "show", QString::number(listed.at(1).toObject().value("id").toInteger()) });
    QCOMPARE(run.out.toUtf8(),
        QString::fromLatin1(readBytes(TwoReports)).section(u'\n', 0, 27).remove(u'\r') + '\n');

    // The archive's rows are the rows of the text export they came from.
    const QString fromArchive = folder.filePath("archive.csv");
    const QString fromFile = folder.filePath("file.csv");
    QCOMPARE(runTool(in + QStringList { "export", "--format", "csv", fromArchive }).status, 0);
    QCOMPARE(runTool({ "export", "--format", "csv", TwoReports, fromFile }).status, 0);
    QCOMPARE(readBytes(fromArchive), readBytes(fromFile));
    run = runTool(
        in + QStringList { "export", "--format", "xlsx", "--serial", "A12-345", folder.filePath("b.xlsx") });
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith("1 events written"), qPrintable(run.out));

    run = runTool(in + QStringList { "check" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, archive + ": 2 downloads, 3 alarms\n");

    // A download whose tags a text report cannot hold: the text export says how many became "?".
    {
        ReportArchive store;
        QString error;
        bool added = false;
        QVERIFY(store.open(archive, ReportArchive::Access::ReadWrite, &error));
        QVERIFY(store.store({ "User: " + QString::fromUtf8("李 🙂 Wei") }, 1, "download", &added, &error));
    }
    const QString text = folder.filePath("users.txt");
    run = runTool(
        in + QStringList { "export", "--format", "txt", "--user", QString::fromUtf8("李 🙂 Wei"), text });
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(text), "User: ? ? Wei\r\n");
    QCOMPARE(run.err, "2 characters that a text report cannot hold were written as \"?\".\n");
}

// Three detectors downloaded on known days: one well, one whose newest download lacks the life line (its
// life comes from the one before), one long gone.
void TestCliCommands::detectorsTellWhatNeedsAttention()
{
    const auto report = [](const QString &serial, const QString &date, const QString &life) {
        QStringList lines = referenceLines("01-two-alarms");
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines.at(i).startsWith("Date:"))
                lines[i] = "Date: " + date;
            else if (lines.at(i).startsWith("Serial #:"))
                lines[i] = "Serial #: " + serial;
            else if (lines.at(i).startsWith("Life Remaining:") && life.isEmpty())
                lines.remove(i--, 2);
            else if (lines.at(i).startsWith("Life Remaining:"))
                lines[++i] = life;
        }
        QByteArray text;
        for (const QString &line : lines)
            text += TextReportFile::encodeLine(line);
        return text;
    };
    QVERIFY(writeBytes("reports.txt",
        report("111", "01-Dec-2026", "24 months") + report("222", "01-Oct-2026", "3 months")
            + report("222", "01-Nov-2026", {}) + report("333", "15-Jan-2024", "12 months")));
    const QStringList in = { "archive", "--archive", "a.sqlite" };
    QCOMPARE(runTool(in + QStringList { "import", "reports.txt" }).status, 0);

    const Run run = runTool(in + QStringList { "detectors", "--as-of", "2026-12-07", "--format", "json" });
    QCOMPARE(run.status, 0);
    QStringList seen;
    for (const QJsonValue &detector : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
        QStringList facts;
        for (const char *key : { "serial", "downloads", "last_download", "life_remaining_months", "ends",
                 "alarm_events", "highest_peak", "last_alarm_began" })
            facts.append(detector[QLatin1String(key)].toVariant().toString());
        seen.append(facts.join(u'|') + " [" + detector["status"].toVariant().toStringList().join(u' ') + ']');
    }
    QCOMPARE(seen,
        QStringList({ "111|1|2026-12-01|24|2028-12-01|2|38 ppm H2S|2026-11-30 []",
            "222|2|2026-11-01|3|2027-01-01|4|38 ppm H2S|2026-10-31 [ends-soon not-downloaded]",
            "333|1|2024-01-15|12|2025-01-15|2|38 ppm H2S|2024-01-14 [expired "
            "not-downloaded]" }));
    const Run attention = runTool(in
        + QStringList {
            "detectors", "--as-of", "2026-12-07", "--attention", "--ends-within", "10", "--format", "csv" });
    QCOMPARE(attention.out.count('\n'), 3);
    QVERIFY2(attention.out.contains("\n222,") && attention.out.contains(",not-downloaded\r\n"),
        qPrintable(attention.out));
}

void TestCliCommands::archiveUsageAndMissingArchive()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath("none.sqlite");
    for (const QStringList &args :
        { QStringList { "archive" }, { "archive", "show" }, { "archive", "alarms" },
            { "archive", "list", "--since", "yesterday" }, { "archive", "check", "--user", "x" },
            { "archive", "export", "--format", "csv", "--append", "out.csv" } })
        QCOMPARE(runTool(args).status, 2);
    const Run impossible = runTool({ "archive", "list", "--since", "2026-02-30" });
    QCOMPARE(impossible.status, 2);
    QCOMPARE(impossible.err, "lorimet-report archive: 2026-02-30 is not a date; DATE is YYYY-MM-DD\n");
    const Run run = runTool({ "archive", "--archive", missing, "list" });
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("there is no archive at " + missing), qPrintable(run.err));
    QVERIFY(!QFile::exists(missing));
}

void TestCliCommands::killedArchiveImportLeavesTheArchiveSound()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath("a.sqlite");
    const QString file = writeReports(folder.filePath("many.txt"), "Tech", 3000);
    QProcess importer;
    importer.start(Tool, { "archive", "--archive", archive, "import", file });
    QTRY_VERIFY_WITH_TIMEOUT(archivedDownloads(archive).value_or(0) > 0, 60'000);
    importer.kill();
    QVERIFY(importer.waitForFinished(60'000));
    QCOMPARE(importer.exitStatus(), QProcess::CrashExit);

    const Run check = runTool({ "archive", "--archive", archive, "check" });
    QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
    const qint64 kept = archivedDownloads(archive).value_or(0);
    QVERIFY(kept > 0 && kept < 3000);
    // Importing again adds what the killed import had not, and nothing twice.
    const Run again = runTool({ "archive", "--archive", archive, "import", file });
    QCOMPARE(again.out,
        QStringLiteral("%1 reports added, %2 already in the archive, 0 unreadable\n")
            .arg(3000 - kept)
            .arg(kept));
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
