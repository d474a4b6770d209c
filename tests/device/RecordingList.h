#pragma once

#include <functional>

#include <QStringList>

#include "OutputList.h"

// A report list that keeps what it is told and can run a handler as each line arrives, as the main
// window's event handlers would in the middle of a transfer.
class RecordingList : public OutputList
{
public:
    void AddItem(const QString &line) override
    {
        lines.append(line);
        if (onAdd)
            onAdd(line);
    }
    [[nodiscard]] qint16 ListCount() const override { return static_cast<qint16>(lines.size()); }
    void SetListIndex(qint16 index) override { selected = index; }

    QStringList lines;
    qint16 selected = -1;
    std::function<void(const QString &line)> onAdd;
};

// An input report as the adapter sends it: report ID 0, then the data, filled up with 0x04 (ignored).
inline QByteArray inputReport(const QByteArray &data)
{
    QByteArray report = QByteArray(1, '\0') + data;
    while (report.size() < 9)
        report += '\x04';
    return report;
}
