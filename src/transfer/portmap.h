#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace flr {

class CSettingsStore;

// Which device stands for the numbered port COMn. Owner's thread only.
class CPortMap {
public:
    // No port at all.
    CPortMap() = default;

    // Exactly the given ports (flr-cli --device, tests); every other number has no device.
    static CPortMap Explicit(std::map<unsigned, std::string> devices);

    // The user's mapping: "Ports/COMn" when the setting exists (an empty text means no device
    // for that port), otherwise the n-th serial device found on this machine, USB adapters
    // first. `settings` is read during the call only.
    static CPortMap FromSettings(const CSettingsStore& settings);

    // The device path for COMn, or nullopt when that port has no device.
    std::optional<std::string> DevicePath(unsigned portNumber) const;

    // What the "Ports/COMn" value `setting` (nullopt: no such setting) means for COMn when
    // `found` are the serial devices present.
    static std::optional<std::string> ResolveSetting(const std::optional<std::string>& setting,
                                                     unsigned portNumber,
                                                     const std::vector<std::string>& found);

    // The serial devices present: USB adapters (ttyUSB*, then ttyACM*) first, then the
    // on-board ports that have real hardware behind them, each group in natural order.
    static std::vector<std::string> FindSerialDevices(
        const std::string& sysClassTty = "/sys/class/tty", const std::string& devDir = "/dev");

private:
    std::map<unsigned, std::string> m_devices;
};

}  // namespace flr
