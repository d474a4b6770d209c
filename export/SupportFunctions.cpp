#include "SupportFunctions.h"

QString SupportFunctions::PadSingleDigits(const QString &text)
{
    QString result = text;
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString alone = QStringLiteral(" %1 ").arg(QChar::fromLatin1(digit));
        const QString padded = QStringLiteral(" 0%1 ").arg(QChar::fromLatin1(digit));
        result.replace(alone, padded, Qt::CaseSensitive);
    }
    if (result.size() >= 2 && result.at(0).isDigit() && result.at(0).unicode() < 0x80 && result.at(1) == u' ')
        result.prepend(u'0');
    return result;
}

QString SupportFunctions::NormalizeDuration(const QString &text, bool noSeconds)
{
    QString result = text;
    if (!result.contains(QLatin1String("mins"), Qt::CaseSensitive))
        result.prepend(QLatin1String("00 mins "));
    if (!result.contains(QLatin1String("hrs"), Qt::CaseSensitive))
        result.prepend(QLatin1String("00 hrs "));
    if (!result.contains(QLatin1String("days"), Qt::CaseSensitive))
        result.prepend(QLatin1String("00 days "));
    if (!noSeconds && !result.contains(QLatin1String("secs"), Qt::CaseSensitive))
        result.append(QLatin1String(" 00 secs"));
    return result;
}
