#include "app/updatesettings.h"

#include "base/settingsstore.h"

namespace flr {

namespace {
constexpr const char* kAutoUpdateKey = "Settings/Update/AUTOUPDATE";
}

CUpdateSettings::CUpdateSettings(CSettingsStore& store) : m_store(store) { Load(); }

void CUpdateSettings::Load()
{
    const auto value = m_store.ReadText(kAutoUpdateKey);
    if (value && *value == "yes") {
        m_storedValue = true;
        m_autoUpdate = true;
    }
}

bool CUpdateSettings::Save()
{
    if (m_autoUpdate == m_storedValue) return true;
    // Only a value that reached the store counts as stored: a failed write is tried again.
    if (!m_store.WriteText(kAutoUpdateKey, m_autoUpdate ? "yes" : "no")) return false;
    m_storedValue = m_autoUpdate;
    return true;
}

}  // namespace flr
