#include "app/save/TableDocument.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"
#include "documents/excel/XlsxWorkbook.h"
#include "documents/word/DocxDocument.h"

namespace {

const QString ExportStatus = QStringLiteral("Export Status");

} // namespace

bool TableDocument::Initialize()
{
    return start(false, {});
}

bool TableDocument::AppendInitialize(const QString &strFileName)
{
    return start(true, strFileName);
}

void TableDocument::WriteLine(const QString &FileLine)
{
    if (m_parseData)
        m_parser.WriteLine(FileLine);
    else
        m_rawLines.append(FileLine);
    QCoreApplication::processEvents();
}

void TableDocument::ShowFile()
{
    QString error;
    if (!write(*m_file, &error))
        reportFailure(error);
}

void TableDocument::SaveAs(const QString &strFileName)
{
    if (m_failed)
        return;
    QString error;
    const bool saved = saveTableFile(
        m_file, strFileName, m_append, [this] { return createFile(); },
        [this](TableFile &file, QString *why) { return write(file, why); }, &error);
    if (!saved) {
        QMessageBox::critical(APICommonDialog::owner(), ExportStatus,
            QStringLiteral("The report could not be saved to %1.\r\n\r\n%2").arg(strFileName, error));
        return;
    }
    if (const QStringList notes = m_file->notes(); !notes.isEmpty())
        QMessageBox::information(APICommonDialog::owner(), ExportStatus, notes.join(u'\n'));
    if (!DocumentViewer::show(strFileName))
        QMessageBox::warning(APICommonDialog::owner(), ExportStatus,
            QStringLiteral("The report was saved to %1, but no program could be started to show it.")
                .arg(strFileName));
}

bool TableDocument::write(TableFile &file, QString *error) const
{
    return m_parseData ? file.writeTable(ReportTable(m_parser), error)
                       : file.writeRawLines(m_rawLines, error);
}

bool TableDocument::start(bool append, const QString &strFileName)
{
    m_append = append;
    if (m_parseData)
        m_parser.resetColumns();
    m_file = createFile();
    QString error;
    const bool ready = append ? m_file->open(strFileName, &error) : m_file->create(&error);
    if (!ready)
        reportFailure(error);
    return ready;
}

void TableDocument::reportFailure(const QString &reason)
{
    m_failed = true;
    QMessageBox::critical(APICommonDialog::owner(), ExportStatus,
        QStringLiteral("An error has occured while attempting an export of the report.\r\n\r\n%1")
            .arg(reason));
}

std::unique_ptr<TableFile> WordDocument::createFile() const
{
    return std::make_unique<DocxDocument>();
}

std::unique_ptr<TableFile> ExcelSheet::createFile() const
{
    return std::make_unique<XlsxWorkbook>();
}
