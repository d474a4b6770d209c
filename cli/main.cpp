#include <cstdio>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include "CliCommands.h"

int main(int argc, char *argv[])
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
