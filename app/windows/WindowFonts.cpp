#include "app/windows/WindowFonts.h"

QFont WindowFonts::arial(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
