#include "app/mainwindow/ReportDisplay.h"

ReportDisplay::ReportDisplay(QWidget *parent)
    : QListView(parent)
    , m_model(new ReportDisplayModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
    connect(m_model, &ReportDisplayModel::selectionDue, this, &ReportDisplay::showSelection);
}

void ReportDisplay::AddItem(const QString &line)
{
    m_model->append(line);
}

qint16 ReportDisplay::ListCount() const
{
    return static_cast<qint16>(m_model->count());
}

void ReportDisplay::SetListIndex(qint16 index)
{
    m_model->requestSelection(index);
}

QString ReportDisplay::List(qint16 index) const
{
    return m_model->line(index);
}

void ReportDisplay::RemoveItem(qint16 index)
{
    m_model->removeAt(index);
}

void ReportDisplay::Clear()
{
    m_model->clear();
}

void ReportDisplay::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void ReportDisplay::showSelection(int row)
{
    if (row < 0) {
        clearSelection();
        return;
    }
    const QModelIndex selected = m_model->index(row);
    selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    scrollTo(selected);
}
