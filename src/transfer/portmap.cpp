#include "transfer/portmap.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "base/settingsstore.h"

namespace flr {

namespace {

namespace fs = std::filesystem;

// "ttyUSB10" after "ttyUSB2".
bool NaturalLess(const std::string& a, const std::string& b)
{
    const auto split = [](const std::string& s) {
        size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
        const std::string tail = s.substr(digits);
        return std::make_pair(s.substr(0, digits),
                              tail.empty() || tail.size() > 9 ? -1L : std::stol(tail));
    };
    return split(a) < split(b);
}

// An on-board UART driver lists every possible port; "type" 0 means no chip behind it.
bool HasUartBehind(const fs::path& entry)
{
    std::ifstream in(entry / "type");
    if (!in) return true;
    int type = 0;
    in >> type;
    return type != 0;
}

}  // namespace

CPortMap CPortMap::Explicit(std::map<unsigned, std::string> devices)
{
    CPortMap map;
    map.m_devices = std::move(devices);
    return map;
}

CPortMap CPortMap::FromSettings(const CSettingsStore& settings)
{
    CPortMap map;
    const std::vector<std::string> found = FindSerialDevices();
    for (unsigned n = 1; n <= 4; ++n) {
        if (auto device =
                ResolveSetting(settings.ReadText("Ports/COM" + std::to_string(n)), n, found)) {
            map.m_devices[n] = std::move(*device);
        }
    }
    return map;
}

std::optional<std::string> CPortMap::ResolveSetting(const std::optional<std::string>& setting,
                                                    unsigned portNumber,
                                                    const std::vector<std::string>& found)
{
    if (setting) {
        if (setting->empty()) return std::nullopt;
        return *setting;
    }
    if (portNumber >= 1 && portNumber <= found.size()) return found[portNumber - 1];
    return std::nullopt;
}

std::optional<std::string> CPortMap::DevicePath(unsigned portNumber) const
{
    const auto it = m_devices.find(portNumber);
    if (it == m_devices.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> CPortMap::FindSerialDevices(const std::string& sysClassTty,
                                                     const std::string& devDir)
{
    std::vector<std::string> usb;
    std::vector<std::string> acm;
    std::vector<std::string> onboard;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysClassTty, ec)) {
        const std::string name = entry.path().filename().string();
        // Virtual terminals and pseudo-terminals have no "device" link.
        if (!fs::exists(entry.path() / "device", ec)) continue;
        if (name.rfind("ttyUSB", 0) == 0) {
            usb.push_back(name);
        } else if (name.rfind("ttyACM", 0) == 0) {
            acm.push_back(name);
        } else if (HasUartBehind(entry.path())) {
            onboard.push_back(name);
        }
    }
    std::vector<std::string> out;
    for (auto* group : {&usb, &acm, &onboard}) {
        std::sort(group->begin(), group->end(), NaturalLess);
        for (const std::string& name : *group) out.push_back(devDir + "/" + name);
    }
    return out;
}

}  // namespace flr
