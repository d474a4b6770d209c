#pragma once

#include <QAction>
#include <QPushButton>
#include <QStringList>

#include <functional>

#include "CommandDialogs.h"
#include "OutputList.h"

// Stands in for the transfer and save dialogs: a download appends the prepared lines one at a time and
// selects each as the adapter does, and every call is recorded with the main window's command state.
class FakeCommandDialogs : public CommandDialogs
{
public:
    struct CommandState
    {
        bool anyButtonEnabled = false;
        bool aboutEnabled = false;
    };

    QStringList downloadLines;
    // Runs inside a transfer, after the lines have been appended.
    std::function<void(QWidget *owner)> duringTransfer;

    int progressCalls = 0;
    int resetCalls = 0;
    QList<QStringList> savedLines;
    QList<CommandState> statesDuringTransfer;

    void showProgress(QWidget *owner, OutputList &output) override
    {
        ++progressCalls;
        for (const QString &line : downloadLines) {
            output.AddItem(line);
            output.SetListIndex(static_cast<qint16>(output.ListCount() - 1));
        }
        recordState(owner);
        if (duringTransfer)
            duringTransfer(owner);
    }

    void showReset(QWidget *owner) override
    {
        ++resetCalls;
        recordState(owner);
        if (duringTransfer)
            duringTransfer(owner);
    }

    void showSaveOptions(QWidget *, const QStringList &displayLines) override
    {
        savedLines.append(displayLines);
    }

private:
    void recordState(QWidget *owner)
    {
        CommandState state;
        const auto buttons = owner->findChildren<QPushButton *>();
        state.anyButtonEnabled = std::any_of(
            buttons.cbegin(), buttons.cend(), [](const QPushButton *button) { return button->isEnabled(); });
        if (auto *about = owner->findChild<QAction *>(QStringLiteral("mnuHelpAbout")))
            state.aboutEnabled = about->isEnabled();
        statesDuringTransfer.append(state);
    }
};
