#include "app/transfer/TransferWidgets.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>

#include "app/windows/WindowFonts.h"

namespace TransferWidgets {

QLabel *addIcon(QWidget *parent, const QString &objectName, StageIcon icon, int left, int top, bool visible)
{
    auto *image = new QLabel(parent);
    image->setObjectName(objectName);
    image->setPixmap(QPixmap(icon == StageIcon::Arrow ? QStringLiteral(":/dialogs/icons/arrow.png")
                                                      : QStringLiteral(":/dialogs/icons/checkmark.png")));
    image->setGeometry(twips(left), twips(top), twips(240), twips(240));
    image->setVisible(visible);
    return image;
}

QLabel *addStageLabel(QWidget *parent, const QString &objectName, const QString &text, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(WindowFonts::arial(8.25, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    label->setPalette(palette);
    label->setGeometry(twips(510), twips(top), twips(3165), twips(195));
    return label;
}

void setFixedFrame(QWidget *dialog, const QString &caption, int widthTwips, int heightTwips)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(caption);
    dialog->setFixedSize(twips(widthTwips), twips(heightTwips));
}

QString initializationErrorText(bool accessDenied)
{
    QString text = QCoreApplication::translate(
        "TransferWidgets", "The device is not attached to the system.  Please re-check the USB connection.");
    if (accessDenied) {
        // The platform reports a present adapter that this user may not open like a missing one; without
        // this hint the user would go looking at the cable.
        text += QCoreApplication::translate("TransferWidgets",
            "\n\nThe adapter was found, but this user is not allowed to open it. Install the "
            "udev rule 70-lorimet-adapter.rules that comes with this program (cmake --install "
            "puts it into udev's rules directory), then unplug the adapter and plug it in "
            "again.");
    }
    return text;
}

void showInitializationError(QWidget *parent, bool accessDenied)
{
    QMessageBox::critical(parent, QCoreApplication::translate("TransferWidgets", "Initialization Error"),
        initializationErrorText(accessDenied), QMessageBox::Ok);
}

} // namespace TransferWidgets
