#include "support/transfertestsupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace flr::test {

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

bool RunUntil(CTransferEngine& engine, const std::function<bool()>& done,
              std::chrono::seconds limit)
{
    return WaitFor(
        [&] {
            if (done()) return true;
            engine.Mailbox().Dispatch(std::chrono::milliseconds(10));
            return false;
        },
        limit);
}

std::unique_ptr<CTransferEngine> TransferRig::MakeEngine(const CPortMap& ports)
{
    auto engine =
        std::make_unique<CTransferEngine>(doc.FirstFiring(), ports, observer, clock, timer);
    engine->Start();
    // A monitor thread purges its line when it starts.
    for (int n = 1; n <= 4; ++n) {
        const CCommPort* port = engine->GetPort(n);
        EXPECT_TRUE(WaitFor(
            [&] { return !port || port->GetMonitorState() == CCommPort::MonitorState::Running; }));
    }
    return engine;
}

std::unique_ptr<CTransferEngine> TransferRig::MakeEngine()
{
    return MakeEngine(CPortMap::Explicit({{1, hardware.SlavePath()}}));
}

bool TransferRig::RunToEnd(CTransferEngine& engine)
{
    return RunUntil(engine, [&] {
        return engine.GetResult() != CTransferEngine::Result::Running && hardware.Finished();
    });
}

void BuildShow(CFLRDoc& doc, int count)
{
    CIgnition* last = doc.FirstSchedule() ? doc.FirstSchedule()->LastSchedule() : nullptr;
    for (int i = 0; i < count; ++i) {
        auto* e = new CIgnition;
        e->SetAddress(static_cast<char>('A' + (i / 32) % 25), static_cast<uint8_t>(1 + i % 32));
        const int s = i + 1;
        e->SetTime({s / 3600, s / 60 % 60, s % 60, 0}, {.fps = doc.GetFrameRate()});
        e->LinkAfter(last, false);
        if (!doc.GetIgnitions()) doc.SetIgnitions(e);
        last = e;
    }
    if (CIgnition* first = doc.FirstFiring()) first->SetNumbers(0);
}

}  // namespace flr::test
