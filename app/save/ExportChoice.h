#pragma once

#include <QString>

// The Word or Excel destination chosen in the save dialogs, read by the export drivers. It lives for the
// whole run and keeps its values from one save to the next.
struct ExportChoice
{
    // Empty when the user cancelled the save dialog.
    QString ExportFileName;
    // True: add to the existing document; False: create a new one and save it under the name.
    bool ExportAppend = false;
    // True when the user cancelled the file-exists question.
    bool ExportCancelled = false;
};

[[nodiscard]] ExportChoice &exportChoice();
