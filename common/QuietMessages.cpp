#include "common/QuietMessages.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler passOn = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message.startsWith(QLatin1String("Unable to free statement"))
            || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))))
        return;
    if (passOn)
        passOn(type, context, message);
}

} // namespace

void installQuietMessages()
{
    passOn = qInstallMessageHandler(quietMessages);
}
