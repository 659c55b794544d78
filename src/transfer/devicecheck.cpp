#include "transfer/devicecheck.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace flr {

namespace {

std::string ErrorText(int error)
{
    char buffer[256];
    // The GNU strerror_r returns its text, which need not be in the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

// The process holding an flock on the device node, from /proc/locks ("1: FLOCK ADVISORY WRITE
// 1234 00:05:87 0 EOF"), or 0.
pid_t LockHolder(const struct stat& st)
{
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        char kind[16] = {}, mode[16] = {}, access[16] = {}, node[64] = {};
        long pid = 0;
        // A blocked waiter's line starts "1: ->"; it holds nothing.
        if (std::sscanf(line.c_str(), "%*d: %15s %15s %15s %ld %63s", kind, mode, access, &pid,
                        node) == 5 &&
            std::strcmp(kind, "FLOCK") == 0 && std::strcmp(node, id) == 0) {
            return static_cast<pid_t>(pid);
        }
    }
    return 0;
}

// Whether the user's entry in the group database names `gid` although this process lacks it:
// the membership was given after the session started.
bool GroupPending(gid_t gid, const group& entry)
{
    std::vector<gid_t> groups(static_cast<size_t>(std::max(0, getgroups(0, nullptr))));
    groups.resize(static_cast<size_t>(std::max(0, getgroups(int(groups.size()), groups.data()))));
    if (getegid() == gid || std::find(groups.begin(), groups.end(), gid) != groups.end()) {
        return false;
    }
    const passwd* user = getpwuid(getuid());
    if (!user || !entry.gr_mem) return false;
    for (char** member = entry.gr_mem; *member; ++member) {
        if (std::strcmp(*member, user->pw_name) == 0) return true;
    }
    return false;
}

}  // namespace

DeviceCheck CheckDevice(const std::string& path)
{
    DeviceCheck check;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        check.state = errno == ENOENT || errno == ENOTDIR ? DeviceState::Absent
                      : errno == EACCES                   ? DeviceState::NoPermission
                                                          : DeviceState::Error;
        check.error = errno;
        return check;
    }
    if (!S_ISCHR(st.st_mode)) {
        check.state = DeviceState::NotSerial;
        return check;
    }
    if (::access(path.c_str(), R_OK | W_OK) != 0) {
        check.error = errno;
        check.state =
            errno == EACCES || errno == EPERM ? DeviceState::NoPermission : DeviceState::Error;
        if (check.state == DeviceState::NoPermission) {
            if (const group* entry = getgrgid(st.st_gid); entry && st.st_gid != 0) {
                check.group = entry->gr_name;
                check.groupPending = GroupPending(st.st_gid, *entry);
            }
        }
        return check;
    }
    if (const pid_t holder = LockHolder(st); holder != 0 && holder != getpid()) {
        check.state = DeviceState::InUse;
        check.holder = holder;
    }
    return check;
}

std::string DescribeDeviceCheck(const DeviceCheck& check)
{
    switch (check.state) {
    case DeviceState::Ready: return "ready";
    case DeviceState::Absent: return "not present (unplugged, or another name now)";
    case DeviceState::NotSerial: return "not a serial device";
    case DeviceState::InUse:
        return check.holder
                   ? "in use by another program (process " + std::to_string(check.holder) + ")"
                   : "in use by another program";
    case DeviceState::NoPermission: {
        // Debian gives serial devices to the group "dialout".
        const std::string group = check.group.empty() ? "dialout" : check.group;
        if (check.groupPending) {
            return "no permission: you are in the group \"" + group +
                   "\" since this session started; log out and in again";
        }
        return "no permission: join the group \"" + group + "\" (sudo adduser $USER " + group +
               "), then log out and in again";
    }
    case DeviceState::Error: return "cannot be used: " + ErrorText(check.error);
    }
    return {};
}

}  // namespace flr
