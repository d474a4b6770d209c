#include "app/save/TextDocument.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"

bool TextDocument::BrowseForDestination()
{
    m_filePath = APICommonDialog::ShowOpenFileDialog(QStringLiteral("Report File Location"),
        QStringLiteral("Text Files"), QStringLiteral("*.txt"), QStringLiteral("C:\\"));
    if (m_filePath.isEmpty())
        return false;
    if (!m_filePath.endsWith(QLatin1String(".txt"), Qt::CaseSensitive))
        m_filePath += QLatin1String(".txt");
    if (!m_file.open(m_filePath)) {
        reportFailure();
        return false;
    }
    if (const QString note = m_file.note(); !note.isEmpty())
        QMessageBox::information(APICommonDialog::owner(), QStringLiteral("Export Status"), note);
    return true;
}

void TextDocument::WriteLine(const QString &FileLine)
{
    m_file.WriteLine(FileLine);
    QCoreApplication::processEvents();
}

void TextDocument::ShowFile()
{
    if (!m_file.close()) {
        reportFailure();
        return;
    }
    if (m_file.replaced() > 0)
        QMessageBox::information(APICommonDialog::owner(), QStringLiteral("Export Status"),
            TextReportFile::replacedNote(m_file.replaced()));
    if (!DocumentViewer::show(m_filePath))
        QMessageBox::warning(APICommonDialog::owner(), QStringLiteral("Export Status"),
            QStringLiteral("The report was saved to %1, but no program could be started to "
                           "show it.")
                .arg(m_filePath));
}

void TextDocument::reportFailure()
{
    QMessageBox::critical(APICommonDialog::owner(), QStringLiteral("Export Status"),
        QStringLiteral("The report could not be written to %1.\r\n\r\n%2")
            .arg(m_filePath, m_file.errorString()));
}
