#include "archive/frmHistory.h"

#include <algorithm>

#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "archive/AlarmChartView.h"
#include "archive/store/ArchiveImport.h"
#include "common/SafeFile.h"
#include "export/report/CsvTable.h"
#include "export/report/EventLogParser.h"
#include "export/report/ReportTable.h"

namespace {

const QString Title = QStringLiteral("Report History");

// The columns of the downloads' query; the first, the id, is hidden.
enum DownloadColumn
{
    IdColumn,
    DownloadedColumn,
    SerialColumn,
};

QTableView *makeTable(const char *name, QAbstractItemModel *model, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

frmHistory::frmHistory(ReportArchive &archive, HistoryActions &actions, QWidget *parent)
    : QDialog(parent)
    , m_archive(archive)
    , m_actions(actions)
    , m_importChooser([](QWidget *owner) {
        return QFileDialog::getOpenFileNames(
            owner, QStringLiteral("Import Text Reports"), QString(), QStringLiteral("Text reports (*.txt)"));
    })
    , m_csvChooser([](QWidget *owner) {
        return QFileDialog::getSaveFileName(
            owner, QStringLiteral("Export CSV"), QString(), QStringLiteral("CSV files (*.csv)"));
    })
    , m_downloads(new QSqlQueryModel(this))
    , m_alarms(new QSqlQueryModel(this))
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(Title + QStringLiteral(" - ") + archive.path());
    buildControls();
    refresh();
    resize(760, 520);
}

void frmHistory::setChoosers(ImportChooser importChooser, CsvChooser csvChooser)
{
    m_importChooser = std::move(importChooser);
    m_csvChooser = std::move(csvChooser);
}

void frmHistory::setLocationChooser(LocationChooser chooser)
{
    m_locationChooser = std::move(chooser);
    cmdLocation->setVisible(bool(m_locationChooser));
}

void frmHistory::buildControls()
{
    const auto lineEdit = [this](const char *name, const QString &placeholder) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setPlaceholderText(placeholder);
        edit->setClearButtonEnabled(true);
        connect(edit, &QLineEdit::textChanged, this, &frmHistory::refresh);
        return edit;
    };
    txtSerial = lineEdit("txtSerial", QStringLiteral("Serial number"));
    txtUser = lineEdit("txtUser", QStringLiteral("User"));
    const auto dateFilter = [this](const char *checkName, const QString &caption, const char *dateName) {
        auto *check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(checkName));
        auto *date = new QDateEdit(QDate::currentDate(), this);
        date->setObjectName(QString::fromLatin1(dateName));
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setEnabled(false);
        connect(check, &QCheckBox::toggled, date, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, this, &frmHistory::refresh);
        connect(date, &QDateEdit::dateChanged, this, &frmHistory::refresh);
        return std::pair { check, date };
    };
    std::tie(chkSince, dtpSince) = dateFilter("chkSince", QStringLiteral("&From"), "dtpSince");
    std::tie(chkUntil, dtpUntil) = dateFilter("chkUntil", QStringLiteral("&To"), "dtpUntil");

    auto *filters = new QHBoxLayout;
    filters->addWidget(txtSerial);
    filters->addWidget(txtUser);
    for (QWidget *widget : { static_cast<QWidget *>(chkSince), static_cast<QWidget *>(dtpSince),
             static_cast<QWidget *>(chkUntil), static_cast<QWidget *>(dtpUntil) })
        filters->addWidget(widget);

    tblDownloads = makeTable("tblDownloads", m_downloads, this);
    tblDownloads->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblAlarms = makeTable("tblAlarms", m_alarms, this);
    tblAlarms->setSelectionMode(QAbstractItemView::NoSelection);
    lblDetector = new QLabel(this);
    lblDetector->setObjectName(QStringLiteral("lblDetector"));
    auto *alarmsPage = new QWidget(this);
    auto *alarmsLayout = new QVBoxLayout(alarmsPage);
    chartAlarms = new AlarmChartView(alarmsPage);
    alarmsLayout->addWidget(lblDetector);
    alarmsLayout->addWidget(chartAlarms, 1);
    alarmsLayout->addWidget(tblAlarms, 1);
    tabViews = new QTabWidget(this);
    tabViews->setObjectName(QStringLiteral("tabViews"));
    tabViews->addTab(tblDownloads, QStringLiteral("&Downloads"));
    tabViews->addTab(alarmsPage, QStringLiteral("&Alarms of the Detector"));
    connect(tblDownloads->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &frmHistory::showAlarmsOfCurrent);

    const auto button = [this](const char *name, const QString &caption, void (frmHistory::*slot)()) {
        auto *push = new QPushButton(caption, this);
        push->setObjectName(QString::fromLatin1(name));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, slot);
        return push;
    };
    cmdPutOnDisplay = button("cmdPutOnDisplay", QStringLiteral("&Put on Display"), &frmHistory::putOnDisplay);
    cmdSave = button("cmdSave", QStringLiteral("&Save..."), &frmHistory::save);
    cmdExportCsv = button("cmdExportCsv", QStringLiteral("Export &CSV..."), &frmHistory::exportCsv);
    cmdDelete = button("cmdDelete", QStringLiteral("D&elete"), &frmHistory::deleteSelected);
    cmdImport
        = button("cmdImport", QStringLiteral("&Import text reports..."), &frmHistory::importTextReports);
    cmdLocation = button("cmdLocation", QStringLiteral("Archive &location..."), &frmHistory::chooseLocation);
    cmdLocation->hide();
    cmdClose = button("cmdClose", QStringLiteral("Close"), &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *push : { cmdPutOnDisplay, cmdSave, cmdExportCsv, cmdDelete, cmdImport })
        buttons->addWidget(push);
    buttons->addStretch();
    buttons->addWidget(cmdLocation);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tabViews);
    layout->addLayout(buttons);
}

void frmHistory::refresh()
{
    ArchiveFilter filter;
    filter.serial = txtSerial->text().trimmed();
    filter.user = txtUser->text().trimmed();
    if (chkSince->isChecked())
        filter.since = dtpSince->date();
    if (chkUntil->isChecked())
        filter.until = dtpUntil->date();
    m_downloads->setQuery(m_archive.downloadsQuery(filter));
    const QStringList headers
        = { QStringLiteral("ID"), QStringLiteral("Downloaded"), QStringLiteral("Serial Number"),
              QStringLiteral("User"), QStringLiteral("Alarm Events"), QStringLiteral("Highest Peak") };
    for (int column = 0; column < headers.size(); ++column)
        m_downloads->setHeaderData(column, Qt::Horizontal, headers.at(column));
    tblDownloads->hideColumn(IdColumn);
    // Sized to the rows fetched so far, a screenful or two, not to the whole archive.
    tblDownloads->resizeColumnsToContents();
    if (m_downloads->lastError().isValid())
        tell(true, m_downloads->lastError().text());
    showAlarmsOfCurrent();
}

void frmHistory::showAlarmsOfCurrent()
{
    const QModelIndex current = tblDownloads->currentIndex();
    const QString serial
        = current.isValid() ? m_downloads->index(current.row(), SerialColumn).data().toString() : QString();
    lblDetector->setText(serial.isEmpty()
            ? QStringLiteral("Select a download to see its detector's alarms.")
            : QStringLiteral("Alarms of detector %1, in the order they began:").arg(serial));
    m_alarms->setQuery(m_archive.alarmsQuery(serial));
    QString error;
    chartAlarms->setAlarms(serial, m_archive.alarms(serial, &error).value_or(QList<ArchivedAlarm>()));
    const QStringList headers = { QStringLiteral("Began"), QStringLiteral("Peak"), QStringLiteral("Duration"),
        QStringLiteral("Downloads") };
    for (int column = 0; column < headers.size(); ++column)
        m_alarms->setHeaderData(column, Qt::Horizontal, headers.at(column));
    tblAlarms->resizeColumnsToContents();
}

QList<qint64> frmHistory::selectedIds() const
{
    QList<qint64> ids;
    for (const QModelIndex &row : tblDownloads->selectionModel()->selectedRows(IdColumn))
        ids.append(row.data().toLongLong());
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::optional<QStringList> frmHistory::selectedLines()
{
    const QList<qint64> ids = selectedIds();
    if (ids.isEmpty()) {
        tell(false, QStringLiteral("Select one or more downloads first."));
        return std::nullopt;
    }
    QStringList lines;
    QString error;
    for (const qint64 id : ids) {
        const std::optional<QStringList> download = m_archive.lines(id, &error);
        if (!download) {
            tell(true, error);
            return std::nullopt;
        }
        lines += *download;
    }
    return lines;
}

void frmHistory::putOnDisplay()
{
    if (const std::optional<QStringList> lines = selectedLines())
        m_actions.putOnDisplay(*lines);
}

void frmHistory::save()
{
    if (const std::optional<QStringList> lines = selectedLines())
        m_actions.save(this, *lines);
}

void frmHistory::exportCsv()
{
    const std::optional<QStringList> lines = selectedLines();
    if (!lines)
        return;
    const QString path = m_csvChooser(this);
    if (path.isEmpty())
        return;
    EventLogParser parser;
    for (const QString &line : *lines)
        parser.WriteLine(line);
    const ReportTable table(parser, QLocale(QLocale::English));
    QString reason;
    if (!SafeFile::replace(path, CsvTable::toCsv(table), &reason)) {
        tell(true, QStringLiteral("Cannot write %1: %2").arg(path, reason));
        return;
    }
    tell(false, QStringLiteral("%1 alarm events written to %2.").arg(table.rowCount()).arg(path));
}

void frmHistory::deleteSelected()
{
    const QList<qint64> ids = selectedIds();
    if (ids.isEmpty()) {
        tell(false, QStringLiteral("Select one or more downloads first."));
        return;
    }
    const QString question = ids.size() == 1
        ? QStringLiteral("Delete the selected download from the archive?")
        : QStringLiteral("Delete the %1 selected downloads from the archive?").arg(ids.size());
    QMessageBox box(QMessageBox::Question, Title, question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    QString error;
    if (!m_archive.remove(ids, &error))
        tell(true, error);
    refresh();
}

void frmHistory::importTextReports()
{
    const QStringList files = m_importChooser(this);
    if (files.isEmpty())
        return;
    QProgressDialog progress(QStringLiteral("Importing..."), QStringLiteral("Cancel"), 0, 0, this);
    progress.setObjectName(QStringLiteral("dlgImportProgress"));
    progress.setWindowTitle(Title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    ImportTally tally;
    QString error;
    const bool imported = importTextExports(
        m_archive, files, tally,
        [&progress](const QString &file, int done, int total) {
            progress.setLabelText(QStringLiteral("Importing %1...").arg(QFileInfo(file).fileName()));
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        },
        &error);
    progress.close();
    QString text = tally.summary() + u'.';
    constexpr int ShownUnreadable = 10;
    for (int i = 0; i < std::min<int>(tally.unreadable.size(), ShownUnreadable); ++i) {
        const ImportTally::Unreadable &unreadable = tally.unreadable.at(i);
        text += QStringLiteral("\n%1, line %2: %3")
                    .arg(QFileInfo(unreadable.file).fileName())
                    .arg(unreadable.where.line)
                    .arg(unreadable.where.reason);
    }
    if (!imported)
        text += u'\n' + (error.isEmpty() ? QStringLiteral("The import was cancelled.") : error);
    refresh();
    tell(!imported || !tally.unreadable.isEmpty(), text);
}

void frmHistory::chooseLocation()
{
    if (m_locationChooser(this))
        done(LocationChanged);
}

void frmHistory::tell(bool failure, const QString &text)
{
    QMessageBox box(
        failure ? QMessageBox::Warning : QMessageBox::Information, Title, text, QMessageBox::Ok, this);
    box.exec();
}
