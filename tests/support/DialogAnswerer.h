#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <functional>

// What a message box showed when the answerer met it.
struct MessageBoxRecord
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the modal dialogs that the code under test opens, one handler per dialog in the order they
// appear, so that a test drives the real message boxes and dialogs. A dialog nobody expected is recorded
// and rejected, and a dialog left open by a failed check is rejected too, so a broken test fails instead
// of hanging.
class DialogAnswerer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget *dialog)>;

    explicit DialogAnswerer(QObject *parent = nullptr);
    ~DialogAnswerer() override;

    void expectDialog(Handler handler);
    // Records the message box in messageBoxes(), then clicks the given button.
    void expectMessageBox(QMessageBox::StandardButton answer);

    [[nodiscard]] int pendingCount() const { return static_cast<int>(m_handlers.size()); }
    [[nodiscard]] const QList<MessageBoxRecord> &messageBoxes() const { return m_messageBoxes; }
    // Window titles of the dialogs that appeared with no handler left for them.
    [[nodiscard]] const QStringList &unexpected() const { return m_unexpected; }
    // Those titles, and a note for each expected dialog that never came: empty when all went as expected.
    [[nodiscard]] QStringList unanswered() const
    {
        return m_unexpected + QStringList(pendingCount(), "(an expected dialog never came)");
    }

    // Records a message box as the answerer sees it; handy for handlers of their own.
    static MessageBoxRecord record(const QMessageBox *box);

private:
    void scheduleNextPoll();
    void poll();

    std::deque<Handler> m_handlers;
    QPointer<QWidget> m_lastAnswered;
    QList<MessageBoxRecord> m_messageBoxes;
    QStringList m_unexpected;
};
