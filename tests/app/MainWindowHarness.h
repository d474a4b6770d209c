#pragma once

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "app/CommandDialogs.h"
#include "app/ReportDisplay.h"
#include "app/frmMain.h"
#include "common/OutputList.h"
#include "tests/support/DialogAnswerer.h"

// The main window on the offscreen platform, an answerer for the real message boxes and dialogs it opens,
// and fakes of its transfer and save dialogs: a download appends the prepared lines one at a time and
// selects each as the adapter does, and every transfer records how many commands were enabled meanwhile.
struct MainWindowHarness : CommandDialogs
{
    QStringList downloadLines;
    std::function<void(QWidget *owner)> duringTransfer; // runs inside a transfer, after its lines
    int resetCalls = 0;
    QList<QStringList> savedLines;
    QList<int> enabledCommandsInTransfer;
    frmMain window { *this };
    DialogAnswerer answerer;

    [[nodiscard]] bool show()
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    ReportDisplay &display() { return window.lstOutput(); }
    void addLines(const QStringList &lines)
    {
        for (const QString &line : lines)
            display().AddItem(line);
    }
    void click(const QString &button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    void download(const QStringList &lines)
    {
        downloadLines = lines;
        click(QStringLiteral("cmdDownload"));
    }
    // Expects the tagging dialog next and hands it to handle, which closes it.
    void expectTagging(
        const std::function<void(QDialog *)> &handle = [](QDialog *dialog) { dialog->reject(); })
    {
        answerer.expectDialog([handle](QWidget *widget) {
            auto *dialog = qobject_cast<QDialog *>(widget);
            QVERIFY(dialog && dialog->objectName() == QLatin1String("frmReportTagging"));
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTRY_VERIFY(dialog->isAncestorOf(QApplication::focusWidget()));
            handle(dialog);
        });
    }
    // The command buttons and the About menu.
    [[nodiscard]] int enabledCommands() const
    {
        int enabled = window.findChild<QAction *>(QStringLiteral("mnuHelpAbout"))->isEnabled() ? 1 : 0;
        for (const QPushButton *button : window.findChildren<QPushButton *>())
            enabled += button->isEnabled() ? 1 : 0;
        return enabled;
    }
    // The titles of dialogs nobody expected, and a note for each expected one that never came.
    [[nodiscard]] QStringList unanswered() const
    {
        QStringList problems = answerer.unexpected();
        for (int missing = 0; missing < answerer.pendingCount(); ++missing)
            problems.append(QStringLiteral("(an expected dialog never came)"));
        return problems;
    }

    void showProgress(QWidget *owner, OutputList &output) override
    {
        for (const QString &line : downloadLines) {
            output.AddItem(line);
            output.SetListIndex(static_cast<qint16>(output.ListCount() - 1));
        }
        transfer(owner);
    }
    void showReset(QWidget *owner) override
    {
        ++resetCalls;
        transfer(owner);
    }
    void showSaveOptions(QWidget *, const QStringList &lines) override { savedLines.append(lines); }
    void transfer(QWidget *owner)
    {
        enabledCommandsInTransfer.append(enabledCommands());
        if (duringTransfer)
            duringTransfer(owner);
    }
};
