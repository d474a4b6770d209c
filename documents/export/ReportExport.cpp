#include "documents/export/ReportExport.h"

#include <QCoreApplication>
#include <QLocale>

#include "documents/excel/XlsxWorkbook.h"
#include "documents/word/DocxDocument.h"
#include "report/AlarmReport.h"
#include "report/CsvTable.h"
#include "report/ReportTable.h"
#include "report/TextReportFile.h"

namespace {

QString count(int number)
{
    return QLocale(QLocale::English).toString(number);
}

} // namespace

ReportExport::ReportExport(Format format, bool append, bool raw)
    : m_format(format)
    , m_append(append && (format == Format::Text || format == Format::Word || format == Format::Excel))
    , m_raw(raw && isTable())
{
}

ReportExport::~ReportExport() = default;

bool ReportExport::begin(const QString &appendTo, QString *error)
{
    switch (m_format) {
    case Format::Text: {
        const bool opened = m_textFile.open(appendTo, error);
        if (!m_textFile.note().isEmpty())
            m_outcome.notes.append(m_textFile.note());
        return opened;
    }
    case Format::Word:
    case Format::Excel:
        m_tableFile = makeTableFile();
        return m_append ? m_tableFile->open(appendTo, error) : m_tableFile->create(error);
    case Format::Csv:
    case Format::Pdf:
        return true;
    }
    return true;
}

bool ReportExport::add(const QString &line, QString *error)
{
    ++m_outcome.lines;
    if (m_format == Format::Text) {
        m_text += TextReportFile::encodeLine(line, &m_outcome.replaced);
        return true;
    }
    if (m_raw) {
        m_lines.append(line);
        return true;
    }
    m_parser.WriteLine(line);
    const QString source
        = m_sourceName.isEmpty() ? QCoreApplication::translate("ReportExport", "the report") : m_sourceName;
    // One row of a worksheet holds the headers.
    if (m_format != Format::Pdf && m_parser.rowCount() >= XlsxWorkbook::MaxRows) {
        *error = QCoreApplication::translate(
            "ReportExport", "%1 holds more alarm events than the %2 rows of a worksheet can take")
                     .arg(source, count(XlsxWorkbook::MaxRows));
        return false;
    }
    if (m_format == Format::Pdf && m_parser.rowCount() > MaxPrintedEvents) {
        *error = QCoreApplication::translate(
            "ReportExport", "%1 holds more than the %2 alarm events a printed report takes")
                     .arg(source, count(MaxPrintedEvents));
        return false;
    }
    return true;
}

bool ReportExport::complete(QString *error)
{
    m_outcome.events = m_raw || m_format == Format::Text ? 0 : m_parser.rowCount();
    return !m_tableFile || writeTable(*m_tableFile, error);
}

bool ReportExport::save(const QString &destination, QString *error)
{
    switch (m_format) {
    case Format::Text:
        return m_text.isEmpty() || m_textFile.append(m_text, error);
    case Format::Word:
    case Format::Excel: {
        const bool saved = saveTableFile(
            m_tableFile, destination, m_append, [this] { return makeTableFile(); },
            [this](TableFile &file, QString *why) { return writeTable(file, why); }, error);
        if (saved)
            m_outcome.notes.append(m_tableFile->notes());
        return saved;
    }
    case Format::Csv:
    case Format::Pdf: {
        const std::optional<QByteArray> content = m_format == Format::Pdf ? pdf(error) : bytes(error);
        return content && SafeFile::replace(destination, *content, error);
    }
    }
    return false;
}

std::optional<QByteArray> ReportExport::bytes(QString *error) const
{
    switch (m_format) {
    case Format::Text:
        return m_text;
    case Format::Csv:
        return CsvTable::toCsv(ReportTable(m_parser, QLocale(QLocale::English)));
    case Format::Word:
    case Format::Excel:
    case Format::Pdf:
        break;
    }
    *error = QCoreApplication::translate("ReportExport", "this document is written to a file only");
    return std::nullopt;
}

std::unique_ptr<TableFile> ReportExport::makeTableFile() const
{
    if (m_format == Format::Word)
        return std::make_unique<DocxDocument>();
    return std::make_unique<XlsxWorkbook>();
}

bool ReportExport::writeTable(TableFile &file, QString *error) const
{
    return m_raw ? file.writeRawLines(m_lines, error)
                 : file.writeTable(ReportTable(m_parser, QLocale(QLocale::English)), error);
}

std::optional<QByteArray> ReportExport::pdf(QString *error) const
{
    return PrintedReport::pdf(AlarmReport(m_parser), m_printOptions, error);
}
