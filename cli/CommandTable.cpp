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
    out << "Usage: " << ProgramName << " COMMAND [ARGUMENTS]\n\n"
        << "Works with the reports of the Lorimet Adapter without opening a window.\n\n"
        << "Commands:\n";
    const auto synopsis
        = [](const CliCommand &command) { return command.name + QLatin1Char(' ') + command.arguments; };
    qsizetype width = HelpOption.size();
    for (const CliCommand &command : cliCommands())
        width = std::max(width, synopsis(command).size());
    for (const CliCommand &command : cliCommands())
        out << "  " << synopsis(command).leftJustified(width) << "  " << command.summary << '\n';
    out << "\nOptions:\n"
        << "  " << HelpOption.leftJustified(width)
        << "  Show this help; after a command, that command's usage.\n"
        << "  " << VersionOption.leftJustified(width) << "  Show the version of " << ProgramName << ".\n";
}

} // namespace

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        { QStringLiteral("decode"), QStringLiteral("CAPTURE"),
            QStringLiteral("Print the report lines a download of the captured input reports adds."),
            &runDecodeCommand },
        { QStringLiteral("record"), QStringLiteral("CAPTURE"),
            QStringLiteral("Run one transfer on the attached adapter and save its input reports."),
            &runRecordCommand },
        { QStringLiteral("export"), QString::fromLatin1(ExportCommandArguments),
            QStringLiteral(
                "Append a saved text report to OUTPUT (txt) or write its event table (csv, xlsx, docx)."),
            &runExportCommand },
        { QStringLiteral("archive"), QString::fromLatin1(ArchiveCommandArguments),
            QStringLiteral("List, show, export and import the archived downloads, and check the archive."),
            &runArchiveCommand },
    };
    return commands;
}

int runLorimetReport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty()) {
        err << ProgramName << ": a command is missing.\n"
            << "Try '" << ProgramName << " --help'.\n";
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
            out << "Usage: " << ProgramName << ' ' << command.name << ' ' << command.arguments << '\n'
                << command.summary << '\n';
            return ExitStatus::Success;
        }
        return command.run(rest, out, err);
    }
    err << ProgramName << ": unknown command \"" << args.first() << "\".\n"
        << "Try '" << ProgramName << " --help'.\n";
    return ExitStatus::UsageError;
}
