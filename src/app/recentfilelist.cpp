#include "app/recentfilelist.h"

#include <algorithm>

#include "base/settingsstore.h"

namespace flr {

namespace {
std::string Key(size_t i) { return "Recent File List/File" + std::to_string(i + 1); }
}  // namespace

CRecentFileList::CRecentFileList(CSettingsStore& store, size_t capacity)
    : m_store(store), m_capacity(capacity)
{
    for (size_t i = 0; i < m_capacity; ++i) {
        const auto path = m_store.ReadText(Key(i));
        if (path && !path->empty() &&
            std::find(m_files.begin(), m_files.end(), *path) == m_files.end()) {
            m_files.push_back(*path);
        }
    }
}

void CRecentFileList::Add(const std::string& path)
{
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_capacity) m_files.resize(m_capacity);
    Save();
}

void CRecentFileList::Remove(const std::string& path)
{
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    Save();
}

void CRecentFileList::Save()
{
    // A list that cannot be written is only a convenience lost; nothing to report.
    for (size_t i = 0; i < m_capacity; ++i) {
        if (i < m_files.size()) {
            m_store.WriteText(Key(i), m_files[i]);
        } else {
            m_store.Remove(Key(i));
        }
    }
}

}  // namespace flr
