#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace flr {

class CSettingsStore;

// Where the update server's page is: deployment data, kept in the settings store under
// "Settings/Update/URL"; this default is used when the value is absent.
inline constexpr const char* kDefaultUpdateUrl = "https://updates.flarion.invalid/flr/version";

struct UpdateInfo {
    std::string fileVersion;     // the server's
    std::string productVersion;  // the server's
    std::string downloadUrl;     // empty unless an https address
    bool newer = false;          // the server's file version text differs from ours
};

// The page address with "?fv=" and, when the product version is not empty, "&pv=".
std::string BuildUpdateQuery(std::string_view page, std::string_view fileVersion,
                             std::string_view productVersion);

// Reads FILEVERS=[...]PRODVERS=[...]DLOADURL=[...] from the reply's line, each key searched
// after the previous value's "]". A key that is missing leaves its value (and the ones after
// it) empty; nullopt when the line has no FILEVERS=[ value at all.
std::optional<UpdateInfo> ParseUpdateLine(std::string_view line, std::string_view ownFileVersion);

// Asks the update server (address from the settings store) and reads one line of the reply
// (at most 1 KB of a reply of at most 4 KB), waiting at most `timeoutMs`. Returns nullopt on any
// network failure, silently, as the check is a courtesy. Shows "Unable to retrieve version
// information" ("Version Error") through the prompt layer when `fileVersion` is empty. Runs a local
// event loop: call on the main thread.
std::optional<UpdateInfo> CheckForUpdate(const CSettingsStore& store, std::string_view fileVersion,
                                         std::string_view productVersion, int timeoutMs = 5000);

}  // namespace flr
