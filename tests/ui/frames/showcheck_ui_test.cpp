// The show check between the schedule and the hardware, as the designer meets it.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "base/commandids.h"
#include "model/flrdoc.h"
#include "support/framefixture.h"
#include "support/showbuilder.h"
#include "ui/common/dialogrunner.h"
#include "ui/frames/childframe.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/showcheckdialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

class ShowCheckUiTest : public test::FrameTest {
protected:
    void SetUp() override
    {
        StartFrame(false);
        m_previous = InstallDialogRunner([this](QDialog& d) {
            m_shown.push_back(d.metaObject()->className());
            return m_answer ? m_answer(d) : int(QDialog::Rejected);
        });
    }
    void TearDown() override
    {
        InstallDialogRunner(m_previous);
        FrameTest::TearDown();
    }
    // Every dialog runs through `answer`; their class names are kept in order.
    void Answer(std::function<int(QDialog&)> answer) { m_answer = std::move(answer); }

    CChildFrame* ShowWith(const std::vector<std::string>& addresses)
    {
        CChildFrame* child = m_frame->NewShow();
        int second = 1;
        for (const std::string& a : addresses) {
            test::AppendEntry(child->Doc(), "00:00:0" + std::to_string(second++) + ":00", a,
                              test::MakeItem("100"));
        }
        child->Doc().NotifyChanged();
        m_frame->UpdateCommandUi();
        m_shown.clear();  // the new show's setup
        return child;
    }

    DialogRunner m_previous;
    std::function<int(QDialog&)> m_answer;
    std::vector<std::string> m_shown;
};

TEST_F(ShowCheckUiTest, TheTransferChecksTheShowFirstAndF7ChecksItFromTheSchedule)
{
    // Errors stop the transfer and lead to their cue.
    CChildFrame* errors = ShowWith({"A01", "", "A03"});
    const CIgnition* faulty = errors->Doc().FirstSchedule()->GetNextSchedule();
    bool downloadOffered = true;
    Answer([&](QDialog& d) {
        if (auto* check = qobject_cast<CShowCheckDialog*>(&d)) {
            downloadOffered = check->DownloadButton() != nullptr;
            QTreeWidget* list = check->List();
            EXPECT_EQ(list->topLevelItemCount(), 1);
            emit list->itemActivated(list->topLevelItem(0), 0);
        }
        return int(QDialog::Rejected);
    });
    m_frame->Action(cmd::Transfer)->trigger();
    EXPECT_EQ(m_shown, std::vector<std::string>{"flr::CShowCheckDialog"});
    EXPECT_FALSE(downloadOffered);
    EXPECT_EQ(errors->View()->List()->Selected(),
              std::vector<CIgnition*>{const_cast<CIgnition*>(faulty)});

    // Warnings let the designer go on or stop.
    CChildFrame* child = ShowWith({"A01", "A02"});
    child->Doc().FirstSchedule()->SetItem({});  // a cue without item: a warning
    for (int answer : {int(QDialog::Rejected), int(QDialog::Accepted)}) {
        m_shown.clear();
        Answer([&](QDialog& d) {
            if (auto* check = qobject_cast<CShowCheckDialog*>(&d)) {
                EXPECT_NE(check->DownloadButton(), nullptr);
                return answer;
            }
            return int(QDialog::Rejected);
        });
        m_frame->Action(cmd::Transfer)->trigger();
        std::vector<std::string> expected{"flr::CShowCheckDialog"};
        if (answer == QDialog::Accepted) expected.push_back("flr::CTransferDialog");
        EXPECT_EQ(m_shown, expected);
    }
    // A clean show goes straight to the transfer window; F7 on the schedule shows it clean.
    child->Doc().FirstSchedule()->SetItem(test::MakeItem("100"));
    m_shown.clear();
    m_frame->Action(cmd::Transfer)->trigger();
    QString summary;
    Answer([&](QDialog& d) {
        if (auto* check = qobject_cast<CShowCheckDialog*>(&d)) {
            summary = check->Summary()->text();
            EXPECT_EQ(check->DownloadButton(), nullptr);
        }
        return int(QDialog::Rejected);
    });
    child->View()->List()->setFocus();
    QTest::keyClick(child->View()->List(), Qt::Key_F7);
    EXPECT_EQ(m_shown, (std::vector<std::string>{"flr::CTransferDialog", "flr::CShowCheckDialog"}));
    EXPECT_TRUE(summary.startsWith("No errors")) << summary.toStdString();
}

TEST_F(ShowCheckUiTest, ADamagedShowIsMarkedAndSavedOnlyUnderANewName)
{
    const QString cutPath = QString::fromStdString((m_dir / "cut.flr").string());
    fs::copy_file(FLR_TEST_DATA_DIR "/show-small.flr", cutPath.toStdString());
    const auto cutSize = fs::file_size(cutPath.toStdString()) - 20;
    fs::resize_file(cutPath.toStdString(), cutSize);
    CChildFrame* child = m_frame->OpenShow(cutPath);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->windowTitle().endsWith("[damaged][*]"))
        << child->windowTitle().toStdString();

    bool damagedFinding = false;
    Answer([&](QDialog& d) {
        if (auto* check = qobject_cast<CShowCheckDialog*>(&d))
            damagedFinding = check->List()->topLevelItem(0)->text(4).contains("damaged");
        return int(QDialog::Rejected);
    });
    m_frame->Action(cmd::CheckShow)->trigger();
    EXPECT_TRUE(damagedFinding);

    const QString newPath = QString::fromStdString((m_dir / "mended.flr").string());
    Answer([&](QDialog& d) {
        auto* files = qobject_cast<QFileDialog*>(&d);
        if (!files) return int(QDialog::Rejected);
        files->selectFile(newPath);
        return int(QDialog::Accepted);
    });
    m_shown.clear();
    EXPECT_TRUE(child->Save());
    EXPECT_EQ(m_shown, std::vector<std::string>{"QFileDialog"});
    EXPECT_EQ(fs::file_size(cutPath.toStdString()), cutSize);
    EXPECT_TRUE(fs::exists(newPath.toStdString()));
    EXPECT_FALSE(child->windowTitle().contains("damaged"));
    ASSERT_FALSE(m_prompter.Messages().empty());
    EXPECT_NE(m_prompter.Messages().back().text.find("new name"), std::string::npos);
}

TEST_F(ShowCheckUiTest, AFileThatIsNoShowSaysSo)
{
    for (const char* content : {"just some text\n", ""}) {
        const std::string path = (m_dir / "odd.flr").string();
        std::ofstream(path) << content;
        const size_t before = m_prompter.Messages().size();
        EXPECT_EQ(m_frame->OpenShow(QString::fromStdString(path)), nullptr);
        ASSERT_EQ(m_prompter.Messages().size(), before + 1) << content;
        EXPECT_EQ(m_prompter.Messages().back().caption, "File Error");
        EXPECT_NE(m_prompter.Messages().back().text.find("not an FLR show"), std::string::npos);
    }
}

}  // namespace
}  // namespace flr
