#include "app/save/TextDocument.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"
#include "report/TextReportFile.h"

bool TextDocument::BrowseForDestination()
{
    m_filePath = APICommonDialog::ShowOpenFileDialog(
        tr("Report File Location"), tr("Text Files"), QStringLiteral("*.txt"), QStringLiteral("C:\\"));
    if (m_filePath.isEmpty())
        return false;
    if (!m_filePath.endsWith(QLatin1String(".txt"), Qt::CaseSensitive))
        m_filePath += QLatin1String(".txt");
    QString error;
    const bool opened = m_export.begin(m_filePath, &error);
    if (const QStringList notes = m_export.outcome().notes; !notes.isEmpty())
        QMessageBox::information(APICommonDialog::owner(), tr("Export Status"), notes.join(u'\n'));
    if (!opened)
        reportFailure(error);
    return opened;
}

void TextDocument::WriteLine(const QString &FileLine)
{
    QString unused;
    // A text report takes any number of lines.
    Q_UNUSED(m_export.add(FileLine, &unused))
    QCoreApplication::processEvents();
}

void TextDocument::ShowFile()
{
    QString error;
    if (!m_export.complete(&error) || !m_export.save(m_filePath, &error)) {
        reportFailure(error);
        return;
    }
    if (const qsizetype replaced = m_export.outcome().replaced; replaced > 0)
        QMessageBox::information(
            APICommonDialog::owner(), tr("Export Status"), TextReportFile::replacedNote(replaced));
    DocumentViewer::show(m_filePath, tr("Export Status"));
}

void TextDocument::reportFailure(const QString &reason)
{
    QMessageBox::critical(APICommonDialog::owner(), tr("Export Status"),
        tr("The report could not be written to %1.\r\n\r\n%2").arg(m_filePath, reason));
}
