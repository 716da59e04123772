#include "app/CommandLine.h"

#include "composition/data/UDataForm_S.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// The parse in one line: the action, then the output, layout, trim and a compression other than
// the default, and [paths]. Bad usage shows its problem instead. The program's own runs check
// the sheet and data options.
std::string Summary(const Args& args) {
    const CommandLine_S line = ParseCommandLine(args);
    const char* const actions[] = {"window", "compose", "help", "version", "bad usage"};
    std::string text = actions[line.action];
    if (line.action == CommandLine_S::BadUsage) {
        return text + ": " + line.problem;
    }
    if (line.action == CommandLine_S::ComposeSheet) {
        const NS_Data::UComposeOptions_S& compose = line.compose;
        const int level = static_cast<int>(compose.encoding.compression) - 1;
        text += " " + compose.output + " " +
                std::to_string(NS_Data::ComposeModeFromLayout(compose.layout));
        text += (compose.trim == NS_Data::UTrim_E::Common ? " cut" : "") +
                (level ? " level" + std::to_string(level) : "");
    }
    for (const std::string& path : line.paths) {
        text += " [" + path + "]";
    }
    return line.problem.empty() ? text : text + " with problem \"" + line.problem + "\"";
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
        {{"-o", "s.png", "--layout", "-3", "a"}, "compose s.png 2 [a]"},
        // After "--" everything is a path, and a lone "-" is a path too.
        {{"-o", "s.png", "--", "--autocut", "-"}, "compose s.png 1 [--autocut] [-]"},
        {{"-o", "s.png", "--compression", "fast", "a"}, "compose s.png 1 level-1 [a]"},
        {{"-o", "s.png", "--compression=best", "a"}, "compose s.png 1 level1 [a]"},
        // Help and version act where they appear, before any problem after them is seen.
        {{"-h"}, "help"},
        {{"-o", "s.png", "--version", "--bogus"}, "version"},
        {{"--padding", "-1", "--help"}, "help"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(Summary(args), expected) << ::testing::PrintToString(args);
    }
}

TEST(ParseCommandLine, BadUsageNamesTheOptionAndNeverCrashes) {
    const std::pair<Args, std::string> cases[] = {
        {{"-o", "s.png", "-3", "a"}, "unknown option -3"},
        {{"-o", "s.png", "--layoutx", "a"}, "unknown option --layoutx"},
        {{"-o"}, "--output: 1 required TEXT missing"},
        {{"-o", "s.png", "--layout", "diagonal", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--layout", "1x", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--layout", "99999999999", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--trim", "--autocut", "a"},
         "--trim and --autocut cannot be given together"},
        {{"-o", "s.png", "--layout", "multirow", "--rotate", "a"},
         "--rotate needs --layout packed"},
        {{"-o", "s.png", "--multipack", "a"}, "--multipack needs --layout packed"},
        {{"-o", "s.png", "--layout", "packed", "--rotate", "--data-format", "phaser3", "a"},
         "--data-format phaser3 is read by Phaser 3, which draws a rotated frame mirrored; "
         "leave out --rotate"},
        {{"-o", "s.png", "--padding", "-1", "a"},
         "--padding: takes a whole number from 0 to 16384, not \"-1\""},
        {{"-o", "s.png", "--columns", "0", "a"},
         "--columns: takes a whole number from 1 to 2147483647, not \"0\""},
        {{"-o", "s.png", "--sort", "foo", "a"}, "--sort: takes bytes, natural, not \"foo\""},
        {{"--autocut", "a"}, "--autocut needs -o SHEET.png"},
        {{"-o", "s.png", "--version=two", "a"}, "--version takes no value"},
        {{"-o", "s.png", "--data", "", "a"}, "--data takes a file name, not \"\""},
    };
    for (const auto& [args, problem] : cases) {
        EXPECT_EQ(Summary(args), "bad usage: " + problem) << ::testing::PrintToString(args);
    }
    // Also argument lists that the fuzzer found, each argument ended by a zero byte, each file
    // named after what it caught: bad usage that says why, not a crash.
    for (const auto& entry :
         std::filesystem::directory_iterator(TAVRIN_TEST_DATA "/fuzz/command_line")) {
        std::ifstream in(entry.path(), std::ios::binary);
        Args args(1);
        for (char c = 0; in.get(c);) {
            if (c == '\0') {
                args.emplace_back();
            } else {
                args.back().push_back(c);
            }
        }
        EXPECT_TRUE(Summary(args).starts_with("bad usage: ")) << entry.path();
    }
}

namespace {

// The option names among `text`'s words: those that start with '-' and a letter after a space,
// a quote, a backtick or a parenthesis.
std::set<std::string> OptionWords(const std::string& text) {
    std::set<std::string> names;
    for (std::size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1)) {
        const bool starts =
            at == 0 || std::string_view(" \t\n`('").find(text[at - 1]) != std::string_view::npos;
        const std::size_t letter = text.compare(at, 2, "--") == 0 ? at + 2 : at + 1;
        if (!starts || letter >= text.size() || text[letter] < 'a' || text[letter] > 'z') {
            continue;
        }
        const std::size_t end = text.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", letter);
        names.insert(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end;
    }
    return names;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(TAVRIN_TEST_DATA "/../../" + path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The lines of `text` from the first holding `start` to the first empty one after it.
std::string Section(const std::string& text, const std::string& start, const std::string& end) {
    const std::size_t from = text.find(start);
    return from == std::string::npos ? "" : text.substr(from, text.find(end, from) - from);
}

}  // namespace

// The parser's definitions are the one list of options: the manual page, bash completion and
// README's table each name every option, and no other.
TEST(ParseCommandLine, EveryOptionIsDocumentedWhereUsersLook) {
    const std::vector<std::string> defined = GetOptionNames();
    const std::set<std::string> options(defined.begin(), defined.end());
    std::string manual = Section(ReadText("install/tavrin.1.in"), ".SH OPTIONS", ".SH EXIT");
    for (std::size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-")) {
        manual.erase(at, 1);
    }
    const std::string completer = ReadText("install/tavrin.bash-completion");
    const std::string completion = Section(completer, "compgen -W '-o", "' --");
    const std::string readme = Section(ReadText("README.md"), "| Option | Meaning |", "\n\n");
    const std::pair<const char*, std::string> documents[] = {
        {"the manual page", manual},
        {"bash completion", completion},
        {"README's table", readme},
        {"the usage text", GetUsageText()},
    };
    for (const auto& [document, text] : documents) {
        EXPECT_EQ(OptionWords(text), options) << document;
    }
    // The data forms: the manual's synopsis of --data-format and the words completion offers.
    std::set<std::string> forms;
    for (const UDataForm_S& form : GetDataForms()) {
        forms.insert(form.name);
    }
    const std::string synopsis = Section(manual, "-data-format \" \" ", "\n");
    const std::string offered = Section(completer, "--data-format)", "\"$cur\"");
    for (const auto& [document, text] :
         {std::pair("the manual page", synopsis), std::pair("bash completion", offered)}) {
        std::set<std::string> words;
        std::istringstream in(text.substr(text.find_first_of("\"'") + 1));
        for (std::string word; in >> word;) {
            words.insert(
                word.substr(0, word.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789")));
        }
        words.erase("");
        EXPECT_EQ(words, forms) << document;
    }
}
