#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The program's pictures, drawn at run time so that they stay sharp at any screen scale.
namespace Artwork {

// The 125 x 70 logo of the main window and the about box.
[[nodiscard]] QPixmap logo(qreal devicePixelRatio = 1.0);
[[nodiscard]] QIcon windowIcon();
// The emblem of the window icon on a transparent square; also the desktop menu's icon.
[[nodiscard]] QImage iconImage(int side);

} // namespace Artwork
