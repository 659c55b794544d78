#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

// The program's settings: an INI file under the XDG config folder
// ($XDG_CONFIG_HOME/Flarion/FLR.ini), keyed by section paths ("Settings/DBSTRING",
// "Settings/Update/AUTOUPDATE", "MainFrame/PLACEMENT", "Ports/COM1") that existing
// installations' files rely on. Texts are UTF-8. Tests point XDG_CONFIG_HOME at a
// temporary folder. Main thread only.
class CSettingsStore {
public:
    // The user's store.
    CSettingsStore();
    // A store in an explicit INI file (tests, tools).
    explicit CSettingsStore(const std::string& iniPath);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    std::string FilePath() const;

    // nullopt when the value is absent.
    std::optional<std::string> ReadText(std::string_view key) const;
    std::optional<std::vector<unsigned char>> ReadBytes(std::string_view key) const;

    // Write and flush to disk; false when the store cannot be written (read-only file or
    // folder, disk full), leaving the caller to report it.
    bool WriteText(std::string_view key, std::string_view value);
    bool WriteBytes(std::string_view key, const std::vector<unsigned char>& value);
    bool Remove(std::string_view key);

private:
    bool Flush();
    struct Impl;
    Impl* m_impl;
};

}  // namespace flr
