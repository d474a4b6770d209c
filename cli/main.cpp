#include <csignal>
#include <cstdio>
#include <exception>
#include <new>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include "cli/CliCommands.h"

namespace {

int run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);
    // Unbuffered, so that a failed write shows in the file's error.
    QFile standardOutput;
    if (!standardOutput.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        err << "lorimet-report: cannot write to standard output: " << standardOutput.errorString() << '\n';
        return ExitStatus::Failure;
    }
    QTextStream out(&standardOutput);
    out.setEncoding(QStringConverter::Utf8);
    const int status = runLorimetReport(app.arguments().mid(1), out, err);
    out.flush();
    // A command that failed has said why; one that succeeded but could not deliver its output has not.
    if (status == ExitStatus::Success
        && (out.status() != QTextStream::Ok || standardOutput.error() != QFileDevice::NoError)) {
        err << "lorimet-report: cannot write to standard output: " << standardOutput.errorString() << '\n';
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
