#include "app/save/TableDocument.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"

namespace {

QString exportStatus()
{
    return TableDocument::tr("Export Status");
}

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
    QString error;
    if (!m_failed && !m_export->add(FileLine, &error))
        reportFailure(error);
    QCoreApplication::processEvents();
}

void TableDocument::ShowFile()
{
    QString error;
    if (!m_failed && !m_export->complete(&error))
        reportFailure(error);
}

void TableDocument::SaveAs(const QString &strFileName)
{
    if (m_failed)
        return;
    QString error;
    if (!m_export->save(strFileName, &error)) {
        QMessageBox::critical(APICommonDialog::owner(), exportStatus(),
            tr("The report could not be saved to %1.\r\n\r\n%2").arg(strFileName, error));
        return;
    }
    if (const QStringList notes = m_export->outcome().notes; !notes.isEmpty())
        QMessageBox::information(APICommonDialog::owner(), exportStatus(), notes.join(u'\n'));
    DocumentViewer::show(strFileName, exportStatus());
}

bool TableDocument::start(bool append, const QString &strFileName)
{
    m_export = std::make_unique<ReportExport>(m_format, append, !m_parseData);
    QString error;
    const bool ready = m_export->begin(strFileName, &error);
    if (!ready)
        reportFailure(error);
    return ready;
}

void TableDocument::reportFailure(const QString &reason)
{
    m_failed = true;
    QMessageBox::critical(APICommonDialog::owner(), exportStatus(),
        tr("An error has occured while attempting an export of the report.\r\n\r\n%1").arg(reason));
}
