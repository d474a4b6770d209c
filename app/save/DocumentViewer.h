#pragma once

#include <functional>

#include <QString>
#include <QUrl>

// Shows a saved export in the program the desktop opens such files with.
namespace DocumentViewer {

// Opens a file; tests install their own so that nothing is launched.
using Opener = std::function<bool(const QUrl &url)>;
// An empty opener brings back the desktop's.
void setOpener(Opener opener);

// Opens the saved file; when no program could be started for it, says so in a warning with the given
// title.
void show(const QString &path, const QString &title);

} // namespace DocumentViewer
