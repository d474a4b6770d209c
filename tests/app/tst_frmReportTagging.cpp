#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <memory>

#include "MainWindowHarness.h"
#include "ReportTags.h"

namespace {

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

const QStringList TagLines { "Date:", "Time:", "Serial #:", "User:" };

} // namespace

class tst_frmReportTagging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_ui.reset(); }
    void controls_data();
    void controls();
    void windowPlacementAndTabOrder();
    void proposesDateAndTime();
    void serialNumber_data();
    void serialNumber();
    void borderAndSelectionFollowTheFocus();
    void okWritesTags_data();
    void okWritesTags();
    void cancelChangesNothing_data();
    void cancelChangesNothing();

private:
    // Downloads lines after the display's current ones and hands the tagging dialog to handle, which
    // closes it.
    void download(const QStringList &lines, const std::function<void(QDialog *)> &handle);

    std::unique_ptr<MainWindowHarness> m_ui;
};

void tst_frmReportTagging::init()
{
    m_ui = std::make_unique<MainWindowHarness>();
    QVERIFY(m_ui->show());
}

void tst_frmReportTagging::download(const QStringList &lines, const std::function<void(QDialog *)> &handle)
{
    m_ui->expectTagging(handle);
    m_ui->download(lines);
    QCOMPARE(m_ui->taggingShown, 1);
    QCOMPARE(m_ui->unanswered(), QStringList());
    QVERIFY(!m_ui->window.findChild<QDialog *>(QStringLiteral("frmReportTagging")));
}

void tst_frmReportTagging::controls_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("inFrame");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("typingLimit"); // 0: not a field
    QTest::newRow("fraMain") << "Report Tagging" << QRect(8, 6, 235, 105) << false << true << 0;
    QTest::newRow("Label6") << "Date:" << QRect(10, 22, 41, 13) << true << false << 0;
    QTest::newRow("Label9") << "Time:" << QRect(10, 40, 41, 13) << true << false << 0;
    QTest::newRow("Label8") << "Serial #:" << QRect(10, 58, 41, 13) << true << false << 0;
    QTest::newRow("Label7") << "User:" << QRect(10, 76, 41, 13) << true << false << 0;
    QTest::newRow("txtDate") << "" << QRect(58, 22, 165, 15) << true << false << 18;
    QTest::newRow("txtTime") << "" << QRect(58, 40, 165, 15) << true << false << 18;
    QTest::newRow("txtSerialNo") << "" << QRect(58, 58, 165, 15) << true << false << 14;
    QTest::newRow("txtUser") << "" << QRect(58, 76, 165, 15) << true << false << 18;
    QTest::newRow("cmdOK") << "&OK" << QRect(68, 120, 85, 27) << false << false << 0;
    QTest::newRow("cmdCancel") << "&Cancel" << QRect(160, 120, 85, 27) << false << false << 0;
}

void tst_frmReportTagging::controls()
{
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(bool, inFrame);
    QFETCH(bool, bold);
    QFETCH(int, typingLimit);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    download({ "Date:" }, [&](QDialog *dialog) {
        auto *control = dialog->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->parentWidget()->objectName(), inFrame ? "fraMain" : dialog->objectName());
        QCOMPARE(control->font().family(), QStringLiteral("Arial"));
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QCOMPARE(control->font().bold(), bold);
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(label->text(), text);
        if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), text);
        if (auto *frame = qobject_cast<QGroupBox *>(control))
            QCOMPARE(frame->title(), text);
        if (!name.startsWith(QLatin1String("cmd"))) {
            QCOMPARE(control->palette().color(QPalette::WindowText), QColor(64, 64, 64));
            QCOMPARE(control->palette().color(QPalette::Text), QColor(64, 64, 64));
        }
        if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::white));
            // The limit holds for typing, and a selection can still be typed over at the limit.
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
            QCOMPARE(edit->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ").left(typingLimit));
            edit->setSelection(0, 1);
            QTest::keyClicks(edit, QStringLiteral("z"));
            QCOMPARE(edit->text(), u'z' + QStringLiteral("BCDEFGHIJKLMNOPQRSTUVWXYZ").left(typingLimit - 1));
        }
        dialog->reject();
    });
}

void tst_frmReportTagging::windowPlacementAndTabOrder()
{
    download({ "Date:" }, [](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Report Tagging"));
        QCOMPARE(dialog->size(), QSize(251, 154));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(dialog->isModal());
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->isDefault());
        const QRect screen = dialog->screen()->geometry();
        const QRect frame = dialog->frameGeometry();
        QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height()) / 3);

        QStringList order;
        for (int step = 0; step < 7; ++step) {
            order.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order,
            QStringList(
                { "txtSerialNo", "txtUser", "cmdOK", "cmdCancel", "txtDate", "txtTime", "txtSerialNo" }));
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
}

void tst_frmReportTagging::serialNumber_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QString>("serial"); // empty: none found, the field is for the user
    QTest::addColumn<QStringList>("written");
    QTest::newRow("in the new report")
        << QStringList() << QStringList { "Head", "   S/N: 12345    ", "Serial #:" } << "12345"
        << QStringList { "Head", "   S/N: 12345    ", "Serial #: 12345" };
    QTest::newRow("none") << QStringList() << QStringList { "Serial #:", "User:" } << ""
                          << QStringList { "Serial #:", "User:" };
    QTest::newRow("only in the earlier report")
        << QStringList { "   S/N: 99999" } << QStringList { "Serial #:", "s/n: 4" } << ""
        << QStringList { "   S/N: 99999", "Serial #:", "s/n: 4" };
    QTest::newRow("long: shown whole, written cut")
        << QStringList() << QStringList { "S/N: 1234567890ABCDEFG", "Serial #:" } << "1234567890ABCDEFG"
        << QStringList { "S/N: 1234567890ABCDEFG", "Serial #: 1234567890ABCD" };
}

void tst_frmReportTagging::serialNumber()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, report);
    QFETCH(QString, serial);
    QFETCH(QStringList, written);
    m_ui->addLines(earlier);
    const bool found = !serial.isEmpty();
    download(report, [&](QDialog *dialog) {
        QLineEdit *serialNo = field(dialog, "txtSerialNo");
        QLineEdit *user = field(dialog, "txtUser");
        QCOMPARE(serialNo->text(), serial);
        QCOMPARE(serialNo->isReadOnly(), found);
        QCOMPARE(
            serialNo->palette().color(QPalette::Base), found ? QColor(224, 224, 224) : QColor(Qt::white));
        QCOMPARE(serialNo->cursor().shape(), found ? Qt::ArrowCursor : Qt::IBeamCursor);
        QCOMPARE(QApplication::focusWidget(), found ? user : serialNo);
        // Tabbing onto a read-only serial field lands on the user field.
        field(dialog, "txtTime")->setFocus();
        QTest::keyClick(field(dialog, "txtTime"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), found ? user : serialNo);
        QCOMPARE(serialNo->hasFrame(), !found);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QCOMPARE(m_ui->display().Lines(), written);
}

void tst_frmReportTagging::borderAndSelectionFollowTheFocus()
{
    download({ "Date:" }, [](QDialog *dialog) {
        QLineEdit *serial = field(dialog, "txtSerialNo");
        QLineEdit *user = field(dialog, "txtUser");
        QLineEdit *date = field(dialog, "txtDate");
        QVERIFY(serial->hasFrame());
        QVERIFY(!user->hasFrame());
        QTest::keyClick(serial, Qt::Key_Tab);
        QVERIFY(!serial->hasFrame());
        QVERIFY(user->hasFrame());

        // Entered by mouse, the date is selected whole, so typing replaces it.
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

void tst_frmReportTagging::okWritesTags_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QString>("serial"); // typed into the serial field
    QTest::addColumn<bool>("enter"); // Enter instead of a click on OK
    QTest::addColumn<QStringList>("written"); // with the proposed <date> and <time>
    QTest::newRow("only the new report")
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1" }
        << QStringList { "  S/N: 777 ", "Date:", "Time:  9:00 AM", "Serial #:", "User:", "Peak: 5", "Date:" }
        << "" << false
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1", "  S/N: 777 ", "Date: <date>",
               "Time: <time>", "Serial #: 777", "User: Ann", "Peak: 5", "Date: <date>" };
    QTest::newRow("Enter; a spaces-only field leaves its line as sent")
        << QStringList() << QStringList { "Date:", "Time:", "Serial #: as sent", "User:" } << "   " << true
        << QStringList { "Date: <date>", "Time: <time>", "Serial #: as sent", "User: Ann" };
}

void tst_frmReportTagging::okWritesTags()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, report);
    QFETCH(QString, serial);
    QFETCH(bool, enter);
    QFETCH(QStringList, written);
    m_ui->addLines(earlier);
    QString date;
    QString time;
    download(report, [&](QDialog *dialog) {
        date = field(dialog, "txtDate")->text();
        time = field(dialog, "txtTime")->text();
        QTest::keyClicks(field(dialog, "txtSerialNo"), serial);
        QLineEdit *user = field(dialog, "txtUser");
        user->setFocus();
        QTest::keyClicks(user, QStringLiteral("Ann"));
        if (enter)
            QTest::keyClick(user, Qt::Key_Return);
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    for (QString &line : written)
        line.replace(QLatin1String("<date>"), date).replace(QLatin1String("<time>"), time);
    QCOMPARE(m_ui->display().Lines(), written);
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
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        else if (how == "close")
            dialog->close();
        else
            QTest::keyClick(user, how == "Esc" ? Qt::Key_Escape : Qt::Key_C,
                how == "Esc" ? Qt::NoModifier : Qt::AltModifier);
        QTRY_VERIFY(!dialog->isVisible());
    });
    QCOMPARE(m_ui->display().Lines(), TagLines);
}

QTEST_MAIN(tst_frmReportTagging)
#include "tst_frmReportTagging.moc"
