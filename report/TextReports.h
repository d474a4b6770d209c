#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A text export split back into the detector reports it holds, each with its display lines.
namespace TextReports {

struct Report
{
    int firstLine = 0; // 1-based line number in the file
    QStringList lines;
};

struct Unreadable
{
    int line = 0;
    QString reason;
};

struct Split
{
    QList<Report> reports;
    QList<Unreadable> unreadable;
};

// A file larger than this is not a text export.
inline constexpr qint64 MaxFileBytes = qint64(256) * 1024 * 1024;

// Each report runs from its header (the banner lines above the detector's "S/N:" line that every report
// of the file shares) to the line before the next report's header. A report with a line no display can hold
// is unreadable, and so is text before the first report.
[[nodiscard]] Split split(const QByteArray &bytes);
[[nodiscard]] std::optional<Split> read(const QString &path, QString *error);

} // namespace TextReports
