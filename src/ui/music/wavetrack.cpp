#include "ui/music/wavetrack.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <cstdlib>

#include "model/flrdoc.h"
#include "music/wavestreamer.h"
#include "ui/music/trackfiledialog.h"

namespace flr {

namespace {

constexpr uint32_t kNoTrackLengthMs = 30000;
const QColor kWaveColour(0, 255, 0);
const QColor kCursorColour(235, 234, 245);
const QColor kBarColour(255, 255, 0);
const QColor kScaleColour(255, 0, 0);

}  // namespace

CWaveTrack::CWaveTrack(const CFLRDoc& doc, std::function<uint32_t()> positionMs, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_positionMs(std::move(positionMs))
{
    setObjectName(QStringLiteral("waveTable"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumWidth(100);
}

CWaveTrack::~CWaveTrack()
{
    // The streamer's output closes before the device goes.
    m_streamer.reset();
}

TrackLoadResult CWaveTrack::LoadTrack(const std::optional<std::string>& path)
{
    TrackLoadResult result = flr::LoadTrack(*this, path);
    if (result.loaded) {
        m_path = result.path;
        const TrackViewWindow view = FitTrackView(m_streamer->TrackLengthMs(), PixelWidth());
        m_window.SetWindow(view.startMs, view.widthMs, view.scale);
    } else if (!m_streamer) {
        m_path.clear();
    }
    update();
    return result;
}

void CWaveTrack::ClearTrack()
{
    m_streamer.reset();
    m_path.clear();
    m_silent = false;
    m_window.Clear(PixelWidth());
    update();
}

bool CWaveTrack::HasTrack() const { return m_streamer != nullptr; }

uint32_t CWaveTrack::GetTrackLengthMs() const
{
    return m_streamer ? m_streamer->TrackLengthMs() : kNoTrackLengthMs;
}

std::optional<std::string> CWaveTrack::ChooseTrackFile() { return flr::ChooseTrackFile(this); }

void CWaveTrack::DiscardStreamer()
{
    m_streamer.reset();
    m_silent = false;
}

bool CWaveTrack::OpenStreamer(const std::string& path)
{
    if (!m_deviceTried) {
        m_deviceTried = true;
        m_device.Create();
    }
    m_streamer = std::make_unique<CWaveStreamer>();
    if (m_device.IsCreated() && m_streamer->Open(path, &m_device)) {
        m_silent = false;
        return true;
    }
    // Without a sound output that takes the track it still shows, and the clock keeps time.
    m_silent = true;
    if (m_streamer->Open(path, nullptr)) return true;
    m_streamer.reset();
    return false;
}

int CWaveTrack::PixelWidth() const { return std::max(1, width() - 2); }

void CWaveTrack::ZoomIn()
{
    m_window.ZoomIn(PixelWidth());
    update();
}

void CWaveTrack::ZoomOut()
{
    m_window.ZoomOut(PixelWidth());
    update();
}

void CWaveTrack::ZoomToFit()
{
    std::optional<uint32_t> track;
    if (m_streamer) track = m_streamer->TrackLengthMs();
    m_window.ZoomToFit(PixelWidth(), track,
                       EffectsEndMs(m_doc.FirstSchedule(), m_doc.GetFrameRate()));
    update();
}

void CWaveTrack::ToggleFrameDigits()
{
    m_window.ToggleFrameDigits();
    update();
}

void CWaveTrack::ShowChanged()
{
    m_spansValid = false;
    update();
}

const std::vector<EffectSpan>& CWaveTrack::Spans()
{
    if (!m_spansValid) {
        m_spans = EffectSpans(m_doc.FirstSchedule(), m_doc.GetFrameRate());
        m_spansValid = true;
    }
    return m_spans;
}

void CWaveTrack::Start()
{
    if (m_streamer) m_streamer->Play();
}

void CWaveTrack::Pause()
{
    if (m_streamer && !m_streamer->IsPaused()) m_streamer->Pause();
}

void CWaveTrack::Resume()
{
    if (!m_streamer) return;
    if (m_streamer->IsPaused()) {
        m_streamer->Pause();  // resumes
    } else {
        m_streamer->Play();
    }
}

void CWaveTrack::Stop()
{
    if (m_streamer) m_streamer->Stop(true);
    m_window.SetWindow(0, m_window.ViewWidth(), m_window.Scale());
    update();
}

void CWaveTrack::SetPositionMs(uint32_t ms)
{
    if (m_streamer) {
        m_streamer->Stop(false);
        m_streamer->Seek(ms);
    }
    update();
}

std::optional<uint32_t> CWaveTrack::HeardMs()
{
    return m_streamer ? m_streamer->HeardMs() : std::nullopt;
}

void CWaveTrack::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_window.Resize(PixelWidth());
}

void CWaveTrack::contextMenuEvent(QContextMenuEvent* event)
{
    emit ContextMenuRequested(event->globalPos());
    event->accept();
}

void CWaveTrack::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_window.Scale() < 1.0) return;
    const int widthPx = PixelWidth();
    const int halfHeight = std::max(1, (height() - 2) / 2);
    const int middle = halfHeight + 1;
    const int left = 1;
    const uint32_t p = m_positionMs ? m_positionMs() : 0;
    m_window.FollowPosition(p);
    const uint32_t start = m_window.ViewStart();
    const double scale = m_window.Scale();

    if (m_streamer) {
        painter.setPen(kWaveColour);
        const std::vector<SampleRange> columns =
            WaveformColumns(m_streamer->Summary(), start, scale, widthPx);
        std::vector<QLine> lines;
        lines.reserve(columns.size());
        for (size_t x = 0; x < columns.size(); ++x) {
            const int top = middle - columns[x].high * halfHeight / 32768;
            const int bottom = middle - columns[x].low * halfHeight / 32768;
            lines.emplace_back(left + int(x), top, left + int(x), bottom);
        }
        painter.drawLines(lines.data(), int(lines.size()));
    }

    if (p >= start) {
        const int x = left + int(double(p - start) / scale);
        painter.setPen(kCursorColour);
        painter.drawLine(x, middle + halfHeight, x, std::max(0, middle - halfHeight - 2));
    }

    painter.setPen(kBarColour);
    const std::vector<EffectBar> bars =
        EffectBars(Spans(), start, m_window.ViewWidth(), scale, middle, halfHeight);
    for (const EffectBar& bar : bars) {
        if (bar.startMark) {
            painter.drawLine(left + bar.x1, std::max(0, middle - halfHeight - 2), left + bar.x1,
                             middle - halfHeight + 1);
        }
        painter.drawLine(left + bar.x1, bar.y, left + bar.x2, bar.y);
    }

    painter.setPen(kScaleColour);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const int textHeight = painter.fontMetrics().height();
    const int bottom = middle + halfHeight;
    for (const ScaleTick& tick :
         TimeScale(start, scale, widthPx, m_window.FrameDigits(), m_doc.GetFrameRate())) {
        painter.drawLine(left + tick.x, bottom, left + tick.x, bottom - 12);
        painter.drawText(left + tick.x + 2, bottom - textHeight + painter.fontMetrics().ascent(),
                         QString::fromStdString(tick.label));
    }
}

}  // namespace flr
