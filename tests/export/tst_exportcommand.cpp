#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ExportCommand.h"

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void csvOfTwoReports();
    void failures_data();
    void failures();

private:
    int run(const QStringList &args);

    std::unique_ptr<QTemporaryDir> m_tempDir;
    const QString m_startDir = QDir::currentPath();
    QString m_out;
    QString m_err;
};

void TestExportCommand::cleanup()
{
    QDir::setCurrent(m_startDir);
}

// Every test works in a fresh folder of its own.
void TestExportCommand::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid() && QDir::setCurrent(m_tempDir->path()));
    m_out.clear();
    m_err.clear();
}

int TestExportCommand::run(const QStringList &args)
{
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    return runExportCommand(args, out, err);
}

void TestExportCommand::csvOfTwoReports()
{
    writeBytes("events.csv", QByteArray(2000, 'x'));
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

void TestExportCommand::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    // In a folder holding "report.txt" and the empty folder "folder".
    const auto row = [](const char *name, const QStringList &args, int status) {
        QTest::newRow(name) << args << status;
    };
    row("missing input", { "--format", "csv", "missing.txt", "out.csv" }, 1);
    row("input is a folder", { "--format", "csv", "folder", "out.csv" }, 1);
    row("output folder missing", { "--format", "csv", "report.txt", "no such folder/out.csv" }, 1);
    row("output is a folder", { "--format", "csv", "report.txt", "folder" }, 1);
    row("nothing", {}, 2);
    row("format not offered", { "--format", "docx", "report.txt", "out.docx" }, 2);
    row("extra file", { "--format", "csv", "report.txt", "b", "c" }, 2);
}

void TestExportCommand::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    writeBytes("report.txt", "Peak exposure:\r\n5 ppm H2S\r\n");
    QVERIFY(QDir().mkdir("folder"));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QCOMPARE(run(args), status);
    QVERIFY(m_out.isEmpty());
    QVERIFY(status == 1 ? !m_err.isEmpty() : m_err.contains(QLatin1String(ExportCommandUsage)));
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir("folder").isEmpty());
}

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
