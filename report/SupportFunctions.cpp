#include "report/SupportFunctions.h"

#include <array>
#include <utility>

#include <QRegularExpression>
#include <QStringList>

QString SupportFunctions::PadSingleDigits(const QString &text)
{
    // " 0 " -> " 00 ", ..., " 9 " -> " 09 ", each pass on the result of the one before.
    static const std::array<std::pair<QString, QString>, 10> passes = [] {
        std::array<std::pair<QString, QString>, 10> result;
        for (char digit = '0'; digit <= '9'; ++digit)
            result[digit - '0'] = { QStringLiteral(" %1 ").arg(QChar::fromLatin1(digit)),
                QStringLiteral(" 0%1 ").arg(QChar::fromLatin1(digit)) };
        return result;
    }();
    QString result = text;
    for (const auto &[alone, padded] : passes) {
        if (result.contains(alone, Qt::CaseSensitive))
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

namespace SupportFunctions {

std::optional<Span> span(const QString &text)
{
    static const QRegularExpression part(
        QStringLiteral("(\\d+)\\s*(day|hr|hour|min|sec)"), QRegularExpression::CaseInsensitiveOption);
    Span result { 0, 0 };
    for (const QRegularExpressionMatch &match : part.globalMatch(text)) {
        const QString name = match.captured(2).toLower();
        result.unit = name == QLatin1String("day") ? Day
            : name.startsWith(u'h')                ? Hour
            : name == QLatin1String("min")         ? Minute
                                                   : 1;
        result.seconds += match.captured(1).toLongLong() * result.unit;
    }
    if (result.unit == 0)
        return std::nullopt;
    return result;
}

QString spanText(qint64 seconds)
{
    // The report's own units, in the singular for one: "1 hr 3 mins", "2 days 1 sec".
    const auto part = [](qint64 count, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
    };
    QStringList parts;
    const qint64 days = seconds / Day;
    const qint64 hours = seconds / Hour % 24;
    const qint64 minutes = seconds / Minute % 60;
    if (days > 0)
        parts << part(days, "day", "days");
    if (hours > 0)
        parts << part(hours, "hr", "hrs");
    if (minutes > 0)
        parts << part(minutes, "min", "mins");
    if (seconds % Minute > 0 || parts.isEmpty())
        parts << part(seconds % Minute, "sec", "secs");
    return parts.join(u' ');
}

} // namespace SupportFunctions
