// The view's music: a show's track loaded (from beside the show, moved, or missing), played by
// the running clock over SDL's dummy output, chosen and let go through the commands.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <memory>

#include "base/textcodec.h"
#include "music/wavestreamer.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "support/wavebuilder.h"
#include "ui/common/dialogrunner.h"
#include "ui/music/wavetrack.h"
#include "ui/schedule/flrview.h"

namespace flr {
namespace {

class ViewMusicTest : public testing::Test {
protected:
    ViewMusicTest()
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // 16-bit stereo, 4 s at 8 kHz.
        EXPECT_TRUE(test::WriteFile(m_dir / "track.wav",
                                    test::PcmWave(2, 8000, 16, test::Pattern(4 * 32000))));
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        test::AppendEntry(doc, "00:00:01:00", "A01");
        // Dialogs are cancelled unless a test says otherwise.
        m_previousRunner = InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    }
    ~ViewMusicTest() override { InstallDialogRunner(m_previousRunner); }

    std::unique_ptr<CFLRView> OpenView(const std::string& music)
    {
        doc.GetSetup()->SetMusicFile(Utf8ToCp1252(music));
        doc.SetModifiedFlag(false);
        auto view = std::make_unique<CFLRView>(doc);
        view->SetShowPath(m_dir / "show.flr");
        view->resize(900, 500);
        view->InitialUpdate();
        return view;
    }
    std::string StoredMusic() const { return Cp1252ToUtf8(*doc.GetSetup()->GetMusicFile()); }

    test::TempFolder m_dir;
    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    DialogRunner m_previousRunner;
};

TEST_F(ViewMusicTest, ATrackBesideTheShowLoadsAndPlaysWithTheClockUntilTheViewCloses)
{
    auto view = OpenView("track.wav");
    CWaveTrack* wave = view->WaveTable();
    ASSERT_TRUE(wave->HasTrack());
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(wave->height(), 150);
    EXPECT_EQ(wave->GetTrackLengthMs(), 4000u);
    EXPECT_EQ(view->Clock().SliderMaximum(), 4 * 25 + 1);
    EXPECT_EQ(view->State(cmd::ZoomToFit).text, "Zoom To Fit Track");
    EXPECT_TRUE(view->State(cmd::DeselectTrack).enabled);

    view->show();
    view->RunCommand(cmd::Run);
    EXPECT_FALSE(view->State(cmd::SelectMusic).enabled);
    EXPECT_FALSE(view->State(cmd::DeselectTrack).enabled);
    ASSERT_TRUE(wave->Streamer()->IsPlaying());
    QTest::qWait(150);
    view->RunCommand(cmd::Pause);
    EXPECT_TRUE(wave->Streamer()->IsPaused());
    view->RunCommand(cmd::Run);
    QTest::qWait(50);
    view.reset();  // closed while the music plays
}

TEST_F(ViewMusicTest, AMovedTrackIsFoundBesideTheShowAndAMissingOneIsReported)
{
    const std::string moved = "/no/such/folder/track.wav";
    auto view = OpenView(moved);
    ASSERT_TRUE(view->WaveTable()->HasTrack());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Music track moved");
    EXPECT_NE(prompter.Messages()[0].text.find(m_dir / "track.wav"), std::string::npos);
    EXPECT_EQ(StoredMusic(), m_dir / "track.wav");
    EXPECT_TRUE(doc.IsModified());

    // Nowhere to be found: the message, the dialog cancelled; the show keeps its path.
    const std::string gone = m_dir / "gone.wav";
    view = OpenView(gone);
    EXPECT_FALSE(view->WaveTable()->HasTrack());
    ASSERT_EQ(prompter.Messages().size(), 2u);
    EXPECT_EQ(prompter.Messages()[1].text, "Unable to open file \"" + gone + "\".");
    EXPECT_EQ(StoredMusic(), gone);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view->WaveTable()->height(), 50);
    EXPECT_EQ(view->State(cmd::ZoomToFit).text, "Zoom To Fit Firework");
}

TEST_F(ViewMusicTest, SelectAndDeselectStoreTheTrackInTheShow)
{
    auto view = OpenView("");
    ASSERT_FALSE(view->WaveTable()->HasTrack());
    EXPECT_FALSE(view->State(cmd::DeselectTrack).enabled);
    const std::string path = m_dir / "track.wav";
    InstallDialogRunner([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(path));
        dialog.accept();
        return dialog.result();
    });
    view->RunCommand(cmd::SelectMusic);
    ASSERT_TRUE(view->WaveTable()->HasTrack());
    EXPECT_EQ(StoredMusic(), path);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view->Clock().SliderMaximum(), 4 * 25);

    view->RunCommand(cmd::ZoomIn);
    EXPECT_TRUE(view->State(cmd::ZoomIn).enabled);
    view->RunCommand(cmd::DeselectTrack);
    EXPECT_FALSE(view->WaveTable()->HasTrack());
    EXPECT_EQ(StoredMusic(), "");
    EXPECT_EQ(view->WaveTable()->Window().ViewWidth(), 15000u);

    // Both are steps of the history; taking them back reloads the strip from the setup.
    EXPECT_EQ(view->State(cmd::EditUndo).text, "Undo Deselect Track");
    view->RunCommand(cmd::EditUndo);
    EXPECT_TRUE(view->WaveTable()->HasTrack());
    EXPECT_EQ(StoredMusic(), path);
    view->RunCommand(cmd::EditUndo);
    EXPECT_FALSE(view->WaveTable()->HasTrack());
    EXPECT_FALSE(doc.IsModified());
    view->RunCommand(cmd::EditRedo);
    EXPECT_TRUE(view->WaveTable()->HasTrack());
}

}  // namespace
}  // namespace flr
