#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace flr {

// Notifications a serial port sends its owner. The numbers appear in transfer logs, so they
// stay fixed.
inline constexpr unsigned kNotifyBreak = 0x401;
inline constexpr unsigned kNotifyCts = 0x402;
inline constexpr unsigned kNotifyError = 0x404;
inline constexpr unsigned kNotifyRing = 0x405;
inline constexpr unsigned kNotifyByte = 0x407;
inline constexpr unsigned kNotifyFlagByte = 0x408;

struct PortNotification {
    unsigned message = 0;
    unsigned param = 0;  // the received byte for kNotifyByte, else 0
    unsigned port = 0;   // 1-based port number
};

// The owner of one or more serial ports. Called on the owner's thread only, one notification
// at a time, in the order each port received them.
class CCommPortOwner {
public:
    virtual ~CCommPortOwner() = default;
    virtual void OnPortNotification(const PortNotification& notification) = 0;
};

// Carries port notifications from the monitor threads to the owner's thread, synchronously:
// a monitor thread posts and then waits until the owner's thread has handled its notification.
//
// Threads: Send and WakeSenders run on monitor threads (WakeSenders also on the owner's
// thread while it shuts a port down); Dispatch and SetPostedHook on the owner's thread only.
// The owner drains the mailbox from its own loop: flr-cli and tests call Dispatch in a simple
// loop; an event-loop owner sets a posted hook that schedules Dispatch on its thread.
//
// Speed: a byte's round trip is two hand-overs between threads, each way; both sides first
// spin (yielding) for a short while before they block, as the answer usually comes within
// microseconds and a sleeping thread takes tens of them to wake.
//
// Dead-lock rule: the owner's thread may shut a port down (and wait for its monitor thread)
// while that thread waits in Send; the port raises its abandon flag and calls WakeSenders,
// and Send withdraws its notification and returns. Send also re-checks the flag at a short
// interval, so a lost wake-up costs a moment, never a hang.
class CPortMailbox {
public:
    // `owner` is not owned and must outlive the mailbox.
    explicit CPortMailbox(CCommPortOwner& owner);
    CPortMailbox(const CPortMailbox&) = delete;
    CPortMailbox& operator=(const CPortMailbox&) = delete;

    // Monitor thread: posts `notification` and waits until the owner's thread has handled it
    // or `abandon` reads true. True when handled; false when abandoned (the notification is
    // withdrawn if the owner had not taken it yet).
    bool Send(const PortNotification& notification, const std::atomic<bool>& abandon);

    // Any thread: wakes every waiting sender so that it re-checks its abandon flag.
    void WakeSenders();

    // Owner's thread: handles every notification posted so far, waiting up to `limit` for the
    // first one. Returns how many were handled (0 when the time ran out). Not re-entrant: a
    // handler must not dispatch (asserted).
    size_t Dispatch(std::chrono::milliseconds limit);

    // Owner's thread, before any port sends: `hook` runs on the posting monitor thread after
    // each post. It must not block.
    void SetPostedHook(std::function<void()> hook);

private:
    struct Item {
        PortNotification notification;
        uint64_t id;
    };

    CCommPortOwner& m_owner;
    std::function<void()> m_postedHook;  // set before ports run; read-only afterwards
    bool m_dispatching = false;          // the owner's thread alone

    std::mutex m_mutex;                 // guards m_queue, m_nextId, m_lastHandled
    std::condition_variable m_posted;   // a notification was queued
    std::condition_variable m_handled;  // m_lastHandled moved, or senders should re-check
    std::deque<Item> m_queue;
    uint64_t m_nextId = 1;
    // Items are handled in id order (FIFO), so one counter says which senders may return.
    // Written under m_mutex; atomic so that a sender can watch it without the mutex while
    // it spins briefly before blocking (acquire/release: the handler's effects, the reply
    // queued by Write, are visible to a sender that sees its id handled).
    std::atomic<uint64_t> m_lastHandled{0};
    // Size of m_queue, written under m_mutex; read without it by a dispatcher that spins.
    std::atomic<size_t> m_queued{0};
};

}  // namespace flr
