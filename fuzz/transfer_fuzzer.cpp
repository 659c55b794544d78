// Bytes from the serial line into the download engine: whatever the hardware (or a device
// that is not the hardware) sends, the engine stays in its states, never reads past a show
// and never crashes. The first bytes shape the show and the bank; a 0xFF byte makes five
// seconds pass and fires the watchdog, answered with Retry.
#include <cstdint>
#include <cstdlib>

#include "base/prompt.h"
#include "model/flrdoc.h"
#include "transfer/tickclock.h"
#include "transfer/transferengine.h"

namespace {

using namespace flr;

class FakeClock final : public CTickClock {
public:
    uint32_t Now() const override { return now; }
    uint32_t now = 0xFFFFF000u;  // wraps during the run
};

class NoTimer final : public CWatchdogTimer {
public:
    void Start(unsigned, uint32_t) override {}
    void Kill(unsigned) override {}
};

class RetryPrompter final : public CPrompter {
public:
    PromptAnswer Ask(std::string_view, std::string_view, PromptButtons buttons, PromptIcon) override
    {
        return buttons == PromptButtons::RetryCancel ? PromptAnswer::Retry : PromptAnswer::Ok;
    }
    void Beep(BeepKind) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    static RetryPrompter prompter;
    InstallPrompter(&prompter);

    CFLRDoc doc;
    const int entries = data[0] % 40;
    CIgnition* last = nullptr;
    for (int i = 0; i < entries; ++i) {
        auto* e = new CIgnition;
        // Bit patterns of data[1] put some entries together (same time and address).
        const bool together = (data[1] >> (i % 8)) & 1;
        const int s = together ? i / 2 : i;
        e->SetAddress(together ? 'A' : static_cast<char>('A' + i % 25),
                      static_cast<uint8_t>(together ? 1 : 1 + i % 32));
        e->SetTime({0, s / 60, s % 60, 0}, {.fps = 25});
        e->LinkAfter(last, false);
        if (!doc.GetIgnitions()) doc.SetIgnitions(e);
        last = e;
    }
    if (CIgnition* first = doc.FirstFiring()) first->SetNumbers(0);

    CTransferObserver observer;
    FakeClock clock;
    NoTimer timer;
    CTransferEngine engine(doc.FirstFiring(), CPortMap(), observer, clock, timer);
    engine.Start();
    engine.SelectBankItem(std::to_string(data[2] % 10));
    engine.Download();
    for (size_t i = 3; i < size; ++i) {
        if (data[i] == 0xFF) {
            clock.now += 5001;
            engine.OnTimer(CTransferEngine::kWatchdogId);
            continue;
        }
        engine.OnPortNotification({kNotifyByte, data[i], 1});
        if (engine.GetState() < 1 || engine.GetState() > 9) std::abort();
    }
    InstallPrompter(nullptr);
    return 0;
}
