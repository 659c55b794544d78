// Loading a music track: the file dialog, the failed opens with their message, cancelling.
#include "music/trackloader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <memory>

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
        char name[] = "/tmp/flr-track-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_dir = name;
        m_good = m_dir + "/good.wav";
        m_other = m_dir + "/other.wav";
        m_bad = m_dir + "/bad \"take\".wav";
        ASSERT_TRUE(test::WriteFile(m_good, test::PcmWave(2, 44100, 16, test::Pattern(1764))));
        ASSERT_TRUE(test::WriteFile(m_other, test::PcmWave(1, 8000, 8, test::Pattern(800))));
        ASSERT_TRUE(test::WriteFile(m_bad, {'R', 'I', 'F', 'F', 0, 0}));
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string m_dir, m_good, m_other, m_bad;
    test::ScriptedPrompter m_prompter;
    FakeHost m_host;
};

TEST_F(TrackLoaderTest, StoredPathOpensWithoutADialog)
{
    const TrackLoadResult result = LoadTrack(m_host, m_good);
    EXPECT_TRUE(result.loaded);
    EXPECT_FALSE(result.pickedAnother);
    EXPECT_EQ(result.path, m_good);
    EXPECT_EQ(m_host.log, "discard;open " + m_good + ";");
    EXPECT_TRUE(m_prompter.Messages().empty());
    ASSERT_TRUE(m_host.streamer);
    EXPECT_EQ(m_host.streamer->LengthMs(), 10u);
}

TEST_F(TrackLoaderTest, NoPathAsksForAFile)
{
    m_host.choices = {m_other};
    const TrackLoadResult result = LoadTrack(m_host, std::nullopt);
    EXPECT_TRUE(result.loaded);
    EXPECT_FALSE(result.pickedAnother);  // the first choice is not "another"
    EXPECT_EQ(result.path, m_other);
    EXPECT_EQ(m_host.log, "choose;discard;open " + m_other + ";");
}

TEST_F(TrackLoaderTest, CancellingTheFirstDialogKeepsThePreviousTrack)
{
    ASSERT_TRUE(LoadTrack(m_host, m_good).loaded);
    m_host.log.clear();
    m_host.choices = {std::nullopt};
    EXPECT_FALSE(LoadTrack(m_host, std::nullopt).loaded);
    EXPECT_EQ(m_host.log, "choose;");
    ASSERT_TRUE(m_host.streamer);
    EXPECT_TRUE(m_host.streamer->IsOpen());
}

TEST_F(TrackLoaderTest, FailedOpensAreReportedUntilOneOpens)
{
    const std::string missing = m_dir + "/gone.wav";
    m_host.choices = {m_bad, m_other};
    const TrackLoadResult result = LoadTrack(m_host, missing);
    EXPECT_TRUE(result.loaded);
    EXPECT_TRUE(result.pickedAnother);
    EXPECT_EQ(result.path, m_other);
    const auto messages = m_prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Unable to open file \"" + missing + "\".");
    EXPECT_EQ(messages[0].caption, "Unable to open file");
    EXPECT_EQ(messages[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(messages[1].text, "Unable to open file \"" + m_bad + "\".");
    EXPECT_EQ(m_host.log, "discard;open " + missing + ";choose;open " + m_bad + ";choose;open " +
                              m_other + ";");
}

TEST_F(TrackLoaderTest, CancellingAfterAFailedOpenLeavesNoTrack)
{
    ASSERT_TRUE(LoadTrack(m_host, m_good).loaded);
    m_host.choices = {std::nullopt};
    const TrackLoadResult result = LoadTrack(m_host, m_bad);
    EXPECT_FALSE(result.loaded);
    EXPECT_FALSE(result.pickedAnother);
    EXPECT_FALSE(m_host.streamer);
    EXPECT_EQ(m_prompter.Messages().size(), 1u);
}

TEST(TrackViewTest, WholeTrackAtNoLessThanOneMsPerPixel)
{
    TrackViewWindow view = FitTrackView(30'000, 600);
    EXPECT_EQ(view.startMs, 0u);
    EXPECT_EQ(view.widthMs, 30'000u);
    EXPECT_DOUBLE_EQ(view.scale, 50.0);

    view = FitTrackView(300, 600);  // shorter than the window is wide
    EXPECT_EQ(view.widthMs, 600u);
    EXPECT_DOUBLE_EQ(view.scale, 1.0);

    view = FitTrackView(5000, 0);  // not laid out yet
    EXPECT_EQ(view.widthMs, 5000u);
    EXPECT_DOUBLE_EQ(view.scale, 5000.0);
}

}  // namespace
}  // namespace flr
