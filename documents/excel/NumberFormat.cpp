#include "documents/excel/NumberFormat.h"

#include <cmath>

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace {

const char *const BuiltInCodes[] = { "General", "0", "0.00", "#,##0", "#,##0.00", nullptr, nullptr, nullptr,
    nullptr, "0%", "0.00%", "0.00E+00", "# ?/?",
    "# ?"
    "?/?"
    "?",
    "mm-dd-yy", "d-mmm-yy", "d-mmm", "mmm-yy", "h:mm AM/PM", "h:mm:ss AM/PM", "h:mm", "h:mm:ss",
    "m/d/yy h:mm", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, "#,##0 ;(#,##0)", "#,##0 ;[Red](#,##0)", "#,##0.00;(#,##0.00)",
    "#,##0.00;[Red](#,##0.00)", nullptr, nullptr, nullptr, nullptr, "mm:ss", "[h]:mm:ss", "mmss.0",
    "##0.0E+0", "@" };

// One piece of a format section: a literal text, or a code (letters, placeholders, brackets).
struct Token
{
    bool literal = false;
    QString text;
};

QStringList sections(const QString &code)
{
    QStringList result(QString {});
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < code.size()) {
            result.last() += c;
            result.last() += code.at(++i);
            continue;
        }
        if (!quoted && c == u';')
            result.append(QString());
        else
            result.last() += c;
    }
    return result;
}

std::vector<Token> tokens(const QString &section)
{
    std::vector<Token> result;
    const auto literal = [&result](const QString &text) {
        if (!result.empty() && result.back().literal)
            result.back().text += text;
        else
            result.push_back({ true, text });
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == u'"') {
            const qsizetype end = section.indexOf(u'"', i + 1);
            literal(section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1));
            i = end < 0 ? section.size() : end;
        } else if (c == u'\\' && i + 1 < section.size()) {
            literal(section.at(++i));
        } else if (c == u'_' && i + 1 < section.size()) {
            // Space as wide as the next character.
            literal(section.at(++i));
        } else if (c == u'*' && i + 1 < section.size()) {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = section.indexOf(u']', i);
            const QString inside = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1).toLower();
            if (!inside.isEmpty() && (inside.count(inside.at(0)) == inside.size())
                && QStringLiteral("hms").contains(inside.at(0)))
                result.push_back({ false, u'[' + inside + u']' });
            i = end < 0 ? section.size() : end;
        } else if (section.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            result.push_back({ false, QStringLiteral("AM/PM") });
            i += 4;
        } else if (section.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            result.push_back({ false, QStringLiteral("A/P") });
            i += 2;
        } else if (section.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            result.push_back({ false, QStringLiteral("General") });
            i += 6;
        } else if ((c == u'E' || c == u'e') && i + 1 < section.size()
            && (section.at(i + 1) == u'+' || section.at(i + 1) == u'-')) {
            result.push_back({ false, QStringLiteral("E") });
            ++i;
        } else if (QStringLiteral("ymdhsYMDHS").contains(c)) {
            qsizetype end = i;
            while (end < section.size() && section.at(end).toLower() == c.toLower())
                ++end;
            result.push_back({ false, section.mid(i, end - i).toLower() });
            i = end - 1;
        } else if (QStringLiteral("0#?.,%/@").contains(c)) {
            result.push_back({ false, QString(c) });
        } else {
            literal(QString(c));
        }
    }
    return result;
}

bool isDateToken(const QString &text)
{
    return text.startsWith(u'[') || text == QLatin1String("AM/PM") || text == QLatin1String("A/P")
        || QStringLiteral("ymdhs").contains(text.at(0));
}

QString showDate(double value, const std::vector<Token> &parts, bool date1904)
{
    const bool twelveHour = std::any_of(parts.begin(), parts.end(), [](const Token &token) {
        return !token.literal && (token.text == QLatin1String("AM/PM") || token.text == QLatin1String("A/P"));
    });
    const double days = std::floor(value);
    const auto milliseconds = static_cast<qint64>(std::llround((value - days) * 86400000.0));
    const QDateTime moment
        = QDateTime(QDate(date1904 ? 1904 : 1899, date1904 ? 1 : 12, date1904 ? 1 : 30), QTime(0, 0), Qt::UTC)
              .addDays(static_cast<qint64>(days))
              .addMSecs(milliseconds);
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QLocale english(QLocale::English);
    const auto padded
        = [](qint64 number, int width) { return QStringLiteral("%1").arg(number, width, 10, QChar(u'0')); };

    QString shown;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Token &token = parts[i];
        if (token.literal || !isDateToken(token.text)) {
            shown += token.text;
            continue;
        }
        const QString &t = token.text;
        const qsizetype n = t.size();
        const auto near = [&](std::size_t from, int step, QChar letter) {
            for (auto j = static_cast<std::ptrdiff_t>(from) + step;
                 j >= 0 && j < static_cast<std::ptrdiff_t>(parts.size()); j += step) {
                const Token &other = parts[static_cast<std::size_t>(j)];
                if (!other.literal && isDateToken(other.text))
                    return other.text.at(0) == letter || other.text.startsWith(QStringLiteral("[") + letter);
            }
            return false;
        };
        switch (t.at(0).unicode()) {
        case u'y':
            shown += n > 2 ? padded(date.year(), 4) : padded(date.year() % 100, 2);
            break;
        case u'm':
            if (n <= 2 && (near(i, -1, u'h') || near(i, 1, u's')))
                shown += padded(time.minute(), static_cast<int>(n));
            else if (n >= 5)
                shown += english.monthName(date.month()).left(1);
            else if (n == 4)
                shown += english.monthName(date.month());
            else if (n == 3)
                shown += english.monthName(date.month(), QLocale::ShortFormat);
            else
                shown += padded(date.month(), static_cast<int>(n));
            break;
        case u'd':
            if (n >= 4)
                shown += english.dayName(date.dayOfWeek());
            else if (n == 3)
                shown += english.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else
                shown += padded(date.day(), static_cast<int>(n));
            break;
        case u'h': {
            const int hour = twelveHour ? (time.hour() % 12 == 0 ? 12 : time.hour() % 12) : time.hour();
            shown += padded(hour, std::min<int>(2, static_cast<int>(n)));
            break;
        }
        case u's':
            shown += padded(time.second(), std::min<int>(2, static_cast<int>(n)));
            break;
        case u'[': {
            const qint64 seconds = static_cast<qint64>(std::floor(value * 86400 + 0.5));
            const qint64 total = t.at(1) == u'h' ? seconds / 3600 : t.at(1) == u'm' ? seconds / 60 : seconds;
            shown += padded(total, static_cast<int>(n) - 2);
            break;
        }
        default:
            if (t == QLatin1String("AM/PM"))
                shown += time.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM");
            else
                shown += time.hour() < 12 ? u'A' : u'P';
        }
    }
    return shown;
}

QString general(double value)
{
    return QString::number(value, 'g', 11).replace(QLatin1String("e+"), QLatin1String("E+"));
}

QString showNumber(double value, const std::vector<Token> &parts)
{
    QString before;
    QString after;
    int decimals = 0;
    int integerZeros = 0;
    int percents = 0;
    bool grouped = false;
    bool scientific = false;
    bool afterPoint = false;
    bool seenPlaceholder = false;
    bool generalNumber = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Token &token = parts[i];
        const QString &t = token.text;
        if (t == QLatin1String("General")) {
            generalNumber = true;
            seenPlaceholder = true;
        } else if (token.literal || t == QLatin1String("@")) {
            (seenPlaceholder ? after : before) += t;
        } else if (t == QLatin1String("%")) {
            ++percents;
            (seenPlaceholder ? after : before) += t;
        } else if (t == QLatin1String("/")) {
            return general(value);
        } else if (t == QLatin1String("E")) {
            scientific = true;
            afterPoint = false;
        } else if (t == QLatin1String(".")) {
            afterPoint = true;
        } else if (t == QLatin1String(",")) {
            grouped = grouped
                || (i + 1 < parts.size() && !parts[i + 1].literal
                    && QStringLiteral("0#?").contains(parts[i + 1].text));
        } else if (QStringLiteral("0#?").contains(t)) {
            if (scientific)
                continue;
            seenPlaceholder = true;
            if (!after.isEmpty()) {
                before += after;
                after.clear();
            }
            if (afterPoint)
                ++decimals;
            else if (t == QLatin1String("0"))
                ++integerZeros;
        }
    }
    if (!seenPlaceholder)
        return before + after;
    for (int i = 0; i < percents; ++i)
        value *= 100;
    QString number;
    if (generalNumber) {
        number = general(value);
    } else if (scientific) {
        number = QString::number(value, 'E', decimals);
    } else {
        QLocale locale(QLocale::English);
        if (!grouped)
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
        number = locale.toString(value, 'f', decimals);
        const qsizetype point = number.indexOf(u'.');
        const qsizetype integerDigits = point < 0 ? number.size() : point;
        if (integerZeros == 0 && number.startsWith(QLatin1String("0")) && integerDigits == 1 && decimals > 0)
            number.remove(0, 1);
        else if (integerDigits < integerZeros)
            number.prepend(QString(integerZeros - integerDigits, u'0'));
    }
    return before + number + after;
}

} // namespace

QString NumberFormat::builtInCode(int id)
{
    return id >= 0 && id < static_cast<int>(std::size(BuiltInCodes)) && BuiltInCodes[id]
        ? QString::fromLatin1(BuiltInCodes[id])
        : QString();
}

QString NumberFormat::show(double value, const QString &code, bool date1904)
{
    if (!std::isfinite(value))
        return general(value);
    const QStringList all = sections(code);
    QString section = all.first();
    bool negativeSign = value < 0;
    if (value < 0 && all.size() > 1) {
        section = all.at(1);
        value = -value;
        negativeSign = false;
    } else if (value == 0 && all.size() > 2) {
        section = all.at(2);
    }
    if (section.trimmed().isEmpty()
        || section.trimmed().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
        || section.trimmed() == QLatin1String("@"))
        return general(negativeSign ? -std::fabs(value) : value);
    const std::vector<Token> parts = tokens(section);
    const bool date = std::any_of(parts.begin(), parts.end(),
        [](const Token &token) { return !token.literal && isDateToken(token.text); });
    if (date)
        return value < 0 || value > 2958465 ? QString(12, u'#') : showDate(value, parts, date1904);
    const QString shown = showNumber(std::fabs(value), parts);
    return negativeSign ? u'-' + shown : shown;
}
