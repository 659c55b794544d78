// A 1,000-point download over a pseudo-terminal whose far end plays the hardware at 9600 baud
// (10 bits a byte: 1.0417 ms), against the time the line itself needs for those bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "model/flrdoc.h"
#include "support/hardwareemulator.h"
#include "transfer/tickclock.h"
#include "transfer/transferengine.h"
#include "transfer/transferloop.h"

namespace flr {
namespace {

using namespace std::chrono_literals;

constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 9600);

void BuildShow(CFLRDoc& doc, int count)
{
    CIgnition* last = nullptr;
    for (int i = 0; i < count; ++i) {
        auto* e = new CIgnition;
        e->SetAddress(static_cast<char>('A' + (i / 32) % 25), static_cast<uint8_t>(1 + i % 32));
        const int s = i + 1;
        e->SetTime({s / 3600, s / 60 % 60, s % 60, 0}, {.fps = 25});
        e->LinkAfter(last, false);
        if (!doc.GetIgnitions()) doc.SetIgnitions(e);
        last = e;
    }
    doc.FirstFiring()->SetNumbers(0);
}

// The pseudo-terminal's own round trip: a byte to a thread that only echoes it, with both
// sides asleep beforehand as they are between the bytes of a download. No program can answer
// faster over this rig; a real line has no such cost.
double PtyEchoMicroseconds(int rounds)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    std::thread echo([slave] {
        for (;;) {
            pollfd p{slave, POLLIN, 0};
            poll(&p, 1, -1);
            uint8_t b = 0;
            if (read(slave, &b, 1) != 1 || b == 0xFF) return;
            if (write(slave, &b, 1) != 1) return;
        }
    });
    double total = 0;
    for (int i = 0; i < rounds; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        uint8_t b = static_cast<uint8_t>(i % 200);
        const auto start = std::chrono::steady_clock::now();
        if (write(master, &b, 1) != 1) break;
        pollfd p{master, POLLIN, 0};
        poll(&p, 1, -1);
        if (read(master, &b, 1) != 1) break;
        total += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                     .count();
    }
    const uint8_t stop = 0xFF;
    if (write(master, &stop, 1) == 1)
        echo.join();
    else
        echo.detach();
    close(slave);
    close(master);
    return total / rounds;
}

void BM_Download9600(benchmark::State& state)
{
    CFLRDoc doc;
    BuildShow(doc, static_cast<int>(state.range(0)));
    double ratioSum = 0;
    double lineSeconds = 0;
    double lateness = 0;
    double answers = 0;
    double exchanges = 1;
    for (auto _ : state) {
        test::HardwareEmulator hardware;
        hardware.SetByteTime(kByteTime);
        hardware.Start();
        CTransferObserver observer;
        CSteadyTickClock clock;
        CTransferLoop loop;
        CTransferEngine engine(doc.FirstFiring(), CPortMap::Explicit({{1, hardware.SlavePath()}}),
                               observer, clock, loop);
        loop.Attach(engine);
        engine.Start();

        const auto start = std::chrono::steady_clock::now();
        engine.Download();
        const bool done =
            loop.Run([&] { return engine.GetResult() != CTransferEngine::Result::Running; },
                     600s) &&
            engine.WaitLastByteWritten(10s);
        const auto end = std::chrono::steady_clock::now();
        // The hardware's thread takes the last byte a moment later.
        while (done && !hardware.Finished() && std::chrono::steady_clock::now() < end + 10s) {
            std::this_thread::yield();
        }
        if (!done || engine.GetResult() != CTransferEngine::Result::Completed ||
            !hardware.Finished() || !hardware.Problems().empty()) {
            const std::string t = hardware.Transcript();
            std::fprintf(stderr, "state %d steps %u stalled %d tail: %s\n", engine.GetState(),
                         engine.GetStepsDone(), int(hardware.Stalled()),
                         t.substr(t.size() > 300 ? t.size() - 300 : 0).c_str());
            for (auto& p : hardware.Problems()) std::fprintf(stderr, "problem %s\n", p.c_str());
            state.SkipWithError("the download did not complete cleanly");
            return;
        }
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        const auto bytes = hardware.SentCount() + hardware.ReceivedCount();
        lineSeconds = std::chrono::duration<double>(kByteTime * bytes).count();
        ratioSum += seconds / lineSeconds;
        lateness = std::chrono::duration<double>(hardware.Lateness()).count();
        answers = std::chrono::duration<double>(hardware.AnswerTime()).count();
        exchanges = static_cast<double>(hardware.ReceivedCount());
    }
    // What is left once the rig's own round trip is taken out of every exchange.
    const double floorUs = PtyEchoMicroseconds(1000);
    state.counters["pty_echo_us"] = floorUs;
    state.counters["ratio_without_pty_echo"] = ratioSum / static_cast<double>(state.iterations()) -
                                               floorUs * exchanges / 1e6 / lineSeconds;
    state.counters["line_rate_s"] = lineSeconds;
    state.counters["emulator_late_us_per_byte"] = lateness * 1e6 / exchanges;
    state.counters["answer_us_per_byte"] = answers * 1e6 / exchanges;
    state.counters["ratio_to_line_rate"] = ratioSum / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Download9600)->Arg(1000)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
