#pragma once

namespace flr {

class CSettingsStore;

// Whether FLR checks for a newer version at start-up ("Settings/Update/AUTOUPDATE", "yes" or
// "no"). Only exactly "yes" turns it on. Main thread only.
class CUpdateSettings {
public:
    // Reads the store (a missing value leaves both flags off). The store must outlive this.
    explicit CUpdateSettings(CSettingsStore& store);

    bool GetAutoUpdate() const { return m_autoUpdate; }
    void SetAutoUpdate(bool value) { m_autoUpdate = value; }

    // Writes only when the value differs from the one last read or written. False when the
    // store could not be written.
    bool Save();

private:
    void Load();

    CSettingsStore& m_store;
    bool m_storedValue = false;
    bool m_autoUpdate = false;
};

}  // namespace flr
