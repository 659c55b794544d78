#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <memory>

#include "transfer/portmap.h"
#include "transfer/tickclock.h"
#include "transfer/transferengine.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace flr {

class CIgnition;

// The download window: ports and bank, "Download", "Cancel", the status and percentage texts
// and the progress bar, all over a CTransferEngine, which it drives from its list and button
// events, its watchdog QTimer and its ports' mailbox.
//
// Threads: everything runs on the user-interface thread except the mailbox's posted hook,
// which the ports' monitor threads call; it only queues a drain of the mailbox onto this
// thread. Closing the window (any way) shuts the engine and its ports down, so a closed window
// never talks to the hardware or asks about it.
class CTransferDialog final : public QDialog, private CTransferObserver, private CWatchdogTimer {
    Q_OBJECT
public:
    // `first` is the first entry of the show's ignition-point order (nullptr for an empty
    // show); the show must outlive the dialog and stay unchanged while it runs. `ports` says
    // which device each COMn is. `clock` (not owned; must outlive the dialog) is the watchdog's
    // time, the machine's steady clock when null. Ports are opened here; one that fails is
    // left out of the port list, and with none "Download" is disabled.
    CTransferDialog(CIgnition* first, const CPortMap& ports, QWidget* parent = nullptr,
                    CTickClock* clock = nullptr);
    ~CTransferDialog() override;

    // Null once the window has closed.
    const CTransferEngine* Engine() const { return m_engine.get(); }

    QComboBox* PortList() const { return m_portList; }
    QComboBox* BankList() const { return m_bankList; }
    QPushButton* DownloadButton() const { return m_download; }
    QPushButton* CancelButton() const { return m_cancel; }
    QLabel* StatusText() const { return m_status; }
    QLabel* PercentText() const { return m_percent; }
    QProgressBar* ProgressBar() const { return m_progress; }
    const QTimer& WatchdogTimerObject() const { return m_watchdog; }

    // What the watchdog QTimer runs at every period (tests call it after moving their clock).
    void OnWatchdog();

    // Ends the modal run and closes the engine's ports.
    void done(int result) override;

private:
    // CTransferObserver
    void OnStatusText(const std::string& text) override;
    void OnPercentText(const std::string& text) override;
    void OnProgress(int percent) override;
    void OnPortList(const std::vector<std::string>& items, int selected) override;
    void OnBankList(const std::vector<std::string>& items, int selected) override;
    void OnDownloadEnabled(bool enabled) override;
    void OnPortListEnabled(bool enabled) override;
    void OnBankListEnabled(bool enabled) override;
    void OnClose() override;

    // CWatchdogTimer
    void Start(unsigned id, uint32_t periodMs) override;
    void Kill(unsigned id) override;

    void DrainMailbox();
    // Runs `call` on the engine unless the window has closed; releases the engine afterwards
    // when the call closed the window (it cannot go while one of its own calls runs).
    template <typename Call>
    void WithEngine(Call call);

    CPortMap m_portMap;
    CSteadyTickClock m_steadyClock;
    CTickClock& m_clock;
    QTimer m_watchdog;
    unsigned m_watchdogId = 0;

    QComboBox* m_portList = nullptr;
    QComboBox* m_bankList = nullptr;
    QPushButton* m_download = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_percent = nullptr;
    QProgressBar* m_progress = nullptr;

    std::unique_ptr<CTransferEngine> m_engine;
    int m_engineCalls = 0;         // depth of engine calls in progress on this thread
    bool m_releaseEngine = false;  // the window closed during an engine call
    bool m_drainDeferred = false;  // a drain came during an engine call
    // Set by a monitor thread when it queues a drain, cleared by the drain before it runs, so
    // a busy line queues one drain at a time rather than one per byte.
    std::atomic<bool> m_drainQueued{false};
};

}  // namespace flr
