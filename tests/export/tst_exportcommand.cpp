#include <memory>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "ExportCommand.h"
#include "OfficeReaders.h"

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
    void tableDocuments_data();
    void tableDocuments();
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

void TestExportCommand::tableDocuments_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("docx") << "docx";
}

// A new document, then the same report appended below its rows.
void TestExportCommand::tableDocuments()
{
    QFETCH(QString, format);
    const QString report = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");
    const QString output = "events." + format;
    QCOMPARE(run({ "--format", format, report, output }), 0);
    QCOMPARE(run({ "--format", format, "--append", report, output }), 0);
    QCOMPARE(m_err, QString());
    QCOMPARE(m_out, QStringLiteral("3 events written to %1\n").arg(output).repeated(2));

    const QString path = QDir::current().filePath(output);
    QStringList serials;
    if (format == "xlsx") {
        const QJsonObject cells = OfficeReaders::RunScript("read_xlsx.py", { path })["cells"].toObject();
        for (int row = 2; cells.contains(QStringLiteral("C%1").arg(row)); ++row)
            serials.append(cells[QStringLiteral("C%1").arg(row)].toString().section(u'|', 0, 0));
    } else {
        const QJsonArray rows
            = OfficeReaders::RunScript("read_docx.py", { path })["tables"][0]["rows"].toArray();
        for (const QJsonValue row : rows)
            serials.append(row[2]["text"].toString());
        serials.removeFirst();
    }
    const QStringList once = format == "xlsx" ? QStringList { "number 12345", "number 12345", "text A12-345" }
                                              : QStringList { "12345", "12345", "A12-345" };
    QCOMPARE(serials, once + once);
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
    row("format not offered", { "--format", "pdf", "report.txt", "out.pdf" }, 2);
    row("append to text", { "--format", "txt", "--append", "report.txt", "out.txt" }, 2);
    row("append to nothing", { "--format", "xlsx", "--append", "report.txt", "out.xlsx" }, 1);
    row("append to a text file", { "--format", "docx", "--append", "report.txt", "report.txt" }, 1);
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
