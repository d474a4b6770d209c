#include "app/save/ExportDrivers.h"

#include "app/save/ExportChoice.h"
#include "app/save/TableDocument.h"
#include "app/save/TextDocument.h"

namespace {

SupportFunctions::WriterFactory &writerFactory()
{
    static SupportFunctions::WriterFactory factory;
    return factory;
}

std::unique_ptr<ReportWriter> createWriter(SupportFunctions::WriterKind kind)
{
    if (writerFactory())
        return writerFactory()(kind);
    switch (kind) {
    case SupportFunctions::WriterKind::Text:
        return std::make_unique<TextDocument>();
    case SupportFunctions::WriterKind::Word:
        return std::make_unique<WordDocument>();
    case SupportFunctions::WriterKind::Excel:
        return std::make_unique<ExcelSheet>();
    }
    return nullptr;
}

void exportTable(SupportFunctions::WriterKind kind, const QStringList &displayLines)
{
    const std::unique_ptr<ReportWriter> writer = createWriter(kind);
    writer->setParseData(true);
    const ExportChoice &choice = exportChoice();
    const bool ready
        = choice.ExportAppend ? writer->AppendInitialize(choice.ExportFileName) : writer->Initialize();
    if (!ready)
        return;
    for (const QString &line : displayLines)
        writer->WriteLine(line);
    writer->ShowFile();
    writer->SaveAs(choice.ExportFileName);
}

} // namespace

void SupportFunctions::setWriterFactory(WriterFactory factory)
{
    writerFactory() = std::move(factory);
}

void SupportFunctions::ExportToText(const QStringList &displayLines)
{
    const std::unique_ptr<ReportWriter> writer = createWriter(WriterKind::Text);
    if (!writer->BrowseForDestination())
        return;
    for (const QString &line : displayLines)
        writer->WriteLine(line);
    writer->ShowFile();
}

void SupportFunctions::ExportToWord(const QStringList &displayLines)
{
    exportTable(WriterKind::Word, displayLines);
}

void SupportFunctions::ExportToExcel(const QStringList &displayLines)
{
    exportTable(WriterKind::Excel, displayLines);
}
