#include "CliCommands.h"

#include <algorithm>

namespace {

const QString ProgramName = QStringLiteral("lorimet-report");

bool isHelpOption(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

void printHelp(QTextStream &out)
{
    out << "Usage: " << ProgramName << " COMMAND [ARGUMENTS]\n\n"
        << "Works with the reports of the Lorimet Adapter without opening a window.\n\n"
        << "Commands:\n";
    for (const CliCommand &command : cliCommands()) {
        const QString synopsis = command.name + QLatin1Char(' ') + command.arguments;
        out << "  " << synopsis.leftJustified(18) << ' ' << command.summary << '\n';
    }
    out << "\nOptions:\n"
        << "  -h, --help         Show this help; after a command, that command's usage.\n";
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
