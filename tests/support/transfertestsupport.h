#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/flrdoc.h"
#include "support/hardwareemulator.h"
#include "support/scriptedprompter.h"
#include "transfer/tickclock.h"
#include "transfer/transferengine.h"

namespace flr::test {

// Time that moves only when the test says so.
class ManualClock final : public CTickClock {
public:
    uint32_t Now() const override { return m_now.load(); }
    void Advance(uint32_t ms) { m_now += ms; }

private:
    std::atomic<uint32_t> m_now{100000};
};

// A watchdog the test fires by hand.
class ManualTimer final : public CWatchdogTimer {
public:
    void Start(unsigned, uint32_t) override
    {
        running = true;
        ++starts;
    }
    void Kill(unsigned) override { running = false; }

    bool running = false;
    int starts = 0;
};

class RecordingObserver final : public CTransferObserver {
public:
    void OnStatusText(const std::string& text) override { status = text; }
    void OnPercentText(const std::string& text) override { percent = text; }
    void OnProgress(int value) override { progress.push_back(value); }
    void OnPortList(const std::vector<std::string>& items, int selected) override
    {
        portItems = items;
        portSelected = selected;
    }
    void OnDownloadEnabled(bool enabled) override { downloadEnabled = enabled; }
    void OnClose() override { ++closes; }

    std::string status;
    std::string percent;
    std::vector<int> progress;
    std::vector<std::string> portItems;
    int portSelected = -2;
    bool downloadEnabled = false;
    int closes = 0;
};

// Polls `done`, yielding in between, until it holds; false after a generous time limit, so a
// fault shows as a failure rather than a hang.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::seconds limit = std::chrono::seconds(60));

// Drains the engine's mailbox on this (the owner's) thread until `done` holds; false after a
// generous time limit, so a fault shows as a failure rather than a hang.
bool RunUntil(CTransferEngine& engine, const std::function<bool()>& done,
              std::chrono::seconds limit = std::chrono::seconds(60));

// A show, the hardware on a pseudo-terminal, and the clock, watchdog, window and prompts a
// download runs with, all driven by the test.
class TransferRig {
public:
    // A started engine on the show, the hardware on COM1 unless `ports` says otherwise; each
    // opened port's monitor runs, so bytes sent from now on are delivered.
    std::unique_ptr<CTransferEngine> MakeEngine(const CPortMap& ports);
    std::unique_ptr<CTransferEngine> MakeEngine();
    // Until the download has ended and the hardware has taken its last byte.
    bool RunToEnd(CTransferEngine& engine);

    ScriptedPrompter prompter;
    ManualClock clock;
    ManualTimer timer;
    RecordingObserver observer;
    CFLRDoc doc;
    HardwareEmulator hardware;
};

// `count` entries one second apart (from 00:00:01:00), addresses A01, A02, ... across the
// banks, numbered once at the end.
void BuildShow(CFLRDoc& doc, int count);

}  // namespace flr::test
