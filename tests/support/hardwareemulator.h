#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace flr::test {

// The firing hardware's side of a download, on the master end of a pseudo-terminal: it waits
// for 0xE0, then asks for each field of each record (0xD0..0xD7), echoes every data byte,
// expects 0xFA, asks 0xD8 and goes on after 0xFC or ends after 0xFB. Faults can be planted
// at a record and field. The program opens SlavePath() as its serial device.
//
// Threads: the emulator runs its own thread; every accessor may be called from any thread
// (the state is guarded by m_mutex, the flags are atomics).
class HardwareEmulator {
public:
    struct Record {
        uint16_t number = 0;
        uint8_t hours = 0, minutes = 0, seconds = 0, frames = 0;
        char letter = 0;
        uint8_t address = 0;
        bool operator==(const Record&) const = default;
    };

    enum class Fault {
        Stall,          // stop before asking for the field; wait for 0xE0, restart the record
        WrongEcho,      // echo a different byte, then stall as above
        RepeatRequest,  // ask for the field twice before echoing
        StrayBytes,     // send `stray` before asking for the field
        Vanish,         // close the pseudo-terminal before asking for the field
    };

    HardwareEmulator();
    ~HardwareEmulator();
    HardwareEmulator(const HardwareEmulator&) = delete;
    HardwareEmulator& operator=(const HardwareEmulator&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // Before Start. `record` counts completed records (0-based); `field` 0..7 is the request
    // 0xD0 + field, 8 the closing question 0xD8, 9 just after it (stray bytes only). Each
    // fault fires once.
    void AddFault(int record, int field, Fault fault, std::vector<uint8_t> stray = {});
    // Before Start: each byte takes this long on the line, both ways (0: no pacing).
    void SetByteTime(std::chrono::nanoseconds byteTime) { m_byteTime = byteTime; }
    // Before Start: play nothing, only record what arrives (a device on a port not in use).
    void SetSilent() { m_silent = true; }

    void Start();

    // Sends bytes now, from the calling thread (stray traffic on a second line).
    void SendRaw(const std::vector<uint8_t>& bytes);

    std::vector<Record> Records() const { return Locked(m_records); }
    // "hD0 p05 h05 pFA ...": h for the hardware's bytes, p for the program's.
    std::string Transcript() const { return Locked(m_transcript); }
    std::vector<uint8_t> ReceivedBytes() const { return Locked(m_received); }
    std::vector<std::string> Problems() const { return Locked(m_problems); }
    uint64_t SentCount() const { return m_sentCount.load(); }
    uint64_t ReceivedCount() const { return m_receivedCount.load(); }
    bool Finished() const { return m_finished.load(); }
    bool Stalled() const { return m_stalled.load(); }
    int Starts() const { return m_starts.load(); }
    // With pacing: total lateness of our own bytes against the line's schedule, and total
    // time from each byte we sent to the program's answer.
    std::chrono::nanoseconds Lateness() const { return std::chrono::nanoseconds(m_lateNs.load()); }
    std::chrono::nanoseconds AnswerTime() const
    {
        return std::chrono::nanoseconds(m_answerNs.load());
    }

private:
    struct PlannedFault {
        int record;
        int field;
        Fault fault;
        std::vector<uint8_t> stray;
        bool used = false;
    };
    enum class Outcome { Next, Done, Restart, Gone };

    template <class T>
    T Locked(const T& value) const
    {
        std::lock_guard lock(m_mutex);
        return value;
    }
    void Run();
    Outcome PlayRecord(int index, Record& record);
    Outcome Field(int field, uint8_t& value, const PlannedFault* fault);
    Outcome StallUntilStart();
    PlannedFault* TakeFault(int record, int field);
    bool Send(uint8_t byte);
    // The fault's stray bytes, if it is one; false when the line is gone.
    bool SendStray(const PlannedFault* fault);
    // With m_mutex held: one byte to the program; false when the line is gone.
    bool WriteLocked(uint8_t byte);
    // Next byte from the program; false when stopping or the line is gone.
    bool Receive(uint8_t& byte);
    void Received(uint8_t byte);
    void Problem(const std::string& text);
    void CloseLine();

    std::string m_slavePath;
    int m_master = -1;
    int m_slaveKeeper = -1;  // keeps the tty alive (and raw) while the program reopens it
    int m_stopEvent = -1;
    std::thread m_thread;
    std::chrono::nanoseconds m_byteTime{0};
    bool m_silent = false;
    std::vector<PlannedFault> m_faults;  // set before Start; emulator thread afterwards

    // Pacing, emulator thread only.
    std::chrono::steady_clock::time_point m_readyAt{};
    std::chrono::steady_clock::time_point m_lineFreeAt{};
    std::chrono::steady_clock::time_point m_lastSent{};
    std::atomic<int64_t> m_lateNs{0};
    std::atomic<int64_t> m_answerNs{0};

    mutable std::mutex m_mutex;  // guards the three below and the master fd's writes
    std::vector<Record> m_records;
    std::string m_transcript;
    std::vector<uint8_t> m_received;
    std::vector<std::string> m_problems;

    std::atomic<uint64_t> m_sentCount{0};
    std::atomic<uint64_t> m_receivedCount{0};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_stalled{false};
    std::atomic<int> m_starts{0};
};

}  // namespace flr::test
