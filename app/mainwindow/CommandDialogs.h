#pragma once

#include <QStringList>

class OutputList;
class QWidget;

// The dialogs that the main window's commands open and that live outside the main window. Each call
// returns when the dialog's work is over and the dialog is gone.
class CommandDialogs
{
public:
    virtual ~CommandDialogs() = default;

    // Download: shows the progress dialog owned by owner, not modal, runs the whole transfer into output
    // and unloads the dialog.
    virtual void showProgress(QWidget *owner, OutputList &output) = 0;
    // Reset: shows the reset dialog owned by owner, not modal, drains the adapter and unloads the dialog.
    virtual void showReset(QWidget *owner) = 0;
    // Save: shows the save options dialog modally, owned by owner; it exports the given display lines.
    virtual void showSaveOptions(QWidget *owner, const QStringList &displayLines) = 0;
};
