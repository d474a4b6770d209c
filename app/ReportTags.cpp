#include "app/ReportTags.h"

#include <algorithm>
#include <array>

#include "app/ReportDisplayModel.h"
#include "common/SpaceTrim.h"

namespace ReportTags {

namespace {

struct TagRule
{
    QString label;
    QString prefix;
    QString Tags::*field;
};

const std::array<TagRule, 4> &tagRules()
{
    static const std::array<TagRule, 4> rules { {
        { QStringLiteral("Date:"), QStringLiteral("Date: "), &Tags::date },
        { QStringLiteral("Time:"), QStringLiteral("Time: "), &Tags::time },
        { QStringLiteral("Serial #:"), QStringLiteral("Serial #: "), &Tags::serialNo },
        { QStringLiteral("User:"), QStringLiteral("User: "), &Tags::user },
    } };
    return rules;
}

bool isFilled(const QString &field)
{
    return !trimSpaces(field).isEmpty();
}

} // namespace

QString formatDate(QDate date, const QLocale &locale)
{
    // Some English locales abbreviate to "Sept" or "June"; the tag keeps the three letters of its form in
    // all of them. Digits are Latin in every locale, as in the rest of the report.
    const QLocale &names = locale.language() == QLocale::English ? QLocale::c() : locale;
    return QStringLiteral("%1-%2-%3")
        .arg(QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')),
            names.monthName(date.month(), QLocale::ShortFormat),
            QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')));
}

QString formatTime(QTime time)
{
    // The C locale's AM/PM texts are the capital "AM" and "PM" whatever the user's locale.
    return QLocale::c().toString(time, QStringLiteral("h:mm AP"));
}

std::optional<QString> findSerialNumber(const ReportDisplayModel &display, int start, int end)
{
    static const QString marker = QStringLiteral("S/N:");
    for (int position = start; position < end; ++position) {
        const QString line = display.line(position);
        const qsizetype found = line.indexOf(marker);
        if (found >= 0)
            return trimSpaces(line.mid(found + marker.size()));
    }
    return std::nullopt;
}

QString taggedLine(const QString &line, const Tags &tags)
{
    for (const TagRule &rule : tagRules()) {
        if (!line.startsWith(rule.label))
            continue;
        const QString &field = tags.*rule.field;
        if (!isFilled(field))
            return line;
        return (rule.prefix + field).left(ReportLineWidth);
    }
    return line;
}

void writeTags(ReportDisplayModel &display, int start, int end, const Tags &tags)
{
    for (int position = std::max(start, 0); position < end && position < display.count(); ++position) {
        const QString line = display.line(position);
        const QString tagged = taggedLine(line, tags);
        if (tagged != line)
            display.setLine(position, tagged);
    }
}

} // namespace ReportTags
