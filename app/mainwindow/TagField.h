#pragma once

#include <QLineEdit>
#include <QPointer>

// A one-line field of the tagging dialog: borderless until it has the focus, all text selected when it
// gets the focus, and a limit that applies to what the user types or pastes, never to text set in code.
// It takes only characters that a text report (Windows-1252) can hold, and tells the user which one it
// refused.
class TagField : public QLineEdit
{
    Q_OBJECT

public:
    explicit TagField(int typingLimit, QWidget *parent = nullptr);

    [[nodiscard]] int typingLimit() const { return m_typingLimit; }
    // While read-only, the field passes the focus on to this widget.
    void setFocusForward(QWidget *next) { m_focusForward = next; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    [[nodiscard]] int room() const;
    void pasteWithinLimit();
    void tellRefused();

    int m_typingLimit;
    QString m_refused; // the last character refused
    QPointer<QWidget> m_focusForward;
};
