#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include <memory>

#include "MainWindowHarness.h"

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
    void displayCapIsReportedOncePerDownload();
    void saveAndClearDisplay();
    void resetAndDisabledCommandsDuringTransfers();
    void closingDuringTransferWaitsForIt();
    void aboutBox();
    void aboutBoxCloses_data();
    void aboutBoxCloses();

private:
    [[nodiscard]] QDialog *openAbout();

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
    // Name, caption, geometry and font (where the control has its own) of each control.
    const QList<std::tuple<QString, QString, QRect, QString, qreal>> controls {
        { "cmdDownload", "&Download from Adapter", { 16, 18, 129, 27 }, "Arial", 8.25 },
        { "cmdSave", "&Save", { 16, 48, 129, 27 }, "Arial", 8.25 },
        { "cmdClearReport", "&Clear Display", { 16, 78, 129, 27 }, "Arial", 8.25 },
        { "cmdResetDevice", "&Reset the Adapter", { 16, 108, 129, 27 }, "Arial", 8.25 },
        { "cmdExit", "E&xit", { 238, 484, 125, 27 }, "Arial", 8.25 },
        { "lstOutput", "", { 172, 4, 191, 467 }, "Courier New", 9 },
        { "Shape1", "", { 166, 0, 203, 477 }, "", 0 },
        { "Image1", "", { 20, 407, 125, 70 }, "", 0 },
    };
    for (const auto &[name, caption, geometry, family, pointSize] : controls) {
        auto *control = window.findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->parentWidget(), window.centralWidget());
        QCOMPARE(control->geometry(), geometry);
        if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), caption);
        if (!family.isEmpty()) {
            QCOMPARE(control->font().family(), family);
            QCOMPARE(control->font().pointSizeF(), pointSize);
        }
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessaly Lorimet Adapter"));
    QCOMPARE(window.centralWidget()->size(), QSize(368, 517));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!window.windowIcon().pixmap(16, 16).isNull());
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    auto *shape = window.findChild<QFrame *>(QStringLiteral("Shape1"));
    QVERIFY(shape->autoFillBackground());
    QCOMPARE(shape->palette().color(QPalette::Window), QColor(128, 128, 128));
    const QList<QAction *> menu = window.menuBar()->actions();
    QCOMPARE(menu.size(), 1);
    QCOMPARE(menu.at(0)->objectName(), QStringLiteral("mnuHelpAbout"));
    QCOMPARE(menu.at(0)->text(), QStringLiteral("&About"));
    QVERIFY(!menu.at(0)->menu());

    const QRect screen = window.screen()->geometry();
    const QRect frame = window.frameGeometry();
    QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height()) / 3);

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
    QTest::newRow("error character alone on a line")
        << QStringList() << QStringList { "a", QString(QChar(0x7F)) } << QMessageBox::No << QStringList()
        << false;
    QTest::newRow("error kept with Yes") << QStringList() << QStringList { "Date:", WithError }
                                         << QMessageBox::Yes << QStringList { "Date:", WithError } << true;
    QTest::newRow("No removes exactly the new lines")
        << older << QStringList { "Date:", WithError, "Time:" } << QMessageBox::No << older << false;
    QTest::newRow("older error line asks again after an empty download")
        << olderError << QStringList() << QMessageBox::No << olderError << false;
    QTest::newRow("No keeps an older error line")
        << olderError << QStringList { "third" } << QMessageBox::No << olderError << false;
}

void tst_frmMain::download()
{
    QFETCH(QStringList, older);
    QFETCH(QStringList, report);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, kept);
    QFETCH(bool, tagged);
    m_ui->addLines(older);
    if (answer != QMessageBox::NoButton)
        m_ui->answerer.expectMessageBox(answer);
    if (tagged)
        m_ui->expectTagging();
    m_ui->download(report);

    QCOMPARE(m_ui->unanswered(), QStringList());
    const QList<MessageBoxRecord> &boxes = m_ui->answerer.messageBoxes();
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
    // The view has caught up with the display: the newest line is selected and in sight.
    ReportDisplay &view = m_ui->display();
    QCOMPARE(view.model()->rowCount(), kept.size());
    if (tagged) {
        QCOMPARE(view.currentIndex().row(), kept.size() - 1);
        QVERIFY(view.selectionModel()->isSelected(view.currentIndex()));
        QVERIFY(view.viewport()->rect().intersects(view.visualRect(view.currentIndex())));
    }
}

void tst_frmMain::displayCapIsReportedOncePerDownload()
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

    // A full display: one message for this download too, and nothing new to tag.
    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->download({ "more" });
    QCOMPARE(m_ui->unanswered(), QStringList());
    QCOMPARE(m_ui->answerer.messageBoxes().size(), 2);
    QVERIFY(m_ui->answerer.messageBoxes().at(1).text.startsWith(
        QStringLiteral("The display is full: 1 line of the report just downloaded was left out.\n\n")));
    QCOMPARE(m_ui->window.ReportStart(), qint16(32767));
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
    QCOMPARE(m_ui->progressCalls, 0);
    QCOMPARE(m_ui->display().Lines(), QStringList({ "kept" }));
    QCOMPARE(m_ui->window.ReportStart(), qint16(0));
    QCOMPARE(m_ui->window.ReportEnd(), qint16(0));
    QCOMPARE(m_ui->window.focusWidget(), &m_ui->display());

    m_ui->download({});
    QCOMPARE(m_ui->unanswered(), QStringList());
    QCOMPARE(m_ui->enabledCommandsInTransfer, QList<int>({ 0, 0 }));
    QCOMPARE(m_ui->window.findChildren<QPushButton *>().size(), 5);
    QCOMPARE(m_ui->enabledCommands(), 6);
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

QDialog *tst_frmMain::openAbout()
{
    m_ui->window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->trigger();
    auto *about = m_ui->window.findChild<QDialog *>(QStringLiteral("frmAbout"));
    if (!about || !QTest::qWaitForWindowExposed(about))
        return nullptr;
    // A window manager activates a new window; the offscreen platform leaves that to the test.
    about->activateWindow();
    return QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }) ? about : nullptr;
}

void tst_frmMain::aboutBox()
{
    QDialog *about = openAbout();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Lorimet Adapter"));
    QCOMPARE(about->size(), QSize(259, 85));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(!(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!about->isModal());
    auto *ok = about->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    auto *icon = about->findChild<QLabel *>(QStringLiteral("picIcon"));
    auto *title = about->findChild<QLabel *>(QStringLiteral("lblTitle"));
    auto *version = about->findChild<QLabel *>(QStringLiteral("lblVersion"));
    QCOMPARE(QStringList({ ok->text(), title->text(), version->text() }),
        QStringList({ "OK", "Lorimet Adapter", "Version 1.1.8" }));
    QCOMPARE(QList<QRect>({ ok->geometry(), icon->geometry(), title->geometry(), version->geometry() }),
        QList<QRect>({ { 170, 58, 84, 23 }, { 6, 8, 125, 70 }, { 136, 8, 117, 16 }, { 136, 30, 117, 15 } }));
    QCOMPARE(QStringList({ ok->font().family(), title->font().family(), version->font().family() }),
        QStringList({ "Arial", "Arial", "Arial" }));
    QCOMPARE(
        QList<qreal>({ ok->font().pointSizeF(), title->font().pointSizeF(), version->font().pointSizeF() }),
        QList<qreal>({ 8.25, 9, 9 }));
    QVERIFY(!icon->pixmap().isNull());
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);

    // Centred over the main window.
    QCOMPARE(about->frameGeometry().center().x(), m_ui->window.frameGeometry().center().x());
    QVERIFY(qAbs(about->frameGeometry().center().y() - m_ui->window.frameGeometry().center().y()) <= 1);
}

void tst_frmMain::aboutBoxCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close control") << "close";
    QTest::newRow("Exit closes the main window") << "Exit";
}

void tst_frmMain::aboutBoxCloses()
{
    QFETCH(QString, how);
    QPointer<QDialog> about = openAbout();
    QVERIFY(about);
    if (how == "OK")
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    else if (how == "Enter" || how == "Esc")
        QTest::keyClick(QApplication::focusWidget(), how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    else if (how == "close")
        about->close();
    else
        m_ui->click(QStringLiteral("cmdExit"));
    // Closing unloads it, so the next showing starts fresh.
    QTRY_VERIFY(about.isNull());
    QCOMPARE(m_ui->window.isVisible(), how != "Exit");
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
