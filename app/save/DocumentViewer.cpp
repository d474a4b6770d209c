#include "app/save/DocumentViewer.h"

#include <QDesktopServices>

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

bool DocumentViewer::show(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}
