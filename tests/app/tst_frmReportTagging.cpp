#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "app/ReportTags.h"
#include "tests/app/MainWindowHarness.h"

namespace {

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

} // namespace

class tst_frmReportTagging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_ui.reset(); }
    void okWritesTagsIntoTheNewReport_data();
    void okWritesTagsIntoTheNewReport();
    void cancelChangesNothing_data();
    void cancelChangesNothing();

private:
    // Downloads lines and hands the tagging dialog to handle, which closes it.
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

void tst_frmReportTagging::okWritesTagsIntoTheNewReport_data()
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

void tst_frmReportTagging::okWritesTagsIntoTheNewReport()
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
    download(report, [&](QDialog *dialog) {
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

        QTest::keyClicks(serialNo, found ? QString() : QStringLiteral("   "));
        QTest::keyClicks(user, QStringLiteral("Ann"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(date == ReportTags::formatDate(before.date()) || date == ReportTags::formatDate(after.date()));
    QVERIFY(time == ReportTags::formatTime(before.time()) || time == ReportTags::formatTime(after.time()));
    for (QString &line : written)
        line.replace(QLatin1String("<date>"), date).replace(QLatin1String("<time>"), time);
    QCOMPARE(m_ui->display().Lines(), written);
}

void tst_frmReportTagging::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close control") << "close";
}

void tst_frmReportTagging::cancelChangesNothing()
{
    QFETCH(QString, way);
    const QStringList report { "Date:", "Time:", "Serial #:", "User:" };
    download(report, [&way](QDialog *dialog) {
        QTest::keyClicks(field(dialog, "txtUser"), QStringLiteral("Typed"));
        if (way == QLatin1String("Cancel"))
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        else if (way == QLatin1String("Esc"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
    });
    QCOMPARE(m_ui->display().Lines(), report);
}

QTEST_MAIN(tst_frmReportTagging)
#include "tst_frmReportTagging.moc"
