#include <memory>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "ExportCommand.h"

namespace {

const QString TwoReports = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Reads RFC 4180 text back into rows of fields; every record must end in CR LF.
QList<QStringList> parseCsv(const QString &text, bool *wellFormed)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    *wellFormed = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (ch == u',') {
            row.append(field);
            field.clear();
        } else if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            ++i;
        } else if (ch == u'\r' || ch == u'\n' || ch == u'"') {
            *wellFormed = false;
        } else {
            field += ch;
        }
    }
    if (quoted || !field.isEmpty() || !row.isEmpty())
        *wellFormed = false;
    return rows;
}

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();

    void csvOfTwoReports();
    void csvMonthNamesStayEnglish();
    void csvReplacesOutput();
    void txtAppendsWithCrLf();
    void fileErrors_data();
    void fileErrors();
    void wrongArguments_data();
    void wrongArguments();

private:
    int run(const QStringList &args);

    std::unique_ptr<QTemporaryDir> m_tempDir;
    QString m_out;
    QString m_err;
};

void TestExportCommand::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid());
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
    const QString output = m_tempDir->filePath("events.csv");
    QCOMPARE(run({ "--format", "csv", TwoReports, output }), 0);
    QCOMPARE(m_err, QString());

    bool wellFormed = false;
    const QList<QStringList> rows = parseCsv(QString::fromUtf8(readBytes(output)), &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(0),
        QStringList({ "Download On", "Download At", "Serial #", "User", "Peak", "Time Since Alarm Began",
            "Duration of Alarm", "Life Remaining", "Self Tests", "Cumulative Alarm Time", "Total Events" }));
    QCOMPARE(rows.at(1),
        QStringList({ "05-Dec-2026", "01:05 PM", "12345", "J Smith", "15 ppm H2S", "06 days 04 hrs 21 mins",
            "00 days 00 hrs 01 mins 22 secs", "24 months", "2", "2 min.", "5" }));
    QCOMPARE(rows.at(2),
        QStringList({ "05-Dec-2026", "01:05 PM", "12345", "J Smith", "O.L. ppm H2S", "00 days 00 hrs 10 mins",
            "00 days 00 hrs 00 mins 04 secs", "24 months", "2", "2 min.", "5" }));
    QCOMPARE(rows.at(3),
        QStringList({ "06-Dec-2026", "09:30 AM", "A12-345", QString::fromUtf8("Zo\u00eb, \"Lee\""),
            "40 ppm H2S", "00 days 03 hrs 05 mins", "00 days 00 hrs 03 mins 00 secs", "23 months", "",
            "3 mins", "1" }));
    QVERIFY2(m_out.startsWith("3 events"), qPrintable(m_out));
}

void TestExportCommand::csvMonthNamesStayEnglish()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString input = m_tempDir->filePath("report.txt");
    writeBytes(input, "Date: 2026-03-05\nPeak exposure:\n5 ppm H2S\n");
    const QString output = m_tempDir->filePath("events.csv");
    const int status = run({ "--format", "csv", input, output });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(status, 0);
    QVERIFY2(readBytes(output).contains("\r\n05-Mar-2026,"), readBytes(output).constData());
}

void TestExportCommand::csvReplacesOutput()
{
    const QString output = m_tempDir->filePath("events.csv");
    writeBytes(output, "old,content\r\nmore,rows\r\nstill,more\r\n");
    const QString input = m_tempDir->filePath("report.txt");
    writeBytes(input, "Self tests:\r\n3\r\n");
    QCOMPARE(run({ "--format=csv", input, output }), 0);
    QCOMPARE(readBytes(output),
        QByteArray("Download On,Download At,Serial #,User,Peak,Time Since Alarm Began,Duration of Alarm,Self "
                   "Tests\r\n"));
}

void TestExportCommand::txtAppendsWithCrLf()
{
    const QString input = m_tempDir->filePath("lf.txt");
    writeBytes(input, "   S/N: AB.12\n\nZo\xEB\r\nlast");
    const QString output = m_tempDir->filePath("saved.txt");
    writeBytes(output, "before\r\n");
    QCOMPARE(run({ "--format", "txt", input, output }), 0);
    QCOMPARE(run({ "--format", "txt", input, output }), 0);
    const QByteArray once("   S/N: AB.12\r\n\r\nZo\xEB\r\nlast\r\n");
    QCOMPARE(readBytes(output), "before\r\n" + once + once);
    QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files).size(), 2);
}

void TestExportCommand::fileErrors_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");

    QTest::newRow("csv, missing input") << "csv"
                                        << "missing.txt"
                                        << "out.csv";
    QTest::newRow("txt, missing input") << "txt"
                                        << "missing.txt"
                                        << "out.txt";
    QTest::newRow("csv, output folder missing") << "csv" << TwoReports << "no such folder/out.csv";
    QTest::newRow("txt, output folder missing") << "txt" << TwoReports << "no such folder/out.txt";
    QTest::newRow("csv, output is a folder") << "csv" << TwoReports << "folder";
    QTest::newRow("input is a folder") << "csv"
                                       << "folder"
                                       << "out.csv";
}

void TestExportCommand::fileErrors()
{
    QFETCH(QString, format);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QDir dir(m_tempDir->path());
    QVERIFY(dir.mkdir("folder"));
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QCOMPARE(run({ "--format", format, dir.absoluteFilePath(input), dir.absoluteFilePath(output) }), 1);
    QVERIFY(!m_err.isEmpty());
    QVERIFY(m_out.isEmpty());
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir(dir.filePath("folder")).isEmpty());
}

void TestExportCommand::wrongArguments_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("nothing") << QStringList {};
    QTest::newRow("no format") << QStringList { "in.txt", "out.csv" };
    QTest::newRow("format not offered") << QStringList { "--format", "docx", "in.txt", "out.docx" };
    QTest::newRow("format without value") << QStringList { "in.txt", "out.csv", "--format" };
    QTest::newRow("missing output") << QStringList { "--format", "csv", "in.txt" };
    QTest::newRow("extra file") << QStringList { "--format", "csv", "a", "b", "c" };
    QTest::newRow("unknown option") << QStringList { "--format", "csv", "--quiet", "a", "b" };
}

void TestExportCommand::wrongArguments()
{
    QFETCH(QStringList, args);
    QCOMPARE(run(args), 2);
    QVERIFY(m_err.contains(QLatin1String(ExportCommandUsage)));
    QVERIFY(m_out.isEmpty());
}

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
