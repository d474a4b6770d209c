#include <memory>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "APICommonDialog.h"
#include "DialogAnswerer.h"
#include "ExportDrivers.h"
#include "TextDocument.h"

using APICommonDialog::DialogKind;
using APICommonDialog::FileDialogOptions;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestTextDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void dialogFilter_data();
    void dialogFilter();
    void nameFiltersForQt();
    void openDialogRequest();
    void saveDialogRequestStartsInCurrentFolder();
    void chosenPathIsTrimmedAndCancelIsEmpty();
    void systemFileDialog_data();
    void systemFileDialog();

    void txtExtensionRule_data();
    void txtExtensionRule();
    void linesEndInCrLfInWindows1252();
    void exportsToOneFileAccumulate();
    void cancelledDialogTouchesNoFile();
    void unwritableFileIsReported();
    void viewerThatCannotStartIsReported();

private:
    void answerDialogWith(const QString &path);

    std::unique_ptr<QTemporaryDir> m_tempDir;
    QList<FileDialogOptions> m_requests;
    QList<DialogKind> m_kinds;
    QList<QUrl> m_opened;
    bool m_openerSucceeds = true;
};

void TestTextDocument::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid());
    m_requests.clear();
    m_kinds.clear();
    m_opened.clear();
    m_openerSucceeds = true;
    TextDocument::SetFileOpener([this](const QUrl &url) {
        m_opened.append(url);
        return m_openerSucceeds;
    });
}

void TestTextDocument::cleanup()
{
    APICommonDialog::SetDialogRunner({});
    TextDocument::SetFileOpener({});
}

void TestTextDocument::answerDialogWith(const QString &path)
{
    APICommonDialog::SetDialogRunner(
        [this, path](DialogKind kind, const FileDialogOptions &options, QWidget *) {
            m_kinds.append(kind);
            m_requests.append(options);
            return path;
        });
}

void TestTextDocument::dialogFilter_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("filter");

    const QChar nul(u'\0');
    QTest::newRow("text files") << QStringList { "Text Files (*.txt)", "*.txt" }
                                << QString("Text Files (*.txt)") + nul + "*.txt" + nul + nul;
    QTest::newRow("name alone gets every file")
        << QStringList { "All Files" } << QString("All Files") + nul + "*.*" + nul + nul;
    QTest::newRow("odd list") << QStringList { "A", "*.a", "B" }
                              << QString("A") + nul + "*.a" + nul + "B" + nul + "*.*" + nul + nul;
    QTest::newRow("empty") << QStringList {} << QString();
}

void TestTextDocument::dialogFilter()
{
    QFETCH(QStringList, items);
    QFETCH(QString, filter);
    QCOMPARE(APICommonDialog::BuildDialogFilter(items), filter);
}

void TestTextDocument::nameFiltersForQt()
{
    const QChar nul(u'\0');
    QCOMPARE(APICommonDialog::NameFilters(QString("Text Files (*.txt)") + nul + "*.txt" + nul + nul),
        QStringList({ "Text Files (*.txt)" }));
    QCOMPARE(APICommonDialog::NameFilters(QString("Docs") + nul + "*.doc" + nul + nul),
        QStringList({ "Docs (*.doc)" }));
    QCOMPARE(APICommonDialog::NameFilters(QString()), QStringList({ "All Files (*.*)" }));
}

void TestTextDocument::openDialogRequest()
{
    answerDialogWith(m_tempDir->filePath("report.txt"));
    TextDocument document;
    QVERIFY(document.BrowseForDestination());
    document.ShowFile();

    QCOMPARE(m_kinds, QList<DialogKind>({ DialogKind::Open }));
    const FileDialogOptions &options = m_requests.first();
    QCOMPARE(options.Title, QString("Report File Location"));
    const QChar nul(u'\0');
    QCOMPARE(options.Filter, QString("Text Files (*.txt)") + nul + "*.txt" + nul + nul);
    QCOMPARE(options.Flags, 0x806);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(options.InitialDir == documents || options.InitialDir == QDir::homePath());
}

void TestTextDocument::saveDialogRequestStartsInCurrentFolder()
{
    answerDialogWith(QString());
    QCOMPARE(
        APICommonDialog::ShowSaveFileDialog("Save the Data File as MS Word", "MsWord Files", "*.docx", ""),
        QString());
    QCOMPARE(m_kinds, QList<DialogKind>({ DialogKind::Save }));
    QCOMPARE(m_requests.first().InitialDir, QDir::currentPath());
    QCOMPARE(m_requests.first().Flags, 0x804);
}

void TestTextDocument::chosenPathIsTrimmedAndCancelIsEmpty()
{
    answerDialogWith("  /tmp/some report.txt  ");
    QCOMPARE(APICommonDialog::ShowOpenFileDialog("t", "Text Files", "*.txt", "C:\\"),
        QString("/tmp/some report.txt"));
    answerDialogWith(QString());
    QCOMPARE(APICommonDialog::ShowOpenFileDialog("t", "Text Files", "*.txt", "C:\\"), QString());
}

void TestTextDocument::systemFileDialog_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");

    QTest::newRow("open, chosen") << false << true;
    QTest::newRow("open, cancelled") << false << false;
    QTest::newRow("save, chosen") << true << true;
    QTest::newRow("save, cancelled") << true << false;
}

void TestTextDocument::systemFileDialog()
{
    QFETCH(bool, save);
    QFETCH(bool, accept);
    QWidget owner;
    APICommonDialog::SetOwner(&owner);
    const QString chosen = m_tempDir->filePath("chosen.txt");
    DialogAnswerer answerer;
    answerer.expectDialog([&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), &owner);
        QCOMPARE(dialog->windowTitle(), QString("Pick"));
        QCOMPARE(dialog->nameFilters(), QStringList({ "Text Files (*.txt)" }));
        QCOMPARE(QDir(dialog->directory()), QDir(m_tempDir->path()));
        QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QVERIFY(!save || dialog->testOption(QFileDialog::DontConfirmOverwrite));
        if (!accept) {
            dialog->reject();
            return;
        }
        dialog->selectFile(chosen);
        static_cast<QDialog *>(dialog)->accept();
    });
    const QString path = save
        ? APICommonDialog::ShowSaveFileDialog("Pick", "Text Files", "*.txt", m_tempDir->path())
        : APICommonDialog::ShowOpenFileDialog("Pick", "Text Files", "*.txt", m_tempDir->path());
    APICommonDialog::SetOwner(nullptr);
    QCOMPARE(answerer.pendingCount(), 0);
    QCOMPARE(path, accept ? chosen : QString());
    QVERIFY(!QFile::exists(chosen));
}

void TestTextDocument::txtExtensionRule_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");

    QTest::newRow("no extension") << "day1"
                                  << "day1.txt";
    QTest::newRow("txt kept") << "day1.txt"
                              << "day1.txt";
    QTest::newRow("upper case is not txt") << "day1.TXT"
                                           << "day1.TXT.txt";
    QTest::newRow("other extension") << "day1.log"
                                     << "day1.log.txt";
    QTest::newRow("txt inside the name") << "day1.txt.bak"
                                         << "day1.txt.bak.txt";
}

void TestTextDocument::txtExtensionRule()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    answerDialogWith(m_tempDir->filePath(chosen));
    SupportFunctions::ExportToText({ "one line" });

    QVERIFY(QFile::exists(m_tempDir->filePath(written)));
    QCOMPARE(m_opened, QList<QUrl>({ QUrl::fromLocalFile(m_tempDir->filePath(written)) }));
    if (chosen != written)
        QVERIFY(!QFile::exists(m_tempDir->filePath(chosen)));
}

void TestTextDocument::linesEndInCrLfInWindows1252()
{
    const QString path = m_tempDir->filePath("bytes.txt");
    answerDialogWith(path);
    SupportFunctions::ExportToText({ "Peak exposure:", "", "   S/N: AB.12",
        QString::fromUtf8("Zo\u00eb \u20ac 5"), QString::fromUtf8("\u65e5\u672c") });
    QCOMPARE(readBytes(path), QByteArray("Peak exposure:\r\n\r\n   S/N: AB.12\r\nZo\xEB \x80 5\r\n??\r\n"));
}

void TestTextDocument::exportsToOneFileAccumulate()
{
    const QString path = m_tempDir->filePath("accumulate.txt");
    QFile existing(path);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("old content without line end");
    existing.close();

    answerDialogWith(path);
    SupportFunctions::ExportToText({ "first", "export" });
    SupportFunctions::ExportToText({ "second" });
    QCOMPARE(readBytes(path), QByteArray("old content without line endfirst\r\nexport\r\nsecond\r\n"));
    QCOMPARE(m_opened.size(), 2);
}

void TestTextDocument::cancelledDialogTouchesNoFile()
{
    answerDialogWith(QString());
    TextDocument document;
    QVERIFY(!document.BrowseForDestination());
    QVERIFY(QDir(m_tempDir->path()).entryList(QDir::Files).isEmpty());
    QVERIFY(m_opened.isEmpty());
}

void TestTextDocument::unwritableFileIsReported()
{
    answerDialogWith(m_tempDir->filePath("missing folder/report.txt"));
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    SupportFunctions::ExportToText({ "a line" });

    QCOMPARE(answerer.messageBoxes().size(), 1);
    const MessageBoxRecord box = answerer.messageBoxes().first();
    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.contains(m_tempDir->filePath("missing folder/report.txt")), qPrintable(box.text));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(!QDir(m_tempDir->filePath("missing folder")).exists());
}

void TestTextDocument::viewerThatCannotStartIsReported()
{
    const QString path = m_tempDir->filePath("viewer.txt");
    answerDialogWith(path);
    m_openerSucceeds = false;
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    SupportFunctions::ExportToText({ "a line" });

    QCOMPARE(answerer.messageBoxes().size(), 1);
    QCOMPARE(answerer.messageBoxes().first().icon, QMessageBox::Warning);
    QCOMPARE(readBytes(path), QByteArray("a line\r\n"));
}

QTEST_MAIN(TestTextDocument)
#include "tst_textdocument.moc"
