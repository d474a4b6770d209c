#pragma once

#include <functional>

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

// The file dialogs that choose an export's destination. They belong to the main window, which sets itself
// as their owner before a save.
namespace APICommonDialog {

enum class DialogKind
{
    Open,
    Save
};

// One dialog run. Filter holds the NUL-separated list BuildDialogFilter makes.
struct FileDialogOptions
{
    QString Filter;
    qint32 FilterIndex = 0;
    QString InitialDir;
    QString FileName;
    QString Title;
    QString DefaultExt;
    qint32 Flags = 0;
    QString SelectedFile;
};

// Path must exist, hide read-only, and for the Open dialog the overwrite prompt bit, which Open ignores.
inline constexpr qint32 OpenDialogFlags = 0x806;
inline constexpr qint32 SaveDialogFlags = 0x804;

// Runs one dialog and answers the chosen path, or the empty text on cancel. Tests install their own so
// that no dialog is shown.
using DialogRunner
    = std::function<QString(DialogKind kind, const FileDialogOptions &options, QWidget *owner)>;

void setOwner(QWidget *owner);
[[nodiscard]] QWidget *owner();
// An empty runner brings back the system's file dialog.
void setDialogRunner(DialogRunner runner);

// Both take the title, the filter name, the filter pattern and the initial folder, and answer the chosen
// path without leading or trailing spaces, or the empty text when the user cancels. The folder "C:\" means
// the user's documents folder; an empty folder means the current one.
[[nodiscard]] QString ShowOpenFileDialog(
    const QString &title, const QString &filterName, const QString &pattern, const QString &initialDir);
[[nodiscard]] QString ShowSaveFileDialog(
    const QString &title, const QString &filterName, const QString &pattern, const QString &initialDir);

// Name, pattern, name, pattern, ... each followed by NUL; a name without its pattern gets "*.*"; one more
// NUL ends the list. An empty list gives the empty text.
[[nodiscard]] QString BuildDialogFilter(const QStringList &items);
// The NUL-separated filter as the name filters of Qt's file dialog.
[[nodiscard]] QStringList nameFilters(const QString &filter);
[[nodiscard]] QString resolveInitialDir(const QString &initialDir);

} // namespace APICommonDialog
