#pragma once

#include <QListView>
#include <QStringList>

#include "app/mainwindow/ReportDisplayModel.h"
#include "common/OutputList.h"

// The main window's report display: a single-selection list of report lines in a fixed-pitch font. It is
// the only store of report text; positions are 16-bit. Appended lines and selections reach the screen in
// batches (see ReportDisplayModel), so a transfer can append thousands of lines quickly.
class ReportDisplay : public QListView, public OutputList
{
    Q_OBJECT

public:
    explicit ReportDisplay(QWidget *parent = nullptr);

    void AddItem(const QString &line) override;
    [[nodiscard]] qint16 ListCount() const override;
    // Selects the line at index and scrolls it into view; -1 selects nothing.
    void SetListIndex(qint16 index) override;

    [[nodiscard]] QString List(qint16 index) const;
    void RemoveItem(qint16 index);
    void Clear();
    void SetFocus();

    [[nodiscard]] QStringList Lines() const { return m_model->lines(); }
    [[nodiscard]] ReportDisplayModel &reportModel() { return *m_model; }
    [[nodiscard]] const ReportDisplayModel &reportModel() const { return *m_model; }
    // Brings the view up to date with every line and selection at once.
    void publishPending() { m_model->publishPending(); }

private:
    void showSelection(int row);

    ReportDisplayModel *m_model;
};
