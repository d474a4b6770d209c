#include "cli/CliCommands.h"

#include <algorithm>

#include "cli/ExportCommand.h"

namespace {

const QString ProgramName = QStringLiteral("lorimet-report");

bool isHelpOption(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

const QString HelpOption = QStringLiteral("-h, --help");
const QString VersionOption = QStringLiteral("--version");

void printHelp(QTextStream &out)
{
    out << Cli::tr("Usage: %1 COMMAND [ARGUMENTS]").arg(ProgramName) << "\n\n"
        << Cli::tr("Works with the reports of the Lorimet Adapter without opening a window.") << "\n\n"
        << Cli::tr("Commands:") << '\n';
    const auto synopsis
        = [](const CliCommand &command) { return command.name + QLatin1Char(' ') + command.arguments; };
    qsizetype width = HelpOption.size();
    for (const CliCommand &command : cliCommands())
        width = std::max(width, synopsis(command).size());
    for (const CliCommand &command : cliCommands())
        out << "  " << synopsis(command).leftJustified(width) << "  " << Cli::tr(command.summary) << '\n';
    out << '\n'
        << Cli::tr("Options:") << '\n'
        << "  " << HelpOption.leftJustified(width) << "  "
        << Cli::tr("Show this help; after a command, that command's usage.") << '\n'
        << "  " << VersionOption.leftJustified(width) << "  "
        << Cli::tr("Show the version of %1.").arg(ProgramName) << '\n';
}

} // namespace

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        { QStringLiteral("decode"), QStringLiteral("CAPTURE"),
            QT_TRANSLATE_NOOP("Cli", "Print the report lines a download of the captured input reports adds."),
            &runDecodeCommand },
        { QStringLiteral("record"), QStringLiteral("CAPTURE"),
            QT_TRANSLATE_NOOP("Cli", "Run one transfer on the attached adapter and save its input reports."),
            &runRecordCommand },
        { QStringLiteral("export"), QString::fromLatin1(ExportCommandArguments),
            QT_TRANSLATE_NOOP("Cli",
                "Append a saved text report to OUTPUT (txt) or write its event table (csv, xlsx, docx)."),
            &runExportCommand },
        { QStringLiteral("archive"), QString::fromLatin1(ArchiveCommandArguments),
            QT_TRANSLATE_NOOP(
                "Cli", "List, show, export and import the archived downloads, and check the archive."),
            &runArchiveCommand },
    };
    return commands;
}

int runLorimetReport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty()) {
        err << ProgramName << ": " << Cli::tr("a command is missing.") << '\n'
            << Cli::tr("Try '%1 --help'.").arg(ProgramName) << '\n';
        return ExitStatus::UsageError;
    }
    if (isHelpOption(args.first())) {
        printHelp(out);
        return ExitStatus::Success;
    }
    if (args.first() == VersionOption) {
        out << ProgramName << ' ' << LORIMET_VERSION << '\n';
        return ExitStatus::Success;
    }
    for (const CliCommand &command : cliCommands()) {
        if (command.name != args.first())
            continue;
        const QStringList rest = args.mid(1);
        if (std::any_of(rest.begin(), rest.end(), isHelpOption)) {
            out << Cli::tr("Usage: %1").arg(ProgramName + u' ' + command.name + u' ' + command.arguments)
                << '\n'
                << Cli::tr(command.summary) << '\n';
            return ExitStatus::Success;
        }
        return command.run(rest, out, err);
    }
    err << ProgramName << ": " << Cli::tr("unknown command \"%1\".").arg(args.first()) << '\n'
        << Cli::tr("Try '%1 --help'.").arg(ProgramName) << '\n';
    return ExitStatus::UsageError;
}
