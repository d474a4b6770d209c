#pragma once

#include <chrono>

#include <QFile>
#include <QMessageBox>
#include <QStringList>

#include "app/transfer/TransferTiming.h"
#include "device/simulated/SimulatedHidBus.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestFiles.h"

using namespace std::chrono_literals;

// Short enough for many runs per test, long enough for a loaded machine to keep up.
inline TransferTiming quickTiming()
{
    return { .connectPause = 60ms, .settlePause = 60ms, .drainPause = 40ms, .readTimeout = 400ms };
}

// The lines a download of the shipped capture must add, written down independently of the decoder.
inline QStringList referenceLines(const QString &name)
{
    QFile file(QStringLiteral(LORIMET_TEST_DATA_DIR "/dialogs/") + name + ".lines");
    const QStringList lines
        = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n') : QStringList();
    return lines.mid(0, lines.size() - 1);
}

// One input report carrying text and the end of its line (at most seven characters).
inline QByteArray lineReport(const QByteArray &text)
{
    return (QByteArray(1, '\0') + text + '\n').leftJustified(9, '\x04');
}

// The "Initialization Error" box: the text verbatim, and after an empty line the udev hint when the
// adapter was there but not to be opened.
inline void verifyInitializationError(const QList<MessageBoxRecord> &boxes, bool withHint)
{
    QCOMPARE(boxes.size(), 1);
    const MessageBoxRecord &box = boxes.first();
    QVERIFY(box.title == "Initialization Error" && box.icon == QMessageBox::Critical
        && box.buttons == QMessageBox::Ok);
    const QStringList parts = box.text.split("\n\n");
    QCOMPARE(parts.first(), "The device is not attached to the system.  Please re-check the USB connection.");
    QCOMPARE(parts.size(), withHint ? 2 : 1);
    QVERIFY(!withHint
        || (parts.last().contains("70-lorimet-adapter.rules") && parts.last().contains("plug it in again")));
}
