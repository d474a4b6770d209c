#include "app/transfer/TransferTiming.h"

#include <algorithm>

#include <QEventLoop>
#include <QTimer>

void pauseSince(std::chrono::steady_clock::time_point start, std::chrono::milliseconds duration)
{
    // Short slices keep the events flowing and the end of the pause exact.
    constexpr std::chrono::milliseconds slice { 10 };
    const auto deadline = start + duration;
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now()) {
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        QEventLoop loop;
        QTimer::singleShot(std::min(remaining, slice), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
