#include "tests/support/DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

void rejectModal(QWidget *widget)
{
    if (auto *dialog = qobject_cast<QDialog *>(widget))
        dialog->reject();
    else
        widget->close();
}

} // namespace

DialogAnswerer::DialogAnswerer(QObject *parent)
    : QObject(parent)
{
    scheduleNextPoll();
}

DialogAnswerer::~DialogAnswerer()
{
    while (QWidget *widget = QApplication::activeModalWidget()) {
        rejectModal(widget);
        QApplication::processEvents();
        if (QApplication::activeModalWidget() == widget)
            break;
    }
}

void DialogAnswerer::expectDialog(Handler handler)
{
    m_handlers.push_back(std::move(handler));
}

void DialogAnswerer::expectMessageBox(QMessageBox::StandardButton answer)
{
    expectDialog([this, answer](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY2(box, "expected a message box");
        m_messageBoxes.append(record(box));
        QAbstractButton *button = box->button(answer);
        QVERIFY2(button, "the message box has no such button");
        button->click();
    });
}

MessageBoxRecord DialogAnswerer::record(const QMessageBox *box)
{
    MessageBoxRecord result;
    result.title = box->windowTitle();
    result.text = box->text();
    result.icon = box->icon();
    result.buttons = box->standardButtons();
    if (QPushButton *defaultButton = box->defaultButton())
        result.defaultButton = box->standardButton(defaultButton);
    return result;
}

void DialogAnswerer::scheduleNextPoll()
{
    // A fresh single-shot timer for every poll: a timer does not fire again while its own slot runs, so a
    // handler that opens a further modal dialog still has that one answered by the next poll.
    QTimer::singleShot(5, this, &DialogAnswerer::poll);
}

void DialogAnswerer::poll()
{
    scheduleNextPoll();
    QWidget *widget = QApplication::activeModalWidget();
    // A progress dialog asks nothing: on a slow machine it shows while the work runs, and closes itself.
    if (!widget || widget == m_lastAnswered || !widget->isVisible()
        || qobject_cast<QProgressDialog *>(widget))
        return;
    m_lastAnswered = widget;

    if (m_handlers.empty()) {
        m_unexpected.append(widget->windowTitle());
        rejectModal(widget);
        return;
    }
    Handler handler = std::move(m_handlers.front());
    m_handlers.pop_front();
    handler(widget);

    // A failed check inside the handler may leave the dialog open; close it so the test can end.
    if (QTest::currentTestFailed() && m_lastAnswered && m_lastAnswered->isVisible())
        rejectModal(m_lastAnswered);
}
