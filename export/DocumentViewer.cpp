#include "export/DocumentViewer.h"

#include <QDesktopServices>

namespace {

DocumentViewer::Opener &opener()
{
    static DocumentViewer::Opener installed;
    return installed;
}

} // namespace

void DocumentViewer::SetOpener(Opener replacement)
{
    opener() = std::move(replacement);
}

bool DocumentViewer::Show(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}
