#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "model/flrdoc.h"
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
    void OnStatusText(const std::string&) override {}
    void OnPercentText(const std::string& text) override { percent = text; }
    void OnProgress(int value) override { progress.push_back(value); }
    void OnPortList(const std::vector<std::string>& items, int selected) override
    {
        portItems = items;
        portSelected = selected;
    }
    void OnDownloadEnabled(bool enabled) override { downloadEnabled = enabled; }
    void OnClose() override { ++closes; }

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

// `count` entries one second apart (from 00:00:01:00), addresses A01, A02, ... across the
// banks, numbered once at the end.
void BuildShow(CFLRDoc& doc, int count);

}  // namespace flr::test
