#pragma once

class QWidget;

namespace WindowPlacement {

// Centred horizontally, at one third of the free height of the window's screen.
void placeAtOneThird(QWidget &window);
// Centred over the owner's frame.
void centreOver(QWidget &window, const QWidget &owner);

} // namespace WindowPlacement
