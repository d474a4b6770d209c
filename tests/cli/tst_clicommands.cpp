#include <memory>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "cli/CliCommands.h"
#include "cli/ExportCommand.h"
#include "device/CaptureFile.h"
#include "device/simulated/SimulatedHidBus.h"
#include "tests/support/OfficeReaders.h"
#include "tests/support/TestFiles.h"

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
    void tableDocuments_data();
    void tableDocuments();
    void standardOutput_data();
    void standardOutput();
    void textIsAppendedInPlace();
    void concurrentTextExportsKeepEveryLine();
    void failures_data();
    void failures();
    void decodePrintsTheDownloadedLines();
    void usageAndFailures_data();
    void usageAndFailures();
    void recordWritesTheTransfer();
    void recordWithoutAdapterFails();

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
    QFile bad(m_sharedDir.filePath(QStringLiteral("bad.cap")));
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

// The file stays the same file: its other names see the new lines and its mode is kept.
void TestCliCommands::textIsAppendedInPlace()
{
    QVERIFY(writeBytes("report.txt", "Peak exposure:\n5 ppm\n"));
    QVERIFY(writeBytes("out.txt", "earlier\r\n"));
    QVERIFY(QFile::setPermissions("out.txt", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const QFile::Permissions permissions = QFile::permissions("out.txt");
    QCOMPARE(link("out.txt", "other name.txt"), 0);

    QCOMPARE(run({ "--format", "txt", "report.txt", "out.txt" }), 0);
    QCOMPARE(run({ "--format=txt", "report.txt", "out.txt" }), 0);
    QCOMPARE(m_out, QByteArray("2 lines appended to out.txt\n2 lines appended to out.txt\n"));
    const QByteArray expected("earlier\r\nPeak exposure:\r\n5 ppm\r\nPeak exposure:\r\n5 ppm\r\n");
    QCOMPARE(readBytes("other name.txt"), expected);
    QCOMPARE(QFile::permissions("out.txt"), permissions);
    QCOMPARE(QDir().entryList(QDir::Files), QStringList({ "other name.txt", "out.txt", "report.txt" }));
}

void TestCliCommands::concurrentTextExportsKeepEveryLine()
{
    constexpr int Exporters = 4;
    constexpr int Rounds = 40;
    for (int i = 0; i < Exporters; ++i)
        QVERIFY(writeBytes(QStringLiteral("report%1.txt").arg(i),
            QByteArray::number(i) + "a\n" + QByteArray::number(i) + "b\n"));
    std::vector<std::thread> exporters;
    for (int i = 0; i < Exporters; ++i) {
        exporters.emplace_back([i] {
            for (int round = 0; round < Rounds; ++round) {
                QString out;
                QString err;
                QTextStream outStream(&out);
                QTextStream errStream(&err);
                (void)runExportCommand(
                    { "--format", "txt", QStringLiteral("report%1.txt").arg(i), "out.txt" }, outStream,
                    errStream);
            }
        });
    }
    for (std::thread &exporter : exporters)
        exporter.join();

    // Every export's two lines arrived, side by side.
    const QList<QByteArray> lines = readBytes("out.txt").split('\n');
    QCOMPARE(lines.size(), Exporters * Rounds * 2 + 1);
    QList<int> exports(Exporters, 0);
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const int exporter = lines.at(i).left(1).toInt();
        QCOMPARE(lines.at(i), QByteArray::number(exporter) + "a\r");
        QCOMPARE(lines.at(i + 1), QByteArray::number(exporter) + "b\r");
        ++exports[exporter];
    }
    QCOMPARE(exports, QList<int>(Exporters, Rounds));
}

void TestCliCommands::tableDocuments_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("docx") << "docx";
}

// A new document, then the same report appended below its rows.
void TestCliCommands::tableDocuments()
{
    QFETCH(QString, format);
    const QString report = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");
    const QString output = "events." + format;
    QCOMPARE(run({ "--format", format, report, output }), 0);
    QCOMPARE(run({ "--format", format, "--append", report, output }), 0);
    QCOMPARE(m_err, QString());
    QCOMPARE(m_out, QStringLiteral("3 events written to %1\n").arg(output).repeated(2).toUtf8());

    const QString path = QDir::current().filePath(output);
    QStringList serials;
    if (format == "xlsx") {
        const QJsonObject cells = OfficeReaders::runScript("read_xlsx.py", { path })["cells"].toObject();
        for (int row = 2; cells.contains(QStringLiteral("C%1").arg(row)); ++row)
            serials.append(cells[QStringLiteral("C%1").arg(row)].toString().section(u'|', 0, 0));
    } else {
        const QJsonArray rows
            = OfficeReaders::runScript("read_docx.py", { path })["tables"][0]["rows"].toArray();
        for (const QJsonValue row : rows)
            serials.append(row[2]["text"].toString());
        serials.removeFirst();
    }
    const QStringList once = format == "xlsx" ? QStringList { "number 12345", "number 12345", "text A12-345" }
                                              : QStringList { "12345", "12345", "A12-345" };
    QCOMPARE(serials, once + once);
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
    row("text to a folder", { "--format", "txt", "report.txt", "folder" }, 1, "folder is a folder");
    row("output is a fifo", { "--format", "csv", "report.txt", "fifo" }, 1, "fifo is not a regular file");
    row("output is the input", { "--format", "csv", "report.txt", "alias.txt" }, 1,
        "it is the report being exported");
    row("no room for the temporary file's name", { "--format", "csv", "report.txt", QString(250, u'n') }, 1,
        "too long for the temporary file");
    row("text to a fifo", { "--format", "txt", "report.txt", "fifo" }, 1, "fifo is not a regular file");
    row("input too large", { "--format", "txt", huge, "out.txt" }, 1, "larger than 256 MiB");
    row("too many events", { "--format", "csv", events, "out.csv" }, 1, "1,048,576 rows of a worksheet");
    row("nothing", {}, 2, usage);
    row("format not offered", { "--format", "pdf", "report.txt", "out.pdf" }, 2, usage);
    row("append to text", { "--format", "txt", "--append", "report.txt", "out.txt" }, 2, usage);
    row("append to nothing", { "--format", "xlsx", "--append", "report.txt", "out.xlsx" }, 1,
        "cannot write out.xlsx: ");
    row("append to a text file", { "--format", "docx", "--append", "report.txt", "report.txt" }, 1,
        "cannot write report.txt: ");
    row("extra file", { "--format", "csv", "report.txt", "b", "c" }, 2, usage);
    row("csv appended", { "--format", "csv", "--append", "report.txt", "out.csv" }, 2, usage);
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
        const Run run = runTool({ QStringLiteral("decode"), DataDir + name + QStringLiteral(".cap") });
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QFile expected(DataDir + name + QStringLiteral(".txt"));
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

    const QString decodeUsage = QStringLiteral("Usage: lorimet-report decode CAPTURE");
    const QString bad = m_sharedDir.filePath(QStringLiteral("bad.cap"));
    row("no command", {}, 2, "a command is missing");
    row("unknown command", { "print" }, 2, "unknown command \"print\"");
    row("export without files", { "export", "--format", "csv" }, 2, "Usage: lorimet-report export --format");
    row("decode without file", { "decode" }, 2, decodeUsage);
    row("decode with an unknown option", { "decode", "--raw" }, 2, decodeUsage);
    row("record without file", { "record" }, 2, "Usage: lorimet-report record CAPTURE");
    row("help", { "--help" }, 0, "  export --format txt|csv|xlsx|docx [--append] INPUT OUTPUT  ");
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
    const QList<CapturedReport> sent = CaptureFile::read(DataDir + QStringLiteral("event-log.cap"), nullptr)
                                           .value_or(QList<CapturedReport>());
    QVERIFY(!sent.isEmpty());
    StaleReportBus bus;
    bus.respondWithCapture(bus.addDevice(), sent);
    const QString fileName = m_sharedDir.filePath(QStringLiteral("recorded.cap"));

    const Run run = runTool({ fileName }, &bus);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(bus.openHandleCount(), 0);

    QList<CapturedReport> recorded = CaptureFile::read(fileName, nullptr).value_or(QList<CapturedReport>());
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
    const QString fileName = m_sharedDir.filePath(QStringLiteral("not-recorded.cap"));
    for (const QString message : { "no Lorimet Adapter is attached", "udev rule" }) {
        const Run run = runTool({ fileName }, &bus);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(fileName));
        // Then an adapter the user may not open.
        bus.addDevice({ .open = SimulatedHidBus::OpenBehaviour::AccessDenied });
    }
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
