#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include "cli/CliCommands.h"
#include "cli/ExportCommand.h"
#include "common/QuietMessages.h"
#include "common/Translations.h"

namespace {

int run(int argc, char *argv[])
{
    installQuietMessages();
    // Fonts need the GUI library, and that a platform: the tool never shows a window.
    std::unique_ptr<QCoreApplication> app;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (paintsReport(args)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    Translations::install(*app, QLocale::system());
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);
    // Unbuffered, so that a failed write shows in the file's error.
    QFile standardOutput;
    if (!standardOutput.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        err << "lorimet-report: "
            << Cli::tr("cannot write to standard output: %1").arg(standardOutput.errorString()) << '\n';
        return ExitStatus::Failure;
    }
    QTextStream out(&standardOutput);
    out.setEncoding(QStringConverter::Utf8);
    const int status = runLorimetReport(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    // A command that failed has said why; one that succeeded but could not deliver its output has not.
    if (status == ExitStatus::Success
        && (out.status() != QTextStream::Ok || standardOutput.error() != QFileDevice::NoError)) {
        err << "lorimet-report: "
            << Cli::tr("cannot write to standard output: %1").arg(standardOutput.errorString()) << '\n';
        return ExitStatus::Failure;
    }
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write beyond the file-size limit fails with EFBIG, which the writers answer by cutting the file
    // back, instead of killing the process halfway through.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("lorimet-report: out of memory; nothing was written.\n", stderr);
    } catch (const std::exception &exception) {
        std::fprintf(stderr, "lorimet-report: %s; nothing was written.\n", exception.what());
    }
    return ExitStatus::Failure;
}
