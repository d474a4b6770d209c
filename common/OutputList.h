#pragma once

#include <QString>
#include <QtGlobal>

// What a transfer needs of the list that receives the decoded report lines: append a line, count the
// lines, and select one (selecting the last line keeps the newest line in view).
class OutputList
{
public:
    virtual ~OutputList() = default;

    virtual void AddItem(const QString &line) = 0;
    [[nodiscard]] virtual qint16 ListCount() const = 0;
    virtual void SetListIndex(qint16 index) = 0;
};
