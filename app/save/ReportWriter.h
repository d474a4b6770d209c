#pragma once

#include <QString>

// The operations the export drivers call on a writer, in this order. Text: BrowseForDestination, then
// WriteLine per display line, then ShowFile. Tables: ParseData, then Initialize or AppendInitialize, then
// WriteLine per display line, ShowFile and SaveAs. A writer that does not offer an operation answers
// False, or does nothing.
class ReportWriter
{
public:
    virtual ~ReportWriter() = default;

    // True when a destination file is open for writing.
    [[nodiscard]] virtual bool BrowseForDestination() { return false; }

    [[nodiscard]] virtual bool ParseData() const { return false; }
    virtual void setParseData(bool blnNewValue) { Q_UNUSED(blnNewValue) }

    // True when a new empty document is ready; a writer that answers False has told the user why.
    [[nodiscard]] virtual bool Initialize() { return false; }
    // True when the existing document is open and ready to receive more; as Initialize otherwise.
    [[nodiscard]] virtual bool AppendInitialize(const QString &strFileName)
    {
        Q_UNUSED(strFileName)
        return false;
    }

    virtual void WriteLine(const QString &FileLine) = 0;
    // Completes the document and shows it to the user.
    virtual void ShowFile() = 0;
    virtual void SaveAs(const QString &strFileName) { Q_UNUSED(strFileName) }
};
