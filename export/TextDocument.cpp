#include "TextDocument.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>

#include "APICommonDialog.h"

namespace {

TextDocument::FileOpener &fileOpener()
{
    static TextDocument::FileOpener opener;
    return opener;
}

} // namespace

void TextDocument::SetFileOpener(FileOpener opener)
{
    fileOpener() = std::move(opener);
}

bool TextDocument::BrowseForDestination()
{
    m_filePath = APICommonDialog::ShowOpenFileDialog(QStringLiteral("Report File Location"),
        QStringLiteral("Text Files"), QStringLiteral("*.txt"), QStringLiteral("C:\\"));
    if (m_filePath.isEmpty())
        return false;
    if (!m_filePath.endsWith(QLatin1String(".txt"), Qt::CaseSensitive))
        m_filePath += QLatin1String(".txt");
    if (!m_file.Open(m_filePath)) {
        reportFailure();
        return false;
    }
    return true;
}

void TextDocument::WriteLine(const QString &FileLine)
{
    m_file.WriteLine(FileLine);
    QCoreApplication::processEvents();
}

void TextDocument::ShowFile()
{
    if (!m_file.Close()) {
        reportFailure();
        return;
    }
    const QUrl url = QUrl::fromLocalFile(m_filePath);
    const bool opened = fileOpener() ? fileOpener()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        QMessageBox::warning(APICommonDialog::Owner(), QStringLiteral("Export Status"),
            QStringLiteral("The report was saved to %1, but no program could be started to "
                           "show it.")
                .arg(m_filePath));
}

void TextDocument::reportFailure()
{
    QMessageBox::critical(APICommonDialog::Owner(), QStringLiteral("Export Status"),
        QStringLiteral("The report could not be written to %1.\r\n\r\n%2")
            .arg(m_filePath, m_file.ErrorString()));
}
