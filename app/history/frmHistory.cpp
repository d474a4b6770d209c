#include "app/history/frmHistory.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include <QAbstractTableModel>
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
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/history/AlarmChartView.h"
#include "app/windows/WindowDates.h"
#include "archive/ArchiveImport.h"
#include "documents/export/ReportExport.h"
#include "documents/printed/AlarmChart.h"
#include "report/DownloadFacts.h"

namespace {

QString title()
{
    return frmHistory::tr("Report History");
}

// A detector's status in the user's words; the tool and the printed report keep the names.
QString statusText(const QString &name)
{
    if (name == DetectorStatus::Expired)
        return frmHistory::tr("expired");
    if (name == DetectorStatus::EndsSoon)
        return frmHistory::tr("ends-soon");
    if (name == DetectorStatus::NotDownloaded)
        return frmHistory::tr("not-downloaded");
    return name;
}

// The columns of the downloads' query; the first, the id, is hidden.
enum DownloadColumn
{
    IdColumn,
    DownloadedColumn,
    SerialColumn,
};

// A call that takes longer than this is told to the user while it goes on.
constexpr std::chrono::milliseconds SlowAnswer { 1000 };

// An answer of the archive: a value, or why there is none.
template<typename T> struct Answer
{
    std::optional<T> value;
    QString error;
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

// Rows of texts that the archive's thread read, shown as they are.
class ArchiveRows : public QAbstractTableModel
{
public:
    ArchiveRows(QStringList headers, QObject *parent)
        : QAbstractTableModel(parent)
        , m_headers(std::move(headers))
    {
    }

    void setRows(QList<QStringList> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_headers.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows.at(index.row()).at(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_headers.at(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList m_headers;
    QList<QStringList> m_rows;
};

// The fleet's rows, each with its texts, what it sorts by and its status's colour, made in one go.
class DetectorRows : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    struct Row
    {
        QStringList texts;
        QVariantList keys;
        QColor colour;
    };

    void setRows(QList<Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        sortRows();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(Headers.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Row &row = m_rows.at(index.row());
        if (role == Qt::DisplayRole)
            return row.texts.at(index.column());
        if (role == Qt::BackgroundRole && index.column() == StatusColumn && row.colour.isValid())
            return QBrush(row.colour);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return Headers.at(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    void sort(int column, Qt::SortOrder order) override
    {
        emit layoutAboutToBeChanged();
        m_column = column;
        m_order = order;
        sortRows();
        emit layoutChanged();
    }

    static constexpr int StatusColumn = 10;

private:
    // Numbers as numbers, texts as texts; equal ones keep their order.
    void sortRows()
    {
        if (m_column < 0)
            return;
        std::stable_sort(m_rows.begin(), m_rows.end(), [this](const Row &a, const Row &b) {
            const QPartialOrdering order = QVariant::compare(a.keys.at(m_column), b.keys.at(m_column));
            return m_order == Qt::AscendingOrder ? order == QPartialOrdering::Less
                                                 : order == QPartialOrdering::Greater;
        });
    }

    const QStringList Headers { frmHistory::tr("Serial Number"), frmHistory::tr("Downloads"),
        frmHistory::tr("Last Download"), frmHistory::tr("User"), frmHistory::tr("Life (Months)"),
        frmHistory::tr("Ends"), frmHistory::tr("Self Tests"), frmHistory::tr("Alarm Events"),
        frmHistory::tr("Highest Peak"), frmHistory::tr("Last Alarm Began"), frmHistory::tr("Status") };
    QList<Row> m_rows;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

frmHistory::frmHistory(const QString &location, HistoryActions &actions, QWidget *parent,
    const QString &fallback, std::chrono::milliseconds roundTripLimit)
    : QDialog(parent)
    , m_actions(actions)
    , m_roundTripLimit(roundTripLimit)
    , m_importChooser([](QWidget *owner) {
        return QFileDialog::getOpenFileNames(
            owner, tr("Import Text Reports"), QString(), tr("Text reports (*.txt)"));
    })
    , m_csvChooser([](QWidget *owner) {
        return QFileDialog::getSaveFileName(owner, tr("Export CSV"), QString(), tr("CSV files (*.csv)"));
    })
    , m_downloads(new ArchiveRows({ tr("ID"), tr("Downloaded"), tr("Serial Number"), tr("User"),
                                      tr("Alarm Events"), tr("Highest Peak") },
          this))
    , m_alarms(new ArchiveRows({ tr("Began"), tr("Peak"), tr("Duration"), tr("Downloads") }, this))
    , m_detectorRows(new DetectorRows(this))
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(title());
    m_slowAnswer.setSingleShot(true);
    m_slowAnswer.setInterval(SlowAnswer);
    connect(&m_slowAnswer, &QTimer::timeout, this, [this] {
        lblStatus->setText(
            tr("The archive has not answered yet; waiting for it up to %1 s.")
                .arg(std::chrono::duration_cast<std::chrono::seconds>(m_roundTripLimit).count()));
    });
    buildControls();
    resize(760, 520);
    open(location, fallback);
}

frmHistory::~frmHistory() = default;

template<typename Work, typename Done> void frmHistory::post(Work work, Done done)
{
    waitingChanged(+1);
    m_archive.post(std::move(work), [this, done = std::move(done)](auto answer) {
        waitingChanged(-1);
        done(std::move(answer));
    });
}

template<typename Work> auto frmHistory::call(Work work)
{
    waitingChanged(+1);
    auto answer = m_archive.call(std::move(work));
    waitingChanged(-1);
    return answer;
}

void frmHistory::waitingChanged(int change)
{
    m_waiting += change;
    for (QPushButton *push :
        { cmdPutOnDisplay, cmdSave, cmdExportCsv, cmdDelete, cmdImport, cmdLocation, cmdClose })
        push->setEnabled(m_waiting == 0 && (m_opened || push == cmdClose || push == cmdLocation));
    if (m_waiting == 0) {
        m_slowAnswer.stop();
        lblStatus->clear();
    } else if (!m_slowAnswer.isActive() && lblStatus->text().isEmpty()) {
        m_slowAnswer.start();
    }
}

void frmHistory::reject()
{
    // A call that waits for its answer ends first; it does not take longer than the round-trip limit.
    if (m_waiting == 0)
        QDialog::reject();
}

void frmHistory::open(const QString &location, const QString &fallback)
{
    post(
        [location, limit = m_roundTripLimit](ReportArchive &archive) {
            Answer<QString> answer;
            if (archive.open(location, ReportArchive::Access::ReadWrite, &answer.error,
                    ReportArchive::WindowBusyTimeout, limit))
                answer.value = archive.path();
            return answer;
        },
        [this, fallback](const Answer<QString> &answer) {
            if (!answer.value) {
                tell(true,
                    fallback.isEmpty()
                        ? tr("The report archive cannot be opened:\n%1").arg(answer.error)
                        : tr("The site archive cannot be reached:\n%1\n\nThe History shows this "
                             "PC's archive.")
                              .arg(answer.error));
                if (!fallback.isEmpty())
                    open(fallback, QString());
                return;
            }
            m_opened = true;
            setWindowTitle(title() + QStringLiteral(" - ") + *answer.value);
            waitingChanged(0);
            reload();
        });
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
    txtSerial = lineEdit("txtSerial", tr("Serial number"));
    txtUser = lineEdit("txtUser", tr("User"));
    const auto dateFilter = [this](const char *checkName, const QString &caption, const char *dateName) {
        auto *check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(checkName));
        auto *date = new QDateEdit(QDate::currentDate(), this);
        date->setObjectName(QString::fromLatin1(dateName));
        date->setCalendarPopup(true);
        date->setDisplayFormat(WindowDates::editFormat());
        date->setEnabled(false);
        connect(check, &QCheckBox::toggled, date, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, this, &frmHistory::refresh);
        connect(date, &QDateEdit::dateChanged, this, &frmHistory::refresh);
        return std::pair { check, date };
    };
    std::tie(chkSince, dtpSince) = dateFilter("chkSince", tr("&From"), "dtpSince");
    std::tie(chkUntil, dtpUntil) = dateFilter("chkUntil", tr("&To"), "dtpUntil");

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
    tblDetectors = makeTable("tblDetectors", m_detectorRows, this);
    tblDetectors->setSortingEnabled(true);
    // Widths from the first rows: a fleet of thousands is not measured cell by cell.
    tblDetectors->horizontalHeader()->setResizeContentsPrecision(100);
    tblDetectors->sortByColumn(0, Qt::AscendingOrder);
    chkAttention = new QCheckBox(tr("&Needs attention"), this);
    chkAttention->setObjectName(QStringLiteral("chkAttention"));
    connect(chkAttention, &QCheckBox::toggled, this, &frmHistory::showDetectors);
    auto *detectorsPage = new QWidget(this);
    auto *detectorsLayout = new QVBoxLayout(detectorsPage);
    detectorsLayout->addWidget(chkAttention);
    detectorsLayout->addWidget(tblDetectors, 1);
    tabViews = new QTabWidget(this);
    tabViews->setObjectName(QStringLiteral("tabViews"));
    tabViews->addTab(tblDownloads, tr("&Downloads"));
    tabViews->addTab(alarmsPage, tr("&Alarms of the Detector"));
    tabViews->addTab(detectorsPage, tr("De&tectors"));
    // A detector chosen in the fleet shows its alarms; Enter or a double click goes to them.
    connect(tblDetectors->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid())
                showAlarmsOf(m_detectorRows->index(current.row(), 0).data().toString());
        });
    connect(tblDetectors, &QAbstractItemView::activated, this, [this] { tabViews->setCurrentIndex(1); });
    connect(tblDownloads->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &frmHistory::showAlarmsOfCurrent);

    const auto button = [this](const char *name, const QString &caption, void (frmHistory::*slot)()) {
        auto *push = new QPushButton(caption, this);
        push->setObjectName(QString::fromLatin1(name));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, slot);
        return push;
    };
    cmdPutOnDisplay = button("cmdPutOnDisplay", tr("&Put on Display"), &frmHistory::putOnDisplay);
    cmdSave = button("cmdSave", tr("&Save..."), &frmHistory::save);
    cmdExportCsv = button("cmdExportCsv", tr("Export &CSV..."), &frmHistory::exportCsv);
    cmdDelete = button("cmdDelete", tr("D&elete"), &frmHistory::deleteSelected);
    cmdImport = button("cmdImport", tr("&Import text reports..."), &frmHistory::importTextReports);
    cmdLocation = button("cmdLocation", tr("Archive &location..."), &frmHistory::chooseLocation);
    cmdLocation->hide();
    cmdClose = button("cmdClose", tr("Close"), &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *push : { cmdPutOnDisplay, cmdSave, cmdExportCsv, cmdDelete, cmdImport })
        buttons->addWidget(push);
    buttons->addStretch();
    buttons->addWidget(cmdLocation);
    buttons->addWidget(cmdClose);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tabViews);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
}

void frmHistory::refresh()
{
    if (!m_opened)
        return;
    ArchiveFilter filter;
    filter.serial = txtSerial->text().trimmed();
    filter.user = txtUser->text().trimmed();
    if (chkSince->isChecked())
        filter.since = dtpSince->date();
    if (chkUntil->isChecked())
        filter.until = dtpUntil->date();
    // Only the answer to the newest filter is shown; the user may type on while the archive reads.
    const int asked = ++m_refreshes;
    post(
        [filter](ReportArchive &archive) {
            Answer<QList<QStringList>> answer;
            if (const auto downloads = archive.downloads(filter, &answer.error)) {
                QList<QStringList> rows;
                rows.reserve(downloads->size());
                for (const ArchivedDownload &download : *downloads) {
                    rows.append({ QString::number(download.id), WindowDates::shown(download.downloadedAt),
                        download.serial, download.user, QString::number(download.alarmCount),
                        download.highestPeak });
                }
                answer.value = std::move(rows);
            }
            return answer;
        },
        [this, asked](Answer<QList<QStringList>> answer) {
            if (asked != m_refreshes)
                return;
            // Said in the window, not in a box: the user may be typing the filter.
            if (!answer.value) {
                lblStatus->setText(answer.error);
                return;
            }
            m_downloads->setRows(std::move(*answer.value));
            tblDownloads->hideColumn(IdColumn);
            tblDownloads->resizeColumnsToContents();
            showAlarmsOfCurrent();
        });
}

void frmHistory::setDetectorThresholds(const DetectorStatus::Thresholds &thresholds, QDate asOf)
{
    m_thresholds = thresholds;
    m_asOf = asOf;
    showDetectors();
}

void frmHistory::reload()
{
    // The archive answers in turn: what the current tab shows first.
    if (tabViews->currentWidget() == tblDetectors->parentWidget()) {
        refreshDetectors();
        refresh();
    } else {
        refresh();
        refreshDetectors();
    }
}

void frmHistory::refreshDetectors()
{
    post(
        [](ReportArchive &archive) {
            Answer<QList<DetectorStatus::Detector>> answer;
            answer.value = archive.detectors(&answer.error);
            return answer;
        },
        [this](Answer<QList<DetectorStatus::Detector>> answer) {
            if (!answer.value) {
                lblStatus->setText(answer.error);
                return;
            }
            m_fleet = std::move(*answer.value);
            showDetectors();
        });
}

// Each status has its colour, and says itself in words beside it.
void frmHistory::showDetectors()
{
    QList<DetectorRows::Row> rows;
    rows.reserve(m_fleet.size());
    for (const DetectorStatus::Detector &detector : std::as_const(m_fleet)) {
        const QStringList status = detector.status(m_asOf, m_thresholds);
        if (chkAttention->isChecked() && status.isEmpty())
            continue;
        const QDate ends = detector.ends();
        const int months = detector.lifeRemainingMonths.value_or(-1);
        DetectorRows::Row row;
        QStringList statusWords;
        for (const QString &name : status)
            statusWords.append(statusText(name));
        row.texts = { detector.serial, QString::number(detector.downloads),
            WindowDates::shown(detector.lastDownload), detector.lastUser,
            months < 0 ? QString() : QString::number(months), WindowDates::shown(ends), detector.selfTests,
            QString::number(detector.alarmEvents), detector.highestPeak,
            WindowDates::shown(detector.lastAlarmBegan), statusWords.join(QStringLiteral(", ")) };
        for (const QString &text : std::as_const(row.texts))
            row.keys.append(text);
        // Dates sort in their stored ISO form, numbers as numbers.
        row.keys[1] = detector.downloads;
        row.keys[2] = detector.lastDownload;
        row.keys[4] = months;
        row.keys[5] = ends.isValid() ? ends.toString(Qt::ISODate) : QString();
        row.keys[7] = detector.alarmEvents;
        row.keys[9] = detector.lastAlarmBegan;
        row.keys[8] = DownloadFacts::peakRank(detector.highestPeak);
        row.colour = AlarmChart::statusColour(status);
        rows.append(std::move(row));
    }
    m_detectorRows->setRows(std::move(rows));
    tblDetectors->resizeColumnsToContents();
}

void frmHistory::showAlarmsOfCurrent()
{
    const QModelIndex current = tblDownloads->currentIndex();
    showAlarmsOf(
        current.isValid() ? m_downloads->index(current.row(), SerialColumn).data().toString() : QString());
}

void frmHistory::showAlarmsOf(const QString &serial)
{
    lblDetector->setText(serial.isEmpty()
            ? tr("Select a download to see its detector's alarms.")
            : tr("Alarms of detector %1, in the order they began:").arg(serial));
    const int asked = ++m_alarmQueries;
    post(
        [serial](ReportArchive &archive) {
            Answer<QList<ArchivedAlarm>> answer;
            answer.value = serial.isEmpty() ? QList<ArchivedAlarm>() : archive.alarms(serial, &answer.error);
            return answer;
        },
        [this, asked, serial](const Answer<QList<ArchivedAlarm>> &answer) {
            if (asked != m_alarmQueries)
                return;
            if (!answer.value) {
                lblStatus->setText(answer.error);
                return;
            }
            QList<QStringList> rows;
            for (const ArchivedAlarm &alarm : *answer.value)
                rows.append({ WindowDates::shown(alarm.began), alarm.peak, alarm.duration,
                    QString::number(alarm.downloads) });
            m_alarms->setRows(std::move(rows));
            chartAlarms->setAlarms(serial, *answer.value);
            tblAlarms->resizeColumnsToContents();
        });
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
        tell(false, tr("Select one or more downloads first."));
        return std::nullopt;
    }
    const Answer<QStringList> answer = call([&ids](ReportArchive &archive) {
        Answer<QStringList> read;
        QStringList lines;
        for (const qint64 id : ids) {
            const std::optional<QStringList> download = archive.lines(id, &read.error);
            if (!download)
                return read;
            lines += *download;
        }
        read.value = std::move(lines);
        return read;
    });
    if (!answer.value)
        tell(true, answer.error);
    return answer.value;
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
    ReportExport exporter(ReportExport::Format::Csv);
    QString reason;
    const bool written = std::all_of(lines->cbegin(), lines->cend(),
                             [&](const QString &line) { return exporter.add(line, &reason); })
        && exporter.complete(&reason) && exporter.save(path, &reason);
    if (!written) {
        tell(true, tr("Cannot write %1: %2").arg(path, reason));
        return;
    }
    tell(false, tr("%n alarm events written to %1.", nullptr, int(exporter.outcome().events)).arg(path));
}

void frmHistory::deleteSelected()
{
    const QList<qint64> ids = selectedIds();
    if (ids.isEmpty()) {
        tell(false, tr("Select one or more downloads first."));
        return;
    }
    const QString question = ids.size() == 1
        ? tr("Delete the selected download from the archive?")
        : tr("Delete the %n selected downloads from the archive?", nullptr, int(ids.size()));
    QMessageBox box(QMessageBox::Question, title(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    const Answer<bool> answer = call([&ids](ReportArchive &archive) {
        Answer<bool> removed;
        if (archive.remove(ids, &removed.error))
            removed.value = true;
        return removed;
    });
    if (!answer.value)
        tell(true, answer.error);
    reload();
}

void frmHistory::importTextReports()
{
    const QStringList files = m_importChooser(this);
    if (files.isEmpty())
        return;
    QProgressDialog progress(tr("Importing..."), tr("Cancel"), 0, 0, this);
    progress.setObjectName(QStringLiteral("dlgImportProgress"));
    progress.setWindowTitle(title());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    // The import runs in the archive's thread; the dialog shows how far it got and asks it to stop.
    struct Shared
    {
        std::mutex mutex;
        QString file;
        int done = 0;
        int total = 0;
        std::atomic<bool> cancelled = false;
    } shared;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &progress, [&progress, &shared] {
        const std::lock_guard lock(shared.mutex);
        if (!shared.file.isEmpty())
            progress.setLabelText(tr("Importing %1...").arg(QFileInfo(shared.file).fileName()));
        progress.setMaximum(shared.total);
        progress.setValue(shared.done);
    });
    connect(&progress, &QProgressDialog::canceled, &poll, [&poll, &shared] {
        shared.cancelled = true;
        poll.stop();
    });
    poll.start(50);
    struct Imported
    {
        bool imported = false;
        ImportTally tally;
        QString error;
    };
    // The call returns only when the import has ended, so the thread may use what lives here.
    const Imported result = call([&files, &shared](ReportArchive &archive) {
        Imported imported;
        imported.imported = importTextExports(
            archive, files, imported.tally,
            [&shared](const QString &file, int done, int total) {
                const std::lock_guard lock(shared.mutex);
                shared.file = file;
                shared.done = done;
                shared.total = total;
                return !shared.cancelled;
            },
            &imported.error);
        return imported;
    });
    poll.stop();
    const bool imported = result.imported;
    const ImportTally &tally = result.tally;
    const QString &error = result.error;
    progress.close();
    QString text = tally.summary() + u'.';
    constexpr int ShownUnreadable = 10;
    for (int i = 0; i < std::min<int>(tally.unreadable.size(), ShownUnreadable); ++i) {
        const ImportTally::Unreadable &unreadable = tally.unreadable.at(i);
        text += tr("\n%1, line %2: %3")
                    .arg(QFileInfo(unreadable.file).fileName())
                    .arg(unreadable.where.line)
                    .arg(unreadable.where.reason);
    }
    if (!imported)
        text += u'\n' + (error.isEmpty() ? tr("The import was cancelled.") : error);
    reload();
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
        failure ? QMessageBox::Warning : QMessageBox::Information, title(), text, QMessageBox::Ok, this);
    box.exec();
}
