#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace flr {

// Cuts a server connection's socket when a call on it has not returned in time, so the
// driver's wait ends as a lost link instead of lasting until TCP gives up (a server that hangs
// keeps acknowledging, so that can be never). The PostgreSQL driver bounds a query only on the
// server's side, which a hung server never enforces.
// Threads: Watch, Arm and Disarm on the connection's thread (the user-interface thread); the
// watch's own thread waits for the deadline and cuts the socket.
class CLinkWatch {
public:
    explicit CLinkWatch(std::chrono::milliseconds limit);
    ~CLinkWatch();
    CLinkWatch(const CLinkWatch&) = delete;
    CLinkWatch& operator=(const CLinkWatch&) = delete;

    // The sockets this process has open, as (descriptor, inode).
    struct Socket {
        int fd;
        ino_t inode;
        friend bool operator==(const Socket&, const Socket&) = default;
    };
    static std::vector<Socket> OpenSockets();

    // Watches the one socket in `after` that `before` lacks (what a connect opened); nothing
    // when there is not exactly one.
    void Watch(const std::vector<Socket>& before, const std::vector<Socket>& after);
    void Forget() { Watch({}, {}); }
    // Starts and ends a call; nested calls share the outermost one's deadline.
    void Arm();
    void Disarm();
    // Whether the last call was cut.
    bool Fired() const;
    std::chrono::milliseconds Limit() const { return m_limit; }

private:
    void Run();

    const std::chrono::milliseconds m_limit;
    mutable std::mutex m_mutex;  // guards everything below
    std::condition_variable m_wake;
    Socket m_socket{-1, 0};
    int m_depth = 0;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_fired = false;
    bool m_stop = false;
    std::thread m_thread;  // started with the first socket watched
};

}  // namespace flr
