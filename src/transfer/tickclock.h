#pragma once

#include <chrono>
#include <cstdint>

namespace flr {

// A millisecond tick count that wraps at 2^32, as the download's watchdog compares it.
// Injected so tests can make five seconds pass at once.
class CTickClock {
public:
    virtual ~CTickClock() = default;
    virtual uint32_t Now() const = 0;
};

// The monotonic clock of the machine.
class CSteadyTickClock final : public CTickClock {
public:
    uint32_t Now() const override
    {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
};

// A periodic timer on the owner's thread; whoever implements it calls the engine's OnTimer
// with the id at every period. Injected so that tests fire it by hand.
class CWatchdogTimer {
public:
    virtual ~CWatchdogTimer() = default;
    // Starts (or restarts) the timer `id` with the given period.
    virtual void Start(unsigned id, uint32_t periodMs) = 0;
    virtual void Kill(unsigned id) = 0;
};

}  // namespace flr
