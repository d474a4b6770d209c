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

// False when no program could be started for the file.
[[nodiscard]] bool show(const QString &path);

} // namespace DocumentViewer
