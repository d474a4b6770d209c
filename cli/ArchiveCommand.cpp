#include <cstdio>
#include <optional>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "archive/ArchiveImport.h"
#include "archive/ReportArchive.h"
#include "cli/CliCommands.h"
#include "cli/ExportCommand.h"
#include "report/CsvTable.h"
#include "report/DetectorStatus.h"

const char *const ArchiveCommandArguments
    = "[--archive FILE] [--timeout SECONDS] list|show|alarms|detectors|export|import|check [ARGUMENTS]";

namespace {

QString usage()
{
    return Cli::tr(
        "Usage: lorimet-report archive [--archive FILE] [--timeout SECONDS] COMMAND\n"
        "  list [FILTERS] [--format table|csv|json]   the archived downloads, newest first\n"
        "  show ID                                     the lines of one download\n"
        "  alarms --serial S                           a detector's alarms in the order they began\n"
        "  detectors [--as-of YYYY-MM-DD] [--ends-within DAYS] [--not-downloaded-for DAYS] [--attention]\n"
        "            [--format table|csv|json]         each detector's life, last download and alarms\n"
        "  export --format txt|csv|xlsx|docx|pdf [FILTERS] [--append] OUTPUT\n"
        "                                              the downloads' lines, oldest first, as export writes "
        "them\n"
        "  import FILE...                              the reports of text exports not archived yet\n"
        "  check                                       look for damage\n"
        "FILTERS: --serial S, --user U, --since YYYY-MM-DD, --until YYYY-MM-DD\n"
        "The archive is LORIMET_ARCHIVE when set, else the program's own. A site archive's server that does\n"
        "not answer a call within SECONDS (30) is given up.\n");
}

struct ArchiveArguments
{
    QString archive;
    QDate asOf = QDate::currentDate();
    DetectorStatus::Thresholds thresholds;
    bool attention = false;
    bool detectorOptions = false; // --as-of, --ends-within, --not-downloaded-for or --attention
    std::chrono::milliseconds roundTripLimit = ReportArchive::DefaultRoundTripLimit;
    QString command;
    ArchiveFilter filter;
    QString format;
    bool append = false;
    QStringList positional;
};

// Nothing when the arguments are not a command; problem then names what was wrong when it can.
std::optional<ArchiveArguments> parseArguments(const QStringList &args, QString *problem)
{
    ArchiveArguments parsed;
    parsed.archive = ReportArchive::defaultPath();
    const auto date = [problem](const QString &text) {
        const QDate parsed = QDate::fromString(text, Qt::ISODate);
        if (!parsed.isValid())
            *problem = Cli::tr("%1 is not a date; DATE is YYYY-MM-DD").arg(text);
        return parsed;
    };
    const auto days = [problem](const QString &text) {
        bool number = false;
        const int value = text.toInt(&number);
        if (!number || value < 0 || value > 36'500)
            *problem = Cli::tr("%1 is not a number of days from 0 to 36500").arg(text);
        return value;
    };
    const auto seconds = [problem](const QString &text) {
        bool number = false;
        const int value = text.toInt(&number);
        if (!number || value <= 0 || value > 24 * 60 * 60)
            *problem = Cli::tr("%1 is not a number of seconds from 1 to 86400").arg(text);
        return std::chrono::milliseconds(std::chrono::seconds(value));
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--append")) {
            parsed.append = true;
        } else if (arg == QLatin1String("--attention")) {
            parsed.attention = true;
            parsed.detectorOptions = true;
        } else if (arg.startsWith(QLatin1String("--")) && hasValue) {
            const QString value = args.at(++i);
            parsed.detectorOptions = parsed.detectorOptions
                || QStringList { "--as-of", "--ends-within", "--not-downloaded-for" }.contains(arg);
            if (arg == QLatin1String("--archive"))
                parsed.archive = value;
            else if (arg == QLatin1String("--timeout"))
                parsed.roundTripLimit = seconds(value);
            else if (arg == QLatin1String("--serial"))
                parsed.filter.serial = value;
            else if (arg == QLatin1String("--user"))
                parsed.filter.user = value;
            else if (arg == QLatin1String("--since"))
                parsed.filter.since = date(value);
            else if (arg == QLatin1String("--until"))
                parsed.filter.until = date(value);
            else if (arg == QLatin1String("--format"))
                parsed.format = value;
            else if (arg == QLatin1String("--as-of"))
                parsed.asOf = date(value);
            else if (arg == QLatin1String("--ends-within"))
                parsed.thresholds.endsWithin = days(value);
            else if (arg == QLatin1String("--not-downloaded-for"))
                parsed.thresholds.notDownloadedFor = days(value);
            else
                return std::nullopt;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return std::nullopt;
        } else if (parsed.command.isEmpty()) {
            parsed.command = arg;
        } else {
            parsed.positional.append(arg);
        }
    }
    if (!problem->isEmpty())
        return std::nullopt;
    return parsed;
}

bool validFor(const ArchiveArguments &arguments)
{
    const QString &command = arguments.command;
    const qsizetype count = arguments.positional.size();
    const bool filtered = !arguments.filter.serial.isEmpty() || !arguments.filter.user.isEmpty()
        || arguments.filter.since.isValid() || arguments.filter.until.isValid();
    const bool listFormat
        = arguments.format.isEmpty() || QStringList { "table", "csv", "json" }.contains(arguments.format);
    if (command == QLatin1String("detectors"))
        return count == 0 && !arguments.append && !filtered && listFormat;
    if (arguments.detectorOptions)
        return false;
    if (command == QLatin1String("list"))
        return count == 0 && !arguments.append && listFormat;
    if (command == QLatin1String("export"))
        return count == 1 && isExportFormat(arguments.format, arguments.append);
    if (arguments.append || !arguments.format.isEmpty())
        return false;
    if (command == QLatin1String("alarms"))
        return count == 0 && !arguments.filter.serial.isEmpty() && arguments.filter.user.isEmpty()
            && !arguments.filter.since.isValid() && !arguments.filter.until.isValid();
    if (filtered)
        return false;
    if (command == QLatin1String("show"))
        return count == 1;
    if (command == QLatin1String("import"))
        return count >= 1;
    return command == QLatin1String("check") && count == 0;
}

// Columns padded to their widest cell.
void printTable(QTextStream &out, const QStringList &headers, const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QString &header : headers)
        widths.append(header.size());
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths.at(c), row.at(c).size());
    }
    const auto print = [&](const QStringList &cells) {
        QString line;
        for (qsizetype c = 0; c < cells.size(); ++c)
            line += (c ? QStringLiteral("  ") : QString()) + cells.at(c).leftJustified(widths.at(c));
        out << line.trimmed() << '\n';
    };
    print(headers);
    for (const QStringList &row : rows)
        print(row);
}

int list(ReportArchive &archive, const ArchiveArguments &arguments, QTextStream &out, QString *error)
{
    const std::optional<QList<ArchivedDownload>> downloads = archive.downloads(arguments.filter, error);
    if (!downloads)
        return ExitStatus::Failure;
    const QStringList headers
        = { QStringLiteral("ID"), QStringLiteral("Downloaded"), QStringLiteral("Serial number"),
              QStringLiteral("User"), QStringLiteral("Alarm events"), QStringLiteral("Highest peak") };
    if (arguments.format == QLatin1String("json")) {
        QJsonArray array;
        for (const ArchivedDownload &download : *downloads) {
            array.append(QJsonObject { { "id", download.id }, { "downloaded", download.downloadedAt },
                { "serial", download.serial }, { "user", download.user },
                { "alarmEvents", download.alarmCount }, { "highestPeak", download.highestPeak } });
        }
        out << QJsonDocument(array).toJson();
        return ExitStatus::Success;
    }
    QList<QStringList> rows;
    for (const ArchivedDownload &download : *downloads) {
        rows.append({ QString::number(download.id), download.downloadedAt, download.serial, download.user,
            QString::number(download.alarmCount), download.highestPeak });
    }
    if (arguments.format == QLatin1String("csv")) {
        out << QString::fromUtf8(CsvTable::toCsv(headers, rows));
        return ExitStatus::Success;
    }
    printTable(out, headers, rows);
    return ExitStatus::Success;
}

// A value the JSON of a detector gives as null when the archive does not know it.
QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// "2026-12-05 13:05" as ISO 8601, "2026-12-05T13:05:00"; a date alone stays a date.
QString isoDownload(const QString &downloaded)
{
    const QDateTime at = QDateTime::fromString(downloaded, QStringLiteral("yyyy-MM-dd HH:mm"));
    return at.isValid() ? at.toString(Qt::ISODate) : downloaded;
}

int detectors(ReportArchive &archive, const ArchiveArguments &arguments, QTextStream &out, QString *error)
{
    const std::optional<QList<DetectorStatus::Detector>> detectors = archive.detectors(error);
    if (!detectors)
        return ExitStatus::Failure;
    QJsonArray array;
    QList<QStringList> rows;
    for (const DetectorStatus::Detector &detector : *detectors) {
        const QStringList status = detector.status(arguments.asOf, arguments.thresholds);
        if (arguments.attention && status.isEmpty())
            continue;
        const QDate ends = detector.ends();
        const QString months
            = detector.lifeRemainingMonths ? QString::number(*detector.lifeRemainingMonths) : QString();
        bool numbered = false;
        const int selfTests = detector.selfTests.toInt(&numbered);
        array.append(QJsonObject { { "serial", detector.serial }, { "downloads", detector.downloads },
            { "last_download", isoDownload(detector.lastDownload) }, { "last_user", detector.lastUser },
            { "life_remaining_months",
                detector.lifeRemainingMonths ? QJsonValue(*detector.lifeRemainingMonths) : QJsonValue() },
            { "ends", ends.isValid() ? QJsonValue(ends.toString(Qt::ISODate)) : QJsonValue() },
            { "self_tests", numbered ? QJsonValue(selfTests) : orNull(detector.selfTests) },
            { "alarm_events", detector.alarmEvents }, { "highest_peak", orNull(detector.highestPeak) },
            { "highest_peak_began", orNull(detector.highestPeakBegan) },
            { "last_alarm_began", orNull(detector.lastAlarmBegan) },
            { "status", QJsonArray::fromStringList(status) } });
        rows.append({ detector.serial, QString::number(detector.downloads), detector.lastDownload,
            detector.lastUser, months, ends.isValid() ? ends.toString(Qt::ISODate) : QString(),
            detector.selfTests, QString::number(detector.alarmEvents), detector.highestPeak,
            detector.highestPeakBegan, detector.lastAlarmBegan, status.join(u' ') });
    }
    if (arguments.format == QLatin1String("json")) {
        out << QJsonDocument(array).toJson();
        return ExitStatus::Success;
    }
    const QStringList headers
        = { QStringLiteral("Serial number"), QStringLiteral("Downloads"), QStringLiteral("Last download"),
              QStringLiteral("User"), QStringLiteral("Life (months)"), QStringLiteral("Ends"),
              QStringLiteral("Self tests"), QStringLiteral("Alarm events"), QStringLiteral("Highest peak"),
              QStringLiteral("Peak began"), QStringLiteral("Last alarm began"), QStringLiteral("Status") };
    if (arguments.format == QLatin1String("csv"))
        out << QString::fromUtf8(CsvTable::toCsv(headers, rows));
    else
        printTable(out, headers, rows);
    return ExitStatus::Success;
}

int show(ReportArchive &archive, const QString &id, QTextStream &out, QString *error)
{
    bool number = false;
    const qint64 value = id.toLongLong(&number);
    const std::optional<QStringList> lines
        = number ? archive.lines(value, error) : std::optional<QStringList>();
    if (!number)
        *error = Cli::tr("%1 is not a download's ID").arg(id);
    if (!lines)
        return ExitStatus::Failure;
    for (const QString &line : *lines)
        out << line << '\n';
    return ExitStatus::Success;
}

int alarms(ReportArchive &archive, const QString &serial, QTextStream &out, QString *error)
{
    const std::optional<QList<ArchivedAlarm>> alarms = archive.alarms(serial, error);
    if (!alarms)
        return ExitStatus::Failure;
    QList<QStringList> rows;
    for (const ArchivedAlarm &alarm : *alarms) {
        rows.append({ alarm.began.isEmpty() ? QStringLiteral("unknown") : alarm.began, alarm.peak,
            alarm.duration, QString::number(alarm.downloads) });
    }
    printTable(out,
        { QStringLiteral("Began"), QStringLiteral("Peak"), QStringLiteral("Duration"),
            QStringLiteral("Downloads") },
        rows);
    return ExitStatus::Success;
}

int exportDownloads(ReportArchive &archive, const ArchiveArguments &arguments, QTextStream &out,
    QTextStream &err, QString *error)
{
    std::optional<QList<ArchivedDownload>> downloads = archive.downloads(arguments.filter, error);
    if (!downloads)
        return ExitStatus::Failure;
    if (downloads->isEmpty()) {
        *error = Cli::tr("no archived download matches");
        return ExitStatus::Failure;
    }
    const auto lines = [&archive, &downloads](const ReportLineSink &take, QString *why) {
        // Oldest first, as they were downloaded.
        for (auto download = downloads->crbegin(); download != downloads->crend(); ++download) {
            const std::optional<QStringList> lines = archive.lines(download->id, why);
            if (!lines)
                return false;
            for (const QString &line : *lines) {
                if (!take(line, why))
                    return false;
            }
        }
        return true;
    };
    return exportReportLines(QStringLiteral("archive export"), arguments.format,
        Cli::tr("the selected downloads"), lines, arguments.positional.first(), arguments.append, out, err);
}

int import(
    ReportArchive &archive, const QStringList &files, QTextStream &out, QTextStream &err, QString *error)
{
    const bool terminal = isatty(fileno(stderr));
    ImportTally tally;
    const bool imported = importTextExports(
        archive, files, tally,
        [&](const QString &file, int done, int total) {
            if (terminal)
                err << '\r' << Cli::tr("%1: %2 of %n reports", nullptr, total).arg(file).arg(done)
                    << Qt::flush;
            return true;
        },
        error);
    if (terminal)
        err << '\n';
    for (const ImportTally::Unreadable &unreadable : tally.unreadable)
        err << unreadable.file << ':' << unreadable.where.line << ": " << unreadable.where.reason << '\n';
    out << tally.summary() << '\n';
    if (!imported)
        return ExitStatus::Failure;
    if (!tally.unreadable.isEmpty()) {
        *error = Cli::tr("some reports could not be read");
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}

int check(ReportArchive &archive, QTextStream &out, QString *error)
{
    const std::optional<QStringList> faults = archive.check(error);
    const std::optional<ReportArchive::Totals> totals = faults ? archive.totals(error) : std::nullopt;
    if (!totals)
        return ExitStatus::Failure;
    out << archive.path() << ": " << Cli::tr("%n downloads", nullptr, int(totals->downloads)) << ", "
        << Cli::tr("%n alarms", nullptr, int(totals->alarms)) << '\n';
    for (const QString &fault : *faults)
        out << fault << '\n';
    if (faults->isEmpty())
        return ExitStatus::Success;
    *error = Cli::tr("the archive is damaged");
    return ExitStatus::Failure;
}

} // namespace

int runArchiveCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString problem;
    const std::optional<ArchiveArguments> arguments = parseArguments(args, &problem);
    if (!problem.isEmpty()) {
        err << "lorimet-report archive: " << problem << Qt::endl;
        return ExitStatus::UsageError;
    }
    if (!arguments || !validFor(*arguments)) {
        err << usage();
        return ExitStatus::UsageError;
    }
    const QString &command = arguments->command;
    const bool writes = command == QLatin1String("import");
    ReportArchive archive;
    QString error;
    int status = ExitStatus::Failure;
    if (archive.open(arguments->archive,
            writes ? ReportArchive::Access::ReadWrite : ReportArchive::Access::ReadOnly, &error,
            ReportArchive::DefaultBusyTimeout, arguments->roundTripLimit)) {
        if (command == QLatin1String("list"))
            status = list(archive, *arguments, out, &error);
        else if (command == QLatin1String("show"))
            status = show(archive, arguments->positional.first(), out, &error);
        else if (command == QLatin1String("alarms"))
            status = alarms(archive, arguments->filter.serial, out, &error);
        else if (command == QLatin1String("detectors"))
            status = detectors(archive, *arguments, out, &error);
        else if (command == QLatin1String("export"))
            status = exportDownloads(archive, *arguments, out, err, &error);
        else if (command == QLatin1String("import"))
            status = import(archive, arguments->positional, out, err, &error);
        else
            status = check(archive, out, &error);
    }
    if (status != ExitStatus::Success && !error.isEmpty())
        err << "lorimet-report archive: " << error << Qt::endl;
    return status;
}
