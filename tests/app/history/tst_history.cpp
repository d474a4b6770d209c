#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "app/history/AlarmChartView.h"
#include "app/history/frmHistory.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestFiles.h"

namespace {

const QString TwoReports = QStringLiteral(LORIMET_TEST_DATA_DIR "/export/two_reports.txt");

struct RecordingActions : HistoryActions
{
    void putOnDisplay(const QStringList &lines) override { displayed += lines; }
    void save(QWidget *, const QStringList &lines) override { saved += lines; }
    QStringList displayed;
    QStringList saved;
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void importFilterExportPutBackAndDelete();
};

void TestHistory::importFilterExportPutBackAndDelete()
{
    QTemporaryDir folder;
    RecordingActions actions;
    frmHistory history(folder.filePath("a.sqlite"), actions);
    const QString csv = folder.filePath("out.csv");
    history.setChoosers(
        [](QWidget *) { return QStringList { TwoReports }; }, [&csv](QWidget *) { return csv; });
    history.show();
    const auto click = [&history](const char *name) {
        QTest::mouseClick(history.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    };
    auto *downloads = history.findChild<QTableView *>("tblDownloads");
    DialogAnswerer answerer;

    answerer.expectMessageBox(QMessageBox::Ok);
    QTRY_VERIFY(history.isIdle());
    click("cmdImport");
    QCOMPARE(answerer.messageBoxes().last().text, "2 reports added, 0 already in the archive, 0 unreadable.");
    QTRY_COMPARE(downloads->model()->rowCount(), 2);

    // The fleet on 2026-12-20, where a detector needs a download every 14 days: the one downloaded 15 days
    // before needs attention, in words and in colour; choosing the other and pressing Enter shows its alarm.
    history.setDetectorThresholds({ 60, 14 }, QDate(2026, 12, 20));
    auto *tabs = history.findChild<QTabWidget *>("tabViews");
    tabs->setCurrentIndex(2);
    auto *detectors = history.findChild<QTableView *>("tblDetectors");
    QTRY_COMPARE(detectors->model()->rowCount(), 2);
    const auto cellOf = [detectors](int row, int column) { return detectors->model()->index(row, column); };
    QCOMPARE(cellOf(0, 10).data().toString(), "not-downloaded");
    QVERIFY(cellOf(0, 10).data(Qt::BackgroundRole).value<QBrush>().color().isValid());
    detectors->sortByColumn(7, Qt::DescendingOrder);
    QCOMPARE(cellOf(0, 0).data().toString(), "00012345"); // 2 alarm events, before 1
    history.findChild<QCheckBox *>("chkAttention")->setChecked(true);
    QCOMPARE(detectors->model()->rowCount(), 1);
    history.findChild<QCheckBox *>("chkAttention")->setChecked(false);
    detectors->setFocus();
    detectors->setCurrentIndex(cellOf(1, 0));
    QTest::keyClick(detectors, Qt::Key_Return);
    QCOMPARE(tabs->currentIndex(), 1);
    QTRY_COMPARE(history.findChild<AlarmChartView *>("chartAlarms")->markCount(), 1);
    tabs->setCurrentIndex(0);

    QTest::keyClicks(history.findChild<QLineEdit *>("txtSerial"), "A12-345");
    QTRY_COMPARE(downloads->model()->rowCount(), 1);
    QTRY_VERIFY(history.isIdle());
    answerer.expectMessageBox(QMessageBox::Ok);
    click("cmdPutOnDisplay");
    QCOMPARE(answerer.messageBoxes().last().text, "Select one or more downloads first.");
    downloads->selectRow(0);
    // Its detector's one alarm, charted with its start, peak and duration in the mark's tooltip.
    auto *chart = history.findChild<AlarmChartView *>("chartAlarms");
    history.findChild<QTabWidget *>("tabViews")->setCurrentIndex(1);
    QTRY_COMPARE(chart->markCount(), 1);
    QHelpEvent tip(QEvent::ToolTip, chart->markPosition(0), chart->mapToGlobal(chart->markPosition(0)));
    QApplication::sendEvent(chart, &tip);
    QTRY_COMPARE(QToolTip::text(), "Began 2026-12-06 06:25\nPeak 40 ppm H2S\nDuration 3 mins");

    answerer.expectMessageBox(QMessageBox::Ok);
    click("cmdExportCsv");
    const QList<QByteArray> rows = readBytes(csv).split('\n');
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows.at(1).startsWith("06-Dec-2026,09:30 AM,A12-345,"), rows.at(1).constData());
    click("cmdPutOnDisplay");
    click("cmdSave");
    // The second report of the file: from its banner, line 29, to the file's end.
    const QStringList second = QString::fromLatin1(readBytes(TwoReports)).split("\r\n").mid(28, 19);
    QCOMPARE(actions.displayed, second);
    QCOMPARE(actions.saved, second);

    // Deleting asks first; No keeps the download.
    answerer.expectMessageBox(QMessageBox::No);
    click("cmdDelete");
    QCOMPARE(downloads->model()->rowCount(), 1);
    answerer.expectMessageBox(QMessageBox::Yes);
    click("cmdDelete");
    QCOMPARE(answerer.messageBoxes().last().text, "Delete the selected download from the archive?");
    QTRY_COMPARE(downloads->model()->rowCount(), 0);
    ReportArchive archive;
    QString error;
    QVERIFY(archive.open(folder.filePath("a.sqlite"), ReportArchive::Access::ReadOnly, &error));
    QCOMPARE(archive.totals(&error)->downloads, 1);
    QCOMPARE(answerer.unanswered(), QStringList());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
