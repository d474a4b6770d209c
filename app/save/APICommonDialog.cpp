#include "app/save/APICommonDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>

#include "common/SpaceTrim.h"

namespace {

QPointer<QWidget> &ownerWidget()
{
    static QPointer<QWidget> owner;
    return owner;
}

APICommonDialog::DialogRunner &dialogRunner()
{
    static APICommonDialog::DialogRunner runner;
    return runner;
}

QString runFileDialog(
    APICommonDialog::DialogKind kind, const APICommonDialog::FileDialogOptions &options, QWidget *owner)
{
    QFileDialog dialog(owner, options.Title, options.InitialDir);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setNameFilters(APICommonDialog::nameFilters(options.Filter));
    // Both kinds accept a new file name, which only a save-mode dialog does on every desktop (GTK's open
    // dialog takes existing files alone). Neither asks before an existing file is chosen: the text export
    // adds to it, and the save options ask about it themselves.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (kind == APICommonDialog::DialogKind::Open)
        dialog.setLabelText(QFileDialog::Accept, QCoreApplication::translate("APICommonDialog", "Open"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString showFileDialog(APICommonDialog::DialogKind kind, const QString &title, const QString &filterName,
    const QString &pattern, const QString &initialDir)
{
    APICommonDialog::FileDialogOptions options;
    options.Title = title;
    options.InitialDir = APICommonDialog::resolveInitialDir(initialDir);
    options.Filter
        = APICommonDialog::BuildDialogFilter({ filterName + QStringLiteral(" (") + pattern + u')', pattern });
    options.Flags = kind == APICommonDialog::DialogKind::Open ? APICommonDialog::OpenDialogFlags
                                                              : APICommonDialog::SaveDialogFlags;
    const APICommonDialog::DialogRunner &runner = dialogRunner();
    options.SelectedFile
        = runner ? runner(kind, options, ownerWidget()) : runFileDialog(kind, options, ownerWidget());
    return trimSpaces(options.SelectedFile);
}

} // namespace

void APICommonDialog::setOwner(QWidget *owner)
{
    ownerWidget() = owner;
}

QWidget *APICommonDialog::owner()
{
    return ownerWidget();
}

void APICommonDialog::setDialogRunner(DialogRunner runner)
{
    dialogRunner() = std::move(runner);
}

QString APICommonDialog::ShowOpenFileDialog(
    const QString &title, const QString &filterName, const QString &pattern, const QString &initialDir)
{
    return showFileDialog(DialogKind::Open, title, filterName, pattern, initialDir);
}

QString APICommonDialog::ShowSaveFileDialog(
    const QString &title, const QString &filterName, const QString &pattern, const QString &initialDir)
{
    return showFileDialog(DialogKind::Save, title, filterName, pattern, initialDir);
}

QString APICommonDialog::BuildDialogFilter(const QStringList &items)
{
    if (items.isEmpty())
        return {};
    QString filter;
    for (const QString &item : items)
        filter += item + QChar(u'\0');
    if (items.size() % 2 != 0)
        filter += QStringLiteral("*.*") + QChar(u'\0');
    return filter + QChar(u'\0');
}

QStringList APICommonDialog::nameFilters(const QString &filter)
{
    const QString list = filter.isEmpty()
        ? BuildDialogFilter({ QCoreApplication::translate("APICommonDialog", "All Files") })
        : filter;
    const QStringList items = list.split(QChar(u'\0'), Qt::SkipEmptyParts);
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const QString &name = items.at(i);
        const QString &pattern = items.at(i + 1);
        // Qt reads the patterns from the parentheses of the name.
        nameFilters.append(
            name.contains(u'(' + pattern + u')') ? name : name + QStringLiteral(" (") + pattern + u')');
    }
    return nameFilters;
}

QString APICommonDialog::resolveInitialDir(const QString &initialDir)
{
    if (initialDir.isEmpty())
        return QDir::currentPath();
    if (initialDir == QLatin1String("C:\\")) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return documents.isEmpty() || !QDir(documents).exists() ? QDir::homePath() : documents;
    }
    return initialDir;
}
