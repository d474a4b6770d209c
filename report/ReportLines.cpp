#include "report/ReportLines.h"

#include <algorithm>
#include <array>

#include "common/SpaceTrim.h"

namespace {

constexpr QLatin1String DateLabel("Date:");
constexpr QLatin1String TimeLabel("Time:");
constexpr QLatin1String SerialTagLabel("Serial #:");
constexpr QLatin1String InstrumentLabel("   S/N:");
constexpr QLatin1String UserLabel("User:");
// The serial the tagging dialog proposes follows this wherever it stands in a line.
constexpr QLatin1String SerialMarker("S/N:");

struct LabelText
{
    QLatin1String text;
    ReportLines::Label label;
};

// In the order the parser tries them: the first that a line begins with is its label.
constexpr std::array<LabelText, 13> LabelTexts { {
    { DateLabel, ReportLines::Label::Date },
    { TimeLabel, ReportLines::Label::Time },
    { SerialTagLabel, ReportLines::Label::SerialTag },
    { InstrumentLabel, ReportLines::Label::Instrument },
    { UserLabel, ReportLines::Label::User },
    { QLatin1String("Peak"), ReportLines::Label::Peak },
    { QLatin1String("Time since"), ReportLines::Label::TimeSince },
    { QLatin1String("Duration"), ReportLines::Label::Duration },
    { QLatin1String("Alarm Duration"), ReportLines::Label::Duration },
    { QLatin1String("Life Remaining"), ReportLines::Label::LifeRemaining },
    { QLatin1String("Self Tests"), ReportLines::Label::SelfTests },
    { QLatin1String("Total events/duration"), ReportLines::Label::TotalEvents },
    { QLatin1String("Cumulative alarm time"), ReportLines::Label::AlarmTime },
} };

struct TagRule
{
    QLatin1String label;
    QString ReportTags::Tags::*field;
};

// The tagging dialog writes a tag line only where the line begins with its label exactly.
constexpr std::array<TagRule, 4> TagRules { {
    { DateLabel, &ReportTags::Tags::date },
    { TimeLabel, &ReportTags::Tags::time },
    { SerialTagLabel, &ReportTags::Tags::serialNo },
    { UserLabel, &ReportTags::Tags::user },
} };

} // namespace

namespace ReportLines {

std::optional<Labelled> label(const QString &line)
{
    for (const LabelText &known : LabelTexts) {
        if (line.startsWith(known.text, Qt::CaseInsensitive))
            return Labelled { known.label,
                valueOnItsLine(known.label) ? trimSpaces(line.mid(known.text.size())) : QString() };
    }
    return std::nullopt;
}

bool valueOnItsLine(Label label)
{
    return label <= Label::User;
}

bool isInstrumentLine(const QString &line)
{
    return line.startsWith(InstrumentLabel, Qt::CaseInsensitive);
}

QString tagValue(const QString &rest)
{
    return std::all_of(rest.cbegin(), rest.cend(), [](QChar c) { return c == u'_'; }) ? QString() : rest;
}

} // namespace ReportLines

namespace ReportTags {

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

std::optional<QString> findSerialNumber(const QStringList &lines, int start, int end)
{
    for (int position = std::max(start, 0); position < end && position < lines.size(); ++position) {
        const QString &line = lines.at(position);
        const qsizetype found = line.indexOf(SerialMarker);
        if (found >= 0)
            return trimSpaces(line.mid(found + SerialMarker.size()));
    }
    return std::nullopt;
}

QString taggedLine(const QString &line, const Tags &tags)
{
    for (const TagRule &rule : TagRules) {
        if (!line.startsWith(rule.label))
            continue;
        const QString &field = tags.*rule.field;
        if (trimSpaces(field).isEmpty())
            return line;
        return (QString(rule.label) + u' ' + field).left(ReportLines::Width);
    }
    return line;
}

} // namespace ReportTags
