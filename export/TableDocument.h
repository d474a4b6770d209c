#pragma once

#include <QString>
#include <QStringList>

#include "EventLogParser.h"
#include "ReportTable.h"
#include "ReportWriter.h"

// What the Word and Excel writers share: the parser that turns the display lines into the event table,
// and the set-up that reports when a document format cannot be produced.
class TableDocument : public ReportWriter
{
public:
    [[nodiscard]] bool ParseData() const override { return m_parseData; }
    void setParseData(bool blnNewValue) override { m_parseData = blnNewValue; }

    [[nodiscard]] bool Initialize() override;
    [[nodiscard]] bool AppendInitialize(const QString &strFileName) override;
    void WriteLine(const QString &FileLine) override;
    void ShowFile() override { }

    [[nodiscard]] ReportTable Table() const { return ReportTable(m_parser); }
    // The lines received with ParseData False, unparsed.
    [[nodiscard]] const QStringList &RawLines() const { return m_rawLines; }

protected:
    // The document format's name for the user, as in "Microsoft Word document".
    [[nodiscard]] virtual QString FormatName() const = 0;

private:
    [[nodiscard]] bool startDocument();

    bool m_parseData = false;
    EventLogParser m_parser;
    QStringList m_rawLines;
};

class WordDocument : public TableDocument
{
protected:
    [[nodiscard]] QString FormatName() const override { return QStringLiteral("Microsoft Word document"); }
};

class ExcelSheet : public TableDocument
{
protected:
    [[nodiscard]] QString FormatName() const override { return QStringLiteral("Microsoft Excel workbook"); }
};
