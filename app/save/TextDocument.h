#pragma once

#include <QCoreApplication>
#include <QString>

#include "app/save/ReportWriter.h"
#include "documents/export/ReportExport.h"

// Writes the display lines, unparsed, to a text file the user picks, appending them to what it holds in one
// go, and then opens it in the user's text viewer. A file that cannot take all of them is left as it was.
class TextDocument : public ReportWriter
{
    Q_DECLARE_TR_FUNCTIONS(TextDocument)

public:
    [[nodiscard]] bool BrowseForDestination() override;
    void WriteLine(const QString &FileLine) override;
    void ShowFile() override;

private:
    void reportFailure(const QString &reason);

    QString m_filePath;
    ReportExport m_export { ReportExport::Format::Text, true };
};
