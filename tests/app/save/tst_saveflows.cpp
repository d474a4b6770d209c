#include <cerrno>
#include <cstring>
#include <memory>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"
#include "app/save/ExportChoice.h"
#include "app/save/ExportDrivers.h"
#include "app/save/TextDocument.h"
#include "app/save/frmSave.h"
#include "common/Windows1252.h"
#include "documents/ooxml/OoxmlPackage.h"
#include "documents/word/DocxDocument.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/PackageParts.h"
#include "tests/support/TestFiles.h"

using APICommonDialog::DialogKind;
using APICommonDialog::FileDialogOptions;
using SupportFunctions::WriterKind;

namespace {

// Every call the drivers make on a writer, so a test sees the protocol and the lines that went out.
QStringList callLog;

class RecordingWriter : public ReportWriter
{
public:
    void setParseData(bool blnNewValue) override { record(QStringLiteral("ParseData %1").arg(blnNewValue)); }
    bool Initialize() override { return record("Initialize"); }
    bool AppendInitialize(const QString &strFileName) override
    {
        return record("AppendInitialize " + strFileName);
    }
    void WriteLine(const QString &FileLine) override { record("WriteLine " + FileLine); }
    void ShowFile() override { record("ShowFile"); }
    void SaveAs(const QString &strFileName) override { record("SaveAs " + strFileName); }

private:
    static bool record(const QString &call)
    {
        callLog.append(call);
        return true;
    }
};

struct DialogRequest
{
    DialogKind kind;
    FileDialogOptions options;
    QWidget *owner;
};

void click(QWidget *dialog, const QString &name)
{
    auto *button = dialog->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

QString text(QWidget *dialog, const char *name)
{
    auto *widget = dialog->findChild<QWidget *>(QString::fromLatin1(name));
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return widget ? qobject_cast<QGroupBox *>(widget)->title() : QString();
}

// Picks a format in the save options and presses OK.
DialogAnswerer::Handler choose(const QString &option)
{
    return [option](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), "Save Options");
        QCOMPARE(
            QStringList({ text(dialog, "fraMain"), text(dialog, "optTextFile"), text(dialog, "optWordFile"),
                text(dialog, "optExcelFile"), text(dialog, "cmdOK"), text(dialog, "cmdCancel") }),
            QStringList({ "Save As", "Microsoft Windows Text File", "Microsoft Word Document",
                "Microsoft Excel Document", "&OK", "&Cancel" }));
        click(dialog, option);
        // Enter on an option presses OK, the default button.
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    };
}

const QChar Nul(u'\0');

void createFile(const QString &path)
{
    QVERIFY(writeBytes(path, "existing\r\n"));
}

// Checks the Append Options, then gives the answer: a button's name to click, or keys pressed in
// turn, each on the focused button ("Tab Space", "Alt+O").
DialogAnswerer::Handler answerAppendOptions(const QString &answer)
{
    return [answer](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmAppend"));
        QCOMPARE(dialog->windowTitle(), " Append Options");
        QCOMPARE(QStringList({ text(dialog, "Label1"), text(dialog, "cmdAppend"),
                     text(dialog, "cmdOverwrite"), text(dialog, "cmdCancel") }),
            QStringList({ "This file already exists.  Please choose one of the options below:", "&Append",
                "&Overwrite", "&Cancel" }));
        // The safe answer has the focus.
        QCOMPARE(dialog->focusWidget()->objectName(), QString("cmdCancel"));
        if (answer.startsWith("cmd")) {
            click(dialog, answer);
        } else {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            for (const QString &key : answer.split(' '))
                QTest::keySequence(dialog->windowHandle(), QKeySequence(key));
            // A mnemonic clicks its button after a short animation.
            QTRY_VERIFY2(dialog->isHidden(), "the keys gave no answer");
        }
    };
}

// What the answer to the Append Options comes to: "Append", "Overwrite" or "Cancel".
QString outcome(const QString &answer)
{
    if (answer == "cmdAppend" || answer == "Tab Space")
        return "Append";
    if (answer == "cmdOverwrite" || answer == "Alt+O")
        return "Overwrite";
    return "Cancel";
}

} // namespace

class TestSaveFlows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cancelledSaveOptionsExportNothing();
    void textDestinationDialogTakesAnyName();
    void textDestination_data();
    void textDestination();
    void failureIsReported_data();
    void failureIsReported();
    void tableExport_data();
    void tableExport();
    void pdfIsSavedShownAndNotReplacedUnasked();
    void printAsksForAPrinter();

private:
    // Shows the save options over the lines and returns once every dialog is gone: the save options are
    // answered by handler, the file dialog with path, and a dialog the save options open by then.
    void save(const QStringList &lines, const QString &path, const DialogAnswerer::Handler &handler,
        const QList<DialogAnswerer::Handler> &then = {});

    std::unique_ptr<QTemporaryDir> m_tempDir;
    std::unique_ptr<QWidget> m_owner;
    QList<DialogRequest> m_dialogs;
    QList<QUrl> m_opened;
    bool m_viewerStarts = true;
};

void TestSaveFlows::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid());
    m_owner = std::make_unique<QWidget>();
    m_owner->show();
    callLog.clear();
    m_dialogs.clear();
    m_opened.clear();
    m_viewerStarts = true;
    exportChoice() = ExportChoice();
    DocumentViewer::setOpener([this](const QUrl &url) {
        m_opened.append(url);
        return m_viewerStarts;
    });
    // Word and Excel go to recording writers; the text export writes its real file.
    SupportFunctions::setWriterFactory([](WriterKind kind) -> std::unique_ptr<ReportWriter> {
        if (kind == WriterKind::Text)
            return std::make_unique<TextDocument>();
        callLog.append(kind == WriterKind::Word ? "Word" : "Excel");
        return std::make_unique<RecordingWriter>();
    });
}

void TestSaveFlows::cleanup()
{
    APICommonDialog::setDialogRunner({});
    SupportFunctions::setWriterFactory({});
    DocumentViewer::setOpener({});
    m_owner.reset();
}

void TestSaveFlows::save(const QStringList &lines, const QString &path,
    const DialogAnswerer::Handler &handler, const QList<DialogAnswerer::Handler> &then)
{
    APICommonDialog::setDialogRunner(
        [this, path](DialogKind kind, const FileDialogOptions &options, QWidget *owner) {
            m_dialogs.append({ kind, options, owner });
            return path;
        });
    DialogAnswerer answerer;
    answerer.expectDialog([handler](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmSave"));
        handler(dialog);
    });
    for (const DialogAnswerer::Handler &next : then)
        answerer.expectDialog(next);
    showSaveOptions(m_owner.get(), lines);
    QCOMPARE(answerer.unanswered(), QStringList());
    for (const DialogRequest &request : std::as_const(m_dialogs))
        QCOMPARE(request.owner, m_owner.get());
}

void TestSaveFlows::cancelledSaveOptionsExportNothing()
{
    save({ "a" }, m_tempDir->filePath("out.txt"), [](QWidget *dialog) { click(dialog, "cmdCancel"); });
    QVERIFY(m_dialogs.isEmpty() && QDir(m_tempDir->path()).isEmpty());
}

// The real dialog: a typed name is taken whether or not the file exists, without a question. A save-mode
// dialog is what lets GTK's native dialog take a new name too.
void TestSaveFlows::textDestinationDialogTakesAnyName()
{
    APICommonDialog::setOwner(m_owner.get());
    createFile(m_tempDir->filePath("existing.txt"));
    for (const QString name : { "new report.txt", "existing.txt" }) {
        DialogAnswerer answerer;
        answerer.expectDialog([this, name](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(fileDialog);
            QCOMPARE(fileDialog->windowTitle(), "Report File Location");
            QCOMPARE(fileDialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(fileDialog->testOption(QFileDialog::DontConfirmOverwrite));
            auto *nameField = fileDialog->findChild<QLineEdit *>("fileNameEdit");
            QVERIFY(nameField);
            nameField->setText(m_tempDir->filePath(name));
            QTest::keyClick(nameField, Qt::Key_Return);
        });
        QCOMPARE(APICommonDialog::ShowOpenFileDialog(
                     "Report File Location", "Text Files", "*.txt", m_tempDir->path()),
            m_tempDir->filePath(name));
        QCOMPARE(answerer.unanswered(), QStringList());
    }
}

void TestSaveFlows::textDestination_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    const auto row = [](const char *name, const QString &chosen, const QString &written) {
        QTest::newRow(name) << chosen << written;
    };
    row("no extension", "day1", "day1.txt");
    row("txt kept", "day1.txt", "day1.txt");
    row("upper case is not txt", "day1.TXT", "day1.TXT.txt");
    row("txt inside the name", "day1.txt.bak", "day1.txt.bak.txt");
    row("cancelled", "", "");
}

void TestSaveFlows::textDestination()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    const QStringList lines { "   S/N: AB.12", "", QString::fromUtf8("Zo\u00eb \u20ac 5"),
        QString::fromUtf8("\u65e5\u672c \U0001F600") };
    // Twice: the second export finds the file and adds to it without asking. The chosen path comes back with
    // spaces around it.
    // The file cannot hold the three characters of the last line: the user is told how many became "?".
    QString told;
    const DialogAnswerer::Handler replaced = [&told](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        told = box->text();
        box->button(QMessageBox::Ok)->click();
    };
    for (int i = 0; i < 2; ++i)
        save(lines, chosen.isEmpty() ? chosen : "  " + m_tempDir->filePath(chosen) + "  ",
            choose("optTextFile"), chosen.isEmpty() ? QList<DialogAnswerer::Handler>() : QList { replaced });
    QCOMPARE(told,
        chosen.isEmpty() ? QString()
                         : QString("3 characters that a text report cannot hold were written as \"?\"."));
    const QString path = m_tempDir->filePath(written);
    QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files),
        written.isEmpty() ? QStringList() : QStringList(written));
    QCOMPARE(readBytes(path),
        QByteArray(written.isEmpty() ? ""
                                     : "   S/N: AB.12\r\n\r\nZo\xEB \x80 5\r\n?? ?\r\n"
                                       "   S/N: AB.12\r\n\r\nZo\xEB \x80 5\r\n?? ?\r\n"));
    QCOMPARE(m_opened, written.isEmpty() ? QList<QUrl>() : QList<QUrl>(2, QUrl::fromLocalFile(path)));
    QCOMPARE(m_dialogs.size(), 2);
    // An open dialog: it never asks whether the file exists, as the text is added to it anyway.
    QCOMPARE(m_dialogs.first().kind, DialogKind::Open);
    QCOMPARE(m_dialogs.first().options.Filter, QString("Text Files (*.txt)") + Nul + "*.txt" + Nul + Nul);
}

void TestSaveFlows::failureIsReported_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("viewerStarts");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("unwritable text") << "missing folder/report.txt" << true
                                     << QString("The report could not be written to %1.\r\n\r\n")
            + std::strerror(ENOENT) << QByteArray();
    // Appending to a file that is not a workbook leaves it as it was.
    QTest::newRow("excel, append to text") << "old.xlsx" << true
                                           << "An error has occured while attempting an export of the report."
                                              "\r\n\r\nThe file is not a Word or Excel document"
                                           << QByteArray("existing\r\n");
    QTest::newRow("unwritable excel")
        << "missing folder/new.xlsx" << true << "The report could not be saved to %1.\r\n\r\n"
        << QByteArray();
    QTest::newRow("word, no viewer")
        << "new.docx" << false << "The report was saved to %1, but no program could be started to show it."
        << QByteArray("PK\x03\x04");
    QTest::newRow("word, append to a document without a table")
        << "old-letter.docx" << true
        << "An error has occured while attempting an export of the report.\r\n\r\nThe document holds no table"
        << QByteArray("PK\x03\x04");
}

// The real writers, with only the viewer stubbed.
void TestSaveFlows::failureIsReported()
{
    QFETCH(QString, file);
    QFETCH(bool, viewerStarts);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    SupportFunctions::setWriterFactory({});
    const QString path = m_tempDir->filePath(file);
    const bool exists = file.startsWith("old");
    if (file.endsWith(".docx") && exists) {
        DocxDocument letter;
        QString error;
        QVERIFY(letter.create(&error) && letter.writeRawLines({ "Dear reader," }, &error)
            && letter.save(path, &error));
    } else if (exists) {
        createFile(path);
    }
    const QByteArray before = readBytes(path);
    m_viewerStarts = viewerStarts;
    // One line is saved, then the message box that must follow is answered with OK.
    MessageBoxRecord box;
    QList<DialogAnswerer::Handler> then;
    if (exists)
        then.append(answerAppendOptions("cmdAppend"));
    then.append([&box](QWidget *dialog) {
        auto *messageBox = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(messageBox);
        box = DialogAnswerer::record(messageBox);
        messageBox->button(QMessageBox::Ok)->click();
    });
    const QString option = file.endsWith(".xlsx") ? "optExcelFile"
        : file.endsWith(".docx")                  ? "optWordFile"
                                                  : "optTextFile";
    save({ "a line" }, path, choose(option), then);
    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, viewerStarts ? QMessageBox::Critical : QMessageBox::Warning);
    QVERIFY2(box.text.startsWith(text.replace("%1", path)), qPrintable(box.text));
    QVERIFY(readBytes(path).startsWith(written));
    QVERIFY(QFile::exists(path) == !written.isEmpty());
    if (exists)
        QCOMPARE(readBytes(path), before);
    QCOMPARE(m_opened.size(), viewerStarts ? 0 : 1);
    // A new document's page follows the locale's measurement: Letter under the tests' en_US.
    if (file == "new.docx") {
        QVERIFY(partOf(path, "word/document.xml").contains("<w:pgSz w:w=\"15840\""));
    }
}

void TestSaveFlows::tableExport_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("destination");
    // The answer to the Append Options; none when the destination is a new file.
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("appendBefore");
    QTest::addColumn<bool>("appendAfter");
    const auto row = [](const char *name, const QString &format, const QString &chosen,
                         const QString &destination, const QString &answer, bool before, bool after) {
        QTest::newRow(name) << format << chosen << destination << answer << before << after;
    };
    // A new file is never appended to, whatever the last save chose.
    row("word, new, no extension", "Word", "report", "report.docx", "", true, false);
    row("excel, new, dotted folder", "Excel", "v1.2/book", "v1.2/book.xlsx", "", true, false);
    row("word, existing once extended, append", "Word", "log", "log.docx", "cmdAppend", false, true);
    row("excel, overwrite", "Excel", "log.xlsx", "log.xlsx", "cmdOverwrite", true, false);
    row("word, cancel", "Word", "log.docx", "log.docx", "cmdCancel", true, true);
    row("word, Alt+O", "Word", "log.docx", "log.docx", "Alt+O", true, false);
    row("word, Space on the focused Append", "Word", "log.docx", "log.docx", "Tab Space", false, true);
    row("save dialog cancelled", "Excel", "", "", "", true, true);
}

void TestSaveFlows::tableExport()
{
    QFETCH(QString, format);
    QFETCH(QString, chosen);
    QFETCH(QString, destination);
    QFETCH(QString, answer);
    QFETCH(bool, appendBefore);
    QFETCH(bool, appendAfter);
    const bool asked = !answer.isEmpty();
    const bool goesAhead = !chosen.isEmpty() && (!asked || outcome(answer) != "Cancel");
    const QString path = destination.isEmpty() ? QString() : m_tempDir->filePath(destination);
    QVERIFY(QDir(m_tempDir->path()).mkpath("v1.2"));
    if (asked)
        createFile(path);
    // Values left by an earlier save; the Append Options must set ExportCancelled either way.
    exportChoice() = ExportChoice { "earlier.docx", appendBefore, goesAhead };

    // Every report on the display, in order.
    QFile report(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QStringList lines = Windows1252::toUnicode(report.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 40);
    save(lines, chosen.isEmpty() ? chosen : m_tempDir->filePath(chosen), choose("opt" + format + "File"),
        asked ? QList { answerAppendOptions(answer) } : QList<DialogAnswerer::Handler>());

    QCOMPARE(exportChoice().ExportFileName, path);
    QCOMPARE(exportChoice().ExportAppend, appendAfter);
    if (asked)
        QCOMPARE(exportChoice().ExportCancelled, !goesAhead);
    QStringList expected;
    if (goesAhead) {
        expected = QStringList { format, "ParseData 1",
            outcome(answer) == "Append" ? "AppendInitialize " + path : "Initialize" };
        for (const QString &line : lines)
            expected.append("WriteLine " + line);
        expected += QStringList { "ShowFile", "SaveAs " + path };
    }
    QCOMPARE(callLog, expected);
    if (asked)
        QCOMPARE(readBytes(path), QByteArray("existing\r\n"));

    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs.first().kind, DialogKind::Save);
    QCOMPARE(APICommonDialog::nameFilters(m_dialogs.first().options.Filter),
        QStringList(format == "Word" ? "MsWord Files (*.docx)" : "Excel Files (*.xlsx)"));
}

void TestSaveFlows::pdfIsSavedShownAndNotReplacedUnasked()
{
    const QStringList lines
        = QString::fromLatin1(readBytes(LORIMET_TEST_DATA_DIR "/dialogs/01-two-alarms.lines")).split(u'\n');
    const auto choosePdf = [](QWidget *dialog) {
        // Its mnemonic, Alt+P, picks it.
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keySequence(dialog->windowHandle(), QKeySequence("Alt+P"));
        QTRY_VERIFY(dialog->findChild<QAbstractButton *>("optPdfFile")->isChecked());
        click(dialog, "cmdOK");
    };
    // A name without its extension gets ".pdf".
    save(lines, m_tempDir->filePath("report"), choosePdf);
    const QString pdf = m_tempDir->filePath("report.pdf");
    const QByteArray written = readBytes(pdf);
    QVERIFY(written.startsWith("%PDF-"));
    QCOMPARE(m_opened, QList<QUrl> { QUrl::fromLocalFile(pdf) });
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(m_dialogs.first().options.Title, "Save the Report as PDF");

    // The same name again: asked first, and No leaves the file as it was.
    DialogAnswerer::Handler no = [](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box && box->text().contains("already exists"));
        box->button(QMessageBox::No)->click();
    };
    save({ "other lines" }, pdf, choosePdf, { no });
    QCOMPARE(readBytes(pdf), written);
    QCOMPARE(m_opened.size(), 1);
}

void TestSaveFlows::printAsksForAPrinter()
{
    save({ "Peak exposure:", "15 ppm H2S" }, QString(), [](QWidget *dialog) { click(dialog, "cmdPrint"); },
        { [](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), "dlgPrint");
            qobject_cast<QDialog *>(dialog)->reject();
        } });
    QVERIFY(m_dialogs.isEmpty());
}

QTEST_MAIN(TestSaveFlows)
#include "tst_saveflows.moc"
