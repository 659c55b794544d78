// The desktop prompter's boxes: outside text shown as typed, answers mapped back.
#include "ui/common/qtprompter.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include "ui/common/dialogrunner.h"

namespace flr {
namespace {

TEST(QtPrompterTest, ShowsOutsideTextAsPlainTextAndMapsTheAnswer)
{
    CQtPrompter prompter;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    int answer = QMessageBox::No;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        shown = box.text();
        format = box.textFormat();
        return answer;
    });
    const std::string hostile = "<a href=\"file:///etc/passwd\">Update now</a>";
    EXPECT_EQ(ShowMessage(hostile, "Update Available!", PromptButtons::YesNo), PromptAnswer::No);
    EXPECT_EQ(shown.toStdString(), hostile);
    EXPECT_EQ(format, Qt::PlainText);
    answer = QMessageBox::Retry;
    EXPECT_EQ(ShowMessage("x", "y", PromptButtons::RetryCancel), PromptAnswer::Retry);
    answer = QDialog::Rejected;  // closed with Escape: the cautious answer
    EXPECT_EQ(ShowMessage("x", "y", PromptButtons::YesNoCancel), PromptAnswer::Cancel);
    InstallDialogRunner(previous);

    // A refusing beep's reason goes to the owner's status bar.
    QMainWindow window;
    prompter.SetOwner(&window);
    Beep(BeepKind::Exclamation, "Large needs a prefire of 3.00 s");
    EXPECT_EQ(window.statusBar()->currentMessage(),
              QStringLiteral("Large needs a prefire of 3.00 s"));
}

}  // namespace
}  // namespace flr
