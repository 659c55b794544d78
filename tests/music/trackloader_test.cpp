// Loading a music track: the file dialog, the failed opens with their message, cancelling.
#include "music/trackloader.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <tuple>

#include "music/wavereader.h"
#include "support/scriptedprompter.h"
#include "support/wavebuilder.h"

namespace flr {
namespace {

// Plays the wave table: a scripted dialog, and a streamer that is a wave reader.
class FakeHost final : public CTrackLoadHost {
public:
    std::optional<std::string> ChooseTrackFile() override
    {
        log += "choose;";
        if (choices.empty()) return std::nullopt;
        std::optional<std::string> next = choices.front();
        choices.pop_front();
        return next;
    }
    void DiscardStreamer() override
    {
        log += "discard;";
        streamer.reset();
    }
    bool OpenStreamer(const std::string& path) override
    {
        log += "open " + path + ";";
        if (!streamer) streamer = std::make_unique<CWaveReader>();
        return streamer->Open(path);
    }

    std::deque<std::optional<std::string>> choices;  // nullopt: Cancel
    std::unique_ptr<CWaveReader> streamer;
    std::string log;
};

class TrackLoaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_good = m_dir / "good.wav";
        m_other = m_dir / "other.wav";
        m_bad = m_dir / "bad \"take\".wav";
        ASSERT_TRUE(test::WriteFile(m_good, test::PcmWave(2, 44100, 16, test::Pattern(1764))));
        ASSERT_TRUE(test::WriteFile(m_other, test::PcmWave(1, 8000, 8, test::Pattern(800))));
        ASSERT_TRUE(test::WriteFile(m_bad, {'R', 'I', 'F', 'F', 0, 0}));
    }
    test::TempFolder m_dir;
    std::string m_good, m_other, m_bad;
    test::ScriptedPrompter m_prompter;
    FakeHost m_host;
};

TEST_F(TrackLoaderTest, StoredPathOpensWithoutADialogElseTheDialogAsks)
{
    TrackLoadResult result = LoadTrack(m_host, m_good);
    EXPECT_EQ(std::tie(result.loaded, result.pickedAnother, result.path),
              std::make_tuple(true, false, m_good));
    EXPECT_EQ(m_host.log, "discard;open " + m_good + ";");
    EXPECT_EQ(m_host.streamer->LengthMs(), 10u);

    // Cancelling the dialog keeps the track there is.
    m_host.log.clear();
    m_host.choices = {std::nullopt, m_other};
    EXPECT_FALSE(LoadTrack(m_host, std::nullopt).loaded);
    EXPECT_EQ(m_host.log, "choose;");
    EXPECT_TRUE(m_host.streamer->IsOpen());

    m_host.log.clear();
    result = LoadTrack(m_host, std::nullopt);
    EXPECT_EQ(std::tie(result.loaded, result.pickedAnother, result.path),
              std::make_tuple(true, false, m_other));  // the first choice is not "another"
    EXPECT_EQ(m_host.log, "choose;discard;open " + m_other + ";");
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(TrackLoaderTest, FailedOpensAreReportedUntilOneOpensOrTheUserCancels)
{
    const std::string missing = m_dir / "gone.wav";
    m_host.choices = {m_bad, m_other};
    const TrackLoadResult result = LoadTrack(m_host, missing);
    EXPECT_EQ(std::tie(result.loaded, result.pickedAnother, result.path),
              std::make_tuple(true, true, m_other));
    const auto messages = m_prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Unable to open file \"" + missing + "\".");
    EXPECT_EQ(messages[0].caption, "Unable to open file");
    EXPECT_EQ(messages[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(messages[1].text, "Unable to open file \"" + m_bad + "\".");
    EXPECT_EQ(m_host.log, "discard;open " + missing + ";choose;open " + m_bad + ";choose;open " +
                              m_other + ";");

    // Cancelling after a failed open leaves no track.
    m_host.choices = {std::nullopt};
    const TrackLoadResult cancelled = LoadTrack(m_host, m_bad);
    EXPECT_FALSE(cancelled.loaded || cancelled.pickedAnother);
    EXPECT_FALSE(m_host.streamer);
    EXPECT_EQ(m_prompter.Messages().size(), 3u);
}

TEST(TrackViewTest, WholeTrackAtNoLessThanOneMsPerPixel)
{
    // Shorter than the window is wide: 1 ms a pixel; not laid out yet: one pixel wide.
    const std::tuple<uint32_t, int, uint32_t, double> cases[] = {
        {30'000, 600, 30'000, 50.0}, {300, 600, 600, 1.0}, {5000, 0, 5000, 5000.0}};
    for (const auto& [length, width, widthMs, scale] : cases) {
        const TrackViewWindow view = FitTrackView(length, width);
        EXPECT_EQ(std::make_tuple(view.startMs, view.widthMs, view.scale),
                  std::make_tuple(0u, widthMs, scale))
            << length << " in " << width;
    }
}

}  // namespace
}  // namespace flr
