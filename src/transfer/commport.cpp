#include "transfer/commport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/prompt.h"
#include "transfer/portmap.h"

namespace flr {

namespace {

constexpr size_t kWarningBufferSize = 200;
constexpr uint32_t kKnownEvents =
    kWatchByte | kWatchFlagByte | kWatchCts | kWatchBreak | kWatchError | kWatchRing;
// The timeouts of the port, in milliseconds: reads give up after a second of silence
// (VTIME), writes after a second plus a second a byte.
constexpr int kTimeoutMs = 1000;
// How often a shutdown re-signals a monitor thread that has not ended yet.
constexpr std::chrono::milliseconds kShutdownResignal{100};

std::string ErrorText(int error)
{
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

// Length of the longest prefix of `text` no longer than `limit` that does not end inside a
// UTF-8 sequence.
size_t Utf8Prefix(std::string_view text, size_t limit)
{
    if (text.size() <= limit) return text.size();
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

speed_t SpeedFor(unsigned baud)
{
    struct Rate {
        unsigned baud;
        speed_t speed;
    };
    static constexpr Rate kRates[] = {
        {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
        {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
        {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const Rate& r : kRates) {
        if (r.baud == baud) return r.speed;
    }
    return B0;
}

// Applies "baud=%d parity=%c data=%d stop=%d" and the rest of the line settings (raw, DTR
// and RTS held on rather than used for handshake, no flow control) to `t`. False when a
// value is not one a serial line can take.
bool BuildLineSettings(termios& t, const CommSettings& settings)
{
    const unsigned dataBits = settings.dataBits;
    const unsigned stopBits = settings.stopBits;
    const speed_t speed = SpeedFor(settings.baud);
    if (speed == B0 || dataBits < 5 || dataBits > 8 || (stopBits != 1 && stopBits != 2)) {
        return false;
    }
    tcflag_t parityFlags = 0;
    switch (settings.parity) {
    case 'N':
    case 'n': break;
    case 'E':
    case 'e': parityFlags = PARENB; break;
    case 'O':
    case 'o': parityFlags = PARENB | PARODD; break;
    case 'M':
    case 'm': parityFlags = PARENB | PARODD | CMSPAR; break;
    case 'S':
    case 's': parityFlags = PARENB | CMSPAR; break;
    default: return false;
    }
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[dataBits - 5] | parityFlags | CREAD | CLOCAL | HUPCL;
    if (stopBits == 2) t.c_cflag |= CSTOPB;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return true;
}

}  // namespace

std::string FormatPortWarning(std::string_view step, std::string_view reason, unsigned port)
{
    const std::string head =
        "WARNING:  " + std::string(step) + " Failed with the following error: \n";
    const std::string tail = "\nPort: " + std::to_string(port) + "\n";
    const size_t room = kWarningBufferSize - 1;  // the terminator of the buffer
    if (head.size() + tail.size() >= room) {
        const std::string all = head + std::string(reason) + tail;
        return all.substr(0, Utf8Prefix(all, room));
    }
    // Cut the reason rather than the port line, which says which port failed.
    return head +
           std::string(reason.substr(0, Utf8Prefix(reason, room - head.size() - tail.size()))) +
           tail;
}

CCommPort::CCommPort() = default;

CCommPort::~CCommPort()
{
    StopMonitor();
    {
        std::lock_guard lock(m_lock);
        CloseDevice();
    }
    for (int* event : {&m_shutdownEvent, &m_writeRequestEvent}) {
        if (*event >= 0) ::close(*event);
        *event = -1;
    }
}

bool CCommPort::Open(CPortMailbox& owner, const CPortMap& ports, unsigned portNumber,
                     const CommSettings& settings)
{
    const std::optional<std::string> path = ports.DevicePath(portNumber);
    if (!path) {
        StopMonitor();
        std::lock_guard lock(m_lock);
        CloseDevice();
        return false;
    }
    return OpenDevice(owner, *path, portNumber, settings);
}

bool CCommPort::OpenDevice(CPortMailbox& owner, const std::string& devicePath, unsigned portNumber,
                           const CommSettings& settings)
{
    StopMonitor();

    for (int* event : {&m_shutdownEvent, &m_writeRequestEvent}) {
        if (*event >= 0) ::close(*event);
        *event = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    m_shutdown.store(false);
    m_monitorState.store(MonitorState::Idle);
    m_owner = &owner;
    m_portNumber = portNumber;
    m_devicePath = devicePath;
    m_eventMask = settings.eventMask;
    {
        std::lock_guard lock(m_writeMutex);
        m_writeBuffer.assign(settings.bufferSize, 0);
        m_writeLength = 0;
        m_writesQueued = m_writesDone = 0;
        m_writeFailed = false;
    }

    std::lock_guard lock(m_lock);
    CloseDevice();
    if (m_shutdownEvent < 0 || m_writeRequestEvent < 0) return false;

    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    // Only a character device can be a serial line; anything else would take our bytes into
    // a file. Another program holding the lock has the port in use.
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);  // not a failure where unsupported; the lock above decides
    m_fd = fd;
    m_prompterUse.emplace();

    termios t{};
    const auto configure = [&]() -> std::pair<const char*, int> {
        if (::tcgetattr(fd, &t) != 0) return {"SetCommTimeouts()", errno};
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = kTimeoutMs / 100;
        if (::tcsetattr(fd, TCSANOW, &t) != 0) return {"SetCommTimeouts()", errno};
        if (settings.eventMask & ~kKnownEvents) return {"SetCommMask()", EINVAL};
        if (::tcgetattr(fd, &t) != 0) return {"GetCommState()", errno};
        if (!BuildLineSettings(t, settings)) {
            return {"BuildCommDCB()", EINVAL};
        }
        if (::tcsetattr(fd, TCSANOW, &t) != 0) return {"SetCommState()", errno};
        // DTR and RTS on. A pseudo-terminal has no modem lines: that is no failure.
        int lines = TIOCM_DTR | TIOCM_RTS;
        if (::ioctl(fd, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
            return {"SetCommState()", errno};
        }
        return {nullptr, 0};
    };
    const auto [failedStep, error] = configure();
    if (failedStep) ReportError(failedStep, error);
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

void CCommPort::CloseDevice()
{
    if (m_fd < 0) return;
    // The exclusive mark outlives our descriptor while anything else holds the tty open.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    m_prompterUse.reset();
}

bool CCommPort::StartMonitor()
{
    if (m_fd < 0 || m_thread.joinable()) return false;
    try {
        m_thread = std::thread(&CCommPort::MonitorThread, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CCommPort::StopMonitor()
{
    if (!m_thread.joinable()) return;
    m_shutdown.store(true);
    for (;;) {
        if (m_shutdownEvent >= 0) ::eventfd_write(m_shutdownEvent, 1);
        if (m_owner) m_owner->WakeSenders();
        std::unique_lock lock(m_writeMutex);
        if (m_writeProgress.wait_for(lock, kShutdownResignal, [this] {
                return m_monitorState.load() == MonitorState::Stopped;
            })) {
            break;
        }
    }
    m_thread.join();
}

bool CCommPort::Write(const uint8_t* data, size_t count)
{
    if (m_fd < 0 || m_writeRequestEvent < 0) return false;
    {
        std::lock_guard lock(m_writeMutex);
        if (count > m_writeBuffer.size()) return false;
        if (count > 0) std::memcpy(m_writeBuffer.data(), data, count);
        m_writeLength = count;
        ++m_writesQueued;
    }
    ::eventfd_write(m_writeRequestEvent, 1);
    return true;
}

bool CCommPort::WaitWritten(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_writeMutex);
    m_writeProgress.wait_for(lock, limit, [this] {
        return m_writesDone == m_writesQueued || m_writeFailed ||
               m_monitorState.load() == MonitorState::Stopped;
    });
    return m_writesDone == m_writesQueued && !m_writeFailed;
}

void CCommPort::MonitorThread()
{
    {
        std::lock_guard lock(m_lock);
        ::tcflush(m_fd, TCIOFLUSH);
    }
    // Running once the stale input is gone: whatever arrives from now on is delivered.
    m_monitorState.store(MonitorState::Running);
    bool deviceGone = false;
    while (!deviceGone) {
        // Without the received-character event the device is watched for hang-ups only.
        const short deviceEvents = (m_eventMask & kWatchByte) ? POLLIN : 0;
        pollfd wait[3] = {{m_shutdownEvent, POLLIN, 0},
                          {m_fd, deviceEvents, 0},
                          {m_writeRequestEvent, POLLIN, 0}};
        if (::poll(wait, 3, -1) < 0) {
            if (errno == EINTR) continue;
            ReportIoError("poll()", errno);
            break;
        }
        if (wait[0].revents) break;
        if (wait[1].revents) {
            const bool hungUp = (wait[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
            if (!HandleLineEvent()) {
                deviceGone = true;  // reported by the read
            } else if (hungUp && !m_shutdown.load()) {
                // Whatever was still queued has been delivered; nothing more will come.
                ReportIoError("read()", (wait[1].revents & POLLNVAL) ? EBADF : ENODEV);
                deviceGone = true;
            }
            continue;
        }
        if (wait[2].revents & POLLIN) SendPending();
    }
    // A reply the owner queued just before shutting the port down still goes out.
    bool pending = false;
    {
        std::lock_guard lock(m_writeMutex);
        pending = m_writesDone != m_writesQueued && !m_writeFailed;
    }
    if (pending && !deviceGone) SendPending();

    std::lock_guard lock(m_writeMutex);
    m_monitorState.store(MonitorState::Stopped);
    m_writeProgress.notify_all();
}

bool CCommPort::HandleLineEvent()
{
    struct EventMessage {
        uint32_t bit;
        unsigned message;
    };
    // Every configured event is announced on every wake-up, in this fixed order, so an owner
    // can rely on the sequence.
    static constexpr EventMessage kOrder[] = {{kWatchCts, kNotifyCts},
                                              {kWatchFlagByte, kNotifyFlagByte},
                                              {kWatchBreak, kNotifyBreak},
                                              {kWatchError, kNotifyError},
                                              {kWatchRing, kNotifyRing}};
    for (const EventMessage& e : kOrder) {
        if (!(m_eventMask & e.bit)) continue;
        if (!m_owner->Send({e.message, 0, m_portNumber}, m_shutdown)) return true;
    }
    if (m_eventMask & kWatchByte) return ReceiveChars();
    return true;
}

bool CCommPort::ReceiveChars()
{
    const auto queued = [this]() -> int {
        std::lock_guard lock(m_lock);
        int count = 0;
        return ::ioctl(m_fd, FIONREAD, &count) == 0 ? count : 0;
    };
    for (int count = queued(); count > 0; count = queued()) {
        uint8_t byte = 0;
        ssize_t n = 0;
        int error = 0;
        {
            std::lock_guard lock(m_lock);
            do {
                n = ::read(m_fd, &byte, 1);
            } while (n < 0 && errno == EINTR);
            error = errno;
        }
        if (n == 1) {
            if (!m_owner->Send({kNotifyByte, byte, m_portNumber}, m_shutdown)) return true;
            continue;
        }
        if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) return true;
        // End of file or a hard error: the device has gone (hang-up, adapter pulled). No
        // notification goes out for a byte that was not received.
        ReportIoError("read()", n == 0 ? ENODEV : error);
        return false;
    }
    return true;
}

void CCommPort::SendPending()
{
    eventfd_t ignored = 0;
    ::eventfd_read(m_writeRequestEvent, &ignored);
    std::vector<uint8_t> bytes;
    uint64_t sequence = 0;
    {
        std::lock_guard lock(m_writeMutex);
        bytes.assign(m_writeBuffer.begin(),
                     m_writeBuffer.begin() + static_cast<std::ptrdiff_t>(m_writeLength));
        sequence = m_writesQueued;
    }

    const char* failedStep = nullptr;
    int error = 0;
    {
        std::lock_guard lock(m_lock);
        // Whatever arrived and was not read yet is stale once we answer.
        ::tcflush(m_fd, TCIOFLUSH);
        size_t done = 0;
        const int limitMs = kTimeoutMs + kTimeoutMs * static_cast<int>(bytes.size());
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd out{m_fd, POLLOUT, 0};
                const int r = ::poll(&out, 1, limitMs);
                if (r > 0 && !(out.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
                failedStep = "write()";  // the device took nothing within the time limit
                error = r == 0 ? ETIMEDOUT : (r < 0 ? errno : EIO);
                break;
            }
            failedStep = "write()";
            error = n < 0 ? errno : EIO;
            break;
        }
    }
    {
        std::lock_guard lock(m_writeMutex);
        if (failedStep) {
            m_writeFailed = true;
        } else {
            m_writesDone = std::max(m_writesDone, sequence);
        }
        m_writeProgress.notify_all();
    }
    if (failedStep) ReportIoError(failedStep, error);
}

void CCommPort::ReportError(std::string_view step, int error) const
{
    ShowMessage(FormatPortWarning(step, ErrorText(error), m_portNumber), "Application Error",
                PromptButtons::Ok, PromptIcon::Error);
}

void CCommPort::ReportIoError(std::string_view call, int error) const
{
    ReportError(std::string(call) + " on " + m_devicePath, error);
}

}  // namespace flr
