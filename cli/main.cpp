#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include "CliCommands.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    return runLorimetReport(app.arguments().mid(1), out, err);
}
