#pragma once

#include <QFont>

namespace WindowFonts {

// The windows' font: Arial, 8.25 pt unless a control says otherwise.
[[nodiscard]] QFont arial(qreal pointSize = 8.25, bool bold = false);

} // namespace WindowFonts
