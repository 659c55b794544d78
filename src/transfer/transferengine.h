#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transfer/commport.h"
#include "transfer/portmailbox.h"
#include "transfer/portmap.h"
#include "transfer/tickclock.h"

namespace flr {

class CIgnition;

// What the transfer window shows. Every call comes on the owner's thread, from inside an
// engine call. The default implementations ignore the call.
class CTransferObserver {
public:
    virtual ~CTransferObserver() = default;
    virtual void OnStatusText(const std::string& /*text*/) {}
    virtual void OnPercentText(const std::string& /*text*/) {}
    // 0 to 100: the bar stays at its end while the closing record passes 100 %.
    virtual void OnProgress(int /*percent*/) {}
    // The "COM%d" items, COM1 upwards; `selected` is an index or -1.
    virtual void OnPortList(const std::vector<std::string>& /*items*/, int /*selected*/) {}
    virtual void OnBankList(const std::vector<std::string>& /*items*/, int /*selected*/) {}
    virtual void OnDownloadEnabled(bool /*enabled*/) {}
    virtual void OnPortListEnabled(bool /*enabled*/) {}
    virtual void OnBankListEnabled(bool /*enabled*/) {}
    // The window closes (with OK): the download completed, or Cancel was chosen after a
    // failure. The owner destroys the engine when its run ends.
    virtual void OnClose() {}
};

// The download of a show's ignition points to the firing hardware: everything of the
// transfer window but the window. The hardware leads: it asks for each field of each record,
// the engine answers, the hardware echoes and the engine acknowledges.
//
// Threads: every public function runs on the owner's thread, which must also drain the
// engine's mailbox (Mailbox().Dispatch, or a posted hook that schedules it) and call OnTimer
// when the watchdog timer fires. The ports' monitor threads touch only the ports and the
// mailbox; nothing here locks.
class CTransferEngine final : public CCommPortOwner {
public:
    enum class Result { Running, Completed, Cancelled };

    static constexpr unsigned kWatchdogId = 1;
    static constexpr uint32_t kWatchdogPeriodMs = 5000;
    static constexpr unsigned kStepsPerRecord = 17;

    // `first` is the first entry of the show's ignition-point order (nullptr for an empty
    // show); the show must outlive the engine and stay unchanged while it runs. `observer`,
    // `clock` and `timer` are not owned and must outlive the engine.
    CTransferEngine(CIgnition* first, const CPortMap& ports, CTransferObserver& observer,
                    CTickClock& clock, CWatchdogTimer& timer);
    ~CTransferEngine() override;
    CTransferEngine(const CTransferEngine&) = delete;
    CTransferEngine& operator=(const CTransferEngine&) = delete;

    // The window's start: opens the ports, counts the records, fills the lists.
    void Start();

    // The lists' drop-downs closed on an item: "COM3" makes port 3 the one in use (an item
    // that is not "COM" and a digit is ignored); "4" makes 400 the bank offset.
    void SelectPortItem(const std::string& item);
    void SelectBankItem(const std::string& item);

    // "Download": starts (or restarts) the exchange with 0xE0 and the watchdog.
    void Download();

    // The watchdog timer fired. A stall asks "Communications Failure" with Retry and Cancel
    // through the prompt layer.
    void OnTimer(unsigned id);

    void OnPortNotification(const PortNotification& notification) override;

    CPortMailbox& Mailbox() { return m_mailbox; }

    // Owner's thread, after Completed: waits until the last byte has left the port in use.
    // False when it could not be written within `limit`.
    bool WaitLastByteWritten(std::chrono::milliseconds limit);

    // ---- State, for the window and for tests
    Result GetResult() const { return m_result; }
    int GetState() const { return m_state; }
    int GetPortInUse() const { return m_portInUse; }
    uint32_t GetBankOffset() const { return m_bankOffset; }
    uint32_t GetRecordCount() const { return m_recordCount; }
    uint32_t GetStepsDone() const { return m_stepsDone; }
    uint32_t GetTotalSteps() const { return m_totalSteps; }
    const std::vector<std::string>& GetPortItems() const { return m_portItems; }
    const std::vector<std::string>& GetBankItems() const { return m_bankItems; }
    const CCommPort* GetPort(int number) const;
    // "COM2 (/dev/ttyUSB0)"; for a port that is not open, why as far as can be told
    // ("COM2 (/dev/ttyUSB0): not present ...").
    std::string DescribePort(int number) const;
    // Received bytes per port number (1 to 4), counted before any protocol test.
    uint64_t GetBytesReceived(int port) const;

private:
    void OpenPorts();
    void ClosePorts();
    void SendByte(uint8_t byte);
    void HandleByte(uint8_t value);
    void Reply(uint8_t byte, int nextState);
    void FinishRecord();
    void UpdateProgress();
    void Close(Result result);
    int32_t CurrentNumber() const;

    CPortMap m_portMap;
    CTransferObserver& m_observer;
    CTickClock& m_clock;
    CWatchdogTimer& m_timer;
    // Declared before the ports: the ports' monitor threads post into it until they end.
    CPortMailbox m_mailbox;
    std::array<std::unique_ptr<CCommPort>, 5> m_ports;  // slot n is COMn; slot 0 unused

    CIgnition* m_first = nullptr;
    CIgnition* m_entry = nullptr;  // the entry in progress
    int m_portInUse = 1;
    int m_state = 0;
    uint8_t m_lastByteSent = 0;
    uint32_t m_stepsDone = 0;
    uint32_t m_totalSteps = 0;
    uint32_t m_lastSendTime = 0;
    int32_t m_lastCompleted = -1;
    uint32_t m_bankOffset = 0;
    uint32_t m_recordCount = 0;
    unsigned m_timerId = 0;
    Result m_result = Result::Running;
    std::vector<std::string> m_portItems;
    std::vector<std::string> m_bankItems;
    std::array<uint64_t, 5> m_bytesReceived{};
};

// What the status bar says once the download window has closed: the bank and the points it
// received, or, after a cancel, how many records the hardware took; empty while running.
std::string DownloadOutcomeText(const CTransferEngine& engine);

}  // namespace flr
