#include "platform/script.h"

#include <gtest/gtest.h>

using platform::parse_script;
using platform::ScriptStep;

TEST(Script, ReadsEveryStepAndSkipsCommentsAndBlankLines)
{
    const std::string script = "# a comment\n"
                               "tap 10 20\r\n"
                               "doubletap 1 2\n"
                               "\n"
                               "  hold 5 6 700\n"
                               "key Enter\n"
                               "type Hello world\n"
                               "wait-until 2000 title Ring tone\n"
                               "wait-until 100 pixel 3 4 00FFff\n"
                               "screenshot out dir/shot.png\n"
                               "quit\n";
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(parse_script(script, steps, error)) << error;
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[0].verb, "tap");
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[1].verb, "doubletap");
    EXPECT_EQ(steps[2].words, (std::vector<std::string>{"5", "6", "700"}));
    EXPECT_EQ(steps[4].rest, "Hello world");
    EXPECT_EQ(steps[5].rest, "2000 title Ring tone");
    EXPECT_EQ(steps[7].rest, "out dir/shot.png");
}

TEST(Script, RefusesMalformedStepsNamingTheLine)
{
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"jump 1 2", "script line 1: unknown step \"jump\""},
        {"tap 1", "script line 1: tap takes 2 arguments"},
        {"\ntap 1 x", "script line 2: \"x\" is not a number"},
        {"doubletap 1 99999999999", "script line 1: \"99999999999\" is not a number"},
        {"key Hyper", "script line 1: unknown key \"Hyper\""},
        {"wait-until soon title X", "script line 1: wait-until MS CONDITION ARGUMENTS"},
        {"wait-until 10 colour 1 2", "script line 1: unknown condition \"colour\""},
        {"wait-until 10 pixel 1 2 red", "script line 1: wait-until MS pixel X Y RRGGBB"},
        {"screenshot", "script line 1: screenshot needs a file name"},
    };
    for (const auto& c : cases) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(parse_script(c.script, steps, error)) << c.script;
        EXPECT_EQ(error, c.message);
    }
}
