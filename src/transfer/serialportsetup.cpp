#include "transfer/serialportsetup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/settingsstore.h"
#include "transfer/devicecheck.h"
#include "transfer/portmap.h"

namespace flr {

namespace {

namespace fs = std::filesystem;

std::string SettingKey(unsigned port) { return "Ports/COM" + std::to_string(port); }

std::optional<std::string> SettingFor(const CSerialPortSetup::Choice& choice)
{
    switch (choice.kind) {
    case CSerialPortSetup::Kind::Automatic: return std::nullopt;
    case CSerialPortSetup::Kind::None: return std::string();
    case CSerialPortSetup::Kind::Device: return choice.device;
    }
    return std::nullopt;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string SerialDeviceEntry::Label() const
{
    if (!present) return path + " (absent)";
    if (!target.empty()) return path + " \u2192 " + target;
    return path;
}

CSerialPortSetup::CSerialPortSetup(const CSettingsStore& settings, SerialDeviceFolders folders)
    : m_folders(std::move(folders))
{
    for (unsigned n = 1; n <= kPortCount; ++n) {
        const std::optional<std::string> value = settings.ReadText(SettingKey(n));
        Choice& choice = m_stored[n];
        if (!value) {
            choice = {Kind::Automatic, {}};
        } else if (value->empty()) {
            choice = {Kind::None, {}};
        } else {
            choice = {Kind::Device, *value};
        }
    }
    m_choices = m_stored;
    Rescan();
}

void CSerialPortSetup::Rescan()
{
    m_devices.clear();
    std::vector<SerialDeviceEntry> links;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folders.byId, ec)) {
        const fs::path target = fs::canonical(entry.path(), ec);
        if (ec) continue;  // a link left behind by a device that has gone
        links.push_back({entry.path().string(), target.string(), true});
    }
    std::sort(links.begin(), links.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    m_devices = std::move(links);
    m_found = CPortMap::FindSerialDevices(m_folders.sysClassTty, m_folders.devDir);
    for (const std::string& path : m_found) m_devices.push_back({path, {}, true});
    // A chosen device stays on the list, so opening the page and pressing OK keeps it.
    for (unsigned n = 1; n <= kPortCount; ++n) {
        const Choice& choice = m_choices[n];
        if (choice.kind != Kind::Device) continue;
        if (std::any_of(m_devices.begin(), m_devices.end(),
                        [&](const auto& d) { return d.path == choice.device; })) {
            continue;
        }
        m_devices.push_back({choice.device, {}, fs::exists(choice.device, ec)});
    }
}

void CSerialPortSetup::SetChoice(unsigned port, Choice choice)
{
    if (choice.kind != Kind::Device) choice.device.clear();
    m_choices.at(port) = std::move(choice);
}

CSerialPortSetup::Choice CSerialPortSetup::ChoiceForText(const std::string& text) const
{
    const std::string typed = Trimmed(text);
    if (typed.empty() || typed == kNoneText) return {Kind::None, {}};
    if (typed == kAutomaticText) return {Kind::Automatic, {}};
    for (const SerialDeviceEntry& device : m_devices) {
        if (typed == device.Label() || typed == device.path) return {Kind::Device, device.path};
    }
    if (typed.front() != '/') return {Kind::Device, m_folders.devDir + "/" + typed};
    return {Kind::Device, typed};
}

std::string CSerialPortSetup::TextForChoice(const Choice& choice) const
{
    switch (choice.kind) {
    case Kind::Automatic: return kAutomaticText;
    case Kind::None: return kNoneText;
    case Kind::Device: break;
    }
    for (const SerialDeviceEntry& device : m_devices) {
        if (device.path == choice.device) return device.Label();
    }
    return choice.device;
}

std::optional<std::string> CSerialPortSetup::ResolvedDevice(unsigned port) const
{
    return CPortMap::ResolveSetting(SettingFor(m_choices.at(port)), port, m_found);
}

std::string CSerialPortSetup::StatusText(unsigned port) const
{
    const std::optional<std::string> device = ResolvedDevice(port);
    if (!device) {
        return m_choices.at(port).kind == Kind::Automatic ? "No serial device found for it"
                                                          : "Not offered for downloads";
    }
    std::string text = DescribeDeviceCheck(CheckDevice(*device));
    if (m_choices[port].kind == Kind::Automatic) text = *device + ": " + text;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    // The first of two ports on one device takes it; the other is left out of downloads. A
    // stable link and the kernel's name are one device.
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(*device, ec);
    for (unsigned other = 1; other <= kPortCount; ++other) {
        const std::optional<std::string> theirs =
            other == port ? std::nullopt : ResolvedDevice(other);
        if (theirs && fs::weakly_canonical(*theirs, ec) == real) {
            text += "; the same device as COM" + std::to_string(other);
            break;
        }
    }
    return text;
}

bool CSerialPortSetup::Save(CSettingsStore& settings)
{
    bool ok = true;
    for (unsigned n = 1; n <= kPortCount; ++n) {
        if (m_choices[n] == m_stored[n]) continue;
        const std::optional<std::string> value = SettingFor(m_choices[n]);
        const bool written =
            value ? settings.WriteText(SettingKey(n), *value) : settings.Remove(SettingKey(n));
        if (written) {
            m_stored[n] = m_choices[n];
        } else {
            ok = false;
        }
    }
    return ok;
}

}  // namespace flr
