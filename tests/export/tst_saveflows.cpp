#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// Logs every call the drivers make, so a test sees the protocol and the lines that went out.
class RecordingWriter : public ReportWriter
{
public:
    explicit RecordingWriter(QStringList &log)
        : m_log(log)
    {
    }

    bool BrowseForDestination() override { return record(QStringLiteral("BrowseForDestination")); }
    bool ParseData() const override { return m_parseData; }
    void setParseData(bool blnNewValue) override
    {
        m_parseData = blnNewValue;
        m_log.append(QStringLiteral("ParseData %1").arg(blnNewValue));
    }
    bool Initialize() override { return record(QStringLiteral("Initialize")); }
    bool AppendInitialize(const QString &strFileName) override
    {
        return record("AppendInitialize " + strFileName);
    }
    void WriteLine(const QString &FileLine) override { m_log.append("WriteLine " + FileLine); }
    void ShowFile() override { m_log.append(QStringLiteral("ShowFile")); }
    void SaveAs(const QString &strFileName) override { m_log.append("SaveAs " + strFileName); }

private:
    bool record(const QString &call)
    {
        m_log.append(call);
        return true;
    }

    QStringList &m_log;
    bool m_parseData = false;
};

QStringList reportLines()
{
    QFile file(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = Windows1252::toUnicode(file.readAll()).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QStringList writeLineCalls(const QStringList &lines)
{
    QStringList calls;
    for (const QString &line : lines)
        calls.append("WriteLine " + line);
    return calls;
}

void click(QWidget *dialog, const char *name)
{
    auto *button = dialog->findChild<QAbstractButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The next control in the tab order. Qt lets Tab stop only at the checked button of a group of option
// buttons, so the order is read from the focus chain rather than by pressing Tab.
QWidget *nextInTabOrder(QWidget *widget)
{
    QWidget *next = widget->nextInFocusChain();
    while (next != widget && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    return next;
}

void createFile(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("existing\r\n");
}

} // namespace

class TestSaveFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void saveOptionsDialog();
    void keysOfSaveOptions_data();
    void keysOfSaveOptions();
    void textNeverAsksAboutAnExistingFile();
    void tableToNewFile_data();
    void tableToNewFile();
    void tableToExistingFile_data();
    void tableToExistingFile();
    void cancelledSaveDialogEndsTheSave();
    void wordWriterSaysItIsNotAvailable();

private:
    // Shows the save options over the lines; the handler answers the dialog and the file dialog answers with
    // path. Returns after the dialog is gone.
    // then answers the dialog that follows the save options, when given.
    void save(const QStringList &lines, const QString &path, const DialogAnswerer::Handler &handler,
        DialogAnswerer &answerer, const DialogAnswerer::Handler &then = {});
    void useRecordingWriters();

    std::unique_ptr<QTemporaryDir> m_tempDir;
    std::unique_ptr<QWidget> m_owner;
    QStringList m_log;
    QList<WriterKind> m_created;
    // Per writer created: whether the save options showed the hourglass then.
    QList<bool> m_waitCursors;
    QList<DialogKind> m_dialogKinds;
    QList<FileDialogOptions> m_dialogRequests;
    QList<QUrl> m_opened;
};

void TestSaveFlows::init()
{
    m_tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tempDir->isValid());
    m_owner = std::make_unique<QWidget>();
    m_owner->setObjectName("owner");
    m_owner->show();
    m_log.clear();
    m_created.clear();
    m_waitCursors.clear();
    m_dialogKinds.clear();
    m_dialogRequests.clear();
    m_opened.clear();
    exportChoice() = ExportChoice();
    TextDocument::SetFileOpener([this](const QUrl &url) {
        m_opened.append(url);
        return true;
    });
}

void TestSaveFlows::cleanup()
{
    APICommonDialog::SetDialogRunner({});
    SupportFunctions::SetWriterFactory({});
    TextDocument::SetFileOpener({});
    m_owner.reset();
}

void TestSaveFlows::useRecordingWriters()
{
    SupportFunctions::SetWriterFactory([this](WriterKind kind) {
        m_created.append(kind);
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "frmSave")
                m_waitCursors.append(widget->cursor().shape() == Qt::WaitCursor);
        }
        return std::make_unique<RecordingWriter>(m_log);
    });
}

void TestSaveFlows::save(const QStringList &lines, const QString &path,
    const DialogAnswerer::Handler &handler, DialogAnswerer &answerer, const DialogAnswerer::Handler &then)
{
    APICommonDialog::SetDialogRunner(
        [this, path](DialogKind kind, const FileDialogOptions &options, QWidget *owner) {
            m_dialogKinds.append(kind);
            m_dialogRequests.append(options);
            if (owner != m_owner.get())
                qWarning("the file dialog is not owned by the main window");
            return path;
        });
    answerer.expectDialog([handler](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmSave"));
        // Answered from an event of its own: the answerer's timer does not fire again while one of its
        // handlers runs, and the save options open further dialogs that need answering.
        QTimer::singleShot(0, dialog, [handler, dialog] {
            handler(dialog);
            if (QTest::currentTestFailed() && dialog->isVisible())
                static_cast<QDialog *>(dialog)->reject();
        });
    });
    if (then)
        answerer.expectDialog(then);
    ShowSaveOptions(m_owner.get(), lines);
    QCOMPARE(answerer.pendingCount(), 0);
    QCOMPARE(answerer.unexpected(), QStringList());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!m_owner->findChild<QDialog *>());
}

void TestSaveFlows::saveOptionsDialog()
{
    useRecordingWriters();
    DialogAnswerer answerer;
    save(
        { "line" }, QString(),
        [](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Save Options"));
            QCOMPARE(dialog->parentWidget()->objectName(), QString("owner"));
            QCOMPARE(dialog->findChild<QGroupBox *>("fraMain")->title(), QString("Save As"));
            auto *text = dialog->findChild<QRadioButton *>("optTextFile");
            auto *word = dialog->findChild<QRadioButton *>("optWordFile");
            auto *excel = dialog->findChild<QRadioButton *>("optExcelFile");
            auto *ok = dialog->findChild<QPushButton *>("cmdOK");
            auto *cancel = dialog->findChild<QPushButton *>("cmdCancel");
            QCOMPARE(text->text(), QString("Microsoft Windows Text File"));
            QCOMPARE(word->text(), QString("Microsoft Word Document"));
            QCOMPARE(excel->text(), QString("Microsoft Excel Document"));
            QVERIFY(text->isChecked());
            QVERIFY(text->y() < word->y() && word->y() < excel->y());
            QCOMPARE(ok->text(), QString("&OK"));
            QCOMPARE(cancel->text(), QString("&Cancel"));
            QVERIFY(ok->isDefault());
            QVERIFY(ok->x() < cancel->x());
            QCOMPARE(nextInTabOrder(text), word);
            QCOMPARE(nextInTabOrder(word), excel);
            QCOMPARE(nextInTabOrder(excel), ok);
            QCOMPARE(nextInTabOrder(ok), cancel);

            const QRect screen = dialog->screen()->availableGeometry();
            const QRect frame = dialog->frameGeometry();
            QVERIFY(qAbs(frame.left() - (screen.left() + (screen.width() - frame.width()) / 2)) <= 1);
            QVERIFY(qAbs(frame.top() - (screen.top() + (screen.height() - frame.height()) / 3)) <= 1);
            click(dialog, "cmdCancel");
        },
        answerer);
    QVERIFY(m_created.isEmpty());
    QVERIFY(m_dialogKinds.isEmpty());
}

void TestSaveFlows::keysOfSaveOptions_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("enter exports") << int(
        Qt::Key_Return) << QStringList { "BrowseForDestination", "WriteLine a", "WriteLine b", "ShowFile" };
    QTest::newRow("escape cancels") << int(Qt::Key_Escape) << QStringList {};
}

void TestSaveFlows::keysOfSaveOptions()
{
    QFETCH(int, key);
    QFETCH(QStringList, log);
    useRecordingWriters();
    DialogAnswerer answerer;
    save(
        { "a", "b" }, QString(), [key](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key(key)); }, answerer);
    QCOMPARE(m_log, log);
}

void TestSaveFlows::textNeverAsksAboutAnExistingFile()
{
    const QString path = m_tempDir->filePath("day1.txt");
    createFile(path);
    DialogAnswerer answerer;
    save(
        { "   S/N: AB.12", "", "Peak exposure:" }, path, [](QWidget *dialog) { click(dialog, "cmdOK"); },
        answerer);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("existing\r\n   S/N: AB.12\r\n\r\nPeak exposure:\r\n"));
    QCOMPARE(m_opened, QList<QUrl>({ QUrl::fromLocalFile(path) }));
    QCOMPARE(m_dialogKinds, QList<DialogKind>({ DialogKind::Open }));
}

void TestSaveFlows::tableToNewFile_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<WriterKind>("kind");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filterName");

    QTest::newRow("word, no extension") << "optWordFile" << WriterKind::Word << "report"
                                        << "report.docx"
                                        << "Save the Data File as MS Word"
                                        << "MsWord Files (*.docx)";
    QTest::newRow("word, own extension") << "optWordFile" << WriterKind::Word << "report.doc"
                                         << "report.doc"
                                         << "Save the Data File as MS Word"
                                         << "MsWord Files (*.docx)";
    QTest::newRow("excel, no extension") << "optExcelFile" << WriterKind::Excel << "book"
                                         << "book.xlsx"
                                         << "Save the Data File as Excel Sheet"
                                         << "Excel Files (*.xlsx)";
    QTest::newRow("excel, dotted folder") << "optExcelFile" << WriterKind::Excel << "v1.2/book"
                                          << "v1.2/book.xlsx"
                                          << "Save the Data File as Excel Sheet"
                                          << "Excel Files (*.xlsx)";
}

void TestSaveFlows::tableToNewFile()
{
    QFETCH(QString, option);
    QFETCH(WriterKind, kind);
    QFETCH(QString, chosen);
    QFETCH(QString, destination);
    QFETCH(QString, title);
    QFETCH(QString, filterName);
    QVERIFY(QDir(m_tempDir->path()).mkpath("v1.2"));
    useRecordingWriters();
    exportChoice().ExportAppend = true;

    const QStringList lines = reportLines();
    QVERIFY(lines.size() > 40);
    DialogAnswerer answerer;
    save(
        lines, m_tempDir->filePath(chosen),
        [option](QWidget *dialog) {
            click(dialog, qPrintable(option));
            click(dialog, "cmdOK");
        },
        answerer);

    const QString path = m_tempDir->filePath(destination);
    QCOMPARE(exportChoice().ExportFileName, path);
    QVERIFY(!exportChoice().ExportAppend);
    QCOMPARE(m_created, QList<WriterKind>({ kind }));
    QCOMPARE(m_waitCursors, QList<bool>({ true }));
    QCOMPARE(m_log,
        QStringList({ "ParseData 1", "Initialize" }) + writeLineCalls(lines)
            + QStringList({ "ShowFile", "SaveAs " + path }));

    QCOMPARE(m_dialogKinds, QList<DialogKind>({ DialogKind::Save }));
    const FileDialogOptions &request = m_dialogRequests.first();
    QCOMPARE(request.Title, title);
    QCOMPARE(APICommonDialog::NameFilters(request.Filter), QStringList({ filterName }));
    QCOMPARE(request.InitialDir, QDir::currentPath());
}

void TestSaveFlows::tableToExistingFile_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("appendBefore");
    QTest::addColumn<bool>("appendAfter");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("start");

    QTest::newRow("word append") << "optWordFile"
                                 << "cmdAppend" << false << true << false << "AppendInitialize";
    QTest::newRow("word overwrite") << "optWordFile"
                                    << "cmdOverwrite" << true << false << false << "Initialize";
    QTest::newRow("word cancel") << "optWordFile"
                                 << "cmdCancel" << true << true << true << "";
    QTest::newRow("word closed") << "optWordFile"
                                 << "close" << false << false << true << "";
    QTest::newRow("excel append") << "optExcelFile"
                                  << "cmdAppend" << false << true << false << "AppendInitialize";
    QTest::newRow("excel overwrite") << "optExcelFile"
                                     << "cmdOverwrite" << true << false << false << "Initialize";
    QTest::newRow("excel cancel") << "optExcelFile"
                                  << "cmdCancel" << false << false << true << "";
    QTest::newRow("excel escape") << "optExcelFile"
                                  << "escape" << true << true << true << "";
}

void TestSaveFlows::tableToExistingFile()
{
    QFETCH(QString, option);
    QFETCH(QString, answer);
    QFETCH(bool, appendBefore);
    QFETCH(bool, appendAfter);
    QFETCH(bool, cancelled);
    QFETCH(QString, start);
    useRecordingWriters();
    const QString path = m_tempDir->filePath(option == "optWordFile" ? "log.docx" : "log.xlsx");
    createFile(path);
    exportChoice().ExportAppend = appendBefore;
    exportChoice().ExportCancelled = !cancelled;

    DialogAnswerer answerer;
    const auto answerAppendOptions = [answer](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QString("frmAppend"));
        QCOMPARE(dialog->windowTitle(), QString(" Append Options"));
        QCOMPARE(dialog->findChild<QLabel *>("Label1")->text(),
            QString("This file already exists.  Please choose one of the options below:"));
        auto *append = dialog->findChild<QPushButton *>("cmdAppend");
        auto *overwrite = dialog->findChild<QPushButton *>("cmdOverwrite");
        auto *cancel = dialog->findChild<QPushButton *>("cmdCancel");
        QCOMPARE(append->text(), QString("&Append"));
        QCOMPARE(overwrite->text(), QString("&Overwrite"));
        QCOMPARE(cancel->text(), QString("&Cancel"));
        QVERIFY(append->x() < overwrite->x() && overwrite->x() < cancel->x());
        QVERIFY(overwrite->isDefault());
        const QPoint offCentre
            = dialog->frameGeometry().center() - dialog->parentWidget()->frameGeometry().center();
        QVERIFY(qAbs(offCentre.x()) <= 1 && qAbs(offCentre.y()) <= 1);
        QCOMPARE(dialog->focusWidget(), cancel);
        QCOMPARE(nextInTabOrder(cancel), append);
        QCOMPARE(nextInTabOrder(append), overwrite);
        if (answer == "close")
            dialog->close();
        else if (answer == "escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            click(dialog, qPrintable(answer));
    };
    save(
        { "first", "second" }, path,
        [option](QWidget *dialog) {
            click(dialog, qPrintable(option));
            click(dialog, "cmdOK");
        },
        answerer, answerAppendOptions);

    QCOMPARE(exportChoice().ExportAppend, appendAfter);
    QCOMPARE(exportChoice().ExportCancelled, cancelled);
    if (start.isEmpty()) {
        QVERIFY(m_created.isEmpty());
    } else {
        const QString startCall = start == "Initialize" ? start : start + ' ' + path;
        QCOMPARE(m_log,
            QStringList({ "ParseData 1", startCall, "WriteLine first", "WriteLine second", "ShowFile",
                "SaveAs " + path }));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("existing\r\n"));
}

void TestSaveFlows::cancelledSaveDialogEndsTheSave()
{
    useRecordingWriters();
    exportChoice().ExportFileName = "earlier.docx";
    DialogAnswerer answerer;
    save(
        { "line" }, QString(),
        [](QWidget *dialog) {
            click(dialog, "optExcelFile");
            click(dialog, "cmdOK");
        },
        answerer);
    QVERIFY(m_created.isEmpty());
    QCOMPARE(exportChoice().ExportFileName, QString());
}

void TestSaveFlows::wordWriterSaysItIsNotAvailable()
{
    const QString path = m_tempDir->filePath("new.docx");
    DialogAnswerer answerer;
    MessageBoxRecord box;
    save(
        { "Peak exposure:", "15 ppm H2S" }, path,
        [](QWidget *dialog) {
            click(dialog, "optWordFile");
            click(dialog, "cmdOK");
        },
        answerer,
        [&box](QWidget *dialog) {
            auto *messageBox = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(messageBox);
            box = DialogAnswerer::record(messageBox);
            messageBox->button(QMessageBox::Ok)->click();
        });

    QCOMPARE(box.title, QString("Export Status"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(box.text.startsWith("An error has occured while attempting an export of the report.\r\n\r\n"),
        qPrintable(box.text));
    QVERIFY(box.text.contains("not available yet"));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestSaveFlows)
#include "tst_saveflows.moc"
