#include <gtest/gtest.h>

#include "CommandLine.h"

namespace wf {
namespace {

struct SplitCase {
    const char* line;
    QStringList tokens;
};

TEST(CommandLine, SplitsAtBlanksAndDropsAShortTail) {
    const SplitCase cases[] = {
        {"", {}},
        {"-mod:wald", {"-mod:wald"}},
        {"x  -debug:style:1", {"x", "", "-debug:style:1"}},
        {"ab -mod:ab", {"ab", "-mod:ab"}},  // a short token before a blank stays
        {"-mod:wald ab", {"-mod:wald"}},    // a two-character tail is dropped
        {"-mod:wald abc", {"-mod:wald", "abc"}},
        {"-debug ", {"-debug"}},  // a blank at the end gives no empty tail
        {" -debug", {"", "-debug"}},
        {"ab", {}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCommandLine(QString::fromUtf8(c.line)), c.tokens) << c.line;
    }
}

TEST(CommandLine, KeepsTenTokensAndIgnoresFurtherOnes) {
    EXPECT_TRUE(ApplySwitches(SplitCommandLine("a1 a2 a3 a4 a5 a6 a7 a8 a9 -debug")).debugMode);

    const QStringList eleven = SplitCommandLine("a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 -debug");
    ASSERT_EQ(eleven.size(), 10);
    EXPECT_EQ(eleven.last(), "a10");
    EXPECT_FALSE(ApplySwitches(eleven).debugMode);

    // The eleventh token is ignored also when it ends in a blank.
    EXPECT_FALSE(ApplySwitches(SplitCommandLine("1 2 3 4 5 6 7 8 9 10 -debug ")).debugMode);
}

struct SwitchCase {
    const char* line;
    bool debugMode;
    int debugStyle;
    const char* modName;
};

TEST(CommandLine, SwitchesAreExactAndTheLaterOneWins) {
    const SwitchCase cases[] = {
        {"", false, 2, ""},
        {"-debug", true, 2, ""},
        {"-Debug", true, 2, ""},
        {"-DEBUG", false, 2, ""},
        {"-debug:style:1", true, 1, ""},
        {"-Debug:style:2", true, 2, ""},
        {"-debug:Style:1", false, 2, ""},
        {"-debug:style:1 -debug", true, 2, ""},
        {"-debug -debug:style:1", true, 1, ""},
        {"-mod:wald", false, 2, "wald"},
        {"-MOD:wald", false, 2, ""},
        {"-mod:wald -mod:see", false, 2, "see"},
        {"x  -debug:style:1 -mod:berg", true, 1, "berg"},
    };
    for (const SwitchCase& c : cases) {
        const CommandLineOptions o = ApplySwitches(SplitCommandLine(QString::fromUtf8(c.line)));
        EXPECT_EQ(o.debugMode, c.debugMode) << c.line;
        EXPECT_EQ(o.debugStyle, c.debugStyle) << c.line;
        EXPECT_EQ(o.modName, QString::fromUtf8(c.modName)) << c.line;
    }
}

TEST(CommandLine, RebuildsTheLineFromTheArguments) {
    EXPECT_EQ(JoinCommandLine({"-mod:see"}), "-mod:see");
    // An empty argument keeps its place as an empty token.
    EXPECT_EQ(SplitCommandLine(JoinCommandLine({"x", "", "-debug"})),
              QStringList({"x", "", "-debug"}));
}

}  // namespace
}  // namespace wf
