#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "CaptureFile.h"
#include "CliCommands.h"
#include "SimulatedHidBus.h"

using namespace std::chrono_literals;

namespace {

const QString DataDir = QStringLiteral(LORIMET_TEST_DATA_DIR);

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &args)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = runLorimetReport(args, out, err);
    return run;
}

Run runRecord(HidBackend &backend, const QString &fileName)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = recordTransfer(backend, fileName, 400ms, out, err);
    return run;
}

QString readUtf8(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

private slots:
    void decodePrintsTheDownloadedLines_data();
    void decodePrintsTheDownloadedLines();
    void decodeReportsTheMalformedLine();
    void decodeOfMissingFileFails();
    void usage_data();
    void usage();
    void helpListsEveryCommand();
    void recordWritesTheTransfer();
    void recordWithoutAdapter_data();
    void recordWithoutAdapter();
};

void TestCliCommands::decodePrintsTheDownloadedLines_data()
{
    QTest::addColumn<QString>("capture");
    QTest::addColumn<QString>("expected");

    QTest::newRow("example streams") << "example-streams.cap"
                                     << "example-streams.txt";
    QTest::newRow("event log") << "event-log.cap"
                               << "event-log.txt";
}

void TestCliCommands::decodePrintsTheDownloadedLines()
{
    QFETCH(QString, capture);
    QFETCH(QString, expected);

    const Run run = runTool({ QStringLiteral("decode"), DataDir + QLatin1Char('/') + capture });
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, readUtf8(DataDir + QLatin1Char('/') + expected));
}

void TestCliCommands::decodeReportsTheMalformedLine()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("bad.cap"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# fine so far\n+5 00 41 0A 04 04 04 04 04 04\n\n+5 00 41 0A 04 04 04 04 04\n");
    file.close();

    const Run run = runTool({ QStringLiteral("decode"), fileName });
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(fileName + QStringLiteral(":4: ")), qPrintable(run.err));
}

void TestCliCommands::decodeOfMissingFileFails()
{
    const Run run = runTool({ QStringLiteral("decode"), QStringLiteral("/nonexistent/transfer.cap") });
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(QStringLiteral("/nonexistent/transfer.cap")));
}

void TestCliCommands::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errContains");

    QTest::newRow("no command") << QStringList {} << 2 << "a command is missing";
    QTest::newRow("unknown command") << QStringList { "export" } << 2 << "unknown command \"export\"";
    QTest::newRow("decode without file")
        << QStringList { "decode" } << 2 << "Usage: lorimet-report decode CAPTURE";
    QTest::newRow("decode with two files")
        << QStringList { "decode", "a.cap", "b.cap" } << 2 << "Usage: lorimet-report decode CAPTURE";
    QTest::newRow("decode with an unknown option")
        << QStringList { "decode", "--raw" } << 2 << "Usage: lorimet-report decode CAPTURE";
    QTest::newRow("record without file")
        << QStringList { "record" } << 2 << "Usage: lorimet-report record CAPTURE";
    QTest::newRow("command help") << QStringList { "record", "--help" } << 0 << "";
}

void TestCliCommands::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, errContains);

    const Run run = runTool(args);
    QCOMPARE(run.status, status);
    if (errContains.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.contains(errContains), qPrintable(run.err));
}

void TestCliCommands::helpListsEveryCommand()
{
    for (const QString &option : { QStringLiteral("--help"), QStringLiteral("-h") }) {
        const Run run = runTool({ option });
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QVERIFY(!cliCommands().isEmpty());
        for (const CliCommand &command : cliCommands())
            QVERIFY2(run.out.contains(QStringLiteral("  ") + command.name + QLatin1Char(' ')),
                qPrintable(run.out));
    }
}

void TestCliCommands::recordWritesTheTransfer()
{
    const CaptureParseResult sent = CaptureFile::read(DataDir + QStringLiteral("/event-log.cap"));
    QVERIFY(!sent.error);
    SimulatedHidBus bus;
    bus.respondWithCapture(bus.addDevice(), sent.reports);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("recorded.cap"));

    const Run run = runRecord(bus, fileName);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(bus.openHandleCount(), 0);

    const CaptureParseResult recorded = CaptureFile::read(fileName);
    QVERIFY(!recorded.error);
    QCOMPARE(recorded.reports.size(), sent.reports.size());
    for (qsizetype i = 0; i < sent.reports.size(); ++i) {
        QCOMPARE(recorded.reports.at(i).bytes, sent.reports.at(i).bytes);
        // Measured delays follow the sent ones; a loaded machine only delays, and a late report is
        // followed by a shorter gap.
        if (sent.reports.at(i).delay >= 200ms) {
            QVERIFY(recorded.reports.at(i).delay >= 150ms);
            QVERIFY(recorded.reports.at(i).delay < 400ms);
        }
    }

    const Run decoded = runTool({ QStringLiteral("decode"), fileName });
    QCOMPARE(decoded.out, readUtf8(DataDir + QStringLiteral("/event-log.txt")));
}

void TestCliCommands::recordWithoutAdapter_data()
{
    QTest::addColumn<bool>("attachedButDenied");
    QTest::addColumn<QString>("errContains");

    QTest::newRow("nothing attached") << false << "no Lorimet Adapter is attached";
    QTest::newRow("access denied") << true << "udev rule";
}

void TestCliCommands::recordWithoutAdapter()
{
    QFETCH(bool, attachedButDenied);
    QFETCH(QString, errContains);

    SimulatedHidBus bus;
    if (attachedButDenied) {
        SimulatedHidBus::DeviceSettings denied;
        denied.open = SimulatedHidBus::OpenBehaviour::AccessDenied;
        bus.addDevice(denied);
    }
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("recorded.cap"));

    const Run run = runRecord(bus, fileName);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(errContains), qPrintable(run.err));
    QVERIFY(!QFile::exists(fileName));
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
