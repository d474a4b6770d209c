#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn at run time so that they stay sharp at any screen scale.
namespace Artwork {

// The 125 x 70 logo of the main window and the about box.
[[nodiscard]] QPixmap logo(qreal devicePixelRatio = 1.0);
[[nodiscard]] QIcon windowIcon();

} // namespace Artwork
