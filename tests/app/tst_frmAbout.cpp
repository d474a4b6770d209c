#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "DialogAnswerer.h"
#include "FakeCommandDialogs.h"
#include "frmMain.h"

class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contents();
    void centredOverMainWindowAndNotModal();
    void closes_data();
    void closes();
    void eachShowingStartsFresh();

private:
    QDialog *openAbout();

    FakeCommandDialogs m_dialogs;
    std::unique_ptr<frmMain> m_window;
};

void tst_frmAbout::init()
{
    m_window = std::make_unique<frmMain>(m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_frmAbout::cleanup()
{
    m_window.reset();
}

QDialog *tst_frmAbout::openAbout()
{
    m_window->findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->trigger();
    auto *about = m_window->findChild<QDialog *>(QStringLiteral("frmAbout"));
    if (!about || !QTest::qWaitForWindowExposed(about))
        return nullptr;
    // A window manager activates a new window; the offscreen platform leaves that to the test.
    about->activateWindow();
    if (!QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }))
        return nullptr;
    return about;
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

    auto *title = about->findChild<QLabel *>(QStringLiteral("lblTitle"));
    auto *version = about->findChild<QLabel *>(QStringLiteral("lblVersion"));
    auto *icon = about->findChild<QLabel *>(QStringLiteral("picIcon"));
    auto *ok = about->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QCOMPARE(title->text(), QStringLiteral("Lorimet Adapter"));
    QCOMPARE(version->text(), QStringLiteral("Version 1.1.8"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);
    QVERIFY(!icon->pixmap().isNull());

    QCOMPARE(ok->geometry(), QRect(170, 58, 84, 23));
    QCOMPARE(icon->geometry(), QRect(6, 8, 125, 70));
    QCOMPARE(title->geometry(), QRect(136, 8, 117, 16));
    QCOMPARE(version->geometry(), QRect(136, 30, 117, 15));
    QCOMPARE(ok->font().pointSizeF(), 8.25);
    QCOMPARE(title->font().pointSizeF(), 9.0);
    QCOMPARE(version->font().pointSizeF(), 9.0);
    QCOMPARE(version->font().family(), QStringLiteral("Arial"));
}

void tst_frmAbout::centredOverMainWindowAndNotModal()
{
    QDialog *about = openAbout();
    QVERIFY(about);
    QVERIFY(!about->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(about->frameGeometry().center().x() - m_window->frameGeometry().center().x(), 0);
    QVERIFY(qAbs(about->frameGeometry().center().y() - m_window->frameGeometry().center().y()) <= 1);

    // The main window stays usable: Save answers while the about box is open.
    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QCOMPARE(answerer.messageBoxes().size(), 1);
    QVERIFY(about->isVisible());
}

void tst_frmAbout::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close control") << "close";
}

void tst_frmAbout::closes()
{
    QFETCH(QString, how);
    QPointer<QDialog> about = openAbout();
    QVERIFY(about);
    if (how == "OK")
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    else if (how == "Enter")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else if (how == "Esc")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else
        about->close();
    // Closing unloads it.
    QTRY_VERIFY(about.isNull());
    QVERIFY(m_window->isVisible());
}

void tst_frmAbout::eachShowingStartsFresh()
{
    QPointer<QDialog> first = openAbout();
    QVERIFY(first);
    first->close();
    QTRY_VERIFY(first.isNull());
    QPointer<QDialog> second = openAbout();
    QVERIFY(second);
    QCOMPARE(m_window->findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
