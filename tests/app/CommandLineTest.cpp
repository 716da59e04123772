#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// The parse in one line: the action, then the output, layout, trim and [paths] it carries.
std::string Summary(const Args& args) {
    const CommandLine_S line = ParseCommandLine(args);
    const char* const actions[] = {"window", "compose", "help", "version", "bad usage"};
    std::string text = actions[line.action];
    if (line.action == CommandLine_S::ComposeSheet) {
        text += " " + line.output + " " + std::to_string(line.composeMode);
        text += line.autoCut ? " cut" : "";
    }
    for (const std::string& path : line.paths) {
        text += " [" + path + "]";
    }
    // Only bad usage says what the problem is.
    const bool explained = !line.problem.empty();
    return explained == (line.action == CommandLine_S::BadUsage)
               ? text
               : text + " with problem \"" + line.problem + "\"";
}

}  // namespace

TEST(ParseCommandLine, UnderstandsEveryFormOfTheOptions) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "window"},
        {{"a.png", "dir"}, "window [a.png] [dir]"},
        {{"--output", "s.png", "a", "b"}, "compose s.png 1 [a] [b]"},
        {{"--output=s.png", "a"}, "compose s.png 1 [a]"},
        {{"-os.png", "a"}, "compose s.png 1 [a]"},
        {{"a", "-o", "s.png", "--autocut", "b"}, "compose s.png 1 cut [a] [b]"},
        {{"-o", "s.png", "--layout=horizontal", "a"}, "compose s.png 0 [a]"},
        {{"-o", "s.png", "--layout", "-3", "a"}, "compose s.png -3 [a]"},
        {{"-o", "s.png", "--layout", "0", "--layout", "7", "a"}, "compose s.png 7 [a]"},
        // After "--" everything is a path, and a lone "-" is a path too.
        {{"-o", "s.png", "--", "--autocut", "-"}, "compose s.png 1 [--autocut] [-]"},
        {{"-o", "-", "a b"}, "compose - 1 [a b]"},
        // Help and version act where they appear; so does the first bad option.
        {{"-h"}, "help"},
        {{"-o", "s.png", "--version", "--bogus"}, "version"},
        {{"--bogus", "--help"}, "bad usage"},
        {{"-o"}, "bad usage"},
        {{"--output="}, "bad usage"},
        {{"-o", "s.png", "--layout", "diagonal", "a"}, "bad usage"},
        {{"-o", "s.png", "--layout", "", "a"}, "bad usage"},
        {{"-o", "s.png", "--layout", "1x", "a"}, "bad usage"},
        {{"-o", "s.png", "--layout", "99999999999", "a"}, "bad usage"},
        {{"-o", "s.png", "a", "--layout"}, "bad usage [a]"},
        {{"-o", "s.png", "--layoutx", "a"}, "bad usage"},
        {{"--autocut", "a"}, "bad usage [a]"},
        {{"--layout", "0", "a"}, "bad usage [a]"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(Summary(args), expected) << ::testing::PrintToString(args);
    }
}
