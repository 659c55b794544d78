#include "music/trackloader.h"

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

std::optional<uint64_t> ShowTrackLengthMs(const CFLRDoc& doc)
{
    const CFireworkSetup* setup = doc.GetSetup();
    if (!setup || !setup->GetMusicFile() || setup->GetMusicFile()->empty()) return std::nullopt;
    return ReadTrackLength(Cp1252ToUtf8(*setup->GetMusicFile()));
}

std::optional<uint32_t> ReadTrackLength(const std::string& path)
{
    CWaveReader reader;
    if (!reader.Open(path)) return std::nullopt;
    return reader.LengthMs();
}

}  // namespace flr
