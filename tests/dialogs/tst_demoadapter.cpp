#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "DemoAdapter.h"
#include "LorimetAdapter.h"
#include "ReportDecoder.h"
#include "TransferTestSupport.h"

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A capture of one report holding one short line.
QByteArray oneLineCapture(const QByteArray &text)
{
    const QByteArray report = lineReport(text);
    QByteArray line = "+5";
    for (const char byte : report)
        line += ' '
            + QByteArray::number(static_cast<unsigned char>(byte), 16).rightJustified(2, '0').toUpper();
    return "# one line\n" + line + '\n';
}

QStringList download(DemoAdapter &demo, bool armed)
{
    RecordingList list;
    LorimetAdapter adapter(demo.backend());
    adapter.setOutputListBox(&list);
    adapter.setReadTimeout(100ms);
    if (armed)
        demo.armNextCapture();
    if (adapter.InitDevice())
        adapter.ReadDevice();
    return list.lines;
}

} // namespace

class TestDemoAdapter : public QObject
{
    Q_OBJECT

private slots:
    void shippedCapturesDecodeToTheirReports_data();
    void shippedCapturesDecodeToTheirReports();
    void capturesAreEmbeddedInNameOrder();
    void loadsCaptureFilesInNameOrderAndSkipsBrokenOnes();
    void eachArmedDownloadGetsTheNextCaptureThenTheFirstAgain();
};

void TestDemoAdapter::shippedCapturesDecodeToTheirReports_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("errorCharacters");

    QTest::newRow("two alarms") << "01-two-alarms" << 0;
    QTest::newRow("no alarms") << "02-no-alarms" << 0;
    QTest::newRow("overload") << "03-overload" << 0;
    QTest::newRow("corrupted") << "04-corrupted" << 1;
}

void TestDemoAdapter::shippedCapturesDecodeToTheirReports()
{
    QFETCH(QString, name);
    QFETCH(int, errorCharacters);

    const CaptureParseResult capture = CaptureFile::read(captureFile(name));
    QVERIFY(!capture.error);
    // Every gap is shorter than the silence that ends a transfer, so each capture is one download.
    const QStringList lines = decodeCapturedTransfers(capture.reports, 1000ms);
    const QStringList expected = referenceLines(name);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(lines, expected);

    int errors = 0;
    for (const QString &line : lines) {
        QCOMPARE(line.size(), 24);
        errors += static_cast<int>(line.count(QChar(0x7F)));
    }
    QCOMPARE(errors, errorCharacters);
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^   S/N: \\d+ *$"))).size(), 1);
    for (const char *tag : { "Date:", "Time:", "Serial #:", "User:" })
        QCOMPARE(
            lines.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(tag))).size(),
            1);
}

void TestDemoAdapter::capturesAreEmbeddedInNameOrder()
{
    DemoAdapter demo(QStringLiteral(":/captures"));
    const QStringList expected { "01-two-alarms.cap", "02-no-alarms.cap", "03-overload.cap",
        "04-corrupted.cap" };
    QCOMPARE(demo.captureNames(), expected);
    QCOMPARE(QDir(resourcesDir() + QStringLiteral("/captures"))
                 .entryList({ "*.cap" }, QDir::Files, QDir::Name),
        expected);
}

void TestDemoAdapter::loadsCaptureFilesInNameOrderAndSkipsBrokenOnes()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    writeFile(directory.filePath("b.cap"), oneLineCapture("B"));
    writeFile(directory.filePath("a.cap"), oneLineCapture("A"));
    writeFile(directory.filePath("broken.cap"), "+5 00 41 0A\n");
    writeFile(directory.filePath("notes.txt"), oneLineCapture("N"));

    DemoAdapter demo(directory.path());

    QCOMPARE(demo.captureNames(), (QStringList { "a.cap", "b.cap" }));
}

void TestDemoAdapter::eachArmedDownloadGetsTheNextCaptureThenTheFirstAgain()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    writeFile(directory.filePath("1.cap"), oneLineCapture("FIRST"));
    writeFile(directory.filePath("2.cap"), oneLineCapture("SECOND"));
    DemoAdapter demo(directory.path());

    QCOMPARE(download(demo, true), QStringList { "FIRST" });
    // A read that nobody armed, like the further reads of a download or a reset, gets nothing.
    QCOMPARE(download(demo, false), QStringList());
    QCOMPARE(download(demo, true), QStringList { "SECOND" });
    QCOMPARE(download(demo, true), QStringList { "FIRST" });
}

QTEST_GUILESS_MAIN(TestDemoAdapter)
#include "tst_demoadapter.moc"
