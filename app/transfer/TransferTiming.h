#pragma once

#include <chrono>
#include <optional>

// The waits of the transfer dialogs. The defaults are the program's own; tests shorten them.
struct TransferTiming
{
    // Download: from before the adapter search until the first stage is shown as done.
    std::chrono::milliseconds connectPause { 2000 };
    // Download and reset: before the two further open-read-close cycles.
    std::chrono::milliseconds settlePause { 2000 };
    // Reset: from the start of the first drain until the row is shown as done.
    std::chrono::milliseconds drainPause { 1000 };
    // The silence that ends a read; unset keeps the adapter's own limit.
    std::optional<std::chrono::milliseconds> readTimeout;
};

// Processes pending events again and again until `duration` has passed since `start`. Elapsed time on the
// monotonic clock, so neither midnight nor a change of the system clock stretches or cuts the pause; a
// start already `duration` in the past returns at once.
void pauseSince(std::chrono::steady_clock::time_point start, std::chrono::milliseconds duration);
