#pragma once

#include <functional>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "common/OutputList.h"

// A whole file's bytes; empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file anew; false unless every byte went out.
[[nodiscard]] inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// The report list as the adapter sees it; a handler can run as each line arrives, as the main window's
// handlers do mid-transfer.
class RecordingList : public OutputList
{
public:
    void AddItem(const QString &line) override
    {
        lines.append(line);
        if (onAdd)
            onAdd(lines.size());
    }
    [[nodiscard]] qint16 ListCount() const override { return static_cast<qint16>(lines.size()); }
    void SetListIndex(qint16 index) override { selected = index; }

    QStringList lines;
    qint16 selected = -1;
    std::function<void(qsizetype count)> onAdd;
};
