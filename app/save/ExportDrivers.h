#pragma once

#include <functional>
#include <memory>

#include <QStringList>

#include "app/save/ReportWriter.h"

// The export drivers behind the save options: each creates one writer, feeds it every display line in
// order and lets it finish. The display lines are a snapshot taken when Save was chosen.
namespace SupportFunctions {

enum class WriterKind
{
    Text,
    Word,
    Excel
};

// Makes the writer for an export; tests install their own to watch the calls.
using WriterFactory = std::function<std::unique_ptr<ReportWriter>(WriterKind kind)>;
// An empty factory brings back TextDocument, WordDocument and ExcelSheet.
void setWriterFactory(WriterFactory factory);

void ExportToText(const QStringList &displayLines);
// Both export to exportChoice().ExportFileName, appending when ExportAppend is True.
void ExportToWord(const QStringList &displayLines);
void ExportToExcel(const QStringList &displayLines);

} // namespace SupportFunctions
