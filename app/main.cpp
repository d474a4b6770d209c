#include <QApplication>

#include "frmMain.h"

#ifdef LORIMET_DEMO
#include "DemoDialogs.h"
#else
#include "HidapiBackend.h"
#include "ProgramDialogs.h"
#endif

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimet Adapter"));
    QApplication::setApplicationVersion(QStringLiteral(LORIMET_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(LORIMET_APP_ID));

#ifdef LORIMET_DEMO
    // The demo drives a simulated adapter that answers each download with the next shipped report.
    DemoDialogs dialogs(QStringLiteral(":/captures"));
#else
    HidapiBackend backend;
    ProgramDialogs dialogs(backend);
#endif
    frmMain window(dialogs);
    window.show();
    return QApplication::exec();
}
