#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "APICommonDialog.h"
#include "DialogAnswerer.h"
#include "ExportChoice.h"
#include "ExportDrivers.h"
#include "TextDocument.h"
#include "Windows1252.h"
#include "frmSave.h"

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

// Picks a format in the save options and presses OK.
DialogAnswerer::Handler choose(const QString &option)
{
    return [option](QWidget *dialog) {
        click(dialog, option);
        click(dialog, "cmdOK");
    };
}

// Qt lets Tab stop only at the checked button of a group of option buttons, so the tab order is read from
// the focus chain rather than by pressing Tab.
QWidgetList tabOrder(QWidget *first, int count)
{
    QWidgetList order { first };
    while (order.size() < count) {
        QWidget *next = order.last()->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        order.append(next);
    }
    return order;
}

const QChar Nul(u'\0');

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void createFile(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("existing\r\n");
}

// Checks the Append Options, then gives the answer: a button's name, "close" or "escape".
DialogAnswerer::Handler answerAppendOptions(const QString &answer)
{
    return [answer](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmAppend"));
        QCOMPARE(dialog->windowTitle(), QString(" Append Options"));
        QCOMPARE(dialog->findChild<QLabel *>("Label1")->text(),
            QString("This file already exists.  Please choose one of the options below:"));
        auto *append = dialog->findChild<QPushButton *>("cmdAppend");
        auto *overwrite = dialog->findChild<QPushButton *>("cmdOverwrite");
        auto *cancel = dialog->findChild<QPushButton *>("cmdCancel");
        QCOMPARE(QStringList({ append->text(), overwrite->text(), cancel->text() }),
            QStringList({ "&Append", "&Overwrite", "&Cancel" }));
        QVERIFY(append->x() < overwrite->x() && overwrite->x() < cancel->x() && overwrite->isDefault());
        const QPoint offCentre
            = dialog->frameGeometry().center() - dialog->parentWidget()->frameGeometry().center();
        QVERIFY(qAbs(offCentre.x()) <= 1 && qAbs(offCentre.y()) <= 1);
        QCOMPARE(dialog->focusWidget(), cancel);
        QCOMPARE(tabOrder(cancel, 3), QWidgetList({ cancel, append, overwrite }));
        if (answer == "close")
            dialog->close();
        else if (answer == "escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            click(dialog, answer);
    };
}

} // namespace

class TestSaveFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void dialogFilter_data();
    void dialogFilter();
    void systemFileDialog_data();
    void systemFileDialog();

    void saveOptionsDialog_data();
    void saveOptionsDialog();
    void textDestination_data();
    void textDestination();
    void unwritableTextFileIsReported();
    void viewerThatCannotStartIsReported();
    void tableExport_data();
    void tableExport();
    void wordWriterSaysItIsNotAvailable();

private:
    // Shows the save options over the lines and returns once every dialog is gone: the save options are
    // answered by handler, the file dialog with path, and a dialog the save options open by then.
    void save(const QStringList &lines, const QString &path, const DialogAnswerer::Handler &handler,
        const DialogAnswerer::Handler &then = {});
    // Saves one line, then answers the message box that must follow with OK and returns what it showed.
    MessageBoxRecord saveAnsweringBox(const QString &path, const QString &option);

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
    m_owner->setObjectName("owner");
    m_owner->show();
    callLog.clear();
    m_dialogs.clear();
    m_opened.clear();
    m_viewerStarts = true;
    exportChoice() = ExportChoice();
    TextDocument::SetFileOpener([this](const QUrl &url) {
        m_opened.append(url);
        return m_viewerStarts;
    });
    // Word and Excel go to recording writers; the text export writes its real file.
    SupportFunctions::SetWriterFactory([](WriterKind kind) -> std::unique_ptr<ReportWriter> {
        if (kind == WriterKind::Text)
            return std::make_unique<TextDocument>();
        QString created = kind == WriterKind::Word ? "Word" : "Excel";
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "frmSave" && widget->cursor().shape() == Qt::WaitCursor)
                created += " (busy)";
        }
        callLog.append(created);
        return std::make_unique<RecordingWriter>();
    });
}

void TestSaveFlows::cleanup()
{
    APICommonDialog::SetDialogRunner({});
    SupportFunctions::SetWriterFactory({});
    TextDocument::SetFileOpener({});
    m_owner.reset();
}

void TestSaveFlows::save(const QStringList &lines, const QString &path,
    const DialogAnswerer::Handler &handler, const DialogAnswerer::Handler &then)
{
    APICommonDialog::SetDialogRunner(
        [this, path](DialogKind kind, const FileDialogOptions &options, QWidget *owner) {
            m_dialogs.append({ kind, options, owner });
            return path;
        });
    DialogAnswerer answerer;
    answerer.expectDialog([handler](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmSave"));
        handler(dialog);
    });
    if (then)
        answerer.expectDialog(then);
    ShowSaveOptions(m_owner.get(), lines);
    QCOMPARE(answerer.pendingCount(), 0);
    QCOMPARE(answerer.unexpected(), QStringList());
    for (const DialogRequest &request : std::as_const(m_dialogs))
        QCOMPARE(request.owner, m_owner.get());
}

MessageBoxRecord TestSaveFlows::saveAnsweringBox(const QString &path, const QString &option)
{
    MessageBoxRecord box;
    save({ "a line" }, path, choose(option), [&box](QWidget *dialog) {
        auto *messageBox = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(messageBox);
        box = DialogAnswerer::record(messageBox);
        messageBox->button(QMessageBox::Ok)->click();
    });
    return box;
}

void TestSaveFlows::dialogFilter_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("text files") << QStringList { "Text Files (*.txt)", "*.txt" }
                                << QString("Text Files (*.txt)") + Nul + "*.txt" + Nul + Nul
                                << QStringList { "Text Files (*.txt)" };
    QTest::newRow("name alone gets every file")
        << QStringList { "All Files" } << QString("All Files") + Nul + "*.*" + Nul + Nul
        << QStringList { "All Files (*.*)" };
    QTest::newRow("odd list") << QStringList { "A", "*.a", "B" }
                              << QString("A") + Nul + "*.a" + Nul + "B" + Nul + "*.*" + Nul + Nul
                              << QStringList { "A (*.a)", "B (*.*)" };
    QTest::newRow("empty") << QStringList {} << QString() << QStringList { "All Files (*.*)" };
}

void TestSaveFlows::dialogFilter()
{
    QFETCH(QStringList, items);
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(APICommonDialog::BuildDialogFilter(items), filter);
    QCOMPARE(APICommonDialog::NameFilters(filter), nameFilters);
}

void TestSaveFlows::systemFileDialog_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("open, chosen") << false << true;
    QTest::newRow("open, cancelled") << false << false;
    QTest::newRow("save, chosen") << true << true;
    QTest::newRow("save, cancelled") << true << false;
}

void TestSaveFlows::systemFileDialog()
{
    QFETCH(bool, save);
    QFETCH(bool, accept);
    APICommonDialog::SetOwner(m_owner.get());
    const QString chosen = m_tempDir->filePath("chosen.txt");
    DialogAnswerer answerer;
    answerer.expectDialog([&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), m_owner.get());
        QCOMPARE(dialog->windowTitle(), QString("Pick"));
        QCOMPARE(dialog->nameFilters(), QStringList({ "Text Files (*.txt)" }));
        QCOMPARE(QDir(dialog->directory()), QDir(m_tempDir->path()));
        QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // The save options ask about an existing file themselves.
        QVERIFY(!save || dialog->testOption(QFileDialog::DontConfirmOverwrite));
        if (accept)
            dialog->selectFile(chosen);
        accept ? static_cast<QDialog *>(dialog)->accept() : dialog->reject();
    });
    const QString path = save
        ? APICommonDialog::ShowSaveFileDialog("Pick", "Text Files", "*.txt", m_tempDir->path())
        : APICommonDialog::ShowOpenFileDialog("Pick", "Text Files", "*.txt", m_tempDir->path());
    QCOMPARE(answerer.pendingCount(), 0);
    QCOMPARE(path, accept ? chosen : QString());
    QVERIFY(!QFile::exists(chosen));
}

void TestSaveFlows::saveOptionsDialog_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("exported");
    QTest::newRow("cancel button") << "cmdCancel" << false;
    QTest::newRow("escape") << "escape" << false;
    QTest::newRow("enter exports the text") << "enter" << true;
}

void TestSaveFlows::saveOptionsDialog()
{
    QFETCH(QString, action);
    QFETCH(bool, exported);
    save({ "a", "b" }, m_tempDir->filePath("out.txt"), [action](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Save Options"));
        QCOMPARE(dialog->parentWidget()->objectName(), QString("owner"));
        QCOMPARE(dialog->findChild<QGroupBox *>("fraMain")->title(), QString("Save As"));
        auto *text = dialog->findChild<QRadioButton *>("optTextFile");
        auto *word = dialog->findChild<QRadioButton *>("optWordFile");
        auto *excel = dialog->findChild<QRadioButton *>("optExcelFile");
        auto *ok = dialog->findChild<QPushButton *>("cmdOK");
        auto *cancel = dialog->findChild<QPushButton *>("cmdCancel");
        QCOMPARE(QStringList({ text->text(), word->text(), excel->text(), ok->text(), cancel->text() }),
            QStringList({ "Microsoft Windows Text File", "Microsoft Word Document",
                "Microsoft Excel Document", "&OK", "&Cancel" }));
        QVERIFY(text->isChecked() && ok->isDefault());
        QVERIFY(text->y() < word->y() && word->y() < excel->y() && ok->x() < cancel->x());
        QCOMPARE(tabOrder(text, 5), QWidgetList({ text, word, excel, ok, cancel }));
        // Centred across, a third of the free height down.
        const QRect screen = dialog->screen()->geometry();
        const QRect frame = dialog->frameGeometry();
        QVERIFY(qAbs(frame.left() - (screen.left() + (screen.width() - frame.width()) / 2)) <= 1);
        QVERIFY(qAbs(frame.top() - (screen.top() + (screen.height() - frame.height()) / 3)) <= 1);
        if (action == "cmdCancel")
            click(dialog, action);
        else
            QTest::keyClick(dialog, action == "escape" ? Qt::Key_Escape : Qt::Key_Return);
    });
    QCOMPARE(readBytes(m_tempDir->filePath("out.txt")), QByteArray(exported ? "a\r\nb\r\n" : ""));
    QCOMPARE(m_dialogs.size(), exported ? 1 : 0);
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
    row("other extension", "day1.log", "day1.log.txt");
    row("txt inside the name", "day1.txt.bak", "day1.txt.bak.txt");
    row("cancelled", "", "");
}

void TestSaveFlows::textDestination()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    const QStringList lines { "   S/N: AB.12", "", QString::fromUtf8("Zo\u00eb \u20ac 5"),
        QString::fromUtf8("\u65e5\u672c") };
    // Twice: the second export finds the file and adds to it without asking. The chosen path comes back with
    // spaces around it.
    for (int i = 0; i < 2; ++i)
        save(lines, chosen.isEmpty() ? chosen : "  " + m_tempDir->filePath(chosen) + "  ",
            choose("optTextFile"));
    const QString path = m_tempDir->filePath(written);
    QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files),
        written.isEmpty() ? QStringList() : QStringList(written));
    QCOMPARE(readBytes(path),
        QByteArray(written.isEmpty() ? ""
                                     : "   S/N: AB.12\r\n\r\nZo\xEB \x80 5\r\n??\r\n"
                                       "   S/N: AB.12\r\n\r\nZo\xEB \x80 5\r\n??\r\n"));
    QCOMPARE(m_opened, written.isEmpty() ? QList<QUrl>() : QList<QUrl>(2, QUrl::fromLocalFile(path)));
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(m_dialogs.first().kind, DialogKind::Open);
    const FileDialogOptions &request = m_dialogs.first().options;
    QCOMPARE(request.Title, QString("Report File Location"));
    QCOMPARE(request.Filter, QString("Text Files (*.txt)") + Nul + "*.txt" + Nul + Nul);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(request.InitialDir == documents || request.InitialDir == QDir::homePath());
}

void TestSaveFlows::unwritableTextFileIsReported()
{
    const QString path = m_tempDir->filePath("missing folder/report.txt");
    const MessageBoxRecord box = saveAnsweringBox(path, "optTextFile");
    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.startsWith("The report could not be written to " + path + ".\r\n\r\n"),
        qPrintable(box.text));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(QDir(m_tempDir->path()).isEmpty());
}

void TestSaveFlows::viewerThatCannotStartIsReported()
{
    const QString path = m_tempDir->filePath("report.txt");
    m_viewerStarts = false;
    const MessageBoxRecord box = saveAnsweringBox(path, "optTextFile");
    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.text, "The report was saved to " + path + ", but no program could be started to show it.");
    QCOMPARE(readBytes(path), QByteArray("a line\r\n"));
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
    row("word, new, own extension", "Word", "report.doc", "report.doc", "", true, false);
    row("excel, new, dotted folder", "Excel", "v1.2/book", "v1.2/book.xlsx", "", true, false);
    row("word, existing once extended, append", "Word", "log", "log.docx", "cmdAppend", false, true);
    row("word, overwrite", "Word", "log.docx", "log.docx", "cmdOverwrite", true, false);
    row("word, cancel", "Word", "log.docx", "log.docx", "cmdCancel", true, true);
    row("word, closed", "Word", "log.docx", "log.docx", "close", false, false);
    row("excel, append", "Excel", "log.xlsx", "log.xlsx", "cmdAppend", false, true);
    row("excel, overwrite", "Excel", "log.xlsx", "log.xlsx", "cmdOverwrite", true, false);
    row("excel, cancel", "Excel", "log.xlsx", "log.xlsx", "cmdCancel", false, false);
    row("excel, escape", "Excel", "log.xlsx", "log.xlsx", "escape", true, true);
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
    const bool word = format == "Word";
    const bool asked = !answer.isEmpty();
    const bool goesAhead = !chosen.isEmpty() && (!asked || answer == "cmdAppend" || answer == "cmdOverwrite");
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
        asked ? answerAppendOptions(answer) : DialogAnswerer::Handler());

    QCOMPARE(exportChoice().ExportFileName, path);
    QCOMPARE(exportChoice().ExportAppend, appendAfter);
    if (asked)
        QCOMPARE(exportChoice().ExportCancelled, !goesAhead);
    QStringList expected;
    if (goesAhead) {
        expected = QStringList { format + " (busy)", "ParseData 1",
            answer == "cmdAppend" ? "AppendInitialize " + path : "Initialize" };
        for (const QString &line : lines)
            expected.append("WriteLine " + line);
        expected += QStringList { "ShowFile", "SaveAs " + path };
    }
    QCOMPARE(callLog, expected);
    if (asked)
        QCOMPARE(readBytes(path), QByteArray("existing\r\n"));

    QCOMPARE(m_dialogs.size(), 1);
    const DialogRequest &request = m_dialogs.first();
    QCOMPARE(request.kind, DialogKind::Save);
    QCOMPARE(request.options.Title, "Save the Data File as " + QString(word ? "MS Word" : "Excel Sheet"));
    QCOMPARE(APICommonDialog::NameFilters(request.options.Filter),
        QStringList({ word ? "MsWord Files (*.docx)" : "Excel Files (*.xlsx)" }));
    QCOMPARE(request.options.InitialDir, QDir::currentPath());
}

void TestSaveFlows::wordWriterSaysItIsNotAvailable()
{
    SupportFunctions::SetWriterFactory({});
    const QString path = m_tempDir->filePath("new.docx");
    const MessageBoxRecord box = saveAnsweringBox(path, "optWordFile");
    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.text,
        QString("An error has occured while attempting an export of the report.\r\n\r\n"
                "Saving as a Microsoft Word document is not available yet."));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestSaveFlows)
#include "tst_saveflows.moc"
