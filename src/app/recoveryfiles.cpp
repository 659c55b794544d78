#include "app/recoveryfiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/prompt.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"

namespace flr {

namespace fs = std::filesystem;

namespace {

constexpr const char* kShowExtension = ".flr";
constexpr const char* kInfoExtension = ".info";
constexpr const char* kLockExtension = ".lock";

// Written beside and renamed into place, so a crash while writing leaves the previous file.
bool WriteBeside(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// The owner of "<owner>-<key>.flr": everything before the last '-'.
std::string OwnerOf(const fs::path& file)
{
    const std::string stem = file.stem().string();
    const size_t cut = stem.rfind('-');
    return cut == std::string::npos ? stem : stem.substr(0, cut);
}

// True when the owner's lock is free: the program that held it has ended.
bool OwnerEnded(const fs::path& folder, const std::string& owner)
{
    const fs::path lock = folder / (owner + kLockExtension);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return true;  // no lock at all: nobody holds these files
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

std::string CRecoveryFiles::DefaultFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state && *state) {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home ? home : ".") / ".local" / "state";
    }
    return (base / "Flarion" / "FLR" / "recovery").string();
}

CRecoveryFiles::CRecoveryFiles(std::string folder) : m_folder(std::move(folder))
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    m_owner = std::to_string(::getpid()) + "_" + std::to_string(now % 1000000007);
    const std::string lock = (fs::path(m_folder) / (m_owner + kLockExtension)).string();
    m_lock = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lock);
        m_lock = -1;
    }
}

CRecoveryFiles::~CRecoveryFiles()
{
    if (m_lock < 0) return;
    std::error_code error;
    fs::remove(fs::path(m_folder) / (m_owner + kLockExtension), error);
    ::close(m_lock);
}

std::string CRecoveryFiles::PathOf(int key, const char* extension) const
{
    return (fs::path(m_folder) / (m_owner + "-" + std::to_string(key) + extension)).string();
}

bool CRecoveryFiles::Write(int key, const CFLRDoc& doc, const std::string& title,
                           const std::string& originalPath)
{
    if (m_lock < 0) return false;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::ostringstream info;
    info << title << '\n'
         << originalPath << '\n'
         << std::chrono::duration_cast<std::chrono::seconds>(now).count() << '\n';
    // The show first: an info file never names a show that is not there.
    return WriteBeside(PathOf(key, kShowExtension), CShowFileWriter::ToBytes(doc)) &&
           WriteBeside(PathOf(key, kInfoExtension), info.str());
}

void CRecoveryFiles::Remove(int key)
{
    std::error_code error;
    fs::remove(PathOf(key, kInfoExtension), error);
    fs::remove(PathOf(key, kShowExtension), error);
}

std::vector<RecoveryEntry> CRecoveryFiles::Orphans() const
{
    std::vector<RecoveryEntry> out;
    std::error_code error;
    for (const fs::directory_entry& item : fs::directory_iterator(m_folder, error)) {
        const fs::path info = item.path();
        if (info.extension() != kInfoExtension) continue;
        const std::string owner = OwnerOf(info);
        if (owner == m_owner || !OwnerEnded(m_folder, owner)) continue;
        std::ifstream in(info);
        RecoveryEntry entry;
        std::string seconds;
        std::getline(in, entry.title);
        std::getline(in, entry.originalPath);
        std::getline(in, seconds);
        entry.savedAt = std::atoll(seconds.c_str());
        entry.file = fs::path(info).replace_extension(kShowExtension).string();
        out.push_back(std::move(entry));
    }
    std::sort(out.begin(), out.end(),
              [](const RecoveryEntry& a, const RecoveryEntry& b) { return a.savedAt < b.savedAt; });
    return out;
}

std::unique_ptr<CFLRDoc> CRecoveryFiles::Recover(const RecoveryEntry& entry)
{
    auto doc = std::make_unique<CFLRDoc>();
    CShowFileReader reader(CEffectCatalogue::Program());
    if (reader.Read(entry.file, *doc) != CShowFileReader::Status::Ok) {
        std::error_code error;
        fs::rename(entry.file, entry.file + ".damaged", error);
        fs::remove(fs::path(entry.file).replace_extension(kInfoExtension), error);
        ShowMessage("The recovered changes to \"" + entry.title +
                        "\" are damaged and were not opened. The file is kept as \"" + entry.file +
                        ".damaged\".",
                    "FLR", PromptButtons::Ok, PromptIcon::Warning);
        return nullptr;
    }
    Discard(entry);
    return doc;
}

void CRecoveryFiles::Discard(const RecoveryEntry& entry)
{
    std::error_code error;
    fs::remove(fs::path(entry.file).replace_extension(kInfoExtension), error);
    fs::remove(entry.file, error);
}

}  // namespace flr
