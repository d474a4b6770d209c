#include "app/windows/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

void placeAtOneThird(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = window.frameGeometry().size();
    window.move(
        area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 3);
}

void centreOver(QWidget &window, const QWidget &owner)
{
    const QRect ownerFrame = owner.frameGeometry();
    const QSize outer = window.frameGeometry().size();
    window.move(ownerFrame.left() + (ownerFrame.width() - outer.width()) / 2,
        ownerFrame.top() + (ownerFrame.height() - outer.height()) / 2);
}

} // namespace WindowPlacement
