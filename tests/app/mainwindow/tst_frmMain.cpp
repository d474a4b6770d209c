#include <functional>
#include <memory>

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "app/mainwindow/CommandDialogs.h"
#include "app/mainwindow/ReportDisplay.h"
#include "app/mainwindow/frmMain.h"
#include "common/OutputList.h"
#include "report/ReportLines.h"
#include "tests/support/DialogAnswerer.h"

namespace {

// The main window on the offscreen platform, an answerer for the real message boxes and dialogs it opens,
// and fakes of its transfer and save dialogs: a download appends the prepared lines one at a time and
// selects each as the adapter does, and every transfer records how many commands were enabled meanwhile.
struct MainWindowHarness : CommandDialogs
{
    QStringList downloadLines;
    std::function<void(QWidget *owner)> duringTransfer; // runs inside a transfer, after its lines
    int resetCalls = 0;
    QList<QStringList> savedLines;
    QList<int> enabledCommandsInTransfer;
    frmMain window { *this };
    DialogAnswerer answerer;

    [[nodiscard]] bool show()
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    ReportDisplay &display() { return window.lstOutput(); }
    void addLines(const QStringList &lines)
    {
        for (const QString &line : lines)
            display().AddItem(line);
    }
    void click(const QString &button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    void download(const QStringList &lines)
    {
        downloadLines = lines;
        click("cmdDownload");
    }
    // Expects the tagging dialog next and hands it to handle, which closes it.
    void expectTagging(
        const std::function<void(QDialog *)> &handle = [](QDialog *dialog) { dialog->reject(); })
    {
        answerer.expectDialog([handle](QWidget *widget) {
            auto *dialog = qobject_cast<QDialog *>(widget);
            QVERIFY(dialog && dialog->objectName() == "frmReportTagging");
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTRY_VERIFY(dialog->isAncestorOf(QApplication::focusWidget()));
            handle(dialog);
        });
    }
    // The command buttons and the About menu.
    [[nodiscard]] int enabledCommands() const
    {
        int enabled = window.findChild<QAction *>("mnuHelpAbout")->isEnabled() ? 1 : 0;
        for (const QPushButton *button : window.findChildren<QPushButton *>())
            enabled += button->isEnabled() ? 1 : 0;
        return enabled;
    }

    void showProgress(QWidget *owner, OutputList &output) override
    {
        for (const QString &line : downloadLines) {
            output.AddItem(line);
            output.SetListIndex(static_cast<qint16>(output.ListCount() - 1));
        }
        transfer(owner);
    }
    void showReset(QWidget *owner) override
    {
        ++resetCalls;
        transfer(owner);
    }
    void showSaveOptions(QWidget *, const QStringList &lines) override { savedLines.append(lines); }
    void transfer(QWidget *owner)
    {
        enabledCommandsInTransfer.append(enabledCommands());
        if (duringTransfer)
            duringTransfer(owner);
    }
};

const QString ErrorPrompt = QStringLiteral(
    "The display contains missing and/or error characters that may disrupt formatting when saving\n"
    "to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the\n"
    "Lorimet Adapter.\n\nWould you like to keep the report just downloaded?");

const QString WithError = QStringLiteral("Peak: 2") + QChar(0x7F) + " PPM";
const QString Neighbours = QString(QChar(0x7E)) + QChar(0x80) + QChar(0x01);

QString describe(const MessageBoxRecord &box)
{
    return QStringLiteral("%1 | %2 | icon %3 | buttons %4 | default %5")
        .arg(box.title, box.text)
        .arg(box.icon)
        .arg(box.buttons.toInt())
        .arg(box.defaultButton);
}

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_ui.reset(); }
    void layout();
    void download_data();
    void download();
    void displayCapLeavesOutTheRest();
    void saveAndClearDisplay();
    void resetAndDisabledCommandsDuringTransfers();
    void closingDuringTransferWaitsForIt();
    void aboutBox();
    void okWritesTagsIntoTheNewReport_data();
    void okWritesTagsIntoTheNewReport();

private:
    // Downloads lines and hands the tagging dialog to handle, which closes it.
    void downloadAndTag(const QStringList &lines, const std::function<void(QDialog *)> &handle);

    std::unique_ptr<MainWindowHarness> m_ui;
};

void tst_frmMain::init()
{
    m_ui = std::make_unique<MainWindowHarness>();
    QVERIFY(m_ui->show());
}

void tst_frmMain::layout()
{
    const QList<std::pair<QString, QString>> buttons { { "cmdDownload", "&Download from Adapter" },
        { "cmdSave", "&Save" }, { "cmdClearReport", "&Clear Display" },
        { "cmdResetDevice", "&Reset the Adapter" }, { "cmdExit", "E&xit" } };
    for (const auto &[name, caption] : buttons)
        QCOMPARE(m_ui->window.findChild<QPushButton *>(name)->text(), caption);
    QCOMPARE(m_ui->window.windowTitle(), "Tessaly Lorimet Adapter");

    QStringList order;
    for (int step = 0; step < 7; ++step) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order,
        QStringList({ "lstOutput", "cmdExit", "cmdDownload", "cmdSave", "cmdResetDevice", "cmdClearReport",
            "lstOutput" }));
}

void tst_frmMain::download_data()
{
    QTest::addColumn<QStringList>("older");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QMessageBox::StandardButton>("answer"); // NoButton: no question expected
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<bool>("tagged");
    const QStringList older { "older report", "" };
    const QStringList olderError { "first", WithError };
    QTest::newRow("nothing new") << older << QStringList() << QMessageBox::NoButton << older << false;
    // Empty lines never count, nor do the characters next to the error character.
    QTest::newRow("clean report") << older << QStringList { "   S/N: 1   ", "", Neighbours, "Peak: 10 PPM" }
                                  << QMessageBox::NoButton
                                  << older + QStringList { "   S/N: 1   ", "", Neighbours, "Peak: 10 PPM" }
                                  << true;
    QTest::newRow("error kept with Yes") << QStringList() << QStringList { "Date:", WithError }
                                         << QMessageBox::Yes << QStringList { "Date:", WithError } << true;
    QTest::newRow("No removes exactly the new lines")
        << older << QStringList { "Date:", WithError, "Time:" } << QMessageBox::No << older << false;
    QTest::newRow("older error line asks again after an empty download")
        << olderError << QStringList() << QMessageBox::No << olderError << false;
}

void tst_frmMain::download()
{
    QFETCH(QStringList, older);
    QFETCH(QStringList, report);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, kept);
    QFETCH(bool, tagged);
    m_ui->addLines(older);
    QList<MessageBoxRecord> boxes;
    if (answer != QMessageBox::NoButton) {
        m_ui->answerer.expectDialog([&boxes, answer](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            boxes.append(DialogAnswerer::record(box));
            // Only Yes or No answers: Esc and the title bar's close control leave the question open.
            QVERIFY(QTest::qWaitForWindowActive(box));
            QTest::keyClick(box->focusWidget(), Qt::Key_Escape);
            box->close();
            QVERIFY(box->isVisible());
            box->button(answer)->click();
        });
    }
    if (tagged)
        m_ui->expectTagging();
    m_ui->download(report);

    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QCOMPARE(boxes.size(), answer == QMessageBox::NoButton ? 0 : 1);
    if (!boxes.isEmpty()) {
        QCOMPARE(describe(boxes.at(0)),
            describe({ "Lorimet Adapter Confirmation", ErrorPrompt, QMessageBox::Question,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes }));
    }
    QCOMPARE(m_ui->display().Lines(), kept);
    QCOMPARE(m_ui->window.ReportStart(), qint16(older.size()));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(older.size() + report.size()));
    QCOMPARE(m_ui->window.focusWidget(), &m_ui->display());
    // The view has caught up with the display and selects the newest line.
    QCOMPARE(m_ui->display().model()->rowCount(), kept.size());
    if (tagged)
        QCOMPARE(m_ui->display().currentIndex().row(), kept.size() - 1);
}

void tst_frmMain::displayCapLeavesOutTheRest()
{
    m_ui->addLines(QStringList(32760, "older"));
    QStringList report;
    for (int line = 0; line < 10; ++line)
        report.append(QStringLiteral("new %1").arg(line));
    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->expectTagging();
    m_ui->download(report);
    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QCOMPARE(describe(m_ui->answerer.messageBoxes().value(0)),
        describe({ "Lorimet Adapter",
            "The display is full: 3 lines of the report just downloaded were left out.\n\n"
            "Please save the display and clear it before the next download.",
            QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok }));
    QCOMPARE(m_ui->display().ListCount(), qint16(32767));
    QCOMPARE(m_ui->display().List(32766), "new 6");
    QCOMPARE(m_ui->window.ReportStart(), qint16(32760));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(32767));
}

void tst_frmMain::saveAndClearDisplay()
{
    m_ui->addLines({ "older", "" });
    m_ui->expectTagging();
    m_ui->download({ "a", "b" });
    m_ui->click("cmdSave");
    QCOMPARE(m_ui->savedLines, QList<QStringList>({ { "older", "", "a", "b" } }));
    QCOMPARE(m_ui->window.focusWidget(), &m_ui->display());

    // Clearing empties the display and its view but keeps the markers of the last download.
    m_ui->click("cmdClearReport");
    QCOMPARE(m_ui->display().ListCount(), qint16(0));
    QCOMPARE(m_ui->display().model()->rowCount(), 0);
    QCOMPARE(m_ui->window.ReportStart(), qint16(2));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(4));

    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->click("cmdSave");
    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QCOMPARE(describe(m_ui->answerer.messageBoxes().value(0)),
        describe({ "Export Status", "No current report exists to save.", QMessageBox::Information,
            QMessageBox::Ok, QMessageBox::Ok }));
    QCOMPARE(m_ui->savedLines.size(), 1);
}

void tst_frmMain::resetAndDisabledCommandsDuringTransfers()
{
    m_ui->addLines({ "kept" });
    m_ui->click("cmdResetDevice");
    QCOMPARE(m_ui->resetCalls, 1);
    QCOMPARE(m_ui->display().Lines(), QStringList({ "kept" }));

    m_ui->download({});
    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QCOMPARE(m_ui->enabledCommandsInTransfer, QList<int>({ 0, 0 }));
    QCOMPARE(m_ui->enabledCommands(), 6); // five buttons and About
}

void tst_frmMain::closingDuringTransferWaitsForIt()
{
    m_ui->downloadLines = QStringList { "Date:", WithError };
    bool openAfterClose = false;
    m_ui->duringTransfer = [&openAfterClose](QWidget *owner) {
        owner->close();
        QApplication::processEvents();
        openAfterClose = owner->isVisible();
        owner->close();
    };
    m_ui->click("cmdDownload");
    // Neither the question nor the tagging dialog comes up for a window that is closing.
    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QVERIFY(openAfterClose);
    QVERIFY(!m_ui->window.isVisible());
    QCOMPARE(m_ui->display().Lines(), m_ui->downloadLines);
}

void tst_frmMain::aboutBox()
{
    const auto openAbout = [this] {
        m_ui->window.findChild<QAction *>("mnuHelpAbout")->trigger();
        auto *about = m_ui->window.findChild<QDialog *>("frmAbout");
        return about && about->isVisible() && !about->isModal() ? about : nullptr;
    };
    QDialog *about = openAbout();
    QVERIFY(about);
    // Choosing About again brings the open box forward instead of opening another.
    QVERIFY(QTest::qWaitForWindowActive(about));
    m_ui->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_ui->window));
    QCOMPARE(openAbout(), about);
    QCOMPARE(m_ui->window.findChildren<QDialog *>("frmAbout").size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->windowTitle(), "About Lorimet Adapter");
    QCOMPARE(about->findChild<QLabel *>("lblTitle")->text(), "Lorimet Adapter");
    QCOMPARE(about->findChild<QLabel *>("lblVersion")->text(), "Version 1.1.8");
    QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(!m_ui->window.findChild<QDialog *>("frmAbout"));

    // An open About box closes with the main window.
    QPointer<QDialog> second = openAbout();
    QVERIFY(second);
    m_ui->click("cmdExit");
    QTRY_VERIFY(!second || !second->isVisible());
}

void tst_frmMain::downloadAndTag(const QStringList &lines, const std::function<void(QDialog *)> &handle)
{
    m_ui->expectTagging(handle);
    m_ui->download(lines);
    QCOMPARE(m_ui->answerer.unanswered(), QStringList());
    QVERIFY(!m_ui->window.findChild<QDialog *>("frmReportTagging"));
}

void tst_frmMain::okWritesTagsIntoTheNewReport_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QString>("serial"); // found in the report; none: the user types "   "
    QTest::addColumn<QStringList>("written"); // with the proposed <date> and <time>, the user "Ann"
    QTest::newRow("serial from the new report only")
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1" }
        << QStringList { "  S/N: 777 ", "Date:", "Time:  9:00 AM", "Serial #:", "User:", "Peak: 5", "Date:" }
        << "777"
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1", "  S/N: 777 ", "Date: <date>",
               "Time: <time>", "Serial #: 777", "User: Ann", "Peak: 5", "Date: <date>" };
    QTest::newRow("no serial, a spaces-only field leaves its line")
        << QStringList() << QStringList { "Date:", "Time:", "Serial #: as sent", "User:" } << ""
        << QStringList { "Date: <date>", "Time: <time>", "Serial #: as sent", "User: Ann" };
    QTest::newRow("long serial shown whole, written cut")
        << QStringList() << QStringList { "S/N: 1234567890ABCDEFG", "Serial #:" } << "1234567890ABCDEFG"
        << QStringList { "S/N: 1234567890ABCDEFG", "Serial #: 1234567890ABCD" };
}

void tst_frmMain::okWritesTagsIntoTheNewReport()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, report);
    QFETCH(QString, serial);
    QFETCH(QStringList, written);
    m_ui->addLines(earlier);
    const bool found = !serial.isEmpty();
    const QDateTime before = QDateTime::currentDateTime();
    QString date;
    QString time;
    downloadAndTag(report, [&](QDialog *dialog) {
        date = field(dialog, "txtDate")->text();
        time = field(dialog, "txtTime")->text();
        QLineEdit *serialNo = field(dialog, "txtSerialNo");
        QLineEdit *user = field(dialog, "txtUser");
        QCOMPARE(serialNo->text(), serial);
        QCOMPARE(serialNo->isReadOnly(), found);
        QTRY_COMPARE(QApplication::focusWidget(), found ? user : serialNo);
        // Tabbing onto a read-only serial field lands on the user field.
        field(dialog, "txtTime")->setFocus();
        QTest::keyClick(field(dialog, "txtTime"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), found ? user : serialNo);

        // The user's name fits its 24-character tag line: more is refused, typed or pasted.
        QTest::keyClicks(user, QString(25, u'W'));
        QCOMPARE(user->text(), QString(18, u'W'));
        user->clear();
        QApplication::clipboard()->setText(QString(30, u'P'));
        QTest::keyClick(user, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(user->text(), QString(18, u'P'));
        user->clear();
        // Only what a text report can hold, typed or pasted; a refusal names the character.
        const auto type = [user](const QString &text) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
            QApplication::sendEvent(user, &key);
        };
        for (const QString &foreign : { QString::fromUtf8("李"), QString::fromUtf8("🙂") }) {
            type(QString::fromUtf8("Zoë"));
            type(foreign);
            QCOMPARE(user->text(), QString::fromUtf8("Zoë"));
            QTRY_VERIFY(QToolTip::isVisible());
            QVERIFY2(QToolTip::text().startsWith(u'"' + foreign + u'"'), qPrintable(QToolTip::text()));
            user->clear();
            QApplication::clipboard()->setText("Ann " + foreign);
            QTest::keyClick(user, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(user->text(), QString());
        }

        QTest::keyClicks(serialNo, found ? QString() : "   ");
        QTest::keyClicks(user, "Ann");
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    });
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(date == ReportTags::formatDate(before.date()) || date == ReportTags::formatDate(after.date()));
    QVERIFY(time == ReportTags::formatTime(before.time()) || time == ReportTags::formatTime(after.time()));
    for (QString &line : written)
        line.replace("<date>", date).replace("<time>", time);
    QCOMPARE(m_ui->display().Lines(), written);
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
