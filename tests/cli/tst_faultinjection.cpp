#include <cerrno>
#include <csignal>
#include <cstring>

#include <atomic>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/TestFiles.h"

// lorimet-report itself, run as a child process whose files may not grow past a limit (the file-size
// limit stands in for a full disk) or whose standard output is full.
namespace {

const QString Tool = QStringLiteral(LORIMET_REPORT_PATH);

struct Run
{
    int status = -1;
    QByteArray err;
};

// The tool in folder; with a size limit its files may not grow past that many bytes (SIGXFSZ left at its
// default, which kills a process that does not ignore it), with a memory limit it may not take more.
// A tool killed by a signal has status -1.
Run runTool(const QString &folder, const QStringList &args, qint64 sizeLimit = -1,
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

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

private slots:
    void exportOnFullDisk_data();
    void exportOnFullDisk();
    void fullStandardOutput_data();
    void fullStandardOutput();
    void concurrentAppendsKeepEveryRow_data();
    void concurrentAppendsKeepEveryRow();
    void unfinishedTextAppendIsCutBack();
    void memoryStaysBounded();
    void hostileDestinations();
    void replacedFilesKeepWhatTheyWere();
};

// Every export format, on a disk where no file may grow past the size of OUTPUT plus room: an append then
// fails at once, or in part when there is room, and a file written beside OUTPUT fails part-way.
void TestFaultInjection::exportOnFullDisk_data()
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
        { "xlsx", { "--format", "xlsx" }, earlier, 0 },
        { "xlsx, appended", { "--format", "xlsx", "--append" }, workbook, 0 },
        { "docx", { "--format", "docx" }, earlier, 0 },
        { "docx, appended", { "--format", "docx", "--append" }, document, 0 },
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.options << row.existing << row.room;
}

void TestFaultInjection::exportOnFullDisk()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, existing);
    QFETCH(qint64, room);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("output"));
    if (!existing.isEmpty())
        QVERIFY(writeBytes(output, existing));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const Run run = runTool(dir.path(),
        QStringList { QStringLiteral("export") } << options << LORIMET_TEST_DATA_DIR "/export/two_reports.txt"
                                                 << output,
        existing.size() + room);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(std::strerror(EFBIG)), run.err.constData());
    QCOMPARE(readBytes(output), existing);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestFaultInjection::fullStandardOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("decode") << QStringList { "decode", LORIMET_TEST_DATA_DIR "/event-log.cap" };
    QTest::newRow("help") << QStringList { "--help" };
    QTest::newRow("command help") << QStringList { "decode", "--help" };
    QTest::newRow("txt export") << QStringList { "export", "--format", "txt",
        LORIMET_TEST_DATA_DIR "/export/two_reports.txt", "-" };
    QTest::newRow("csv export") << QStringList { "export", "--format", "csv",
        LORIMET_TEST_DATA_DIR "/export/two_reports.txt", "-" };
}

void TestFaultInjection::fullStandardOutput()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    const Run run = runTool(dir.path(), args, -1, QStringLiteral("/dev/full"));
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(std::strerror(ENOSPC)), run.err.constData());
}

void TestFaultInjection::concurrentAppendsKeepEveryRow_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("workbook") << QStringLiteral("xlsx");
    QTest::newRow("document") << QStringLiteral("docx");
}

// Four processes append ten times each to one file; every row arrives, none twice.
void TestFaultInjection::concurrentAppendsKeepEveryRow()
{
    QFETCH(QString, format);
    constexpr int Workers = 4;
    constexpr int Rounds = 10;
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("shared.") + format);
    const QString report = dir.filePath(QStringLiteral("report.txt"));
    QVERIFY(writeBytes(report, "Date: 05-Dec-2026\nPeak exposure:\n15 ppm H2S\nAlarm duration:\n4 secs\n"));
    QCOMPARE(runTool(dir.path(), { "export", "--format", format, report, output }).status, 0);

    std::vector<std::thread> workers;
    std::atomic<int> failures = 0;
    for (int worker = 0; worker < Workers; ++worker) {
        workers.emplace_back([&] {
            for (int round = 0; round < Rounds; ++round)
                if (runTool(dir.path(), { "export", "--format", format, "--append", report, output }).status
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
        { QStringLiteral("-c"),
            QStringLiteral("import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                           "print(z.read(sys.argv[2]).decode().count(sys.argv[3]))"),
            output, format == QLatin1String("xlsx") ? "xl/worksheets/sheet1.xml" : "word/document.xml",
            format == QLatin1String("xlsx") ? "<row " : "<w:tr>" });
    QVERIFY(unzip.waitForFinished(30'000));
    QCOMPARE(unzip.readAllStandardOutput().trimmed().toInt(), 1 + 1 + Workers * Rounds);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// A text append killed part-way leaves its journal: the next export cuts the file back first and says so.
void TestFaultInjection::unfinishedTextAppendIsCutBack()
{
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("reports.txt"));
    QVERIFY(writeBytes(output, "earlier\r\nPeak expo"));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral(".reports.txt.lorimet-journal")), "9"));
    const Run run = runTool(dir.path(), { "export", "--format", "txt", TwoReports, output });
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains("cut back to 9 bytes"), run.err.constData());
    const QString fresh = dir.filePath(QStringLiteral("fresh.txt"));
    QCOMPARE(runTool(dir.path(), { "export", "--format", "txt", TwoReports, fresh }).status, 0);
    QCOMPARE(readBytes(output), "earlier\r\n" + readBytes(fresh));
    QVERIFY(QFile::remove(fresh));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "reports.txt" });
}

// Work and memory follow what the sheet holds; what would need too much is refused, never a crash.
void TestFaultInjection::memoryStaysBounded()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than any limit the test could set");
#else
    QTemporaryDir dir;
    // Millions of empty rows: a small file that would take gigabytes once parsed.
    const QString workbook = dir.filePath(QStringLiteral("rows.xlsx"));
    QCOMPARE(runTool(dir.path(), { "export", "--format", "xlsx", TwoReports, workbook }).status, 0);
    QProcess patch;
    patch.start(QStringLiteral(LORIMET_PYTHON3),
        { QStringLiteral("-c"),
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
    const Run refused = runTool(
        dir.path(), { "export", "--format", "xlsx", "--append", TwoReports, workbook }, -1, {}, Limit);
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("too large to append to"), refused.err.constData());
    QCOMPARE(readBytes(workbook), before);

    // Memory that runs out ends the tool with a message and status 1.
    const QString events = dir.filePath(QStringLiteral("events.txt"));
    QVERIFY(writeBytes(events, QByteArray("Peak exposure:\n1 ppm\n").repeated(1'000'000)));
    const Run exhausted = runTool(dir.path(),
        { "export", "--format", "xlsx", events, dir.filePath("big.xlsx") }, -1, {}, qint64(200) << 20);
    QCOMPARE(exhausted.status, 1);
    QVERIFY2(exhausted.err.contains("out of memory"), exhausted.err.constData());
    QVERIFY(!QFile::exists(dir.filePath("big.xlsx")));
#endif
}

// Destinations that would destroy something: a document open in an office program, a link planted by
// another user.
void TestFaultInjection::hostileDestinations()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(TwoReports, dir.filePath(QStringLiteral("in.txt"))));
    const QString book = dir.filePath(QStringLiteral("book.xlsx"));
    QCOMPARE(runTool(dir.path(), { "export", "--format", "xlsx", "in.txt", book }).status, 0);
    QVERIFY(writeBytes(dir.filePath(QStringLiteral(".~lock.book.xlsx#")), "user,host"));
    const Run open = runTool(dir.path(), { "export", "--format", "xlsx", "--append", "in.txt", book });
    QCOMPARE(open.status, 1);
    QVERIFY2(open.err.contains("The file is open in another program: book.xlsx. Close it and save again."),
        open.err.constData());

    // A sticky folder everyone may write to, as /tmp: a link there that another user owns is not followed
    // by an unprivileged user's export.
    if (geteuid() != 0)
        QSKIP("Running the tool as another user takes root");
    constexpr int Nobody = 65534;
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    const QString sticky = dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkdir(sticky) && chmod(QFile::encodeName(sticky).constData(), 01777) == 0);
    const QString victim = dir.filePath(QStringLiteral("victim.csv"));
    QVERIFY(writeBytes(victim, "mine\n"));
    const QString planted = sticky + QStringLiteral("/out.csv");
    QVERIFY(QFile::link(victim, planted));
    QVERIFY(lchown(QFile::encodeName(planted).constData(), 12345, 12345) == 0);
    const Run refused
        = runTool(dir.path(), { "export", "--format", "csv", "in.txt", planted }, -1, {}, -1, Nobody);
    QCOMPARE(refused.status, 1);
    QVERIFY2(
        refused.err.contains("another user put in a folder everyone may write to"), refused.err.constData());
    QCOMPARE(readBytes(victim), QByteArray("mine\n"));
    // The user's own link there is followed, and stays a link.
    QVERIFY(lchown(QFile::encodeName(planted).constData(), geteuid(), getegid()) == 0);
    QCOMPARE(runTool(dir.path(), { "export", "--format", "csv", "in.txt", planted }).status, 0);
    QVERIFY(readBytes(victim).startsWith("Download On,"));
    QVERIFY(QFileInfo(planted).isSymLink());
}

// A replaced file keeps its mode and owner; one with other hard links is refused; a temporary file that a
// killed export left beside it is removed.
void TestFaultInjection::replacedFilesKeepWhatTheyWere()
{
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("table.csv"));
    QVERIFY(writeBytes(output, "old\n"));
    QVERIFY(chmod(QFile::encodeName(output).constData(), 0640) == 0);
    // Another user's file, where this process may hand the new one over (as root).
    const bool handsOver = geteuid() == 0 && chown(QFile::encodeName(output).constData(), 65534, 65534) == 0;
    const QString leftover = dir.filePath(QStringLiteral(".table.csv.lorimet-Ab12Cd"));
    QVERIFY(writeBytes(leftover, "half"));
    QCOMPARE(runTool(dir.path(), { "export", "--format", "csv", TwoReports, output }).status, 0);
    struct stat written;
    QVERIFY(stat(QFile::encodeName(output).constData(), &written) == 0);
    QCOMPARE(written.st_mode & 07777, mode_t(0640));
    if (handsOver)
        QCOMPARE(written.st_uid, uid_t(65534));
    QVERIFY(!QFile::exists(leftover));

    QVERIFY(::link(QFile::encodeName(output).constData(),
                QFile::encodeName(dir.filePath("other.csv")).constData())
        == 0);
    const QByteArray before = readBytes(output);
    const Run linked = runTool(dir.path(), { "export", "--format", "csv", TwoReports, output });
    QCOMPARE(linked.status, 1);
    QVERIFY2(linked.err.contains("hard links"), linked.err.constData());
    QCOMPARE(readBytes(output), before);
}

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
