#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

}  // namespace

TEST(ParseCommandLine, UnderstandsEveryFormOfTheOptions) {
    struct Case {
        Args args;
        std::string output;
        int32_t mode;
        bool autoCut;
        Args paths;
    };
    const Case cases[] = {
        {{"-o", "s.png", "a"}, "s.png", 1, false, {"a"}},
        {{"--output", "s.png", "a", "b"}, "s.png", 1, false, {"a", "b"}},
        {{"--output=s.png", "a"}, "s.png", 1, false, {"a"}},
        {{"-os.png", "a"}, "s.png", 1, false, {"a"}},
        {{"a", "-o", "s.png", "--autocut", "b"}, "s.png", 1, true, {"a", "b"}},
        {{"-o", "s.png", "--layout", "horizontal", "a"}, "s.png", 0, false, {"a"}},
        {{"-o", "s.png", "--layout=vertical", "a"}, "s.png", 1, false, {"a"}},
        {{"-o", "s.png", "--layout", "multirow", "a"}, "s.png", 2, false, {"a"}},
        {{"-o", "s.png", "--layout", "0", "a"}, "s.png", 0, false, {"a"}},
        {{"-o", "s.png", "--layout", "7", "a"}, "s.png", 7, false, {"a"}},
        {{"-o", "s.png", "--layout", "-3", "a"}, "s.png", -3, false, {"a"}},
        {{"-o", "s.png", "--layout", "0", "--layout", "2", "a"}, "s.png", 2, false, {"a"}},
        // After "--" everything is a path, and a lone "-" is a path too.
        {{"-o", "s.png", "--", "--autocut", "-"}, "s.png", 1, false, {"--autocut", "-"}},
        {{"-o", "-", "a b"}, "-", 1, false, {"a b"}},
    };
    for (const Case& c : cases) {
        const CommandLine_S line = ParseCommandLine(c.args);
        const std::string shown = ::testing::PrintToString(c.args);
        ASSERT_EQ(line.action, CommandLine_S::ComposeSheet) << shown << ": " << line.problem;
        EXPECT_EQ(line.output, c.output) << shown;
        EXPECT_EQ(line.composeMode, c.mode) << shown;
        EXPECT_EQ(line.autoCut, c.autoCut) << shown;
        EXPECT_EQ(line.paths, c.paths) << shown;
    }
}

TEST(ParseCommandLine, TellsWindowHelpVersionAndBadUsageApart) {
    struct Case {
        Args args;
        CommandLine_S::Action_E action;
    };
    const Case cases[] = {
        {{}, CommandLine_S::OpenWindow},
        {{"a.png", "dir"}, CommandLine_S::OpenWindow},
        {{"--help"}, CommandLine_S::ShowHelp},
        {{"-h"}, CommandLine_S::ShowHelp},
        {{"--version"}, CommandLine_S::ShowVersion},
        {{"-o", "s.png", "--version", "--bogus"}, CommandLine_S::ShowVersion},
        {{"--bogus", "--help"}, CommandLine_S::BadUsage},
        {{"-o"}, CommandLine_S::BadUsage},
        {{"--output="}, CommandLine_S::BadUsage},
        {{"-o", "s.png"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "--layout", "diagonal", "a"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "--layout", "", "a"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "--layout", "1x", "a"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "--layout", "99999999999", "a"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "a", "--layout"}, CommandLine_S::BadUsage},
        {{"-o", "s.png", "--layoutx", "a"}, CommandLine_S::BadUsage},
        {{"--autocut", "a"}, CommandLine_S::BadUsage},
        {{"--layout", "0", "a"}, CommandLine_S::BadUsage},
    };
    for (const Case& c : cases) {
        const CommandLine_S line = ParseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.args);
        EXPECT_EQ(line.problem.empty(), c.action != CommandLine_S::BadUsage)
            << ::testing::PrintToString(c.args) << " gave the problem \"" << line.problem << '"';
    }
}
