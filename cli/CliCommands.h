#pragma once

#include <chrono>

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

class HidBackend;

// Exit statuses of lorimet-report.
namespace ExitStatus {
inline constexpr int Success = 0;
inline constexpr int Failure = 1;
inline constexpr int UsageError = 2;
} // namespace ExitStatus

// The tool's texts for people, in the user's language: Cli::tr().
struct Cli
{
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

// One subcommand: its name, its arguments as the help shows them, a one-line summary (untranslated) and
// its function. Each takes the arguments after its own name.
struct CliCommand
{
    QString name;
    QString arguments;
    const char *summary;
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

[[nodiscard]] const QList<CliCommand> &cliCommands();

// The whole tool: arguments without the program name.
[[nodiscard]] int runLorimetReport(const QStringList &args, QTextStream &out, QTextStream &err);

int runDecodeCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runRecordCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runArchiveCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The archive command's arguments, as the tool's help shows them.
extern const char *const ArchiveCommandArguments;

// The record command on a given HID layer and read limit.
int recordTransfer(HidBackend &backend, const QString &captureFile, std::chrono::milliseconds readLimit,
    QTextStream &out, QTextStream &err);
