#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// lorimet-report itself, run as a child process whose files may not grow past a limit (the file-size
// limit stands in for a full disk) or whose standard output is full.
namespace {

const QString Tool = QStringLiteral(LORIMET_REPORT_PATH);

struct Run
{
    int status = -1;
    QByteArray err;
};

// The tool in folder; with a size limit its files may not grow past that many bytes, and it is told
// so by a failed write, not by SIGXFSZ.
Run runTool(const QString &folder, const QStringList &args, qint64 sizeLimit = -1,
    const QString &standardOutput = QString())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    if (sizeLimit >= 0) {
        process.setChildProcessModifier([sizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { static_cast<rlim_t>(sizeLimit), static_cast<rlim_t>(sizeLimit) };
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(Tool, args);
    if (!process.waitForFinished(30'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { process.exitCode(), process.readAllStandardError() };
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

private slots:
    void exportOnFullDisk_data();
    void exportOnFullDisk();
    void fullStandardOutput_data();
    void fullStandardOutput();
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
    if (!existing.isEmpty()) {
        QFile file(output);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size());
    }
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

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
