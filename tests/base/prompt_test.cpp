#include "base/prompt.h"

#include <gtest/gtest.h>

#include "support/scriptedprompter.h"

namespace flr {

TEST(Prompt, ScriptedPrompterAnswersInOrderThenCautiously)
{
    test::ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::Yes);
    prompter.Answer(PromptAnswer::Retry);
    EXPECT_EQ(ShowMessage("Delete?", "Confirm Delete", PromptButtons::YesNo), PromptAnswer::Yes);
    EXPECT_EQ(ShowMessage("Stalled", "Communications Failure", PromptButtons::RetryCancel),
              PromptAnswer::Retry);
    EXPECT_EQ(ShowMessage("Again?", "Confirm", PromptButtons::YesNo), PromptAnswer::No);
    Beep(BeepKind::Exclamation);
    Beep();
    Beep();

    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].caption, "Communications Failure");
    EXPECT_EQ(messages[1].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompter.Beeps(BeepKind::Default), 2);
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
}

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
