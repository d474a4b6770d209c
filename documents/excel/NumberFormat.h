#pragma once

#include <QString>

// How a spreadsheet program shows numbers, as far as fitting a column to a cell needs it.
namespace NumberFormat {

// The format code of a built-in number format id (0 to 49), or an empty text for an id that has none.
[[nodiscard]] QString builtInCode(int id);

// The text a cell with the format code shows for value: dates and times (a serial day count since
// 1899-12-30, or since 1904-01-01 in the 1904 date system), elapsed times, fixed decimals, thousands
// separators, percentages, scientific notation and literal text as a spreadsheet program shows them in
// English; fractions and anything this does not know as the General format.
[[nodiscard]] QString show(double value, const QString &code, bool date1904 = false);

} // namespace NumberFormat
