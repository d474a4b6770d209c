#include "FontMetrics.h"

#include <array>

namespace {

constexpr char16_t FirstCharacter = 0x20;
constexpr char16_t LastCharacter = 0x7E;

struct FontTable
{
    int unitsPerEm;
    int widestAdvance;
    std::array<int, LastCharacter - FirstCharacter + 1> advances;
};

constexpr FontTable FontTables[] = {
#include "FontMetricsTables.inc"
};

static_assert(std::size(FontTables) == static_cast<std::size_t>(MetricFont::ArialBold) + 1);

} // namespace

double FontMetrics::TextWidth(MetricFont font, const QString &text, double pointSize)
{
    const FontTable &table = FontTables[static_cast<std::size_t>(font)];
    qint64 units = 0;
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        // A surrogate pair is one character: its low half adds nothing.
        if (character.isLowSurrogate())
            continue;
        units += code >= FirstCharacter && code <= LastCharacter ? table.advances[code - FirstCharacter]
                                                                 : table.widestAdvance;
    }
    return static_cast<double>(units) * pointSize / table.unitsPerEm;
}
