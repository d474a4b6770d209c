#pragma once

#include <QString>

#include "ReportWriter.h"
#include "TextReportFile.h"

// Writes the display lines, unparsed, to a text file the user picks, appending to what it holds, and then
// opens it in the user's text viewer.
class TextDocument : public ReportWriter
{
public:
    [[nodiscard]] bool BrowseForDestination() override;
    void WriteLine(const QString &FileLine) override;
    void ShowFile() override;

private:
    void reportFailure();

    QString m_filePath;
    TextReportFile m_file;
    bool m_failed = false;
};
