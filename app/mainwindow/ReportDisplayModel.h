#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QTimer>

#include "report/ReportLines.h"

#include <chrono>
#include <limits>

// The lines of the report display. Positions are 16-bit, so the store never grows beyond 32,767 lines;
// lines that arrive beyond that are counted and dropped.
//
// A fast adapter appends lines far quicker than an item view can lay them out and scroll to each one, so
// appended lines and the requested selection are stored at once but reach attached views in batches: when
// the batch interval has passed since the first unpublished change, or when publishPending() is called.
class ReportDisplayModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int MaxLines = std::numeric_limits<qint16>::max();
    static constexpr std::chrono::milliseconds DefaultBatchInterval { 100 };

    explicit ReportDisplayModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Every stored line, published or not.
    [[nodiscard]] int count() const { return static_cast<int>(m_lines.size()); }
    [[nodiscard]] QString line(int position) const;
    [[nodiscard]] const QStringList &lines() const { return m_lines; }

    // Returns false when the display is full and the line was left out.
    bool append(const QString &text);
    void setLine(int position, const QString &text);
    // Rewrites every tag line in [start, end) and nothing outside it.
    void writeTags(int start, int end, const ReportTags::Tags &tags);
    void removeAt(int position);
    void clear();
    // Asks the views to select the line at position (-1: no line) and scroll it into view.
    void requestSelection(int position);

    [[nodiscard]] int linesLeftOut() const { return m_linesLeftOut; }
    void resetLinesLeftOut() { m_linesLeftOut = 0; }

    void publishPending();
    void setBatchInterval(std::chrono::milliseconds interval);

signals:
    // A selection request reached the views; row is -1 for none.
    void selectionDue(int row);

private:
    void schedulePublish();

    QStringList m_lines;
    int m_publishedCount = 0;
    int m_linesLeftOut = 0;
    bool m_selectionPending = false;
    int m_pendingSelection = -1;
    QTimer m_batchTimer;
};
