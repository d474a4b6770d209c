#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <memory>

#include "tests/app/MainWindowHarness.h"

namespace {

const QString ErrorPrompt = QStringLiteral(
    "The display contains missing and/or error characters that may disrupt formatting when saving\n"
    "to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the\n"
    "Lorimet Adapter.\n\nWould you like to keep the report just downloaded?");

const QString WithError = QStringLiteral("Peak: 2") + QChar(0x7F) + QStringLiteral(" PPM");
const QString Neighbours = QString(QChar(0x7E)) + QChar(0x80) + QChar(0x01);

QString describe(const MessageBoxRecord &box)
{
    return QStringLiteral("%1 | %2 | icon %3 | buttons %4 | default %5")
        .arg(box.title, box.text)
        .arg(box.icon)
        .arg(box.buttons.toInt())
        .arg(box.defaultButton);
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

private:
    std::unique_ptr<MainWindowHarness> m_ui;
};

void tst_frmMain::init()
{
    m_ui = std::make_unique<MainWindowHarness>();
    QVERIFY(m_ui->show());
}

void tst_frmMain::layout()
{
    frmMain &window = m_ui->window;
    const QList<std::tuple<QString, QString, QRect>> controls {
        { "cmdDownload", "&Download from Adapter", { 16, 18, 129, 27 } },
        { "cmdSave", "&Save", { 16, 48, 129, 27 } },
        { "cmdClearReport", "&Clear Display", { 16, 78, 129, 27 } },
        { "cmdResetDevice", "&Reset the Adapter", { 16, 108, 129, 27 } },
        { "cmdExit", "E&xit", { 238, 484, 125, 27 } },
        { "lstOutput", "", { 172, 4, 191, 467 } },
        { "Shape1", "", { 166, 0, 203, 477 } },
        { "Image1", "", { 20, 407, 125, 70 } },
    };
    for (const auto &[name, caption, geometry] : controls) {
        auto *control = window.findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), geometry);
        if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), caption);
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessaly Lorimet Adapter"));

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

    QCOMPARE(m_ui->unanswered(), QStringList());
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
    m_ui->addLines(QStringList(32760, QStringLiteral("older")));
    QStringList report;
    for (int line = 0; line < 10; ++line)
        report.append(QStringLiteral("new %1").arg(line));
    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->expectTagging();
    m_ui->download(report);
    QCOMPARE(m_ui->unanswered(), QStringList());
    QCOMPARE(describe(m_ui->answerer.messageBoxes().value(0)),
        describe({ "Lorimet Adapter",
            "The display is full: 3 lines of the report just downloaded were left out.\n\n"
            "Please save the display and clear it before the next download.",
            QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok }));
    QCOMPARE(m_ui->display().ListCount(), qint16(32767));
    QCOMPARE(m_ui->display().List(32766), QStringLiteral("new 6"));
    QCOMPARE(m_ui->window.ReportStart(), qint16(32760));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(32767));
}

void tst_frmMain::saveAndClearDisplay()
{
    m_ui->addLines({ "older", "" });
    m_ui->expectTagging();
    m_ui->download({ "a", "b" });
    m_ui->click(QStringLiteral("cmdSave"));
    QCOMPARE(m_ui->savedLines, QList<QStringList>({ { "older", "", "a", "b" } }));
    QCOMPARE(m_ui->window.focusWidget(), &m_ui->display());

    // Clearing empties the display and its view but keeps the markers of the last download.
    m_ui->click(QStringLiteral("cmdClearReport"));
    QCOMPARE(m_ui->display().ListCount(), qint16(0));
    QCOMPARE(m_ui->display().model()->rowCount(), 0);
    QCOMPARE(m_ui->window.ReportStart(), qint16(2));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(4));

    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->click(QStringLiteral("cmdSave"));
    QCOMPARE(m_ui->unanswered(), QStringList());
    QCOMPARE(describe(m_ui->answerer.messageBoxes().value(0)),
        describe({ "Export Status", "No current report exists to save.", QMessageBox::Information,
            QMessageBox::Ok, QMessageBox::Ok }));
    QCOMPARE(m_ui->savedLines.size(), 1);
}

void tst_frmMain::resetAndDisabledCommandsDuringTransfers()
{
    m_ui->addLines({ "kept" });
    m_ui->click(QStringLiteral("cmdResetDevice"));
    QCOMPARE(m_ui->resetCalls, 1);
    QCOMPARE(m_ui->display().Lines(), QStringList({ "kept" }));

    m_ui->download({});
    QCOMPARE(m_ui->unanswered(), QStringList());
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
    m_ui->click(QStringLiteral("cmdDownload"));
    // Neither the question nor the tagging dialog comes up for a window that is closing.
    QCOMPARE(m_ui->unanswered(), QStringList());
    QVERIFY(openAfterClose);
    QVERIFY(!m_ui->window.isVisible());
    QCOMPARE(m_ui->display().Lines(), m_ui->downloadLines);
}

void tst_frmMain::aboutBox()
{
    const auto openAbout = [this] {
        m_ui->window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->trigger();
        auto *about = m_ui->window.findChild<QDialog *>(QStringLiteral("frmAbout"));
        return about && about->isVisible() && !about->isModal() ? about : nullptr;
    };
    QDialog *about = openAbout();
    QVERIFY(about);
    // Choosing About again brings the open box forward instead of opening another.
    QVERIFY(QTest::qWaitForWindowActive(about));
    m_ui->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_ui->window));
    QCOMPARE(openAbout(), about);
    QCOMPARE(m_ui->window.findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Lorimet Adapter"));
    QCOMPARE(
        about->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Lorimet Adapter"));
    QCOMPARE(
        about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.1.8"));
    QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(!m_ui->window.findChild<QDialog *>(QStringLiteral("frmAbout")));

    // An open About box closes with the main window.
    QPointer<QDialog> second = openAbout();
    QVERIFY(second);
    m_ui->click(QStringLiteral("cmdExit"));
    QTRY_VERIFY(!second || !second->isVisible());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
