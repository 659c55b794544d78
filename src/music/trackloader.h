#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace flr {

class CFLRDoc;

// What loading a music track needs from the wave table. User-interface thread only.
class CTrackLoadHost {
public:
    virtual ~CTrackLoadHost() = default;
    // Shows the file-open dialog for wave files; the chosen path (UTF-8), nullopt on Cancel.
    virtual std::optional<std::string> ChooseTrackFile() = 0;
    // Discards the current playback streamer, if there is one.
    virtual void DiscardStreamer() = 0;
    // Opens `path` in a playback streamer, making one when there is none; true on success.
    virtual bool OpenStreamer(const std::string& path) = 0;
};

struct TrackLoadResult {
    bool loaded = false;
    // The stored path failed and the user picked another file: the caller stores the new one.
    bool pickedAnother = false;
    std::string path;  // the loaded track's path
};

// Loads the track at `path`, or, with none, the one the user picks. A path that cannot be
// opened is reported ("Unable to open file") through the prompt layer and the user may pick
// another until one opens or they cancel. Cancelling the first dialog leaves the current
// track; cancelling after a failed open leaves no streamer.
TrackLoadResult LoadTrack(CTrackLoadHost& host, const std::optional<std::string>& path);

// The wave table's window after a track is loaded: the whole track, at no less than 1 ms per
// pixel (the width then shrinks to the window's).
struct TrackViewWindow {
    uint32_t startMs = 0;
    uint32_t widthMs = 0;
    double scale = 1.0;  // ms per pixel
};

TrackViewWindow FitTrackView(uint32_t lengthMs, int windowWidthPx);

// Where a show's music file is. A relative path is taken from the show's folder; a path that
// is not there is looked for by its file name next to the show, so a show folder moved to
// another machine keeps its music.
struct TrackLocation {
    std::string path;              // the file to open (UTF-8)
    bool foundNextToShow = false;  // the stored path was not there, this one is
    std::string nextToShow;        // where it was looked for next to the show, if it was
};
TrackLocation LocateTrack(const std::string& stored, const std::string& showPath);

// The length of the wave file at `path` (UTF-8); nullopt when it cannot be read as one.
std::optional<uint32_t> ReadTrackLength(const std::string& path);
// The length of the show's music track, when it names one that reads as a wave file;
// `showPath` (UTF-8, empty for a new show) finds a relative or moved track.
std::optional<uint64_t> ShowTrackLengthMs(const CFLRDoc& doc, const std::string& showPath);

}  // namespace flr
