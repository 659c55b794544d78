#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace flr {

class CFLRDoc;

// A show's unsaved state, written by a program that did not close it.
struct RecoveryEntry {
    std::string file;          // the recovery show file
    std::string title;         // the show's name in its window (UTF-8)
    std::string originalPath;  // the file it was opened from; empty for a new show
    int64_t savedAt = 0;       // seconds since the epoch
};

// The recovery files of the shows of this running program, in the user's state folder
// ($XDG_STATE_HOME/Flarion/FLR/recovery, ~/.local/state when unset), never beside the
// user's own files. Each program holds a lock file of its own while it runs; files whose
// owner's lock can be taken belong to a program that ended without closing them. So two
// programs running at once never take each other's files. User-interface thread only;
// failures to write cost only the recovery and are not reported.
class CRecoveryFiles {
public:
    // Claims this program's lock in `folder` (made when missing).
    explicit CRecoveryFiles(std::string folder = DefaultFolder());
    ~CRecoveryFiles();
    CRecoveryFiles(const CRecoveryFiles&) = delete;
    CRecoveryFiles& operator=(const CRecoveryFiles&) = delete;

    static std::string DefaultFolder();
    const std::string& Folder() const { return m_folder; }

    // Writes the show `key` (any number unique among this program's shows): beside, then
    // renamed into place. False when it could not be written.
    bool Write(int key, const CFLRDoc& doc, const std::string& title,
               const std::string& originalPath);
    void Remove(int key);

    // The files of programs that are no longer running, oldest first.
    std::vector<RecoveryEntry> Orphans() const;
    // Reads an orphan. A file that does not read back whole is reported through the prompt
    // layer and kept aside (renamed "*.damaged"); null then. The files are removed after a
    // good read.
    std::unique_ptr<CFLRDoc> Recover(const RecoveryEntry& entry);
    void Discard(const RecoveryEntry& entry);

private:
    std::string PathOf(int key, const char* extension) const;

    std::string m_folder;
    std::string m_owner;
    int m_lock = -1;
};

}  // namespace flr
