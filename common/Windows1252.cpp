#include "common/Windows1252.h"

#include <array>
#include <optional>

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

// The byte of a character, or nothing when the code page lacks it.
std::optional<char> encode(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == code)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

// The length of the character at i: two for a pair of surrogates, which stands for one character.
qsizetype characterLength(const QString &text, qsizetype i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

} // namespace

QChar Windows1252::toUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(HighControlRange[byte - 0x80]);
    return QChar(byte);
}

QString Windows1252::toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *character = text.data();
    for (const char byte : bytes)
        *character++ = toUnicode(static_cast<unsigned char>(byte));
    return text;
}

QByteArray Windows1252::fromUnicode(const QString &text, qsizetype *replaced)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    // A character outside the basic plane is one "?", not one per surrogate.
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i)) {
        const std::optional<char> byte = encode(text.at(i));
        bytes.append(byte.value_or('?'));
        if (!byte && replaced)
            ++*replaced;
    }
    return bytes;
}

QString Windows1252::firstMissing(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i)) {
        if (!encode(text.at(i)))
            return text.mid(i, characterLength(text, i));
    }
    return {};
}
