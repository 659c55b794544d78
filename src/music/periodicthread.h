#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace flr {

// A periodic timer: calls a function every period on a thread of its own.
//
// Threads: Start and Stop on the owner's thread; the callback on the timer's thread. The
// callback returns false to end the timer from inside (Stop then only joins). m_stopLock
// guards m_stopping, which Stop sets to end the wait at once.
class CPeriodicThread {
public:
    using Callback = std::function<bool()>;

    CPeriodicThread() = default;
    ~CPeriodicThread() { Stop(); }
    CPeriodicThread(const CPeriodicThread&) = delete;
    CPeriodicThread& operator=(const CPeriodicThread&) = delete;

    // Starts calling `callback` every `periodMs`; false when already running or no thread
    // could be made.
    bool Start(uint32_t periodMs, Callback callback);
    // Ends the timer and waits for a running callback to return. Never call it from the
    // callback.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

private:
    void Run(uint32_t periodMs);

    std::thread m_thread;
    Callback m_callback;
    std::mutex m_stopLock;
    std::condition_variable m_wake;
    bool m_stopping = false;
};

}  // namespace flr
