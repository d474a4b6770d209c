#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include "app/mainwindow/DownloadArchive.h"
#include "app/mainwindow/frmMain.h"
#include "archive/ReportArchive.h"
#include "common/QuietMessages.h"
#include "common/Translations.h"

#ifdef LORIMET_DEMO
#include "app/mainwindow/DemoDialogs.h"
#else
#include "app/mainwindow/ProgramDialogs.h"
#include "device/HidapiBackend.h"
#endif

namespace {

// --help and --version are answered before any window exists, so they work where there is no display.
bool answeredOption(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", LORIMET_PROGRAM, LORIMET_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            QCoreApplication application(argc, argv);
            Translations::install(application, QLocale::system());
            const QString help = QCoreApplication::translate("main",
                "Usage: %1 [-h | --help | --version]\n"
                "Downloads the event log of an H2S gas detector through the Lorimet Adapter, shows it\n"
                "in a window and saves it as text, a Word document or an Excel workbook.\n\n"
                "  -h, --help  Show this help and exit.\n"
                "  --version   Show the version and exit.\n");
            std::fputs(help.arg(QStringLiteral(LORIMET_PROGRAM)).toLocal8Bit().constData(), stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredOption(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
#ifdef SIGXFSZ
    // A write beyond the file-size limit fails with EFBIG, which the writers answer by cutting the file
    // back, instead of killing the program halfway through.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    installQuietMessages();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimet Adapter"));
    QApplication::setApplicationVersion(QStringLiteral(LORIMET_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(LORIMET_APP_ID));
    Translations::install(application, QLocale::system());

#ifdef LORIMET_DEMO
    // The demo drives a simulated adapter that answers each download with the next shipped report.
    DemoDialogs dialogs(QStringLiteral(":/captures"));
#else
    HidapiBackend backend;
    ProgramDialogs dialogs(backend);
#endif
    const QString settings = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                                 .filePath(QStringLiteral("settings.ini"));
#ifdef LORIMET_DEMO
    // The demo's made-up downloads are kept apart from the real ones, here and on a site archive.
    DownloadArchive archive(ReportArchive::defaultPath(QStringLiteral("archive-demo.sqlite")), settings,
        QStringLiteral("demoSiteArchive"));
#else
    DownloadArchive archive(ReportArchive::defaultPath(), settings);
#endif
    frmMain window(dialogs);
    window.setArchive(&archive);
    window.show();
    // What an earlier run could not send to the site archive.
    archive.sendWaiting(&window);
    try {
        return QApplication::exec();
    } catch (const std::bad_alloc &) {
        // An export that ran out of memory has written nothing; the program cannot go on.
        std::fprintf(stderr, "%s: out of memory.\n", LORIMET_PROGRAM);
    }
    return 1;
}
