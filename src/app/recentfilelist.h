#pragma once

#include <string>
#include <vector>

namespace flr {

class CSettingsStore;

// The most recently used show files, newest first, at most `capacity`, kept in the settings
// store's "Recent File List" section as File1, File2, ... Main thread only.
class CRecentFileList {
public:
    CRecentFileList(CSettingsStore& store, size_t capacity = 4);

    const std::vector<std::string>& Files() const { return m_files; }
    // Moves `path` to the front (adding it when new) and saves the list.
    void Add(const std::string& path);
    // Drops `path` (a file that could not be opened) and saves the list.
    void Remove(const std::string& path);

private:
    void Save();

    CSettingsStore& m_store;
    size_t m_capacity;
    std::vector<std::string> m_files;
};

}  // namespace flr
