#pragma once

#include <QString>

// Removes leading and trailing spaces only: a tab or another blank is text the detector or the user put
// there, unlike QString::trimmed().
[[nodiscard]] QString trimSpaces(const QString &text);
