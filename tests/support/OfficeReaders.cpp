#include "tests/support/OfficeReaders.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

// Output of a reader process; an empty array when it failed, after failing the test.
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("%1 %2 failed: %3")
                                    .arg(program, arguments.join(u' '),
                                        QString::fromLocal8Bit(process.readAllStandardError()))),
            __FILE__, __LINE__);
        return {};
    }
    return process.readAllStandardOutput();
}

} // namespace

QJsonDocument OfficeReaders::runScript(const QString &script, const QStringList &arguments)
{
    return QJsonDocument::fromJson(run(QStringLiteral(LORIMET_PYTHON3),
        QStringList { QStringLiteral(LORIMET_TEST_SCRIPTS_DIR "/") + script } + arguments));
}

QStringList OfficeReaders::validationErrors(const QStringList &paths)
{
    const QJsonDocument result = QJsonDocument::fromJson(run(QStringLiteral(LORIMET_NODE),
        QStringList { QStringLiteral(LORIMET_TEST_SCRIPTS_DIR "/validate_ooxml.mjs"),
            QStringLiteral(LORIMET_OOXML_VALIDATOR) }
            + paths));
    QStringList errors;
    const QJsonObject files = result.object();
    for (auto file = files.begin(); file != files.end(); ++file)
        for (const QJsonValue error : file.value().toArray())
            errors.append(
                QStringLiteral("%1: %2 %3")
                    .arg(file.key(), error["path"]["xpath"].toString(), error["description"].toString()));
    if (result.isNull())
        errors.append("the validator printed no result");
    return errors;
}

QStringList OfficeReaders::newFindings(const QString &before, const QString &after)
{
    const QStringList all = validationErrors({ before, after });
    QStringList earlier;
    for (const QString &finding : all) {
        if (finding.startsWith(before + u':'))
            earlier << finding.mid(before.size());
    }
    QStringList added;
    for (const QString &finding : all) {
        if (finding.startsWith(after + u':') && !earlier.contains(finding.mid(after.size())))
            added << finding;
    }
    return added;
}
