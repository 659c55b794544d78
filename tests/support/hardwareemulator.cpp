#include "support/hardwareemulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace flr::test {

namespace {

constexpr uint8_t kStart = 0xE0;
constexpr uint8_t kRequest = 0xD0;
constexpr uint8_t kComplete = 0xD8;
constexpr uint8_t kAck = 0xFA;
constexpr uint8_t kMore = 0xFC;
constexpr uint8_t kNoMore = 0xFB;

std::string Hex(uint8_t byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

void SleepUntil(std::chrono::steady_clock::time_point due)
{
    // A UART keeps its bit clock; the scheduler wakes us late by tens of microseconds. Sleep
    // to just before the deadline (absolute, so errors do not add up; steady_clock is
    // CLOCK_MONOTONIC here), then yield the rest away.
    const auto early = due - std::chrono::microseconds(100);
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(early.time_since_epoch());
    timespec ts{static_cast<time_t>(ns.count() / 1000000000),
                static_cast<long>(ns.count() % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
    while (std::chrono::steady_clock::now() < due) std::this_thread::yield();
}

}  // namespace

HardwareEmulator::HardwareEmulator()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) throw std::runtime_error("no ptsname");
    m_slavePath = name;
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slaveKeeper = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveKeeper < 0) throw std::runtime_error("cannot open " + m_slavePath);
    // Raw from the start, so nothing is echoed or cooked before the program configures it.
    termios t{};
    tcgetattr(m_slaveKeeper, &t);
    cfmakeraw(&t);
    tcsetattr(m_slaveKeeper, TCSANOW, &t);
    m_stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

HardwareEmulator::~HardwareEmulator()
{
    eventfd_write(m_stopEvent, 1);
    if (m_thread.joinable()) m_thread.join();
    CloseLine();
    close(m_stopEvent);
}

void HardwareEmulator::AddFault(int record, int field, Fault fault, std::vector<uint8_t> stray)
{
    m_faults.push_back({record, field, fault, std::move(stray)});
}

void HardwareEmulator::Start() { m_thread = std::thread(&HardwareEmulator::Run, this); }

void HardwareEmulator::CloseLine()
{
    std::lock_guard lock(m_mutex);
    for (int* fd : {&m_master, &m_slaveKeeper}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void HardwareEmulator::Problem(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_problems.push_back(text);
}

HardwareEmulator::PlannedFault* HardwareEmulator::TakeFault(int record, int field)
{
    for (PlannedFault& f : m_faults) {
        if (!f.used && f.record == record && f.field == field) {
            f.used = true;
            return &f;
        }
    }
    return nullptr;
}

bool HardwareEmulator::WriteLocked(uint8_t byte)
{
    for (;;) {
        if (m_master < 0) return false;
        const ssize_t n = write(m_master, &byte, 1);
        if (n == 1) break;
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return false;
    }
    m_transcript += (m_transcript.empty() ? "h" : " h") + Hex(byte);
    ++m_sentCount;
    return true;
}

void HardwareEmulator::SendRaw(const std::vector<uint8_t>& bytes)
{
    std::lock_guard lock(m_mutex);
    for (uint8_t byte : bytes)
        if (!WriteLocked(byte)) return;
}

bool HardwareEmulator::Send(uint8_t byte)
{
    if (m_byteTime.count() > 0) {
        // The byte leaves once the line is free and the last byte received has fully arrived,
        // and reaches the program one byte time later.
        const auto due = std::max(m_readyAt, m_lineFreeAt) + m_byteTime;
        SleepUntil(due);
        m_lineFreeAt = due;
        m_lateNs += (std::chrono::steady_clock::now() - due).count();
    }
    std::lock_guard lock(m_mutex);
    if (!WriteLocked(byte)) return false;
    m_lastSent = std::chrono::steady_clock::now();
    return true;
}

bool HardwareEmulator::SendStray(const PlannedFault* fault)
{
    if (!fault || fault->fault != Fault::StrayBytes) return true;
    for (uint8_t b : fault->stray)
        if (!Send(b)) return false;
    return true;
}

bool HardwareEmulator::Receive(uint8_t& byte)
{
    for (;;) {
        pollfd wait[2] = {{m_stopEvent, POLLIN, 0}, {m_master, POLLIN, 0}};
        if (poll(wait, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (wait[0].revents) return false;
        const ssize_t n = read(m_master, &byte, 1);
        if (n == 1) {
            Received(byte);
            return true;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        return false;
    }
}

void HardwareEmulator::Received(uint8_t byte)
{
    const auto now = std::chrono::steady_clock::now();
    m_readyAt = now + m_byteTime;
    if (m_lastSent.time_since_epoch().count() != 0) m_answerNs += (now - m_lastSent).count();
    std::lock_guard lock(m_mutex);
    m_transcript += (m_transcript.empty() ? "p" : " p") + Hex(byte);
    m_received.push_back(byte);
    ++m_receivedCount;
}

void HardwareEmulator::Run()
{
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);  // pace to the microsecond, not to 50 µs
    uint8_t byte = 0;
    if (m_silent) {
        while (Receive(byte)) {
        }
        return;
    }
    while (Receive(byte) && byte != kStart) Problem("before the start: " + Hex(byte));
    if (byte != kStart) return;
    ++m_starts;
    for (int index = 0;;) {
        Record record;
        const Outcome outcome = PlayRecord(index, record);
        if (outcome == Outcome::Gone) return;
        if (outcome == Outcome::Restart) continue;
        {
            std::lock_guard lock(m_mutex);
            m_records.push_back(record);
        }
        if (outcome == Outcome::Done) break;
        ++index;
    }
    m_finished = true;
    while (Receive(byte)) Problem("after the end: " + Hex(byte));
}

HardwareEmulator::Outcome HardwareEmulator::StallUntilStart()
{
    m_stalled = true;
    uint8_t byte = 0;
    while (Receive(byte)) {
        if (byte == kStart) {
            m_stalled = false;
            ++m_starts;
            return Outcome::Restart;
        }
        Problem("while stalled: " + Hex(byte));
    }
    return Outcome::Gone;
}

HardwareEmulator::Outcome HardwareEmulator::PlayRecord(int index, Record& record)
{
    uint8_t v[8] = {};
    for (int field = 0; field <= 8; ++field) {
        const PlannedFault* fault = TakeFault(index, field);
        if (fault && fault->fault == Fault::Stall) return StallUntilStart();
        if (fault && fault->fault == Fault::Vanish) {
            CloseLine();
            return Outcome::Gone;
        }
        if (!SendStray(fault)) return Outcome::Gone;
        if (field == 8) break;
        const Outcome outcome = Field(field, v[field], fault);
        if (outcome != Outcome::Next) return outcome;
    }
    record = {static_cast<uint16_t>(v[0] | v[1] << 8),
              v[2],
              v[3],
              v[4],
              v[5],
              static_cast<char>(v[6]),
              v[7]};

    uint8_t answer = 0;
    if (!Send(kComplete)) return Outcome::Gone;
    if (!SendStray(TakeFault(index, 9))) return Outcome::Gone;
    if (!Receive(answer)) return Outcome::Gone;
    if (answer == kMore) return Outcome::Next;
    if (answer == kNoMore) return Outcome::Done;
    if (answer == kStart) {
        ++m_starts;
        return Outcome::Restart;
    }
    Problem("answer to D8: " + Hex(answer));
    return StallUntilStart();
}

HardwareEmulator::Outcome HardwareEmulator::Field(int field, uint8_t& value,
                                                  const PlannedFault* fault)
{
    const uint8_t request = static_cast<uint8_t>(kRequest + field);
    uint8_t data = 0;
    // Any byte is data here, 0xE0 included (record 224 has it as its low byte).
    if (!Send(request) || !Receive(data)) return Outcome::Gone;
    if (fault && fault->fault == Fault::RepeatRequest) {
        uint8_t again = 0;
        if (!Send(request) || !Receive(again)) return Outcome::Gone;
        if (again != data)
            Problem("repeated request answered " + Hex(again) + ", not " + Hex(data));
    }
    if (fault && fault->fault == Fault::WrongEcho) {
        if (!Send(static_cast<uint8_t>(data ^ 0x01))) return Outcome::Gone;
        return StallUntilStart();
    }
    uint8_t ack = 0;
    if (!Send(data) || !Receive(ack)) return Outcome::Gone;
    if (ack == kStart) {
        ++m_starts;
        return Outcome::Restart;
    }
    if (ack != kAck) {
        Problem("echo of " + Hex(data) + " answered " + Hex(ack));
        return StallUntilStart();
    }
    value = data;
    return Outcome::Next;
}

}  // namespace flr::test
