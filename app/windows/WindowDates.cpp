#include "app/windows/WindowDates.h"

#include <QLocale>

namespace WindowDates {

namespace {

const QString IsoDate = QStringLiteral("yyyy-MM-dd");

bool isoLocale(const QLocale &locale)
{
    return locale.language() == QLocale::English || locale.language() == QLocale::C;
}

} // namespace

QString shown(QDate date)
{
    const QLocale locale;
    if (!date.isValid())
        return {};
    return isoLocale(locale) ? date.toString(IsoDate) : locale.toString(date, editFormat());
}

QString shown(const QString &stored)
{
    if (isoLocale(QLocale()))
        return stored;
    const qsizetype space = stored.indexOf(u' ');
    const QDate date = QDate::fromString(stored.left(space), IsoDate);
    if (!date.isValid())
        return stored;
    return space < 0 ? shown(date) : shown(date) + stored.mid(space);
}

QString editFormat()
{
    const QLocale locale;
    if (isoLocale(locale))
        return IsoDate;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

} // namespace WindowDates
