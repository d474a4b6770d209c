#include "app/save/DocumentViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>

#include "app/save/APICommonDialog.h"

namespace {

DocumentViewer::Opener &opener()
{
    static DocumentViewer::Opener installed;
    return installed;
}

} // namespace

void DocumentViewer::setOpener(Opener replacement)
{
    opener() = std::move(replacement);
}

void DocumentViewer::show(const QString &path, const QString &title)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (!(opener() ? opener()(url) : QDesktopServices::openUrl(url)))
        QMessageBox::warning(APICommonDialog::owner(), title,
            QCoreApplication::translate(
                "DocumentViewer", "The report was saved to %1, but no program could be started to show it.")
                .arg(path));
}
