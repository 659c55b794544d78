#include "base/prompt.h"

#include <gtest/gtest.h>

#include "support/scriptedprompter.h"

namespace flr {

TEST(Prompt, NestedInstallationsRestoreTheirPredecessor)
{
    test::ScriptedPrompter outer;
    {
        test::ScriptedPrompter inner;
        Beep();
        EXPECT_EQ(inner.BeepCount(), 1);
    }
    Beep();
    EXPECT_EQ(outer.BeepCount(), 1);
}

TEST(Prompt, BuiltInPrompterNeverAgreesToAnything)
{
    EXPECT_EQ(CautiousAnswer(PromptButtons::YesNo), PromptAnswer::No);
    EXPECT_EQ(CautiousAnswer(PromptButtons::RetryCancel), PromptAnswer::Cancel);
    EXPECT_EQ(CautiousAnswer(PromptButtons::Ok), PromptAnswer::Ok);
    EXPECT_EQ(ShowMessage("text", "caption", PromptButtons::YesNoCancel), PromptAnswer::Cancel);
}

}  // namespace flr
