#pragma once

#include <QString>

class QLabel;
class QWidget;

// What the download and reset dialogs share: their fixed frame, the stage rows, the placement and the
// box shown when the adapter cannot be opened.
namespace TransferWidgets {

// Layouts are designed in twips, 15 to the pixel.
[[nodiscard]] constexpr int twips(int value)
{
    return value / 15;
}

enum class StageIcon
{
    Arrow,
    CheckMark
};

// A 16 x 16 stage icon at left, top (twips, within parent).
QLabel *addIcon(QWidget *parent, const QString &objectName, StageIcon icon, int left, int top, bool visible);
// A stage label at left 510, top (twips), 3165 x 195 twips, Arial 8.25 pt bold in dark gray.
QLabel *addStageLabel(QWidget *parent, const QString &objectName, const QString &text, int top);

// Fixed dialog frame without minimise or maximise box, client area in twips.
void setFixedFrame(QWidget *dialog, const QString &caption, int widthTwips, int heightTwips);

[[nodiscard]] QString initializationErrorText(bool accessDenied);
// The critical "Initialization Error" box; returns when the user has closed it.
void showInitializationError(QWidget *parent, bool accessDenied);

} // namespace TransferWidgets
