#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

// The single-byte code page of the detector's text and of exported text files.
namespace Windows1252 {

// Every byte has a character: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the C1 control characters of the same value.
[[nodiscard]] QChar toUnicode(unsigned char byte);
[[nodiscard]] QString toUnicode(QByteArrayView bytes);

// Characters the code page lacks become "?"; replaced, when given, is increased by their number.
[[nodiscard]] QByteArray fromUnicode(const QString &text, qsizetype *replaced = nullptr);
// The first character of text that the code page lacks, or an empty string when it has them all.
[[nodiscard]] QString firstMissing(const QString &text);

} // namespace Windows1252
