#include "app/CommandLine.h"

#include "composition/data/UDataForm_S.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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
        const char* const layouts[] = {"row", "column", "grid", "packed"};
        const char* const trims[] = {"", " cut", " trim"};
        const int level = static_cast<int>(compose.encoding.compression) - 1;
        text += " " + compose.output + " " + layouts[static_cast<int>(compose.layout)] +
                trims[static_cast<int>(compose.trim)] +
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
        {{"--output", "s.png", "a", "b"}, "compose s.png column [a] [b]"},
        {{"--output=s.PNG", "a"}, "compose s.PNG column [a]"},
        {{"-os.Webp", "a"}, "compose s.Webp column [a]"},
        {{"a", "-o", "s.png", "--autocut", "b"}, "compose s.png column cut [a] [b]"},
        {{"-o", "s.png", "--layout=horizontal", "a"}, "compose s.png row [a]"},
        {{"-o", "s.png", "--layout", "-3", "a"}, "compose s.png grid [a]"},
        // After "--" everything is a path, and a lone "-" is a path too.
        {{"-o", "-", "--", "--autocut", "-"}, "compose - column [--autocut] [-]"},
        // A device has no name that says a format: it takes the PNG.
        {{"-o", "/dev/null", "a"}, "compose /dev/null column [a]"},
        {{"-o", "s.png", "--compression", "fast", "a"}, "compose s.png column level-1 [a]"},
        {{"-o", "s.png", "--compression=best", "a"}, "compose s.png column level1 [a]"},
        // Each --variant takes one value; what follows is a path.
        {{"-o", "s.png", "--variant", "@2x:2", "a", "--variant", ":1", "b"},
         "compose s.png column [a] [b]"},
        // Help and version act where they appear, before any problem after them is seen.
        {{"-h"}, "help"},
        {{"-o", "s.png", "--version", "--bogus"}, "version"},
        {{"--padding", "-1", "--help"}, "help"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(Summary(args), expected) << ::testing::PrintToString(args);
    }
}

// A data file records every position, so with one the pictures are packed and trimmed, unless a
// layout, columns or a common cut is asked for; then trimming is only where asked, as without it.
TEST(ParseCommandLine, ADataFileMakesPackingAndTrimmingTheDefault) {
    const Args data = {"-o", "s.png", "--data", "d.json"};
    const std::pair<Args, std::string> cases[] = {
        {{}, "compose s.png packed trim [a]"},
        {{"--no-trim"}, "compose s.png packed [a]"},
        {{"--rotate", "--square", "--multipack", "--no-alias"}, "compose s.png packed trim [a]"},
        {{"--layout", "packed"}, "compose s.png packed [a]"},
        {{"--layout", "vertical"}, "compose s.png column [a]"},
        {{"--layout", "multirow", "--trim"}, "compose s.png grid trim [a]"},
        {{"--columns", "2"}, "compose s.png column [a]"},
        {{"--autocut"}, "compose s.png column cut [a]"},
        {{"--layout", "multirow", "--rotate"}, "bad usage: --rotate needs --layout packed"},
        {{"--columns", "2", "--multipack"}, "bad usage: --multipack needs --layout packed"},
        {{"--no-trim", "--trim"}, "bad usage: --no-trim and --trim cannot be given together"},
        {{"--no-trim", "--autocut"}, "bad usage: --no-trim and --autocut cannot be given together"},
        {{"--premultiply", "--data-format", "css"},
         "bad usage: --data-format css is drawn by browsers, which read a sheet as straight "
         "alpha; leave out --premultiply"},
    };
    for (const auto& [options, expected] : cases) {
        Args args = data;
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("a");
        EXPECT_EQ(Summary(args), expected) << ::testing::PrintToString(options);
    }
    EXPECT_EQ(Summary({"-o", "s.png", "--no-trim", "a"}), "compose s.png column [a]");
}

// The window needs an X or Wayland display unless Qt is told to use a platform without one.
TEST(CanOpenWindow, NeedsADisplayOrAPlatformWithoutOne) {
    using Environment = std::map<std::string, std::string>;
    const std::pair<Environment, bool> cases[] = {
        {{}, false},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, false},
        {{{"DISPLAY", ":0"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, true},
        {{{"QT_QPA_PLATFORM", "xcb"}}, false},
        {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}, false},
        {{{"QT_QPA_PLATFORM", "wayland-egl;xcb"}, {"DISPLAY", ":1"}}, true},
        {{{"QT_QPA_PLATFORM", "wayland;xcb"}}, false},
        {{{"QT_QPA_PLATFORM", ";"}}, false},
    };
    for (const auto& [environment, expected] : cases) {
        const auto variable = [&environment](const char* name) -> const char* {
            const auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(CanOpenWindow(variable), expected) << ::testing::PrintToString(environment);
    }
}

TEST(ParseCommandLine, BadUsageNamesTheOptionAndNeverCrashes) {
    const std::string pivot = "--pivot takes two fractions X,Y from -1000000 to 1000000, as 0.5,1";
    const std::string scale = "--scale takes a number above 0 and at most 16, not ";
    const std::string variant = "--variant takes SUFFIX:F with F above 0 and at most 16, not ";
    const std::pair<Args, std::string> cases[] = {
        {{"-o", "s.png", "-3", "a"}, "unknown option -3"},
        {{"-o", "s.png", "--layoutx", "a"}, "unknown option --layoutx"},
        {{"-o"}, "--output needs a value"},
        {{"-o", "s.png", "--layout", "diagonal", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--layout", "1x", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--layout", "99999999999", "a"},
         "--layout takes horizontal, vertical, multirow, packed or an integer"},
        {{"-o", "s.png", "--trim", "--autocut", "a"},
         "--trim and --autocut cannot be given together"},
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
        // The sheet's name says its format (the names themselves: SheetFile's test).
        {{"-o", "png", "a"},
         "-o png: a sheet's name ends in .png or .webp (or is - for standard output)"},
        // A pivot's pixels must stay exact whatever the side (up to 2^31 - 1).
        {{"-o", "s.png", "--pivot", "1e308,0", "a"}, pivot},
        {{"-o", "s.png", "--pivot", "0,-1000000.5", "a"}, pivot},
        {{"-o", "s.png", "--pivot", "nan,0", "a"}, pivot},
        {{"-o", "s.png", "--scale", "16.01", "a"}, scale + "\"16.01\""},
        {{"-o", "s.png", "--scale", "nan", "a"}, scale + "\"nan\""},
        {{"-o", "s.png", "--scale", "2", "--variant", ":1", "a"},
         "--scale and --variant cannot be given together; give --variant :F instead"},
        {{"-o", "s.png", "--variant", "@2x", "a"}, variant + "\"@2x\""},
        {{"-o", "s.png", "--variant", "@2x:-1", "a"}, variant + "\"@2x:-1\""},
        {{"-o", "s.png", "--variant", "a:1", "--variant", "a:2", "a"},
         "--variant a:2: another variant has the suffix \"a\""},
        {{"-o", "s.png", "--variant", "/x:1", "a"}, "--variant /x:1: a suffix names no folder"},
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

// The parser's definitions are the one list of options: the manual page made from them, bash
// completion and README's table each name every option, and no other; the manual page's
// examples show every layout and every data form.
TEST(ParseCommandLine, EveryOptionIsDocumentedWhereUsersLook) {
    const std::vector<std::string> defined = GetOptionNames();
    const std::set<std::string> options(defined.begin(), defined.end());
    std::string manual = MakeManualPage(ReadText("install/tavrin.1.in"));
    ASSERT_NE(manual, "") << "the manual page's template has no line for the options";
    for (const std::string escape : {"\\fB", "\\fI", "\\fR"}) {
        for (std::size_t at = manual.find(escape); at != std::string::npos;
             at = manual.find(escape)) {
            manual.replace(at, escape.size(), " ");
        }
    }
    for (std::size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-")) {
        manual.erase(at, 1);
    }
    const std::string examples = Section(manual, ".SH EXAMPLES", "\n.SH");
    for (const std::string layout : {"horizontal", "vertical", "multirow", "packed"}) {
        EXPECT_NE(examples.find("--layout " + layout), std::string::npos) << layout;
    }
    for (const UDataForm_S& form : GetDataForms()) {
        EXPECT_NE(examples.find(std::string("--data-format ") + form.name), std::string::npos)
            << form.name;
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
    // The data forms: the words completion offers (the manual's options come from the parser).
    std::set<std::string> forms;
    for (const UDataForm_S& form : GetDataForms()) {
        forms.insert(form.name);
    }
    const std::string offered = Section(completer, "--data-format)", "\"$cur\"");
    std::set<std::string> words;
    std::istringstream in(offered.substr(offered.find_first_of("\"'") + 1));
    for (std::string word; in >> word;) {
        words.insert(
            word.substr(0, word.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789")));
    }
    words.erase("");
    EXPECT_EQ(words, forms) << "bash completion";
}
