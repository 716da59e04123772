#include "app/CommandLine.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace {

constexpr const char* usageText =
    "Usage: tavrin [PATH...]\n"
    "       tavrin -o SHEET.png [--layout MODE] [--autocut] PATH...\n"
    "\n"
    "Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG sheet of equal cells.\n"
    "Folders are searched at any depth; the pictures are placed in the order of their full\n"
    "paths. Without -o the window opens with the PATHs in its list.\n"
    "\n"
    "  -o, --output SHEET.png  compose without a window and write the sheet there\n"
    "  --layout MODE           horizontal (one row), vertical (one column, the default) or\n"
    "                          multirow (a grid nearest to square); also 0, 1, 2, and any\n"
    "                          other integer for the grid\n"
    "  --autocut               trim every picture to the common non-transparent area\n"
    "  --help                  show this text\n"
    "  --version               show the version\n"
    "\n"
    "Exit status: 0 done, 1 an error was reported, 2 bad usage.\n";

std::optional<int32_t> ParseLayout(std::string_view text) {
    if (text == "horizontal") {
        return 0;
    }
    if (text == "vertical") {
        return 1;
    }
    if (text == "multirow") {
        return 2;
    }
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool IsLongOption(std::string_view argument, std::string_view name) {
    return argument.substr(0, name.size()) == name &&
           (argument.size() == name.size() || argument[name.size()] == '=');
}

// The length of the option name when the argument names the output, else 0.
std::size_t OutputOptionLength(std::string_view argument) {
    if (IsLongOption(argument, "--output")) {
        return 8;
    }
    return argument.substr(0, 2) == "-o" ? 2 : 0;
}

// Walks the arguments, taking the values of the options that have one.
class UParser_C {
public:
    explicit UParser_C(const std::vector<std::string>& args) : arguments(args) {}

    CommandLine_S Parse();

private:
    void Fail(std::string problem);
    // The value of an option given as "--name=value", "-ovalue" or as the next argument.
    std::optional<std::string> TakeValue(const std::string& argument, std::size_t nameLength);
    // Help, version and bad usage end the parse: they set an action other than OpenWindow.
    void ParseOption(const std::string& argument);
    void Finish();

    const std::vector<std::string>& arguments;
    std::size_t next = 0;
    bool layoutGiven = false;
    CommandLine_S result;
};

void UParser_C::Fail(std::string problem) {
    result.action = CommandLine_S::BadUsage;
    result.problem = std::move(problem);
}

std::optional<std::string> UParser_C::TakeValue(const std::string& argument,
                                                std::size_t nameLength) {
    if (argument.size() > nameLength) {
        // "--name=value" or "-ovalue"
        return argument.substr(argument[1] == '-' ? nameLength + 1 : nameLength);
    }
    if (next >= arguments.size()) {
        return std::nullopt;
    }
    return arguments[next++];
}

void UParser_C::ParseOption(const std::string& argument) {
    if (argument == "--help" || argument == "-h") {
        result.action = CommandLine_S::ShowHelp;
    } else if (argument == "--version") {
        result.action = CommandLine_S::ShowVersion;
    } else if (argument == "--autocut") {
        result.autoCut = true;
    } else if (const std::size_t nameLength = OutputOptionLength(argument)) {
        const auto value = TakeValue(argument, nameLength);
        if (!value || value->empty()) {
            Fail("option " + argument + " needs the path of the sheet");
        } else {
            result.output = *value;
        }
    } else if (IsLongOption(argument, "--layout")) {
        const auto value = TakeValue(argument, 8);
        const auto layout = value ? ParseLayout(*value) : std::nullopt;
        if (!layout) {
            Fail("--layout takes horizontal, vertical, multirow or an integer");
        } else {
            result.composeMode = *layout;
            layoutGiven = true;
        }
    } else {
        Fail("unknown option " + argument);
    }
}

void UParser_C::Finish() {
    if (result.output.empty()) {
        if (layoutGiven || result.autoCut) {
            Fail("--layout and --autocut need -o SHEET.png");
        }
        return;
    }
    if (result.paths.empty()) {
        Fail("no PATH to compose");
        return;
    }
    result.action = CommandLine_S::ComposeSheet;
}

CommandLine_S UParser_C::Parse() {
    bool optionsEnded = false;
    while (next < arguments.size()) {
        const std::string& argument = arguments[next++];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            result.paths.push_back(argument);
        } else {
            ParseOption(argument);
            if (result.action != CommandLine_S::OpenWindow) {
                return result;
            }
        }
    }
    Finish();
    return result;
}

}  // namespace

CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments) {
    return UParser_C(arguments).Parse();
}

const char* GetUsageText() {
    return usageText;
}
