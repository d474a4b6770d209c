#include <QLabel>
#include <QTest>

#include <memory>

#include "MainWindowHarness.h"

class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_ui.reset(); }
    void contents();
    void centredOverMainWindowAndNotModal();
    void closes_data();
    void closes();

private:
    [[nodiscard]] QDialog *openAbout();

    std::unique_ptr<MainWindowHarness> m_ui;
};

void tst_frmAbout::init()
{
    m_ui = std::make_unique<MainWindowHarness>();
    QVERIFY(m_ui->show());
}

QDialog *tst_frmAbout::openAbout()
{
    m_ui->window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->trigger();
    auto *about = m_ui->window.findChild<QDialog *>(QStringLiteral("frmAbout"));
    if (!about || !QTest::qWaitForWindowExposed(about))
        return nullptr;
    // A window manager activates a new window; the offscreen platform leaves that to the test.
    about->activateWindow();
    return QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }) ? about : nullptr;
}

void tst_frmAbout::contents()
{
    QDialog *about = openAbout();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Lorimet Adapter"));
    QCOMPARE(about->size(), QSize(259, 85));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(!about->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!about->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("picIcon"))->pixmap().isNull());
    auto *ok = about->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);

    const struct
    {
        const char *name;
        const char *text;
        QRect geometry;
        qreal pointSize;
    } controls[] = {
        { "cmdOK", "OK", { 170, 58, 84, 23 }, 8.25 },
        { "lblTitle", "Lorimet Adapter", { 136, 8, 117, 16 }, 9 },
        { "lblVersion", "Version 1.1.8", { 136, 30, 117, 15 }, 9 },
        { "picIcon", "", { 6, 8, 125, 70 }, 0 },
    };
    for (const auto &expected : controls) {
        auto *control = about->findChild<QWidget *>(QString::fromLatin1(expected.name));
        QVERIFY2(control, expected.name);
        QCOMPARE(control->geometry(), expected.geometry);
        const auto *label = qobject_cast<QLabel *>(control);
        const auto *button = qobject_cast<QPushButton *>(control);
        QCOMPARE(label ? label->text() : button->text(), QString::fromUtf8(expected.text));
        if (expected.pointSize > 0) {
            QCOMPARE(control->font().family(), QStringLiteral("Arial"));
            QCOMPARE(control->font().pointSizeF(), expected.pointSize);
        }
    }
}

void tst_frmAbout::centredOverMainWindowAndNotModal()
{
    QDialog *about = openAbout();
    QVERIFY(about);
    QVERIFY(!about->isModal());
    QCOMPARE(about->frameGeometry().center().x(), m_ui->window.frameGeometry().center().x());
    QVERIFY(qAbs(about->frameGeometry().center().y() - m_ui->window.frameGeometry().center().y()) <= 1);

    // The main window stays usable: Save answers while the about box is open.
    m_ui->answerer.expectMessageBox(QMessageBox::Ok);
    m_ui->click(QStringLiteral("cmdSave"));
    QCOMPARE(m_ui->unanswered(), QStringList());
    QVERIFY(about->isVisible());
}

void tst_frmAbout::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close control") << "close";
    QTest::newRow("with the main window") << "main";
}

void tst_frmAbout::closes()
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
        m_ui->window.close();
    // Closing unloads it, so the next showing starts fresh.
    QTRY_VERIFY(about.isNull());
    QCOMPARE(m_ui->window.isVisible(), how != "main");
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
