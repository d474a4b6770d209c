#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "archive/store/ReportArchive.h"
#include "cli/CliCommands.h"
#include "export/report/TextReportFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TransferTestSupport.h"

namespace {

const QString Tool = QStringLiteral(LORIMET_REPORT_PATH);
const QString TwoReports = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");

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

// A text export of count reports of one detector, each by another user.
QString writeReports(const QString &path, const QString &users, int count)
{
    QByteArray text;
    const QStringList report = referenceLines(QStringLiteral("01-two-alarms"));
    for (int i = 0; i < count; ++i) {
        for (const QString &line : report) {
            text += TextReportFile::encodeLine(line.startsWith(QLatin1String("User:"))
                    ? QStringLiteral("User: %1 %2").arg(users).arg(i)
                    : line);
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

class TestArchiveCommand : public QObject
{
    Q_OBJECT

private slots:
    void importListShowExportAndCheck();
    void usageAndMissingArchive();
    void killedImportLeavesTheArchiveSound();
};

void TestArchiveCommand::importListShowExportAndCheck()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("a.sqlite"));
    const QStringList in = { "archive", "--archive", archive };
    Run run = runTool(in + QStringList { "import", TwoReports });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("2 reports added, 0 already in the archive, 0 unreadable\n"));
    QCOMPARE(runTool(in + QStringList { "import", TwoReports }).out,
        QStringLiteral("0 reports added, 2 already in the archive, 0 unreadable\n"));

    // The archive the environment names serves when none is given.
    qputenv("LORIMET_ARCHIVE", archive.toUtf8());
    run = runTool({ "archive", "list", "--format", "json" });
    qunsetenv("LORIMET_ARCHIVE");
    QCOMPARE(run.status, 0);
    const QJsonArray listed = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.at(0).toObject().value("downloaded").toString(), QStringLiteral("2026-12-06 09:30"));
    QCOMPARE(listed.at(1).toObject().value("serial").toString(), QStringLiteral("00012345"));
    QCOMPARE(listed.at(1).toObject().value("highestPeak").toString(), QStringLiteral("O.L. ppm H2S"));

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
    const QString fromArchive = folder.filePath(QStringLiteral("archive.csv"));
    const QString fromFile = folder.filePath(QStringLiteral("file.csv"));
    QCOMPARE(runTool(in + QStringList { "export", "--format", "csv", fromArchive }).status, 0);
    QCOMPARE(runTool({ "export", "--format", "csv", TwoReports, fromFile }).status, 0);
    QCOMPARE(readBytes(fromArchive), readBytes(fromFile));
    run = runTool(
        in + QStringList { "export", "--format", "xlsx", "--serial", "A12-345", folder.filePath("b.xlsx") });
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith(QLatin1String("1 events written")), qPrintable(run.out));

    run = runTool(in + QStringList { "check" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, archive + QStringLiteral(": 2 downloads, 3 alarms\n"));
}

void TestArchiveCommand::usageAndMissingArchive()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("none.sqlite"));
    for (const QStringList &args :
        { QStringList { "archive" }, { "archive", "show" }, { "archive", "alarms" },
            { "archive", "list", "--since", "yesterday" }, { "archive", "check", "--user", "x" },
            { "archive", "export", "--format", "csv", "--append", "out.csv" } })
        QCOMPARE(runTool(args).status, 2);
    const Run run = runTool({ "archive", "--archive", missing, "list" });
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("there is no archive at ") + missing), qPrintable(run.err));
    QVERIFY(!QFile::exists(missing));
}

void TestArchiveCommand::killedImportLeavesTheArchiveSound()
{
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("a.sqlite"));
    const QString file
        = writeReports(folder.filePath(QStringLiteral("many.txt")), QStringLiteral("Tech"), 3000);
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

QTEST_GUILESS_MAIN(TestArchiveCommand)
#include "tst_archivecommand.moc"
