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

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QString::fromLatin1(name));
}

const QStringList TagLines { "Date:", "Time:", "Serial #:", "User:" };

} // namespace

class tst_frmReportTagging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_ui.reset(); }
    void layout();
    void okWritesTagsIntoTheNewReport_data();
    void okWritesTagsIntoTheNewReport();
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
    QCOMPARE(m_ui->unanswered(), QStringList());
    QVERIFY(!m_ui->window.findChild<QDialog *>(QStringLiteral("frmReportTagging")));
}

void tst_frmReportTagging::layout()
{
    download({ "Date:" }, [](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Report Tagging"));
        QCOMPARE(dialog->size(), QSize(251, 154));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(dialog->isModal());
        QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(button(dialog, "cmdOK")->isDefault());
        const QRect screen = dialog->screen()->geometry();
        const QRect frame = dialog->frameGeometry();
        QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height()) / 3);

        // Name, text, geometry and typing limit (fields only) of each control.
        const QList<std::tuple<QString, QString, QRect, int>> controls {
            { "fraMain", "Report Tagging", { 8, 6, 235, 105 }, 0 },
            { "Label6", "Date:", { 10, 22, 41, 13 }, 0 },
            { "Label9", "Time:", { 10, 40, 41, 13 }, 0 },
            { "Label8", "Serial #:", { 10, 58, 41, 13 }, 0 },
            { "Label7", "User:", { 10, 76, 41, 13 }, 0 },
            { "txtDate", "", { 58, 22, 165, 15 }, 18 },
            { "txtTime", "", { 58, 40, 165, 15 }, 18 },
            { "txtSerialNo", "", { 58, 58, 165, 15 }, 14 },
            { "txtUser", "", { 58, 76, 165, 15 }, 18 },
            { "cmdOK", "&OK", { 68, 120, 85, 27 }, 0 },
            { "cmdCancel", "&Cancel", { 160, 120, 85, 27 }, 0 },
        };
        for (const auto &[name, text, geometry, typingLimit] : controls) {
            auto *control = dialog->findChild<QWidget *>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->geometry(), geometry);
            const bool onDialog = name == "fraMain" || name.startsWith("cmd");
            QCOMPARE(control->parentWidget()->objectName(), onDialog ? dialog->objectName() : "fraMain");
            QCOMPARE(control->font().family(), QStringLiteral("Arial"));
            QCOMPARE(control->font().pointSizeF(), 8.25);
            QCOMPARE(control->font().bold(), name == "fraMain");
            if (auto *label = qobject_cast<QLabel *>(control))
                QCOMPARE(label->text(), text);
            if (auto *button = qobject_cast<QPushButton *>(control))
                QCOMPARE(button->text(), text);
            if (auto *frame = qobject_cast<QGroupBox *>(control))
                QCOMPARE(frame->title(), text);
            if (!name.startsWith("cmd")) {
                QCOMPARE(control->palette().color(QPalette::WindowText), QColor(64, 64, 64));
                QCOMPARE(control->palette().color(QPalette::Text), QColor(64, 64, 64));
            }
            if (typingLimit > 0)
                QCOMPARE(control->palette().color(QPalette::Base), QColor(Qt::white));
        }

        // Only the field with the focus shows its border.
        const QList<QLineEdit *> fields = dialog->findChildren<QLineEdit *>();
        QStringList order;
        for (int step = 0; step < 7; ++step) {
            for (const QLineEdit *edit : fields)
                QCOMPARE(edit->hasFrame(), edit == QApplication::focusWidget());
            order.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order,
            QStringList(
                { "txtSerialNo", "txtUser", "cmdOK", "cmdCancel", "txtDate", "txtTime", "txtSerialNo" }));

        // Each limit holds for typing, and a selection can still be typed over at the limit.
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        for (const auto &[name, text, geometry, typingLimit] : controls) {
            if (auto *edit = qobject_cast<QLineEdit *>(dialog->findChild<QWidget *>(name))) {
                edit->setFocus();
                QTest::keyClicks(edit, alphabet);
                QCOMPARE(edit->text(), alphabet.left(typingLimit));
                edit->setSelection(0, 1);
                QTest::keyClicks(edit, QStringLiteral("z"));
                QCOMPARE(edit->text(), u'z' + alphabet.mid(1, typingLimit - 1));
            }
        }

        // Entered by mouse, the date is selected whole, so typing replaces it.
        QLineEdit *date = field(dialog, "txtDate");
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_COMPARE(date->selectedText(), date->text());
        QTest::keyClicks(date, QStringLiteral("1-Jan-2000"));
        QCOMPARE(date->text(), QStringLiteral("1-Jan-2000"));
        dialog->reject();
    });
}

void tst_frmReportTagging::okWritesTagsIntoTheNewReport_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QString>("serial"); // found in the report; none: the user types "   "
    QTest::addColumn<bool>("enter"); // Enter instead of a click on OK
    QTest::addColumn<QStringList>("written"); // with the proposed <date> and <time>, the user "Ann"
    QTest::newRow("serial from the new report only")
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1" }
        << QStringList { "  S/N: 777 ", "Date:", "Time:  9:00 AM", "Serial #:", "User:", "Peak: 5", "Date:" }
        << "777" << false
        << QStringList { "Date: 01-Jan-2000", "User: Old", "S/N: 1", "  S/N: 777 ", "Date: <date>",
               "Time: <time>", "Serial #: 777", "User: Ann", "Peak: 5", "Date: <date>" };
    QTest::newRow("no serial, a spaces-only field leaves its line, Enter")
        << QStringList() << QStringList { "Date:", "Time:", "Serial #: as sent", "User:" } << "" << true
        << QStringList { "Date: <date>", "Time: <time>", "Serial #: as sent", "User: Ann" };
    QTest::newRow("long serial shown whole, written cut")
        << QStringList() << QStringList { "S/N: 1234567890ABCDEFG", "Serial #:" } << "1234567890ABCDEFG"
        << false << QStringList { "S/N: 1234567890ABCDEFG", "Serial #: 1234567890ABCD" };
}

void tst_frmReportTagging::okWritesTagsIntoTheNewReport()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, report);
    QFETCH(QString, serial);
    QFETCH(bool, enter);
    QFETCH(QStringList, written);
    m_ui->addLines(earlier);
    const bool found = !serial.isEmpty();
    const QDateTime before = QDateTime::currentDateTime();
    QString date;
    QString time;
    download(report, [&](QDialog *dialog) {
        date = field(dialog, "txtDate")->text();
        time = field(dialog, "txtTime")->text();
        QLineEdit *serialNo = field(dialog, "txtSerialNo");
        QLineEdit *user = field(dialog, "txtUser");
        QCOMPARE(serialNo->text(), serial);
        QCOMPARE(serialNo->isReadOnly(), found);
        QCOMPARE(
            serialNo->palette().color(QPalette::Base), found ? QColor(224, 224, 224) : QColor(Qt::white));
        QCOMPARE(serialNo->cursor().shape(), found ? Qt::ArrowCursor : Qt::IBeamCursor);
        QTRY_COMPARE(QApplication::focusWidget(), found ? user : serialNo);
        // Tabbing onto a read-only serial field lands on the user field.
        field(dialog, "txtTime")->setFocus();
        QTest::keyClick(field(dialog, "txtTime"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), found ? user : serialNo);
        QCOMPARE(serialNo->hasFrame(), !found);

        QTest::keyClicks(serialNo, found ? QString() : QStringLiteral("   "));
        QTest::keyClicks(user, QStringLiteral("Ann"));
        if (enter)
            QTest::keyClick(user, Qt::Key_Return);
        else
            QTest::mouseClick(button(dialog, "cmdOK"), Qt::LeftButton);
    });
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(date == ReportTags::formatDate(before.date()) || date == ReportTags::formatDate(after.date()));
    QVERIFY(time == ReportTags::formatTime(before.time()) || time == ReportTags::formatTime(after.time()));
    for (QString &line : written)
        line.replace(QLatin1String("<date>"), date).replace(QLatin1String("<time>"), time);
    QCOMPARE(m_ui->display().Lines(), written);
}

void tst_frmReportTagging::cancelChangesNothing()
{
    for (const QString how : { "Cancel", "Esc", "Alt+C", "close" }) {
        m_ui->display().Clear();
        download(TagLines, [&](QDialog *dialog) {
            QLineEdit *user = field(dialog, "txtUser");
            user->setFocus();
            QTest::keyClicks(user, QStringLiteral("Typed"));
            if (how == "Cancel")
                QTest::mouseClick(button(dialog, "cmdCancel"), Qt::LeftButton);
            else if (how == "close")
                dialog->close();
            else
                QTest::keyClick(user, how == "Esc" ? Qt::Key_Escape : Qt::Key_C,
                    how == "Esc" ? Qt::NoModifier : Qt::AltModifier);
            QTRY_VERIFY(!dialog->isVisible());
        });
        QVERIFY2(m_ui->display().Lines() == TagLines, qPrintable(how));
    }
}

QTEST_MAIN(tst_frmReportTagging)
#include "tst_frmReportTagging.moc"
