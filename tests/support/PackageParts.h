#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "documents/ooxml/OoxmlPackage.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

// The event table of report lines, as the export drivers build it.
inline ReportTable tableOf(const QStringList &lines)
{
    EventLogParser parser;
    for (const QString &line : lines)
        parser.WriteLine(line);
    return ReportTable(parser);
}

// One part of a saved package; empty when it cannot be read.
inline QByteArray partOf(const QString &path, const QString &name)
{
    QString error;
    const std::optional<OoxmlPackage> package = OoxmlPackage::open(path, &error);
    return package ? package->readPart(name, &error).value_or(QByteArray()) : QByteArray();
}

// Changes one part of a saved package in place, as another program would; false when that fails.
[[nodiscard]] inline bool editPart(
    const QString &path, const QString &name, const std::function<void(QByteArray &)> &edit)
{
    QString error;
    std::optional<OoxmlPackage> package = OoxmlPackage::open(path, &error);
    std::optional<QByteArray> bytes = package ? package->readPart(name, &error) : std::nullopt;
    if (!bytes)
        return false;
    edit(*bytes);
    package->setPart(name, *bytes);
    return package->save(path, &error);
}
