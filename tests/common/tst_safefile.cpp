#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "common/SafeFile.h"
#include "tests/support/TestFiles.h"

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replaceKeepsWhatTheFileWas();
    void replaceLeavesTheFileAsItWasWhenItMustNot_data();
    void replaceLeavesTheFileAsItWasWhenItMustNot();
    void anUpdateHoldsItsFile();
    void appendKeepsTheFileAndCutsBackAKilledAppend();
    void concurrentAppendsKeepEveryLine();
    void linksInAFolderEveryoneMayWriteTo();

private:
    [[nodiscard]] QString path(const QString &name) const { return m_dir->filePath(name); }
    [[nodiscard]] QStringList entries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSafeFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// The new content takes the old file's mode, and a temporary file a killed update left beside it goes.
void TestSafeFile::replaceKeepsWhatTheFileWas()
{
    const QString table = path("table.csv");
    QVERIFY(writeBytes(table, "old\n"));
    QVERIFY(chmod(QFile::encodeName(table).constData(), 0640) == 0);
    QVERIFY(writeBytes(path(".table.csv.lorimet-Ab12Cd"), "half"));

    QString error;
    QVERIFY2(SafeFile::replace(table, "new\n", &error), qPrintable(error));
    QCOMPARE(readBytes(table), QByteArray("new\n"));
    struct stat written;
    QVERIFY(stat(QFile::encodeName(table).constData(), &written) == 0);
    QCOMPARE(written.st_mode & 07777, mode_t(0640));
    QCOMPARE(entries(), QStringList { "table.csv" });
}

void TestSafeFile::replaceLeavesTheFileAsItWasWhenItMustNot_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("reason");
    QTest::newRow("other hard links") << "linked" << "hard links";
    QTest::newRow("not a regular file") << "folder" << "is a folder";
    QTest::newRow("changed by another program") << "changed" << "changed";
}

void TestSafeFile::replaceLeavesTheFileAsItWasWhenItMustNot()
{
    QFETCH(QString, situation);
    QFETCH(QString, reason);
    const QString target = path("target");
    SafeFile::Update update;
    QString error;
    if (situation == "folder") {
        QVERIFY(QDir().mkdir(target));
        QVERIFY(!SafeFile::isReplaceable(target, &error));
    } else {
        QVERIFY(writeBytes(target, "before"));
        if (situation == "linked")
            QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(path("other")).constData())
                == 0);
        QByteArray read;
        QVERIFY(update.read(target, 1024, read, &error));
        if (situation == "changed")
            QVERIFY(writeBytes(target, "another program's"));
    }
    const QStringList before = entries();
    const QByteArray content = readBytes(target);

    QVERIFY(!update.replace(target, "mine", &error));
    QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
    QCOMPARE(update.changed(), situation == "changed");
    QCOMPARE(readBytes(target), content);
    QCOMPARE(entries(), before);
}

// An update holds its file from reading to replacing: another update of it in this process is refused
// meanwhile (other processes wait for it: the tool's concurrent appends), and reads what it wrote after.
void TestSafeFile::anUpdateHoldsItsFile()
{
    const QString counter = path("counter");
    QVERIFY(writeBytes(counter, "a"));
    SafeFile::Update first;
    QByteArray bytes;
    QString error;
    QVERIFY(first.read(counter, 1024, bytes, &error));
    SafeFile::Update second;
    QVERIFY(!second.read(counter, 1024, bytes, &error));
    QVERIFY2(error.contains("being written by another export"), qPrintable(error));

    QVERIFY(first.replace(counter, "ab", &error));
    SafeFile::Update third;
    QVERIFY2(third.read(counter, 1024, bytes, &error), qPrintable(error));
    QCOMPARE(bytes, QByteArray("ab"));
}

// An append writes in place: the file keeps its inode, so its other names see the lines. The journal of an
// append that was killed cuts the file back to its length before that append.
void TestSafeFile::appendKeepsTheFileAndCutsBackAKilledAppend()
{
    const QString log = path("reports.txt");
    QVERIFY(writeBytes(log, "earlier\r\nPeak expo"));
    QVERIFY(writeBytes(path(".reports.txt.lorimet-journal"), "9"));
    QVERIFY(::link(QFile::encodeName(log).constData(), QFile::encodeName(path("other name.txt")).constData())
        == 0);

    SafeFile::AppendFile file;
    QString error;
    QVERIFY2(file.open(log, &error), qPrintable(error));
    QVERIFY2(file.note().contains("cut back to 9 bytes"), qPrintable(file.note()));
    QVERIFY(file.append("Peak exposure:\r\n", &error));
    QCOMPARE(readBytes(path("other name.txt")), QByteArray("earlier\r\nPeak exposure:\r\n"));
    QCOMPARE(entries(), QStringList({ "other name.txt", "reports.txt" }));
}

void TestSafeFile::concurrentAppendsKeepEveryLine()
{
    constexpr int Appenders = 4;
    constexpr int Rounds = 40;
    const QString log = path("reports.txt");
    std::vector<std::thread> appenders;
    for (int i = 0; i < Appenders; ++i) {
        appenders.emplace_back([&log, i] {
            const QByteArray lines = QByteArray::number(i) + "a\r\n" + QByteArray::number(i) + "b\r\n";
            for (int round = 0; round < Rounds; ++round) {
                SafeFile::AppendFile file;
                QString error;
                if (!file.open(log, &error) || !file.append(lines, &error))
                    qWarning("%s", qPrintable(error));
            }
        });
    }
    for (std::thread &appender : appenders)
        appender.join();

    // Every append's two lines arrived, side by side.
    const QList<QByteArray> lines = readBytes(log).split('\n');
    QCOMPARE(lines.size(), Appenders * Rounds * 2 + 1);
    QList<int> appends(Appenders, 0);
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const int appender = lines.at(i).left(1).toInt();
        QCOMPARE(lines.at(i), QByteArray::number(appender) + "a\r");
        QCOMPARE(lines.at(i + 1), QByteArray::number(appender) + "b\r");
        ++appends[appender];
    }
    QCOMPARE(appends, QList<int>(Appenders, Rounds));
}

// In a sticky folder everyone may write to, as /tmp, a link that another user put there is not followed;
// the user's own link is, and stays a link.
void TestSafeFile::linksInAFolderEveryoneMayWriteTo()
{
    if (geteuid() != 0)
        QSKIP("Giving a link to another user takes root");
    const QString sticky = path("shared");
    QVERIFY(QDir().mkdir(sticky) && chmod(QFile::encodeName(sticky).constData(), 01777) == 0);
    const QString victim = path("victim.csv");
    QVERIFY(writeBytes(victim, "mine\n"));
    const QString planted = sticky + "/out.csv";
    QVERIFY(QFile::link(victim, planted));
    QVERIFY(lchown(QFile::encodeName(planted).constData(), 12345, 12345) == 0);

    QString error;
    QVERIFY(!SafeFile::replace(planted, "theirs\n", &error));
    QVERIFY2(error.contains("another user put in a folder everyone may write to"), qPrintable(error));
    SafeFile::AppendFile appended;
    QVERIFY(!appended.open(planted, &error));
    QCOMPARE(readBytes(victim), QByteArray("mine\n"));

    QVERIFY(lchown(QFile::encodeName(planted).constData(), geteuid(), getegid()) == 0);
    QVERIFY2(SafeFile::replace(planted, "new\n", &error), qPrintable(error));
    QCOMPARE(readBytes(victim), QByteArray("new\n"));
    QVERIFY(QFileInfo(planted).isSymLink());
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
