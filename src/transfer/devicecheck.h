#pragma once

#include <sys/types.h>

#include <string>

namespace flr {

// What stands in the way of using a serial device, as far as can be told without opening it.
enum class DeviceState { Ready, Absent, NotSerial, NoPermission, InUse, Error };

struct DeviceCheck {
    DeviceState state = DeviceState::Ready;
    int error = 0;              // the errno behind NoPermission and Error
    std::string group;          // NoPermission: the group that owns the device ("dialout")
    bool groupPending = false;  // NoPermission: the user is in that group, this session is not
    pid_t holder = 0;           // InUse: the process holding the device's lock, 0 when not known
};

// Looks at `path` with stat, access and /proc/locks only: opening a tty raises its control
// lines, which resets some firing controllers, so a look must never open one. Never blocks.
DeviceCheck CheckDevice(const std::string& path);

// One line for the user: "ready", "not present", the cure for a missing permission on Debian
// (membership of the device's group, then a new login), and so on.
std::string DescribeDeviceCheck(const DeviceCheck& check);

}  // namespace flr
