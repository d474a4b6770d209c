#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <functional>
#include <memory>

#include "DialogAnswerer.h"
#include "FakeCommandDialogs.h"
#include "ReportDisplay.h"
#include "ReportTags.h"
#include "frmMain.h"

namespace {

using Inspection = std::function<void(QDialog *dialog)>;

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

void clickButton(QWidget *dialog, const char *name)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

const QStringList TagLines { "Date:", "Time:", "Serial #:", "User:" };

} // namespace

class tst_frmReportTagging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void windowAndPlacement();
    void proposesDateAndTime();
    void serialFromReportIsReadOnlyAndFocusLandsOnUser();
    void withoutSerialTheFocusLandsOnSerialField();
    void serialOfEarlierReportIsIgnored();
    void borderAndSelectionFollowTheFocus();
    void typingLimits_data();
    void typingLimits();
    void okWritesTagsOnlyIntoTheNewReport();
    void longSerialFromReportIsShownWholeAndWrittenCut();
    void spacesOnlyFieldLeavesLineAsSent();
    void enterIsOk();
    void cancelChangesNothing_data();
    void cancelChangesNothing();

private:
    // Downloads lines after the display's current ones and hands the tagging dialog to inspect, which
    // must close it.
    void download(const QStringList &lines, const Inspection &inspect);

    FakeCommandDialogs m_dialogs;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<DialogAnswerer> m_answerer;
};

void tst_frmReportTagging::init()
{
    m_dialogs = FakeCommandDialogs();
    m_window = std::make_unique<frmMain>(m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_answerer = std::make_unique<DialogAnswerer>();
}

void tst_frmReportTagging::cleanup()
{
    m_answerer.reset();
    m_window.reset();
}

void tst_frmReportTagging::download(const QStringList &lines, const Inspection &inspect)
{
    m_dialogs.downloadLines = lines;
    bool inspected = false;
    m_answerer->expectDialog([&](QWidget *widget) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("frmReportTagging"));
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        inspected = true;
        inspect(dialog);
    });
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdDownload")), Qt::LeftButton);
    QVERIFY(inspected);
    QCOMPARE(m_answerer->unexpected(), QStringList());
    QVERIFY(!m_window->findChild<QDialog *>(QStringLiteral("frmReportTagging")));
}

void tst_frmReportTagging::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("inFrame");
    QTest::addColumn<bool>("bold");

    QTest::newRow("fraMain") << "fraMain"
                             << "Report Tagging" << QRect(8, 6, 235, 105) << false << true;
    QTest::newRow("Label6") << "Label6"
                            << "Date:" << QRect(10, 22, 41, 13) << true << false;
    QTest::newRow("Label9") << "Label9"
                            << "Time:" << QRect(10, 40, 41, 13) << true << false;
    QTest::newRow("Label8") << "Label8"
                            << "Serial #:" << QRect(10, 58, 41, 13) << true << false;
    QTest::newRow("Label7") << "Label7"
                            << "User:" << QRect(10, 76, 41, 13) << true << false;
    QTest::newRow("txtDate") << "txtDate"
                             << "" << QRect(58, 22, 165, 15) << true << false;
    QTest::newRow("txtTime") << "txtTime"
                             << "" << QRect(58, 40, 165, 15) << true << false;
    QTest::newRow("txtSerialNo") << "txtSerialNo"
                                 << "" << QRect(58, 58, 165, 15) << true << false;
    QTest::newRow("txtUser") << "txtUser"
                             << "" << QRect(58, 76, 165, 15) << true << false;
    QTest::newRow("cmdOK") << "cmdOK"
                           << "&OK" << QRect(68, 120, 85, 27) << false << false;
    QTest::newRow("cmdCancel") << "cmdCancel"
                               << "&Cancel" << QRect(160, 120, 85, 27) << false << false;
}

void tst_frmReportTagging::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(bool, inFrame);
    QFETCH(bool, bold);

    download({ "Date:" }, [&](QDialog *dialog) {
        auto *control = dialog->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->parentWidget()->objectName(),
            inFrame ? QStringLiteral("fraMain") : dialog->objectName());
        QCOMPARE(control->font().family(), QStringLiteral("Arial"));
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QCOMPARE(control->font().bold(), bold);
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), text);
        if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), text);
        if (auto *frame = qobject_cast<QGroupBox *>(control))
            QCOMPARE(frame->title(), text);
        if (name != "cmdOK" && name != "cmdCancel") {
            QCOMPARE(control->palette().color(QPalette::WindowText), QColor(64, 64, 64));
            QCOMPARE(control->palette().color(QPalette::Text), QColor(64, 64, 64));
        }
        if (name.startsWith("txt"))
            QCOMPARE(control->palette().color(QPalette::Base), QColor(Qt::white));
        dialog->reject();
    });
}

void tst_frmReportTagging::windowAndPlacement()
{
    download({ "Date:" }, [](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Report Tagging"));
        QCOMPARE(dialog->size(), QSize(251, 154));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(dialog->isModal());
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->isDefault());

        const QRect screen = dialog->screen()->geometry();
        const QRect frame = dialog->frameGeometry();
        QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height()) / 3);
        dialog->reject();
    });
}

void tst_frmReportTagging::proposesDateAndTime()
{
    const QDateTime before = QDateTime::currentDateTime();
    QString date;
    QString time;
    download({ "Date:" }, [&](QDialog *dialog) {
        date = field(dialog, "txtDate")->text();
        time = field(dialog, "txtTime")->text();
        dialog->reject();
    });
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY2(date == ReportTags::formatDate(before.date()) || date == ReportTags::formatDate(after.date()),
        qPrintable(date));
    QVERIFY2(time == ReportTags::formatTime(before.time()) || time == ReportTags::formatTime(after.time()),
        qPrintable(time));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d-[A-Z][a-z]{2}-\\d{4}$")).match(date).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^(1[0-2]|[1-9]):[0-5]\\d (AM|PM)$")).match(time).hasMatch());
}

void tst_frmReportTagging::serialFromReportIsReadOnlyAndFocusLandsOnUser()
{
    download({ "Header", "   S/N: 12345    ", "Serial #:" }, [](QDialog *dialog) {
        QLineEdit *serial = field(dialog, "txtSerialNo");
        QCOMPARE(serial->text(), QStringLiteral("12345"));
        QVERIFY(serial->isReadOnly());
        QCOMPARE(serial->palette().color(QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(serial->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QApplication::focusWidget(), field(dialog, "txtUser"));
        QVERIFY(!serial->hasFrame());

        // Tabbing back onto the serial field lands on the user field again.
        field(dialog, "txtTime")->setFocus();
        QTest::keyClick(field(dialog, "txtTime"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), field(dialog, "txtUser"));
        dialog->reject();
    });
}

void tst_frmReportTagging::withoutSerialTheFocusLandsOnSerialField()
{
    download({ "Serial #:", "User:" }, [](QDialog *dialog) {
        QLineEdit *serial = field(dialog, "txtSerialNo");
        QCOMPARE(serial->text(), QString());
        QVERIFY(!serial->isReadOnly());
        QCOMPARE(serial->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(serial->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(QApplication::focusWidget(), serial);
        QCOMPARE(field(dialog, "txtUser")->text(), QString());
        dialog->reject();
    });
}

void tst_frmReportTagging::serialOfEarlierReportIsIgnored()
{
    m_window->lstOutput().AddItem(QStringLiteral("   S/N: 99999"));
    download({ "Serial #:", "s/n: 4" }, [](QDialog *dialog) {
        QCOMPARE(field(dialog, "txtSerialNo")->text(), QString());
        QVERIFY(!field(dialog, "txtSerialNo")->isReadOnly());
        dialog->reject();
    });
}

void tst_frmReportTagging::borderAndSelectionFollowTheFocus()
{
    download({ "Date:" }, [](QDialog *dialog) {
        QLineEdit *serial = field(dialog, "txtSerialNo");
        QLineEdit *user = field(dialog, "txtUser");
        QLineEdit *date = field(dialog, "txtDate");
        QVERIFY(serial->hasFrame());
        QVERIFY(!user->hasFrame());
        QVERIFY(!date->hasFrame());

        QTest::keyClick(serial, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), user);
        QVERIFY(!serial->hasFrame());
        QVERIFY(user->hasFrame());

        // The date is selected whole when the field is entered by mouse, so typing replaces it.
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), date);
        QVERIFY(date->hasFrame());
        QVERIFY(!user->hasFrame());
        QTRY_COMPARE(date->selectedText(), date->text());
        QTest::keyClicks(date, QStringLiteral("1-Jan-2000"));
        QCOMPARE(date->text(), QStringLiteral("1-Jan-2000"));
        dialog->reject();
    });
}

void tst_frmReportTagging::typingLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    QTest::newRow("txtDate") << "txtDate" << 18;
    QTest::newRow("txtTime") << "txtTime" << 18;
    QTest::newRow("txtSerialNo") << "txtSerialNo" << 14;
    QTest::newRow("txtUser") << "txtUser" << 18;
}

void tst_frmReportTagging::typingLimits()
{
    QFETCH(QString, name);
    QFETCH(int, limit);
    download({ "Date:" }, [&](QDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
        QCOMPARE(edit->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ").left(limit));
        // At the limit, replacing a selection still works.
        edit->setSelection(0, 1);
        QTest::keyClicks(edit, QStringLiteral("z"));
        QCOMPARE(edit->text().size(), limit);
        QVERIFY(edit->text().startsWith(u'z'));
        dialog->reject();
    });
}

void tst_frmReportTagging::okWritesTagsOnlyIntoTheNewReport()
{
    const QStringList earlier { "Date: 01-Jan-2000", "User: Old", "S/N: 1" };
    for (const QString &line : earlier)
        m_window->lstOutput().AddItem(line);
    QString date;
    QString time;
    download({ "  S/N: 777 ", "Date:", "Time:  9:00 AM", "Serial #:", "User:", "Peak: 5", "Date:" },
        [&](QDialog *dialog) {
            date = field(dialog, "txtDate")->text();
            time = field(dialog, "txtTime")->text();
            QTest::keyClicks(field(dialog, "txtUser"), QStringLiteral("Ann"));
            clickButton(dialog, "cmdOK");
        });
    const QStringList expected = earlier
        + QStringList { "  S/N: 777 ", "Date: " + date, "Time: " + time, "Serial #: 777", "User: Ann",
              "Peak: 5", "Date: " + date };
    QCOMPARE(m_window->lstOutput().Lines(), expected);
}

void tst_frmReportTagging::longSerialFromReportIsShownWholeAndWrittenCut()
{
    download({ "S/N: 1234567890ABCDEFG", "Serial #:" }, [](QDialog *dialog) {
        QCOMPARE(field(dialog, "txtSerialNo")->text(), QStringLiteral("1234567890ABCDEFG"));
        clickButton(dialog, "cmdOK");
    });
    QCOMPARE(m_window->lstOutput().List(1), QStringLiteral("Serial #: 1234567890ABCD"));
}

void tst_frmReportTagging::spacesOnlyFieldLeavesLineAsSent()
{
    download({ "User: as sent", "Serial #: as sent", "Date:" }, [](QDialog *dialog) {
        QTest::keyClicks(field(dialog, "txtUser"), QStringLiteral("   "));
        QTest::keyClicks(field(dialog, "txtSerialNo"), QStringLiteral(" "));
        QLineEdit *date = field(dialog, "txtDate");
        date->setFocus();
        QTest::keyClick(date, Qt::Key_Delete);
        QCOMPARE(date->text(), QString());
        clickButton(dialog, "cmdOK");
    });
    QCOMPARE(m_window->lstOutput().Lines(), QStringList({ "User: as sent", "Serial #: as sent", "Date:" }));
}

void tst_frmReportTagging::enterIsOk()
{
    download(TagLines, [](QDialog *dialog) {
        QLineEdit *user = field(dialog, "txtUser");
        user->setFocus();
        QTest::keyClicks(user, QStringLiteral("Bo"));
        QTest::keyClick(user, Qt::Key_Return);
    });
    QCOMPARE(m_window->lstOutput().List(3), QStringLiteral("User: Bo"));
}

void tst_frmReportTagging::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("Alt+C") << "Alt+C";
    QTest::newRow("close") << "close";
}

void tst_frmReportTagging::cancelChangesNothing()
{
    QFETCH(QString, how);
    download(TagLines, [&](QDialog *dialog) {
        QLineEdit *user = field(dialog, "txtUser");
        user->setFocus();
        QTest::keyClicks(user, QStringLiteral("Typed"));
        if (how == "Cancel")
            clickButton(dialog, "cmdCancel");
        else if (how == "Esc")
            QTest::keyClick(user, Qt::Key_Escape);
        else if (how == "Alt+C")
            QTest::keyClick(user, Qt::Key_C, Qt::AltModifier);
        else
            dialog->close();
        QTRY_VERIFY(!dialog->isVisible());
    });
    QCOMPARE(m_window->lstOutput().Lines(), TagLines);
}

QTEST_MAIN(tst_frmReportTagging)
#include "tst_frmReportTagging.moc"
