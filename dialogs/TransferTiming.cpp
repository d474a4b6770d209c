#include "TransferTiming.h"

#include <algorithm>

#include <QEventLoop>
#include <QTimer>

void pauseSince(const MonotonicClock &clock, std::chrono::steady_clock::time_point start,
    std::chrono::milliseconds duration)
{
    // Short slices keep the pause exact for any clock, also one that does not follow real time.
    constexpr std::chrono::milliseconds slice { 10 };
    const auto deadline = start + duration;
    for (auto now = clock(); now < deadline; now = clock()) {
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        QEventLoop loop;
        QTimer::singleShot(std::min(remaining, slice), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
