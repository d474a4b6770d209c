#include <QApplication>

#include "CommandDialogs.h"
#include "frmMain.h"

namespace {

// Stands in until the transfer and save dialogs are built: a download receives nothing, and neither a
// reset nor a save does anything.
class IdleCommandDialogs : public CommandDialogs
{
public:
    void showProgress(QWidget *, OutputList &) override { }
    void showReset(QWidget *) override { }
    void showSaveOptions(QWidget *, const QStringList &) override { }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimet Adapter"));
    QApplication::setApplicationVersion(QStringLiteral(LORIMET_VERSION));

    IdleCommandDialogs dialogs;
    frmMain window(dialogs);
    window.show();
    return QApplication::exec();
}
