#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

#include "DialogAnswerer.h"
#include "FakeCommandDialogs.h"
#include "ReportDisplay.h"
#include "frmMain.h"

namespace {

const QString ErrorPrompt = QStringLiteral(
    "The display contains missing and/or error characters that may disrupt formatting when saving\n"
    "to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the\n"
    "Lorimet Adapter.\n\nWould you like to keep the report just downloaded?");

const QString WithError = QStringLiteral("Peak: 2") + QChar(0x7F) + QStringLiteral(" PPM");

// Answers the tagging dialog with Cancel and counts it.
DialogAnswerer::Handler cancelTagging(int &count)
{
    return [&count](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmReportTagging"));
        ++count;
        qobject_cast<QDialog *>(dialog)->reject();
    };
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void controls_data();
    void controls();
    void tabOrder();
    void placedAtOneThirdOfTheFreeHeight();

    void saveOnEmptyDisplay();
    void saveWithLinesOpensSaveOptions();
    void accessKeys_data();
    void accessKeys();

    void downloadAddingNothing();
    void downloadAddingLinesOpensTagging();
    void errorCharacterKeptWithYes();
    void errorCharacterDiscardedWithNo();
    void olderErrorLineReasksAfterEmptyDownload();
    void displayHasErrorCharacters_data();
    void displayHasErrorCharacters();
    void displayCapIsReportedOnce();

    void clearDisplayKeepsMarkers();
    void resetTouchesNothing();
    void commandsDisabledDuringTransfers();
    void closingDuringTransferWaitsForIt();
    void exitClosesWindow();
    void aboutOpensAndClosesWithWindow();

private:
    void clickDownload() { QTest::mouseClick(button("cmdDownload"), Qt::LeftButton); }
    QPushButton *button(const char *name)
    {
        return m_window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    ReportDisplay &display() { return m_window->lstOutput(); }
    void verifyAnswered();

    FakeCommandDialogs m_dialogs;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<DialogAnswerer> m_answerer;
};

void tst_frmMain::init()
{
    m_dialogs = FakeCommandDialogs();
    m_window = std::make_unique<frmMain>(m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_answerer = std::make_unique<DialogAnswerer>();
}

void tst_frmMain::cleanup()
{
    m_answerer.reset();
    m_window.reset();
}

void tst_frmMain::verifyAnswered()
{
    QCOMPARE(m_answerer->pendingCount(), 0);
    QCOMPARE(m_answerer->unexpected(), QStringList());
}

void tst_frmMain::window()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tessaly Lorimet Adapter"));
    QCOMPARE(m_window->centralWidget()->size(), QSize(368, 517));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!m_window->windowIcon().pixmap(16, 16).isNull());

    auto *about = m_window->findChild<QAction *>(QStringLiteral("mnuHelpAbout"));
    QVERIFY(about);
    QCOMPARE(about->text(), QStringLiteral("&About"));
    QVERIFY(!about->menu());
    QVERIFY(m_window->menuBar()->actions().contains(about));
    QCOMPARE(m_window->ReportStart(), qint16(0));
    QCOMPARE(m_window->ReportEnd(), qint16(0));
    QCOMPARE(display().ListCount(), qint16(0));
}

void tst_frmMain::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");

    QTest::newRow("cmdDownload") << "cmdDownload"
                                 << "&Download from Adapter" << QRect(16, 18, 129, 27) << "Arial" << 8.25;
    QTest::newRow("cmdSave") << "cmdSave"
                             << "&Save" << QRect(16, 48, 129, 27) << "Arial" << 8.25;
    QTest::newRow("cmdClearReport") << "cmdClearReport"
                                    << "&Clear Display" << QRect(16, 78, 129, 27) << "Arial" << 8.25;
    QTest::newRow("cmdResetDevice") << "cmdResetDevice"
                                    << "&Reset the Adapter" << QRect(16, 108, 129, 27) << "Arial" << 8.25;
    QTest::newRow("cmdExit") << "cmdExit"
                             << "E&xit" << QRect(238, 484, 125, 27) << "Arial" << 8.25;
    QTest::newRow("lstOutput") << "lstOutput"
                               << "" << QRect(172, 4, 191, 467) << "Courier New" << 9.0;
    QTest::newRow("Shape1") << "Shape1"
                            << "" << QRect(166, 0, 203, 477) << "" << 0.0;
    QTest::newRow("Image1") << "Image1"
                            << "" << QRect(20, 407, 125, 70) << "" << 0.0;
}

void tst_frmMain::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);

    auto *control = m_window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), m_window->centralWidget());
    QCOMPARE(control->geometry(), geometry);
    if (auto *push = qobject_cast<QPushButton *>(control))
        QCOMPARE(push->text(), caption);
    if (!family.isEmpty()) {
        QCOMPARE(control->font().family(), family);
        QCOMPARE(control->font().pointSizeF(), pointSize);
    }
}

void tst_frmMain::tabOrder()
{
    auto *shape = m_window->findChild<QFrame *>(QStringLiteral("Shape1"));
    QCOMPARE(shape->palette().color(QPalette::Window), QColor(128, 128, 128));
    QVERIFY(shape->autoFillBackground());
    QVERIFY(!m_window->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());

    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget(), &display());
    QStringList order;
    for (int step = 0; step < 6; ++step) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order,
        QStringList(
            { "lstOutput", "cmdExit", "cmdDownload", "cmdSave", "cmdResetDevice", "cmdClearReport" }));
    QCOMPARE(QApplication::focusWidget(), &display());
}

void tst_frmMain::placedAtOneThirdOfTheFreeHeight()
{
    const QRect screen = m_window->screen()->geometry();
    const QRect frame = m_window->frameGeometry();
    QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height()) / 3);
}

void tst_frmMain::saveOnEmptyDisplay()
{
    m_answerer->expectMessageBox(QMessageBox::Ok);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    verifyAnswered();
    const MessageBoxRecord box = m_answerer->messageBoxes().value(0);
    QCOMPARE(box.title, QStringLiteral("Export Status"));
    QCOMPARE(box.text, QStringLiteral("No current report exists to save."));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.defaultButton, QMessageBox::Ok);
    QVERIFY(m_dialogs.savedLines.isEmpty());
}

void tst_frmMain::saveWithLinesOpensSaveOptions()
{
    display().AddItem(QStringLiteral("one"));
    display().AddItem(QString());
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(m_dialogs.savedLines, QList<QStringList>({ { QStringLiteral("one"), QString() } }));
    QCOMPARE(QApplication::focusWidget(), &display());
}

void tst_frmMain::accessKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("progressCalls");
    QTest::addColumn<int>("resetCalls");
    QTest::addColumn<int>("saveCalls");
    QTest::addColumn<bool>("visibleAfter");
    QTest::newRow("Alt+D") << Qt::Key_D << 1 << 0 << 0 << true;
    QTest::newRow("Alt+S") << Qt::Key_S << 0 << 0 << 1 << true;
    QTest::newRow("Alt+R") << Qt::Key_R << 0 << 1 << 0 << true;
    QTest::newRow("Alt+C") << Qt::Key_C << 0 << 0 << 0 << true;
    QTest::newRow("Alt+X") << Qt::Key_X << 0 << 0 << 0 << false;
    QTest::newRow("Alt+A") << Qt::Key_A << 0 << 0 << 0 << true;
}

void tst_frmMain::accessKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(int, progressCalls);
    QFETCH(int, resetCalls);
    QFETCH(int, saveCalls);
    QFETCH(bool, visibleAfter);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    display().AddItem(QStringLiteral("kept until cleared"));
    QTest::keyClick(m_window.get(), key, Qt::AltModifier);
    // An access key clicks its button after a short animation of the press.
    QTest::qWait(300);
    QCOMPARE(m_dialogs.progressCalls, progressCalls);
    QCOMPARE(m_dialogs.resetCalls, resetCalls);
    QCOMPARE(m_dialogs.savedLines.size(), saveCalls);
    QCOMPARE(m_window->isVisible(), visibleAfter);
    QCOMPARE(display().ListCount(), qint16(key == Qt::Key_C ? 0 : 1));
    QCOMPARE(m_window->findChild<QDialog *>(QStringLiteral("frmAbout")) != nullptr, key == Qt::Key_A);
    verifyAnswered();
}

void tst_frmMain::downloadAddingNothing()
{
    display().AddItem(QStringLiteral("older report"));
    display().AddItem(QStringLiteral("second line"));
    clickDownload();
    verifyAnswered();
    QCOMPARE(m_dialogs.progressCalls, 1);
    QCOMPARE(m_window->ReportStart(), qint16(2));
    QCOMPARE(m_window->ReportEnd(), qint16(2));
    QCOMPARE(QApplication::focusWidget(), &display());
}

void tst_frmMain::downloadAddingLinesOpensTagging()
{
    display().AddItem(QStringLiteral("older report"));
    m_dialogs.downloadLines = QStringList { "   S/N: 1   ", "Date:", "Peak: 10 PPM" };
    int tagging = 0;
    m_answerer->expectDialog(cancelTagging(tagging));
    clickDownload();
    verifyAnswered();
    QCOMPARE(tagging, 1);
    QCOMPARE(m_window->ReportStart(), qint16(1));
    QCOMPARE(m_window->ReportEnd(), qint16(4));
    QVERIFY(m_answerer->messageBoxes().isEmpty());
    // The newest line is selected, shown and in the view once the download is over.
    QCOMPARE(display().model()->rowCount(), 4);
    QCOMPARE(display().currentIndex().row(), 3);
    QVERIFY(display().selectionModel()->isSelected(display().currentIndex()));
    QVERIFY(display().viewport()->rect().intersects(display().visualRect(display().currentIndex())));
}

void tst_frmMain::errorCharacterKeptWithYes()
{
    m_dialogs.downloadLines = QStringList { "Date:", WithError };
    int tagging = 0;
    m_answerer->expectMessageBox(QMessageBox::Yes);
    m_answerer->expectDialog(cancelTagging(tagging));
    clickDownload();
    verifyAnswered();
    const MessageBoxRecord box = m_answerer->messageBoxes().value(0);
    QCOMPARE(box.title, QStringLiteral("Lorimet Adapter Confirmation"));
    QCOMPARE(box.text, ErrorPrompt);
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.defaultButton, QMessageBox::Yes);
    QCOMPARE(tagging, 1);
    QCOMPARE(display().Lines(), m_dialogs.downloadLines);
}

void tst_frmMain::errorCharacterDiscardedWithNo()
{
    const QStringList older { "older report", "" };
    for (const QString &line : older)
        display().AddItem(line);
    m_dialogs.downloadLines = QStringList { "Date:", WithError, "Time:" };
    m_answerer->expectMessageBox(QMessageBox::No);
    clickDownload();
    verifyAnswered();
    QCOMPARE(display().Lines(), older);
    QCOMPARE(m_window->ReportStart(), qint16(2));
    QCOMPARE(m_window->ReportEnd(), qint16(5));
}

void tst_frmMain::olderErrorLineReasksAfterEmptyDownload()
{
    m_dialogs.downloadLines = QStringList { "first", WithError };
    int tagging = 0;
    m_answerer->expectMessageBox(QMessageBox::Yes);
    m_answerer->expectDialog(cancelTagging(tagging));
    clickDownload();
    verifyAnswered();

    // The kept line raises the question again, and No removes nothing older than the new report.
    m_dialogs.downloadLines.clear();
    m_answerer->expectMessageBox(QMessageBox::No);
    clickDownload();
    verifyAnswered();
    QCOMPARE(m_answerer->messageBoxes().size(), 2);
    QCOMPARE(m_answerer->messageBoxes().at(1).text, ErrorPrompt);
    QCOMPARE(display().Lines(), QStringList({ "first", WithError }));

    m_dialogs.downloadLines = QStringList { "third" };
    m_answerer->expectMessageBox(QMessageBox::No);
    clickDownload();
    verifyAnswered();
    QCOMPARE(display().Lines(), QStringList({ "first", WithError }));
    QCOMPARE(tagging, 1);
}

void tst_frmMain::displayHasErrorCharacters_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("expected");
    const QString del(QChar(0x7F));
    QTest::newRow("empty display") << QStringList() << false;
    QTest::newRow("empty lines only") << QStringList { "", "", "" } << false;
    QTest::newRow("clean lines") << QStringList { "Date:", "", "Peak: 10" } << false;
    QTest::newRow("only the error character") << QStringList { "", del } << true;
    QTest::newRow("first character") << QStringList { del + "abc" } << true;
    QTest::newRow("last line") << QStringList { "a", "b", "c" + del } << true;
    QTest::newRow("similar characters")
        << QStringList { QString(QChar(0x7E)), QString(QChar(0x80)), "\x01" } << false;
}

void tst_frmMain::displayHasErrorCharacters()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, expected);
    for (const QString &line : lines)
        display().AddItem(line);
    QCOMPARE(m_window->DisplayHasErrorCharacters(), expected);
}

void tst_frmMain::displayCapIsReportedOnce()
{
    for (int line = 0; line < 32760; ++line)
        display().AddItem(QStringLiteral("older"));
    for (int line = 0; line < 10; ++line)
        m_dialogs.downloadLines.append(QStringLiteral("new %1").arg(line));
    int tagging = 0;
    m_answerer->expectMessageBox(QMessageBox::Ok);
    m_answerer->expectDialog(cancelTagging(tagging));
    clickDownload();
    verifyAnswered();

    const MessageBoxRecord box = m_answerer->messageBoxes().value(0);
    QCOMPARE(box.title, QStringLiteral("Lorimet Adapter"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.defaultButton, QMessageBox::Ok);
    QCOMPARE(box.text,
        QStringLiteral("The display is full: 3 lines of the report just downloaded were left out.\n\n"
                       "Please save the display and clear it before the next download."));
    QCOMPARE(tagging, 1);
    QCOMPARE(display().ListCount(), qint16(32767));
    QCOMPARE(display().List(32766), QStringLiteral("new 6"));
    QCOMPARE(m_window->ReportStart(), qint16(32760));
    QCOMPARE(m_window->ReportEnd(), qint16(32767));

    // A full display gets one message per download, with nothing new to tag.
    m_dialogs.downloadLines = QStringList { "more" };
    m_answerer->expectMessageBox(QMessageBox::Ok);
    clickDownload();
    verifyAnswered();
    QCOMPARE(m_answerer->messageBoxes().size(), 2);
    QVERIFY(m_answerer->messageBoxes().at(1).text.startsWith(
        QStringLiteral("The display is full: 1 line of the report just downloaded was left out.")));
    QCOMPARE(m_window->ReportStart(), qint16(32767));
    QCOMPARE(m_window->ReportEnd(), qint16(32767));
    QCOMPARE(tagging, 1);
}

void tst_frmMain::clearDisplayKeepsMarkers()
{
    QTest::mouseClick(button("cmdClearReport"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(display().ListCount(), qint16(0));

    display().AddItem(QStringLiteral("older"));
    m_dialogs.downloadLines = QStringList { "a", "b" };
    int tagging = 0;
    m_answerer->expectDialog(cancelTagging(tagging));
    clickDownload();
    QTest::mouseClick(button("cmdClearReport"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(display().ListCount(), qint16(0));
    QCOMPARE(display().model()->rowCount(), 0);
    QCOMPARE(m_window->ReportStart(), qint16(1));
    QCOMPARE(m_window->ReportEnd(), qint16(3));

    m_answerer->expectMessageBox(QMessageBox::Ok);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(m_answerer->messageBoxes().value(0).text, QStringLiteral("No current report exists to save."));
}

void tst_frmMain::resetTouchesNothing()
{
    m_dialogs.downloadLines = QStringList { "not for a reset" };
    display().AddItem(QStringLiteral("kept"));
    QTest::mouseClick(button("cmdResetDevice"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(m_dialogs.resetCalls, 1);
    QCOMPARE(m_dialogs.progressCalls, 0);
    QCOMPARE(display().Lines(), QStringList({ "kept" }));
    QCOMPARE(m_window->ReportStart(), qint16(0));
    QCOMPARE(m_window->ReportEnd(), qint16(0));
    QCOMPARE(QApplication::focusWidget(), &display());
}

void tst_frmMain::commandsDisabledDuringTransfers()
{
    clickDownload();
    QTest::mouseClick(button("cmdResetDevice"), Qt::LeftButton);
    verifyAnswered();
    QCOMPARE(m_dialogs.statesDuringTransfer.size(), 2);
    for (const FakeCommandDialogs::CommandState &state : m_dialogs.statesDuringTransfer) {
        QVERIFY(!state.anyButtonEnabled);
        QVERIFY(!state.aboutEnabled);
    }
    const auto buttons = m_window->findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 5);
    for (const QPushButton *command : buttons)
        QVERIFY2(command->isEnabled(), qPrintable(command->objectName()));
    QVERIFY(m_window->findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->isEnabled());
}

void tst_frmMain::closingDuringTransferWaitsForIt()
{
    m_dialogs.downloadLines = QStringList { "Date:", WithError };
    bool visibleAfterClose = false;
    m_dialogs.duringTransfer = [&visibleAfterClose](QWidget *owner) {
        owner->close();
        QApplication::processEvents();
        visibleAfterClose = owner->isVisible();
        owner->close();
    };
    clickDownload();
    // No question and no tagging dialog for a window that is closing.
    verifyAnswered();
    QVERIFY(m_answerer->messageBoxes().isEmpty());
    QVERIFY(visibleAfterClose);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(display().Lines(), m_dialogs.downloadLines);

    // The same for a reset.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTest::mouseClick(button("cmdResetDevice"), Qt::LeftButton);
    verifyAnswered();
    QVERIFY(visibleAfterClose);
    QVERIFY(!m_window->isVisible());
}

void tst_frmMain::exitClosesWindow()
{
    QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
    verifyAnswered();
    QVERIFY(!m_window->isVisible());
}

void tst_frmMain::aboutOpensAndClosesWithWindow()
{
    auto *about = m_window->findChild<QAction *>(QStringLiteral("mnuHelpAbout"));
    about->trigger();
    auto *box = m_window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QVERIFY(!box->isModal());
    QVERIFY(m_window->isEnabled());
    QPointer<QDialog> guard(box);
    m_window->close();
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
