#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editing/showclock.h"
#include "music/sounddevice.h"
#include "music/trackloader.h"
#include "music/wavetablemodel.h"

namespace flr {

class CFLRDoc;
class CWaveStreamer;

// The strip above the schedule: the music track's waveform, the show's effects as bars laid
// against it, a time scale and the show position; it plays the track for the show clock.
// Owns the sound device and the track's streamer. User-interface thread only.
class CWaveTrack : public QWidget, public CShowPlayback, private CTrackLoadHost {
    Q_OBJECT
public:
    // `positionMs` is the show clock's position, read when painting.
    CWaveTrack(const CFLRDoc& doc, std::function<uint32_t()> positionMs, QWidget* parent = nullptr);
    ~CWaveTrack() override;

    // Loads the track at `path` (UTF-8), or with none the one the user picks.
    TrackLoadResult LoadTrack(const std::optional<std::string>& path);
    void ClearTrack();
    bool HasTrack() const;
    // The track's length; 30 s without one.
    uint32_t GetTrackLengthMs() const;
    const std::string& GetTrackPath() const { return m_path; }
    // The track plays through no sound output (there is none): it shows, the clock keeps time.
    bool IsSilent() const { return m_silent; }

    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();
    void ToggleFrameDigits();
    bool CanZoomIn() const { return m_window.CanZoomIn(); }
    bool FrameDigits() const { return m_window.FrameDigits(); }
    const CWaveTableModel& Window() const { return m_window; }
    // The schedule changed: the effect bars are laid out again.
    void ShowChanged();

    // The show clock's calls.
    void Start() override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    void SetPositionMs(uint32_t ms) override;
    void Redraw() override { update(); }
    std::optional<uint32_t> HeardMs() override;

    CWaveStreamer* Streamer() const { return m_streamer.get(); }

signals:
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::optional<std::string> ChooseTrackFile() override;
    void DiscardStreamer() override;
    bool OpenStreamer(const std::string& path) override;
    int PixelWidth() const;
    const std::vector<EffectSpan>& Spans();

    const CFLRDoc& m_doc;
    std::function<uint32_t()> m_positionMs;
    CSoundDevice m_device;
    bool m_deviceTried = false;
    bool m_silent = false;
    std::unique_ptr<CWaveStreamer> m_streamer;
    std::string m_path;
    CWaveTableModel m_window;
    std::vector<EffectSpan> m_spans;
    bool m_spansValid = false;
};

}  // namespace flr
