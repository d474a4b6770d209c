#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "cli/CliCommands.h"
#include "device/CaptureFile.h"
#include "device/simulated/SimulatedHidBus.h"

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

class TestCliCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decodePrintsTheDownloadedLines();
    void usageAndFailures_data();
    void usageAndFailures();
    void recordWritesTheTransfer();
    void recordWithoutAdapterFails();

private:
    QTemporaryDir m_dir;
};

void TestCliCommands::initTestCase()
{
    QFile bad(m_dir.filePath(QStringLiteral("bad.cap")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("# fine so far\n+5 00 41 0A 04 04 04 04 04 04\n\n+5 00 41 0A 04 04 04 04 04\n");
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
    const QString bad = m_dir.filePath(QStringLiteral("bad.cap"));
    row("no command", {}, 2, "a command is missing");
    row("unknown command", { "print" }, 2, "unknown command \"print\"");
    row("export without files", { "export", "--format", "csv" }, 2, "Usage: lorimet-report export --format");
    row("decode without file", { "decode" }, 2, decodeUsage);
    row("decode with two files", { "decode", "a.cap", "b.cap" }, 2, decodeUsage);
    row("decode with an unknown option", { "decode", "--raw" }, 2, decodeUsage);
    row("record without file", { "record" }, 2, "Usage: lorimet-report record CAPTURE");
    row("help", { "--help" }, 0, "  export --format txt|csv|xlsx|docx [--append] INPUT OUTPUT  ");
    row("short help", { "-h" }, 0, "  decode CAPTURE  ");
    row("help lists the version option", { "--help" }, 0, "  --version  ");
    row("version", { "--version" }, 0, "lorimet-report " LORIMET_PROJECT_VERSION "\n");
    row("command help", { "record", "--help" }, 0, "Usage: lorimet-report record CAPTURE");
    row("malformed capture", { "decode", bad }, 2, bad + ":4: ");
    row("missing capture", { "decode", "/nonexistent/transfer.cap" }, 1, "/nonexistent/transfer.cap");
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
    const CaptureParseResult sent = CaptureFile::read(DataDir + QStringLiteral("event-log.cap"));
    QVERIFY(!sent.error);
    StaleReportBus bus;
    bus.respondWithCapture(bus.addDevice(), sent.reports);
    const QString fileName = m_dir.filePath(QStringLiteral("recorded.cap"));

    const Run run = runTool({ fileName }, &bus);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(bus.openHandleCount(), 0);

    CaptureParseResult recorded = CaptureFile::read(fileName);
    QVERIFY(!recorded.error);
    // The stale report counts as arriving with the output report.
    QCOMPARE(
        recorded.reports.takeFirst(), (CapturedReport { 0ms, QByteArray(1, '\0') + QByteArray(8, '\x04') }));
    QCOMPARE(recorded.reports.size(), sent.reports.size());
    for (qsizetype i = 0; i < sent.reports.size(); ++i) {
        QCOMPARE(recorded.reports.at(i).bytes, sent.reports.at(i).bytes);
        // Measured delays follow the sent ones; a loaded machine only delays, and a late report is
        // followed by a shorter gap.
        if (sent.reports.at(i).delay >= 200ms)
            QVERIFY(recorded.reports.at(i).delay >= 150ms && recorded.reports.at(i).delay < 400ms);
    }
}

void TestCliCommands::recordWithoutAdapterFails()
{
    SimulatedHidBus bus;
    const QString fileName = m_dir.filePath(QStringLiteral("not-recorded.cap"));
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
