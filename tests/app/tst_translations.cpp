#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "app/history/frmHistory.h"
#include "app/mainwindow/DemoDialogs.h"
#include "app/mainwindow/frmAbout.h"
#include "app/mainwindow/frmMain.h"
#include "app/save/frmAppend.h"
#include "app/save/frmSave.h"
#include "app/transfer/frmProgress.h"
#include "common/Translations.h"
#include "tests/support/DialogAnswerer.h"

namespace {

// The texts of a window that do not fit their widgets: a button whose label runs past its frame, a label
// or check box smaller than its text, a group box narrower than its title.
QStringList cutOff(const QWidget *window)
{
    QStringList found;
    const auto check = [&found](const QWidget *widget, const QString &text, QSize needed) {
        if (needed.width() > widget->width() || needed.height() > widget->height())
            found.append(QStringLiteral("%1 \"%2\" needs %3 x %4 px, has %5 x %6")
                             .arg(widget->objectName(), text)
                             .arg(needed.width())
                             .arg(needed.height())
                             .arg(widget->width())
                             .arg(widget->height()));
    };
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window))
            continue;
        if (auto *button = qobject_cast<const QPushButton *>(widget)) {
            const QString text = QString(button->text()).remove(u'&');
            const QSize textSize = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
            check(button, text, textSize + QSize(8, 0));
        } else if (qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget)) {
            check(widget, static_cast<const QAbstractButton *>(widget)->text(), widget->sizeHint());
        } else if (auto *label = qobject_cast<const QLabel *>(widget)) {
            if (label->text().isEmpty() || !label->pixmap().isNull())
                continue;
            if (label->wordWrap())
                check(label, label->text(), { label->width(), label->heightForWidth(label->width()) });
            else
                check(label, label->text(), label->fontMetrics().size(0, label->text()));
        } else if (auto *group = qobject_cast<const QGroupBox *>(widget)) {
            check(group, group->title(), { group->fontMetrics().horizontalAdvance(group->title()) + 16, 0 });
        }
    }
    return found;
}

// With LORIMET_SCREENSHOTS naming a folder, each window is kept there as name-language.png for a person to
// look at.
void keepScreenshot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("LORIMET_SCREENSHOTS");
    if (!folder.isEmpty())
        QVERIFY(window->grab().save(QDir(folder).filePath(name + u'-' + QLocale().name().left(2) + ".png")));
}

struct NoActions : HistoryActions
{
    void putOnDisplay(const QStringList &) override { }
    void save(QWidget *, const QStringList &) override { }
};

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void windowsSpeakTheLanguage_data();
    void windowsSpeakTheLanguage();
    void cleanup();

private:
    QSize m_englishMainWindow;
};

void TestTranslations::windowsSpeakTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("dateForm"); // of the date a window shows
    // English first: the others are measured against it.
    QTest::newRow("en_US") << "en_US"
                           << R"(^\d{4}-\d\d-\d\d \d\d:\d\d$)";
    QTest::newRow("de_DE") << "de_DE"
                           << R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d$)";
    QTest::newRow("es_ES") << "es_ES"
                           << R"(^\d{1,2}/\d{1,2}/\d{4} \d\d:\d\d$)";
    QTest::newRow("fr_FR") << "fr_FR"
                           << R"(^\d\d/\d\d/\d{4} \d\d:\d\d$)";
}

// Each window of the program in each language: texts translated, nothing cut off, the fixed-size main
// window as large as in English, Qt's own buttons in the same language, dates in the locale's form.
void TestTranslations::windowsSpeakTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, dateForm);
    const bool english = language.startsWith(QLatin1String("en"));
    const QLocale locale(language);
    QLocale::setDefault(locale);
    const QString loaded = Translations::install(*qApp, locale, { QStringLiteral(LORIMET_TRANSLATIONS_DIR) });
    QCOMPARE(loaded, english ? QString() : language.left(2));
    const auto translated = [english](const QString &text, const char *source) {
        return english ? text == QLatin1String(source) : !text.isEmpty() && text != QLatin1String(source);
    };

    // A demo adapter that sends a report with corrupted characters, as fast as it was recorded; its longest
    // pause is 190 ms.
    QTemporaryDir captures;
    QVERIFY(QFile::copy(LORIMET_RESOURCES_DIR "/captures/04-corrupted.cap", captures.filePath("04.cap")));
    DemoDialogs dialogs(captures.path(),
        { std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::milliseconds(0),
            std::chrono::milliseconds(500) });
    frmMain main(dialogs);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    if (english)
        m_englishMainWindow = main.size();
    QCOMPARE(main.size(), m_englishMainWindow);
    QVERIFY(translated(main.findChild<QPushButton *>("cmdDownload")->text(), "&Download from Adapter"));
    QVERIFY2(cutOff(&main).isEmpty(), qPrintable(cutOff(&main).join(u'\n')));
    keepScreenshot(&main, "main");

    DialogAnswerer answerer;
    answerer.expectMessageBox(QMessageBox::Ok);
    QTest::mouseClick(main.findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
    QTRY_COMPARE(answerer.messageBoxes().size(), 1);
    QVERIFY(translated(answerer.messageBoxes().at(0).text, "No current report exists to save."));

    // The transfer dialog while it works, the question about the corrupted report with Qt's Yes and No,
    // and the tagging dialog.
    QStringList transferCutOff;
    bool transferTranslated = false;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, [&] {
        if (auto *progress = main.findChild<frmProgress *>(); progress && progress->isVisible()) {
            transferCutOff += cutOff(progress);
            transferTranslated = translated(progress->windowTitle(), "Data Transfer Status");
            keepScreenshot(progress, "transfer");
        }
    });
    sampler.start(20);
    answerer.expectDialog([&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        QVERIFY(translated(box->windowTitle(), "Lorimet Adapter Confirmation"));
        QVERIFY(translated(box->button(QMessageBox::Yes)->text(), "&Yes"));
        keepScreenshot(box, "question");
        box->button(QMessageBox::Yes)->click();
    });
    answerer.expectDialog([&](QWidget *tagging) {
        QVERIFY(translated(tagging->windowTitle(), "Report Tagging"));
        QVERIFY2(cutOff(tagging).isEmpty(), qPrintable(cutOff(tagging).join(u'\n')));
        keepScreenshot(tagging, "tagging");
        tagging->findChild<QPushButton *>("cmdCancel")->click();
    });
    QTest::mouseClick(main.findChild<QPushButton *>("cmdDownload"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer.pendingCount(), 0, 30000);
    sampler.stop();
    QVERIFY(transferTranslated);
    QVERIFY2(transferCutOff.isEmpty(), qPrintable(transferCutOff.join(u'\n')));

    frmSave save({ QStringLiteral("line") }, &main);
    save.show();
    QVERIFY(translated(save.windowTitle(), "Save Options"));
    QVERIFY2(cutOff(&save).isEmpty(), qPrintable(cutOff(&save).join(u'\n')));
    keepScreenshot(&save, "save");
    save.close();
    frmAppend append(&main);
    append.show();
    QVERIFY(translated(append.windowTitle(), " Append Options"));
    QVERIFY2(cutOff(&append).isEmpty(), qPrintable(cutOff(&append).join(u'\n')));
    keepScreenshot(&append, "append");
    append.close();
    QPointer<frmAbout> about = new frmAbout(main); // deletes itself when closed
    about->show();
    QVERIFY2(cutOff(about).isEmpty(), qPrintable(cutOff(about).join(u'\n')));
    about->close();
    QTRY_VERIFY(!about);

    // History over two imported reports: the count in the language's plural, dates in the locale's form.
    QTemporaryDir folder;
    NoActions actions;
    frmHistory history(folder.filePath("archive.sqlite"), actions);
    history.setChoosers(
        [](QWidget *) { return QStringList { LORIMET_TEST_DATA_DIR "/export/two_reports.txt" }; },
        [](QWidget *) { return QString(); });
    history.resize(history.sizeHint());
    history.show();
    QTRY_VERIFY(history.isIdle());
    answerer.expectMessageBox(QMessageBox::Ok);
    QTest::mouseClick(history.findChild<QPushButton *>("cmdImport"), Qt::LeftButton);
    QTRY_COMPARE(answerer.messageBoxes().size(), 2);
    QVERIFY(translated(
        answerer.messageBoxes().at(1).text, "2 reports added, 0 already in the archive, 0 unreadable."));
    auto *downloads = history.findChild<QTableView *>("tblDownloads");
    QTRY_COMPARE(downloads->model()->rowCount(), 2);
    const QString downloaded = downloads->model()->index(0, 1).data().toString();
    QVERIFY2(QRegularExpression(dateForm).match(downloaded).hasMatch(), qPrintable(downloaded));
    QVERIFY(translated(history.windowTitle().section(QLatin1String(" - "), 0, 0), "Report History"));
    QVERIFY2(cutOff(&history).isEmpty(), qPrintable(cutOff(&history).join(u'\n')));
    keepScreenshot(&history, "history");
    QVERIFY2(answerer.unanswered().isEmpty(), qPrintable(answerer.unanswered().join(u'\n')));
}

void TestTranslations::cleanup()
{
    qDeleteAll(qApp->findChildren<QTranslator *>());
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
