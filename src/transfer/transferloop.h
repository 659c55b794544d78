#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "transfer/tickclock.h"

namespace flr {

class CTransferEngine;

// A headless owner's loop for a CTransferEngine (flr-cli, benchmarks): drains the engine's
// mailbox and fires its watchdog timer on the real clock. Everything runs on the thread that
// calls Run; it is the engine's owner's thread.
class CTransferLoop final : public CWatchdogTimer {
public:
    CTransferLoop() = default;

    // Binds the engine whose mailbox and timer this loop serves (not owned).
    void Attach(CTransferEngine& engine) { m_engine = &engine; }

    // Runs until `done` returns true (checked after every batch of notifications and every
    // timer tick). False when `limit` passed first.
    bool Run(const std::function<bool()>& done, std::chrono::milliseconds limit);

    void Start(unsigned id, uint32_t periodMs) override;
    void Kill(unsigned id) override;

private:
    using Clock = std::chrono::steady_clock;

    CTransferEngine* m_engine = nullptr;
    // One timer is all the engine uses.
    unsigned m_timerId = 0;
    std::chrono::milliseconds m_period{0};
    std::optional<Clock::time_point> m_due;
};

}  // namespace flr
