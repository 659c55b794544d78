#include "transfer/transferengine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/prompt.h"
#include "model/ignition.h"
#include "model/showcheck.h"
#include "transfer/devicecheck.h"

namespace flr {

namespace {

constexpr uint8_t kStart = 0xE0;
constexpr uint8_t kRequestNumberLow = 0xD0;
constexpr uint8_t kRecordComplete = 0xD8;
constexpr uint8_t kAcknowledge = 0xFA;
constexpr uint8_t kMoreRecords = 0xFC;
constexpr uint8_t kNoMoreRecords = 0xFB;

constexpr unsigned kBaud = 9600;
constexpr unsigned kPortBufferSize = 512;

constexpr const char* kStallText =
    "Please verify that the cable is connected, the correct port is selected,\n"
    "and that the FLR hardware is powered on and in download mode.";

bool HasRecord(const CIgnition* entry) { return HasFiringRecord(*entry); }

}  // namespace

CTransferEngine::CTransferEngine(CIgnition* first, const CPortMap& ports,
                                 CTransferObserver& observer, CTickClock& clock,
                                 CWatchdogTimer& timer)
    : m_portMap(ports),
      m_observer(observer),
      m_clock(clock),
      m_timer(timer),
      m_mailbox(*this),
      m_first(first),
      m_entry(first)
{
    // A chained effect (or any entry without a number) leading the order would otherwise be
    // sent as record -1: start at the first entry that has a record.
    while (m_entry && !HasRecord(m_entry)) m_entry = m_entry->GetNextFiring();
}

CTransferEngine::~CTransferEngine()
{
    ClosePorts();
    if (m_timerId != 0) m_timer.Kill(m_timerId);
}

const CCommPort* CTransferEngine::GetPort(int number) const
{
    return number >= 1 && number <= 4 ? m_ports[static_cast<size_t>(number)].get() : nullptr;
}

std::string CTransferEngine::DescribePort(int number) const
{
    std::string text = "COM" + std::to_string(number);
    const std::optional<std::string> device = m_portMap.DevicePath(static_cast<unsigned>(number));
    if (!device) return text + " (no device)";
    text += " (" + *device + ")";
    if (!GetPort(number)) {
        const DeviceCheck check = CheckDevice(*device);
        text += ": " + (check.state == DeviceState::Ready ? std::string("could not be opened")
                                                          : DescribeDeviceCheck(check));
    }
    return text;
}

uint64_t CTransferEngine::GetBytesReceived(int port) const
{
    return port >= 1 && port <= 4 ? m_bytesReceived[static_cast<size_t>(port)] : 0;
}

void CTransferEngine::ClosePorts()
{
    for (auto& port : m_ports) port.reset();
}

void CTransferEngine::OpenPorts()
{
    ClosePorts();
    m_portItems.clear();
    for (unsigned n = 4; n >= 1; --n) {
        auto port = std::make_unique<CCommPort>();
        const CommSettings settings{.baud = kBaud,
                                    .parity = 'N',
                                    .dataBits = 8,
                                    .stopBits = 1,
                                    .eventMask = kWatchByte | kWatchCts,
                                    .bufferSize = kPortBufferSize};
        if (!port->Open(m_mailbox, m_portMap, n, settings)) {
            continue;
        }
        port->StartMonitor();
        m_ports[n] = std::move(port);
        m_portItems.insert(m_portItems.begin(), "COM" + std::to_string(n));
        m_portInUse = static_cast<int>(n);
    }
}

void CTransferEngine::Start()
{
    OpenPorts();

    m_recordCount = CountRecords(m_first);
    m_totalSteps = kStepsPerRecord * m_recordCount;

    m_bankItems.clear();
    for (int bank : BanksFor(m_recordCount)) m_bankItems.push_back(std::to_string(bank));

    // A show no bank can hold has nothing to download to.
    const bool downloadEnabled = !m_portItems.empty() && !m_bankItems.empty();
    m_observer.OnPortList(m_portItems, m_portItems.empty() ? -1 : 0);
    m_observer.OnPortListEnabled(downloadEnabled);
    m_observer.OnDownloadEnabled(downloadEnabled);
    m_observer.OnBankList(m_bankItems, m_bankItems.empty() ? -1 : 0);

    if (m_portItems.empty()) {
        // Say which devices were tried and what stands in the way.
        std::string text = "No serial port could be opened.";
        for (int n = 1; n <= 4; ++n) {
            if (m_portMap.DevicePath(static_cast<unsigned>(n))) text += "\n" + DescribePort(n);
        }
        m_observer.OnStatusText(text + "\nThe devices are chosen in Settings..., Serial Ports.");
    } else {
        m_observer.OnStatusText("Select bank and port and press \"Download\" ...");
    }
    m_observer.OnPercentText("");
}

void CTransferEngine::SelectPortItem(const std::string& item)
{
    if (item.size() < 4 || item.compare(0, 3, "COM") != 0) return;
    const int port = item[3] - '0';
    if (port >= 1 && port <= 4) m_portInUse = port;
}

void CTransferEngine::SelectBankItem(const std::string& item)
{
    if (item.empty() || item.size() > 3 || !std::all_of(item.begin(), item.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        })) {
        return;
    }
    m_bankOffset = kPointsPerBank * static_cast<uint32_t>(std::stoul(item));
}

void CTransferEngine::Download()
{
    if (m_result != Result::Running) return;
    // Whoever calls, a record the hardware would not get as it stands never leaves.
    if (const std::optional<std::string> why = FirstUnsendableRecord(m_first, m_bankOffset)) {
        m_observer.OnStatusText("Download refused: " + *why);
        ShowMessage("The show cannot be downloaded: " + *why + ".", "Download Refused",
                    PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    m_observer.OnPortListEnabled(false);
    m_observer.OnBankListEnabled(false);
    m_observer.OnStatusText("Setting up serial communication ...");
    if (m_timerId != 0) m_timer.Kill(m_timerId);
    m_timer.Start(kWatchdogId, kWatchdogPeriodMs);
    m_timerId = kWatchdogId;
    m_state = 1;
    SendByte(kStart);
}

void CTransferEngine::SendByte(uint8_t byte)
{
    m_lastByteSent = byte;
    m_lastSendTime = m_clock.Now();
    // An empty slot writes nothing; the watchdog then reports the failure.
    if (CCommPort* port = m_ports[static_cast<size_t>(m_portInUse)].get()) port->Write(&byte, 1);
}

void CTransferEngine::OnPortNotification(const PortNotification& notification)
{
    if (notification.message != kNotifyByte) return;  // CTS and the rest: nothing to do
    if (notification.port < 1 || notification.port > 4) return;
    ++m_bytesReceived[notification.port];
    // Only the port the hardware is answered on may drive the exchange: a byte from another
    // device would otherwise be taken for the hardware's request or echo.
    if (static_cast<int>(notification.port) != m_portInUse) return;
    HandleByte(static_cast<uint8_t>(notification.param & 0xFF));
}

int32_t CTransferEngine::CurrentNumber() const
{
    // The closing record (no entry) carries no bank offset.
    return m_entry ? m_entry->GetNumber() + static_cast<int32_t>(m_bankOffset)
                   : m_lastCompleted + 1;
}

void CTransferEngine::HandleByte(uint8_t value)
{
    if (m_result != Result::Running || m_state < 1 || m_state > 9) return;
    const uint32_t number = static_cast<uint32_t>(CurrentNumber());
    const uint32_t time = m_entry ? m_entry->GetInTime().Value() : 0;

    if (m_state == 1) {
        if (value == kRequestNumberLow) Reply(static_cast<uint8_t>(number & 0xFF), 2);
        return;
    }
    if (m_state == 2) {
        if (value == m_lastByteSent) Reply(kAcknowledge, 3);
        return;
    }
    // States 3 to 9 each wait for one request code (0xD1 to 0xD7); the request is tested
    // before the echo, so a data byte equal to it counts as the request repeated.
    uint8_t field = 0;
    switch (m_state) {
    case 3: field = static_cast<uint8_t>(number >> 8); break;
    case 4: field = static_cast<uint8_t>(time >> 24); break;
    case 5: field = static_cast<uint8_t>(time >> 16); break;
    case 6: field = static_cast<uint8_t>(time >> 8); break;
    case 7: field = static_cast<uint8_t>(time); break;
    case 8: field = m_entry ? static_cast<uint8_t>(m_entry->GetLetter()) : uint8_t{'A'}; break;
    case 9: field = m_entry ? m_entry->GetAddressNumber() : uint8_t{0}; break;
    }
    const uint8_t request = static_cast<uint8_t>(kRequestNumberLow + m_state - 2);
    if (value == request) {
        Reply(field, m_state);
    } else if (value == m_lastByteSent) {
        Reply(kAcknowledge, m_state == 9 ? 9 : m_state + 1);
    } else if (m_state == 9 && value == kRecordComplete) {
        FinishRecord();
    }
    // Anything else is ignored; the watchdog ends the wait.
}

void CTransferEngine::Reply(uint8_t byte, int nextState)
{
    SendByte(byte);
    m_state = nextState;
    UpdateProgress();
}

void CTransferEngine::FinishRecord()
{
    if (m_entry) {
        m_lastCompleted = m_entry->GetNumber();
        CIgnition* next = m_entry->GetNextFiring();
        while (next && (!HasRecord(next) || next->GetNumber() == m_lastCompleted)) {
            next = next->GetNextFiring();
        }
        m_entry = next;
    } else {
        m_lastCompleted = -1;
    }
    if (!m_entry && m_lastCompleted == -1) {
        SendByte(kNoMoreRecords);
        Close(Result::Completed);
        UpdateProgress();
        return;
    }
    m_state = 1;
    SendByte(kMoreRecords);
    UpdateProgress();
}

void CTransferEngine::UpdateProgress()
{
    ++m_stepsDone;
    // An empty show has no steps; its closing record alone completes it.
    const uint32_t percent = m_totalSteps ? m_stepsDone * 100 / m_totalSteps : 100;
    m_observer.OnProgress(static_cast<int>(std::min<uint32_t>(percent, 100)));
    char text[64];
    std::snprintf(text, sizeof text, "Sending address %u of %u ...",
                  m_stepsDone / kStepsPerRecord + 1, m_recordCount);
    m_observer.OnStatusText(text);
    std::snprintf(text, sizeof text, "%u%%", percent);
    m_observer.OnPercentText(text);
}

void CTransferEngine::Close(Result result)
{
    m_result = result;
    if (m_timerId != 0) {
        m_timer.Kill(m_timerId);
        m_timerId = 0;
    }
    m_observer.OnClose();
}

void CTransferEngine::OnTimer(unsigned id)
{
    if (id != kWatchdogId || m_timerId == 0 || m_result != Result::Running) return;
    if (static_cast<uint32_t>(m_clock.Now() - m_lastSendTime) <= kWatchdogPeriodMs) return;

    m_timer.Kill(m_timerId);
    m_timerId = 0;
    const PromptAnswer answer =
        ShowMessage(std::string(kStallText) + "\n\n" + DescribePort(m_portInUse),
                    "Communications Failure", PromptButtons::RetryCancel, PromptIcon::Warning);
    if (answer != PromptAnswer::Retry) {
        Close(Result::Cancelled);
        return;
    }

    // The user's port stays in use when it opens again; otherwise the lowest one that does.
    const int chosen = m_portInUse;
    OpenPorts();
    if (m_ports[static_cast<size_t>(chosen)]) m_portInUse = chosen;
    m_observer.OnPortList(
        m_portItems, m_portItems.empty() ? -1 : [this] {
            const std::string wanted = "COM" + std::to_string(m_portInUse);
            return static_cast<int>(std::find(m_portItems.begin(), m_portItems.end(), wanted) -
                                    m_portItems.begin());
        }());

    if (m_entry) m_entry = m_entry->FindByNumber(m_lastCompleted + 1);
    m_stepsDone -= m_stepsDone % kStepsPerRecord;
    m_state = 1;
    SendByte(kStart);
    m_timer.Start(kWatchdogId, kWatchdogPeriodMs);
    m_timerId = kWatchdogId;
}

bool CTransferEngine::WaitLastByteWritten(std::chrono::milliseconds limit)
{
    CCommPort* port = m_ports[static_cast<size_t>(m_portInUse)].get();
    return port && port->WaitWritten(limit);
}

std::string DownloadOutcomeText(const CTransferEngine& engine)
{
    const unsigned bank = engine.GetBankOffset() / 100;
    const uint32_t records = engine.GetRecordCount();
    switch (engine.GetResult()) {
    case CTransferEngine::Result::Completed:
        return "Downloaded " + std::to_string(records) + " points to bank " + std::to_string(bank) +
               ".";
    case CTransferEngine::Result::Cancelled: {
        const uint32_t taken =
            std::min(engine.GetStepsDone() / CTransferEngine::kStepsPerRecord, records);
        if (taken == 0)
            return "Download cancelled: bank " + std::to_string(bank) + " is unchanged.";
        return "Download cancelled: the hardware took " + std::to_string(taken) + " of " +
               std::to_string(records) + " points; bank " + std::to_string(bank) +
               " now holds part of the show.";
    }
    case CTransferEngine::Result::Running: break;
    }
    return {};
}

}  // namespace flr
