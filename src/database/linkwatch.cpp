#include "database/linkwatch.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

namespace flr {

CLinkWatch::CLinkWatch(std::chrono::milliseconds limit) : m_limit(limit) {}

CLinkWatch::~CLinkWatch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

std::vector<CLinkWatch::Socket> CLinkWatch::OpenSockets()
{
    std::vector<Socket> sockets;
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return sockets;
    const int own = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        struct stat st {};
        if (*end || end == entry->d_name || fd == own || ::fstat(int(fd), &st) != 0) continue;
        if (S_ISSOCK(st.st_mode)) sockets.push_back({int(fd), st.st_ino});
    }
    ::closedir(folder);
    return sockets;
}

void CLinkWatch::Watch(const std::vector<Socket>& before, const std::vector<Socket>& after)
{
    Socket found{-1, 0};
    int count = 0;
    for (const Socket& socket : after) {
        if (std::find(before.begin(), before.end(), socket) != before.end()) continue;
        found = socket;
        ++count;
    }
    const std::lock_guard lock(m_mutex);
    m_socket = count == 1 ? found : Socket{-1, 0};
    if (m_socket.fd >= 0 && !m_thread.joinable()) m_thread = std::thread([this] { Run(); });
}

void CLinkWatch::Arm()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_depth++ > 0) return;
        m_deadline = std::chrono::steady_clock::now() + m_limit;
        m_fired = false;
    }
    m_wake.notify_all();
}

void CLinkWatch::Disarm()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_depth > 0) --m_depth;
    }
    m_wake.notify_all();
}

bool CLinkWatch::Fired() const
{
    const std::lock_guard lock(m_mutex);
    return m_fired;
}

void CLinkWatch::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_depth == 0 || m_fired || m_socket.fd < 0) {
            m_wake.wait(lock);
            continue;
        }
        const auto deadline = m_deadline;
        if (m_wake.wait_until(lock, deadline) != std::cv_status::timeout) continue;
        if (m_stop || m_depth == 0 || m_fired || m_deadline != deadline) continue;
        // Only the connection's own socket: its descriptor may have been closed and reused.
        struct stat st {};
        if (::fstat(m_socket.fd, &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == m_socket.inode)
            ::shutdown(m_socket.fd, SHUT_RDWR);
        m_fired = true;
    }
}

}  // namespace flr
