#include "app/mainwindow/ReportDisplayModel.h"

#include <algorithm>

ReportDisplayModel::ReportDisplayModel(QObject *parent)
    : QAbstractListModel(parent)
{
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setTimerType(Qt::PreciseTimer);
    m_batchTimer.setInterval(DefaultBatchInterval);
    connect(&m_batchTimer, &QTimer::timeout, this, &ReportDisplayModel::publishPending);
}

int ReportDisplayModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_publishedCount;
}

QVariant ReportDisplayModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_publishedCount)
        return {};
    return m_lines.at(index.row());
}

QString ReportDisplayModel::line(int position) const
{
    return m_lines.value(position);
}

bool ReportDisplayModel::append(const QString &text)
{
    if (count() >= MaxLines) {
        ++m_linesLeftOut;
        return false;
    }
    m_lines.append(text);
    schedulePublish();
    return true;
}

void ReportDisplayModel::setLine(int position, const QString &text)
{
    if (position < 0 || position >= count())
        return;
    m_lines[position] = text;
    if (position < m_publishedCount) {
        const QModelIndex changed = index(position);
        emit dataChanged(changed, changed, { Qt::DisplayRole });
    }
}

void ReportDisplayModel::writeTags(int start, int end, const ReportTags::Tags &tags)
{
    for (int position = std::max(start, 0); position < end && position < count(); ++position) {
        const QString tagged = ReportTags::taggedLine(m_lines.at(position), tags);
        if (tagged != m_lines.at(position))
            setLine(position, tagged);
    }
}

void ReportDisplayModel::removeAt(int position)
{
    if (position < 0 || position >= count())
        return;
    publishPending();
    beginRemoveRows({}, position, position);
    m_lines.removeAt(position);
    m_publishedCount = count();
    endRemoveRows();
}

void ReportDisplayModel::clear()
{
    m_batchTimer.stop();
    m_selectionPending = false;
    beginResetModel();
    m_lines.clear();
    m_publishedCount = 0;
    endResetModel();
}

void ReportDisplayModel::requestSelection(int position)
{
    if (position < -1 || position >= count())
        return;
    m_pendingSelection = position;
    m_selectionPending = true;
    schedulePublish();
}

void ReportDisplayModel::publishPending()
{
    m_batchTimer.stop();
    if (m_publishedCount < count()) {
        beginInsertRows({}, m_publishedCount, count() - 1);
        m_publishedCount = count();
        endInsertRows();
    }
    if (m_selectionPending) {
        m_selectionPending = false;
        emit selectionDue(m_pendingSelection);
    }
}

void ReportDisplayModel::setBatchInterval(std::chrono::milliseconds interval)
{
    m_batchTimer.setInterval(interval);
}

void ReportDisplayModel::schedulePublish()
{
    // Started once per batch and never restarted, so a steady stream of lines still reaches the views
    // once per interval.
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}
