#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include "app/save/ReportWriter.h"
#include "documents/table/TableFile.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

// What the Word and Excel writers share: the parser that turns the display lines into the event table,
// the document file they fill, and the messages that tell the user when that fails.
class TableDocument : public ReportWriter
{
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
    [[nodiscard]] virtual std::unique_ptr<TableFile> createFile() const = 0;

private:
    [[nodiscard]] bool start(bool append, const QString &strFileName);
    [[nodiscard]] bool write(TableFile &file, QString *error) const;
    void reportFailure(const QString &reason);

    bool m_parseData = false;
    bool m_failed = false;
    bool m_append = false;
    EventLogParser m_parser;
    QStringList m_rawLines;
    std::unique_ptr<TableFile> m_file;
};

class WordDocument : public TableDocument
{
protected:
    [[nodiscard]] std::unique_ptr<TableFile> createFile() const override;
};

class ExcelSheet : public TableDocument
{
protected:
    [[nodiscard]] std::unique_ptr<TableFile> createFile() const override;
};
