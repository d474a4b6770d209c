#include "documents/table/FontMetrics.h"

#include <algorithm>
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
#include "documents/table/FontMetricsTables.inc"
};

static_assert(std::size(FontTables) == static_cast<std::size_t>(MetricFont::CambriaBoldItalic) + 1);

// Where a face lies after its family's regular one.
constexpr int FacesPerFamily = 4;
int faceOffset(bool bold, bool italic)
{
    return (bold ? 1 : 0) + (italic ? 2 : 0);
}

struct Family
{
    const char *name;
    MetricFont regular;
};

// Family names, and those of the fonts made to the same metrics.
constexpr Family Families[] = {
    { "Calibri", MetricFont::CalibriRegular },
    { "Carlito", MetricFont::CalibriRegular },
    { "Arial", MetricFont::ArialRegular },
    { "Liberation Sans", MetricFont::ArialRegular },
    { "Arimo", MetricFont::ArialRegular },
    { "Helvetica", MetricFont::ArialRegular },
    { "Times New Roman", MetricFont::TimesRegular },
    { "Liberation Serif", MetricFont::TimesRegular },
    { "Tinos", MetricFont::TimesRegular },
    { "Times", MetricFont::TimesRegular },
    { "Courier New", MetricFont::CourierRegular },
    { "Liberation Mono", MetricFont::CourierRegular },
    { "Cousine", MetricFont::CourierRegular },
    { "Courier", MetricFont::CourierRegular },
    { "Cambria", MetricFont::CambriaRegular },
    { "Caladea", MetricFont::CambriaRegular },
};

} // namespace

double FontMetrics::textWidth(MetricFont font, const QString &text, double pointSize)
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

std::optional<MetricFont> FontMetrics::forFamily(const QString &family, bool bold, bool italic)
{
    const QString name = family.trimmed();
    for (const Family &known : Families) {
        if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return static_cast<MetricFont>(static_cast<int>(known.regular) + faceOffset(bold, italic));
    }
    return std::nullopt;
}

double FontMetrics::textWidth(
    const QString &family, bool bold, const QString &text, double pointSize, bool italic)
{
    if (const std::optional<MetricFont> font = forFamily(family, bold, italic))
        return textWidth(*font, text, pointSize);
    double widest = 0;
    for (int regular = 0; regular < static_cast<int>(std::size(FontTables)); regular += FacesPerFamily) {
        widest = std::max(
            widest, textWidth(static_cast<MetricFont>(regular + faceOffset(bold, italic)), text, pointSize));
    }
    return widest;
}
