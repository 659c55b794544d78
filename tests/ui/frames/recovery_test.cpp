// Autosave and recovery: a real program killed after a change, the start that follows, two
// programs at once, a damaged recovery file.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "app/recoveryfiles.h"
#include "editing/scheduleeditor.h"
#include "model/flrdoc.h"
#include "support/framefixture.h"
#include "support/showbuilder.h"
#include "ui/frames/childframe.h"
#include "ui/schedule/flrview.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNote = "changed before the crash";

class RecoveryTest : public test::FrameTest {
protected:
    void SetUp() override { StartFrame(false); }
    std::string Folder() const { return (m_dir / "recovery").string(); }
    // Outlives the frame, whose shows remove their files when they close.
    std::unique_ptr<CRecoveryFiles> m_files;
};

// The program that is killed: run by the next test in a process of its own (disabled in a
// plain run). It opens the
// sample show, changes it, waits for the autosave, says so and waits for its end.
TEST_F(RecoveryTest, DISABLED_ChildChangesAShowAndWaitsToBeKilled)
{
    const char* folder = std::getenv("FLR_RECOVERY_FOLDER");
    if (!folder) GTEST_SKIP() << "run by AShowOfAKilledProgramIsOfferedAndRecovered";
    m_files = std::make_unique<CRecoveryFiles>(folder);
    m_frame->SetRecoveryFiles(m_files.get(), 20);
    CChildFrame* child = m_frame->OpenShow(FLR_SAMPLE_SHOW);
    ASSERT_NE(child, nullptr);
    CScheduleEditor& editor = child->View()->Editor();
    ASSERT_TRUE(editor.ApplyNote(editor.Rows().front(), kNote));
    for (int i = 0; i < 500; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
        bool written = false;
        for (const auto& item : fs::directory_iterator(folder))
            written = written || item.path().extension() == ".info";
        if (!written) continue;
        std::printf("autosaved\n");
        std::fflush(stdout);
        for (;;) ::pause();
    }
    FAIL() << "no autosave";
}

TEST_F(RecoveryTest, AShowOfAKilledProgramIsOfferedAndRecovered)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FLR_RECOVERY_FOLDER"), QString::fromStdString(Folder()));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    program.setProcessEnvironment(env);
    program.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_also_run_disabled_tests"),
         QStringLiteral(
             "--gtest_filter=RecoveryTest.DISABLED_ChildChangesAShowAndWaitsToBeKilled")});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray said;
    while (!said.contains("autosaved") && program.waitForReadyRead(60000))
        said += program.readAllStandardOutput();
    ASSERT_TRUE(said.contains("autosaved")) << said.toStdString();
    ::kill(program.processId(), SIGKILL);
    program.waitForFinished();

    m_files = std::make_unique<CRecoveryFiles>(Folder());
    m_frame->SetRecoveryFiles(m_files.get(), 0);
    m_prompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(m_frame->OfferRecovery(), 1);
    ASSERT_FALSE(m_prompter.Messages().empty());
    EXPECT_NE(m_prompter.Messages().front().text.find("\"harbour-finale.flr\""), std::string::npos);
    ASSERT_EQ(m_frame->Children().size(), 1u);
    CChildFrame* child = m_frame->Children().front();
    EXPECT_EQ(child->Path().toStdString(), fs::path(FLR_SAMPLE_SHOW).string());
    EXPECT_TRUE(child->Doc().IsModified());
    EXPECT_EQ(child->View()->Editor().Rows().front()->GetNote(), kNote);
    EXPECT_TRUE(m_files->Orphans().empty());
    child->Doc().SetModifiedFlag(false);
}

TEST_F(RecoveryTest, ARunningProgramsFilesAreNotOfferedAndDamagedOnesAreKeptAside)
{
    CFLRDoc doc;
    test::AppendEntry(doc, "00:00:01:00", "A01");
    auto running = std::make_unique<CRecoveryFiles>(Folder());
    ASSERT_TRUE(running->Write(1, doc, "Show", ""));
    CRecoveryFiles other(Folder());
    EXPECT_TRUE(other.Orphans().empty());
    // The program ends without closing its show: its file is the other's now.
    running.reset();
    const std::vector<RecoveryEntry> orphans = other.Orphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].title, "Show");

    std::ofstream(orphans[0].file, std::ios::binary) << "not a show";
    EXPECT_EQ(other.Recover(orphans[0]), nullptr);
    EXPECT_TRUE(fs::exists(orphans[0].file + ".damaged"));
    EXPECT_TRUE(other.Orphans().empty());
    ASSERT_FALSE(m_prompter.Messages().empty());
    EXPECT_NE(m_prompter.Messages().back().text.find("damaged"), std::string::npos);
}

}  // namespace
}  // namespace flr
