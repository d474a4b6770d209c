#include "report/DetectorStatus.h"

#include <QRegularExpression>

namespace DetectorStatus {

std::optional<int> lifeMonths(const QString &lifeRemaining)
{
    static const QRegularExpression months(QStringLiteral("^\\s*(\\d{1,4})\\s*(?:months?|mo\\.?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = months.match(lifeRemaining);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

QDate Detector::ends() const
{
    // addMonths keeps the day where the month has it, and takes the month's last day where it does not.
    return lifeRemainingMonths && lifeReportedOn.isValid() ? lifeReportedOn.addMonths(*lifeRemainingMonths)
                                                           : QDate();
}

QStringList Detector::status(QDate asOf, const Thresholds &thresholds) const
{
    QStringList words;
    if (const QDate end = ends(); end.isValid()) {
        if (end <= asOf)
            words.append(Expired);
        else if (asOf.daysTo(end) <= thresholds.endsWithin)
            words.append(EndsSoon);
    }
    const QDate downloaded = QDate::fromString(lastDownload.left(10), Qt::ISODate);
    if (!downloaded.isValid() || downloaded.daysTo(asOf) > thresholds.notDownloadedFor)
        words.append(NotDownloaded);
    return words;
}

} // namespace DetectorStatus
