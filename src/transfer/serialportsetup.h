#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace flr {

class CSettingsStore;

// Where the machine shows its serial devices (tests point these at folders of their own).
struct SerialDeviceFolders {
    std::string byId = "/dev/serial/by-id";
    std::string sysClassTty = "/sys/class/tty";
    std::string devDir = "/dev";
};

// One device a port can be set to.
struct SerialDeviceEntry {
    std::string path;    // what the setting stores
    std::string target;  // a stable link's device now ("/dev/ttyUSB0"); empty for others
    bool present = true;

    // "/dev/serial/by-id/usb-… → /dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyUSB3 (absent)".
    std::string Label() const;
};

// The choices of the "Serial Ports" preferences: which device each of COM1 to COM4 stands
// for ("Ports/COMn"). Automatic is no setting (the n-th device found, as CPortMap does);
// "(none)" is an empty text. Main thread only; the store is read or written during the calls
// that take it only.
class CSerialPortSetup {
public:
    static constexpr unsigned kPortCount = 4;
    static constexpr const char* kAutomaticText = "Automatic";
    static constexpr const char* kNoneText = "(none)";

    enum class Kind { Automatic, None, Device };
    struct Choice {
        Kind kind = Kind::Automatic;
        std::string device;  // Device only
        bool operator==(const Choice&) const = default;
    };

    // Reads the four settings and looks for the devices present.
    explicit CSerialPortSetup(const CSettingsStore& settings, SerialDeviceFolders folders = {});

    // Looks again; the chosen devices stay listed, present or not.
    void Rescan();

    // Stable links (/dev/serial/by-id) first, then ttyUSB*, ttyACM*, the on-board ports, and
    // last the chosen devices that are none of these.
    const std::vector<SerialDeviceEntry>& Devices() const { return m_devices; }

    // `port` 1 to kPortCount.
    const Choice& GetChoice(unsigned port) const { return m_choices.at(port); }
    void SetChoice(unsigned port, Choice choice);

    // A drop-down's text: kAutomaticText, kNoneText (or nothing), a device's label or path, or
    // a typed device ("ttyUSB0" means "/dev/ttyUSB0").
    Choice ChoiceForText(const std::string& text) const;
    // The text that stands for `choice` in a drop-down.
    std::string TextForChoice(const Choice& choice) const;

    // The device COMn would open with the current choice; nullopt for none.
    std::optional<std::string> ResolvedDevice(unsigned port) const;
    // One line on COMn's device: ready, absent, no permission and its cure, and so on.
    std::string StatusText(unsigned port) const;

    // Writes the choices that differ from the stored ones (Automatic removes the setting).
    // False when the store could not be written; the choices written so far stay written.
    bool Save(CSettingsStore& settings);

private:
    SerialDeviceFolders m_folders;
    std::vector<std::string> m_found;  // the kernel's devices, in the order Automatic counts
    std::vector<SerialDeviceEntry> m_devices;
    std::array<Choice, kPortCount + 1> m_choices;  // slot n is COMn; slot 0 unused
    std::array<Choice, kPortCount + 1> m_stored;
};

}  // namespace flr
