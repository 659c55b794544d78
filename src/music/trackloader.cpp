#include "music/trackloader.h"

#include <filesystem>

#include "base/prompt.h"
#include "base/textcodec.h"
#include "model/flrdoc.h"
#include "music/wavereader.h"

namespace flr {

TrackLoadResult LoadTrack(CTrackLoadHost& host, const std::optional<std::string>& path)
{
    TrackLoadResult result;
    std::optional<std::string> current = path;
    if (!current) {
        current = host.ChooseTrackFile();
        if (!current) return result;
    }
    host.DiscardStreamer();
    while (!host.OpenStreamer(*current)) {
        ShowMessage("Unable to open file \"" + *current + "\".", "Unable to open file",
                    PromptButtons::Ok);
        current = host.ChooseTrackFile();
        if (!current) {
            host.DiscardStreamer();
            return result;
        }
        result.pickedAnother = true;
    }
    result.loaded = true;
    result.path = *current;
    return result;
}

TrackViewWindow FitTrackView(uint32_t lengthMs, int windowWidthPx)
{
    // A window not laid out yet has no width; one pixel keeps the division defined.
    const uint32_t width = windowWidthPx > 0 ? uint32_t(windowWidthPx) : 1u;
    TrackViewWindow view;
    view.widthMs = lengthMs;
    view.scale = double(lengthMs) / double(width);
    if (view.scale < 1.0) {
        view.scale = 1.0;
        view.widthMs = width;
    }
    return view;
}

TrackLocation LocateTrack(const std::string& stored, const std::string& showPath)
{
    namespace fs = std::filesystem;
    TrackLocation location;
    location.path = stored;
    if (stored.empty() || showPath.empty()) return location;
    std::error_code error;
    const fs::path storedPath(stored);
    const fs::path folder = fs::path(showPath).parent_path();
    // A path written on another system (C:\Shows\music.wav) is nothing here but its name.
    const bool foreign =
        stored.find('\\') != std::string::npos || (stored.size() > 1 && stored[1] == ':');
    if (!foreign) {
        if (storedPath.is_relative()) {
            location.path = (folder / storedPath).lexically_normal().string();
            return location;
        }
        if (fs::exists(storedPath, error) || !storedPath.has_filename()) return location;
    }
    const std::string name = stored.substr(stored.find_last_of("/\\") + 1);
    if (name.empty()) return location;
    const fs::path beside = folder / name;
    location.nextToShow = beside.string();
    if (fs::is_regular_file(beside, error)) {
        location.path = beside.string();
        location.foundNextToShow = true;
    }
    return location;
}

std::optional<uint64_t> ShowTrackLengthMs(const CFLRDoc& doc, const std::string& showPath)
{
    const CFireworkSetup* setup = doc.GetSetup();
    if (!setup || !setup->GetMusicFile() || setup->GetMusicFile()->empty()) return std::nullopt;
    return ReadTrackLength(LocateTrack(Cp1252ToUtf8(*setup->GetMusicFile()), showPath).path);
}

std::optional<uint32_t> ReadTrackLength(const std::string& path)
{
    CWaveReader reader;
    if (!reader.Open(path)) return std::nullopt;
    return reader.LengthMs();
}

}  // namespace flr
