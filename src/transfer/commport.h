#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/prompt.h"
#include "transfer/portmailbox.h"

namespace flr {

class CPortMap;

// Line events a port can be asked to report (the event mask of Open).
inline constexpr uint32_t kWatchByte = 0x0001;
inline constexpr uint32_t kWatchFlagByte = 0x0002;
inline constexpr uint32_t kWatchCts = 0x0008;
inline constexpr uint32_t kWatchBreak = 0x0040;
inline constexpr uint32_t kWatchError = 0x0080;
inline constexpr uint32_t kWatchRing = 0x0100;

// How Open configures a port: the line ("baud=%d parity=%c data=%d stop=%d"), the events
// reported to the owner and the largest write Write accepts.
struct CommSettings {
    unsigned baud = 9600;
    char parity = 'N';
    unsigned dataBits = 8;
    unsigned stopBits = 1;
    uint32_t eventMask = kWatchByte;
    size_t bufferSize = 512;
};

// The warning a failed port step shows, "WARNING:  <step> Failed with the following error:
// \n<reason>\nPort: <n>\n", cut to fit a 200-byte buffer with its terminator (and never in
// the middle of a UTF-8 sequence).
std::string FormatPortWarning(std::string_view step, std::string_view reason, unsigned port);

// One serial port (a tty device on termios) and the monitor thread that serves it.
//
// Threads:
// - The owner's thread calls Open/OpenDevice, StartMonitor, Write, WaitWritten and the
//   destructor, and receives notifications through the owner's CPortMailbox.
// - The monitor thread waits with poll() on, in this priority, the shutdown eventfd, the
//   device and the write-request eventfd; reads one byte at a time and sends each to the
//   owner, waiting until it has been handled; performs the writes, purging both directions
//   first; and reports failed steps ("Application Error") through the prompt layer.
// - Shutdown (destructor, or Open of a monitored port) raises m_shutdown, signals the eventfd
//   and wakes the mailbox's senders, then waits for the thread, re-signalling at intervals.
//   A monitor thread waiting on the owner therefore never holds up a shutdown.
// - A device that goes away (a USB adapter pulled, the far end of a pseudo-terminal closed)
//   is reported once; the monitor thread then ends by itself.
class CCommPort {
public:
    enum class MonitorState { Idle, Running, Stopped };

    CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;
    // Stops the monitor thread (a write already queued is still performed), closes the device.
    virtual ~CCommPort();

    // Opens the numbered port COMn at the device `ports` maps it to and configures it with
    // `settings` (DTR and RTS on, no flow control, raw). False,
    // silently, when the port has no device or the device cannot be opened (absent, in use
    // by another program, no permission, not a character device). A configuration step that
    // fails is reported with the "Application Error" warning and Open still returns true.
    // `owner` is not owned and must outlive the port. A monitored port is stopped first.
    bool Open(CPortMailbox& owner, const CPortMap& ports, unsigned portNumber,
              const CommSettings& settings);
    // The same on an explicit device path.
    bool OpenDevice(CPortMailbox& owner, const std::string& devicePath, unsigned portNumber,
                    const CommSettings& settings);

    // Starts the monitor thread; false when the port is not open or the thread could not be
    // created.
    bool StartMonitor();

    // Queues `count` bytes for the monitor thread to send and returns at once. Refuses (false,
    // nothing queued) a count above the buffer size given to Open, or a closed port. A later
    // Write before the monitor thread got to the earlier one replaces it.
    bool Write(const uint8_t* data, size_t count);

    // Owner's thread: waits until every queued write has been written. False when a write
    // failed, the monitor thread is gone with a write pending, or `limit` passed.
    bool WaitWritten(std::chrono::milliseconds limit);

    bool IsOpen() const { return m_fd >= 0; }
    MonitorState GetMonitorState() const { return m_monitorState.load(); }

private:
    void StopMonitor();
    void CloseDevice();
    void MonitorThread();
    // Returns false when the device has gone and the thread should end.
    bool HandleLineEvent();
    bool ReceiveChars();
    void SendPending();
    // A configuration step that failed, by its step name.
    void ReportError(std::string_view step, int error) const;
    // A poll, read or write on the open device that failed: "read() on /dev/ttyUSB0".
    void ReportIoError(std::string_view call, int error) const;

    std::thread m_thread;
    // Guards the device descriptor's use (open, close, purge, read, write) between the
    // owner's thread and the monitor thread. Never held while a notification waits.
    std::mutex m_lock;
    // The alive flag: Running from the thread's first purge to its last step.
    std::atomic<MonitorState> m_monitorState{MonitorState::Idle};
    // Raised by the owner's thread to end the monitor; also the mailbox's abandon flag.
    std::atomic<bool> m_shutdown{false};
    int m_shutdownEvent = -1;      // eventfd; created by Open, owner's thread only
    int m_writeRequestEvent = -1;  // eventfd; signalled by Write
    int m_fd = -1;                 // the device; changed only while no monitor thread runs
    std::optional<CPrompterUse> m_prompterUse;  // while the device is open; with m_fd
    CPortMailbox* m_owner = nullptr;
    unsigned m_portNumber = 0;
    std::string m_devicePath;  // changed only while no monitor thread runs
    uint32_t m_eventMask = 0;

    // Guards the write buffer and the write bookkeeping below.
    mutable std::mutex m_writeMutex;
    std::condition_variable m_writeProgress;  // m_writesDone or m_writeFailed changed
    std::vector<uint8_t> m_writeBuffer;       // sized by Open
    size_t m_writeLength = 0;
    uint64_t m_writesQueued = 0;
    uint64_t m_writesDone = 0;
    bool m_writeFailed = false;
};

}  // namespace flr
