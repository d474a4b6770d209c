#include "app/mainwindow/TagField.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

#include "common/Windows1252.h"

namespace {

// Accepts text that Windows-1252 holds whole; remembers the character of a text it refuses.
class TextReportValidator : public QValidator
{
public:
    TextReportValidator(QString &refused, QObject *parent)
        : QValidator(parent)
        , m_refused(refused)
    {
    }

    State validate(QString &input, int &) const override
    {
        m_refused = Windows1252::firstMissing(input);
        return m_refused.isEmpty() ? Acceptable : Invalid;
    }

private:
    QString &m_refused;
};

} // namespace

TagField::TagField(int typingLimit, QWidget *parent)
    : QLineEdit(parent)
    , m_typingLimit(typingLimit)
{
    setFrame(false);
    setAcceptDrops(false);
    setDragEnabled(false);
    setValidator(new TextReportValidator(m_refused, this));
    connect(this, &QLineEdit::inputRejected, this, &TagField::tellRefused);
}

void TagField::tellRefused()
{
    if (m_refused.isEmpty())
        return;
    const QString text = tr("\"%1\" cannot be kept: a text report holds only the letters, digits "
                            "and signs of Western European languages.")
                             .arg(m_refused);
    QToolTip::showText(mapToGlobal(QPoint(0, height())), text, this);
}

void TagField::focusInEvent(QFocusEvent *event)
{
    if (isReadOnly() && m_focusForward) {
        m_focusForward->setFocus(event->reason());
        return;
    }
    setFrame(true);
    QLineEdit::focusInEvent(event);
    // A click sets its caret after the focus arrives, so its selection waits until the press is handled.
    if (event->reason() == Qt::MouseFocusReason)
        QTimer::singleShot(0, this, &QLineEdit::selectAll);
    else
        selectAll();
}

void TagField::focusOutEvent(QFocusEvent *event)
{
    setFrame(false);
    QLineEdit::focusOutEvent(event);
}

void TagField::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            pasteWithinLimit();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool typesText = !typed.isEmpty() && typed.at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (typesText && !isReadOnly() && typed.size() > room()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TagField::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &TagField::pasteWithinLimit);
    }
    menu->popup(event->globalPos());
}

int TagField::room() const
{
    const int length = static_cast<int>(text().size() - selectedText().size());
    return std::max(0, m_typingLimit - length);
}

void TagField::pasteWithinLimit()
{
    QString pasted = QApplication::clipboard()->text();
    pasted = pasted.left(pasted.indexOf(u'\n')).left(room());
    insert(pasted);
}
