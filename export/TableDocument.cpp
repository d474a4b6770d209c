#include "TableDocument.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "APICommonDialog.h"

bool TableDocument::Initialize()
{
    return startDocument();
}

bool TableDocument::AppendInitialize(const QString &strFileName)
{
    Q_UNUSED(strFileName)
    return startDocument();
}

void TableDocument::WriteLine(const QString &FileLine)
{
    if (m_parseData)
        m_parser.WriteLine(FileLine);
    else
        m_rawLines.append(FileLine);
    QCoreApplication::processEvents();
}

bool TableDocument::startDocument()
{
    if (m_parseData)
        m_parser.ResetColumns();
    // This build cannot produce the document yet; say so rather than pretend to save it.
    QMessageBox::critical(APICommonDialog::Owner(), QStringLiteral("Export Status"),
        QStringLiteral("An error has occured while attempting an export of the report.\r\n\r\n"
                       "Saving as a %1 is not available yet.")
            .arg(FormatName()));
    return false;
}
