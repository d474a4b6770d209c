#pragma once

#include <memory>

#include <QCoreApplication>
#include <QString>

#include "app/save/ReportWriter.h"
#include "documents/export/ReportExport.h"

// What the Word and Excel writers share: the export that turns the display lines into the document, and
// the messages that tell the user when that fails.
class TableDocument : public ReportWriter
{
    Q_DECLARE_TR_FUNCTIONS(TableDocument)

public:
    [[nodiscard]] bool ParseData() const override { return m_parseData; }
    void setParseData(bool blnNewValue) override { m_parseData = blnNewValue; }

    [[nodiscard]] bool Initialize() override;
    [[nodiscard]] bool AppendInitialize(const QString &strFileName) override;
    void WriteLine(const QString &FileLine) override;
    // Lays the table out in the document; it is shown once SaveAs has written it.
    void ShowFile() override;
    // Writes the document completely or not at all, then opens it in the user's program for it.
    void SaveAs(const QString &strFileName) override;

protected:
    explicit TableDocument(ReportExport::Format format)
        : m_format(format)
    {
    }

private:
    [[nodiscard]] bool start(bool append, const QString &strFileName);
    void reportFailure(const QString &reason);

    ReportExport::Format m_format;
    bool m_parseData = false;
    bool m_failed = false;
    std::unique_ptr<ReportExport> m_export;
};

class WordDocument : public TableDocument
{
public:
    WordDocument()
        : TableDocument(ReportExport::Format::Word)
    {
    }
};

class ExcelSheet : public TableDocument
{
public:
    ExcelSheet()
        : TableDocument(ReportExport::Format::Excel)
    {
    }
};
