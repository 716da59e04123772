#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

constexpr const char* usageText =
    "Usage: tavrin [PATH...]\n"
    "       tavrin -o SHEET.png [OPTION...] PATH...\n"
    "\n"
    "Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG sheet of equal cells.\n"
    "Folders are searched at any depth; the pictures are placed in the order of their full\n"
    "paths. Without -o the window opens with the PATHs in its list.\n"
    "\n"
    "Sheet:\n"
    "  -o, --output SHEET.png     compose without a window and write the sheet there;\n"
    "                             - writes it to standard output\n"
    "  --layout MODE              horizontal (one row), vertical (one column), or multirow\n"
    "                             (a grid nearest to square); also 0, 1, 2, and any other\n"
    "                             integer for the grid (default: vertical)\n"
    "  --columns N                a grid of N columns, whatever the layout (default: off)\n"
    "  --autocut                  trim every picture to the common non-transparent area\n"
    "  --compression LEVEL        fast, default or best (default: default)\n"
    "\n"
    "Spacing and texture size:\n"
    "  --padding N                N transparent pixels between cells (default: 0)\n"
    "  --border N                 N transparent pixels around the sheet (default: 0)\n"
    "  --extrude N                repeat each frame's edge pixels N pixels outward (default: 0)\n"
    "  --pot                      round both sides up to powers of two (default: off)\n"
    "  --max-size N               refuse a sheet with a side above N pixels (default: warn\n"
    "                             above 16384)\n"
    "\n"
    "Frames:\n"
    "  --data FILE.json           also write where each frame lies (default: none)\n"
    "  --data-format FORMAT       hash (frames by name) or array (in sheet order)\n"
    "                             (default: hash)\n"
    "  --sort ORDER               bytes (byte order of the full paths) or natural (numbers by\n"
    "                             value: frame2 before frame10) (default: bytes)\n"
    "  --gif-frames WHICH         first, or all: every frame of an animated gif in its own\n"
    "                             cell (default: first)\n"
    "\n"
    "  --help                     show this text\n"
    "  --version                  show the version\n"
    "  --                         every argument after it is a PATH\n"
    "\n"
    "Exit status: 0 done, 1 an error was reported, 2 bad usage.\n";

// The room any spacing option may take; sheets beyond it are refused by their size anyway.
constexpr int32_t MaxSpacing = 16384;

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

// Ends the parse at once where --help or --version appears.
struct UStop_S {
    CommandLine_S::Action_E action;
};

template <typename Enum>
using UChoices_T = std::vector<std::pair<std::string, Enum>>;

// An option whose value is one of the named choices; the message of a wrong value lists them.
template <typename Enum>
void AddChoice(CLI::App& app, const std::string& name, Enum& target, UChoices_T<Enum> choices) {
    std::string names;
    for (const auto& choice : choices) {
        names += (names.empty() ? "" : ", ") + choice.first;
    }
    auto check = [choices, names](const std::string& value) {
        for (const auto& choice : choices) {
            if (choice.first == value) {
                return std::string();
            }
        }
        return "takes " + names + ", not \"" + value + "\"";
    };
    auto take = [choices, &target](const std::string& value) {
        for (const auto& choice : choices) {
            if (choice.first == value) {
                target = choice.second;
            }
        }
    };
    app.add_option(name)->check(CLI::Validator(check, "", ""))->each(take);
}

// A whole number of pixels within [low, high].
void AddCount(CLI::App& app, const std::string& name, auto& target, int64_t low, int64_t high) {
    auto check = [low, high](const std::string& value) {
        int64_t number = 0;
        const char* end = value.data() + value.size();
        const auto [stop, failure] = std::from_chars(value.data(), end, number);
        if (value.empty() || failure != std::errc() || stop != end || number < low ||
            number > high) {
            return "takes a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + ", not \"" + value + "\"";
        }
        return std::string();
    };
    app.add_option(name, target)->check(CLI::Validator(check, "", ""));
}

class UParser_C {
public:
    UParser_C();
    CommandLine_S Parse(const std::vector<std::string>& arguments);

private:
    void DefineOptions();
    void Finish();
    void Fail(std::string problem);
    // The flag among the arguments that is given a value, as "--name".
    std::string FindFlagWithValue(const std::vector<std::string>& arguments) const;

    CLI::App app;
    std::string layout;
    CommandLine_S result;
};

UParser_C::UParser_C() {
    app.set_help_flag();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    DefineOptions();
}

void UParser_C::DefineOptions() {
    auto stop = [](CommandLine_S::Action_E action) {
        return [action](std::int64_t) { throw UStop_S{action}; };
    };
    app.add_flag("-h,--help", stop(CommandLine_S::ShowHelp))->trigger_on_parse();
    app.add_flag("--version", stop(CommandLine_S::ShowVersion))->trigger_on_parse();
    app.add_option("-o,--output", result.output);
    app.add_option("--layout", layout);
    app.add_flag("--autocut", result.autoCut);
    AddChoice<CommandLine_S::Compression_E>(app, "--compression", result.compression,
                                            {{"fast", CommandLine_S::FastCompression},
                                             {"default", CommandLine_S::DefaultCompression},
                                             {"best", CommandLine_S::BestCompression}});
    AddCount(app, "--columns", result.sheet.columns, 1, std::numeric_limits<int32_t>::max());
    AddCount(app, "--padding", result.sheet.padding, 0, MaxSpacing);
    AddCount(app, "--border", result.sheet.border, 0, MaxSpacing);
    AddCount(app, "--extrude", result.sheet.extrude, 0, MaxSpacing);
    app.add_flag("--pot", result.sheet.powerOfTwo);
    AddCount(app, "--max-size", result.maxSize, 1, std::numeric_limits<int32_t>::max());
    app.add_option("--data", result.dataPath);
    AddChoice<CommandLine_S::DataFormat_E>(
        app, "--data-format", result.dataFormat,
        {{"hash", CommandLine_S::JsonHash}, {"array", CommandLine_S::JsonArray}});
    AddChoice<CommandLine_S::PathOrder_E>(
        app, "--sort", result.order,
        {{"bytes", CommandLine_S::ByteOrder}, {"natural", CommandLine_S::NaturalOrder}});
    AddChoice<CommandLine_S::GifFrames_E>(
        app, "--gif-frames", result.gifFrames,
        {{"first", CommandLine_S::FirstFrame}, {"all", CommandLine_S::AllFrames}});
    app.add_option("paths", result.paths);
}

std::string UParser_C::FindFlagWithValue(const std::vector<std::string>& arguments) const {
    for (const std::string& argument : arguments) {
        const std::size_t equals = argument.find('=');
        const CLI::Option* option = argument.starts_with("--") && equals != std::string::npos
                                        ? app.get_option_no_throw(argument.substr(0, equals))
                                        : nullptr;
        if (option && option->get_expected_max() == 0) {
            return argument.substr(0, equals);
        }
    }
    return "a flag";
}

void UParser_C::Fail(std::string problem) {
    result.action = CommandLine_S::BadUsage;
    result.problem = std::move(problem);
}

void UParser_C::Finish() {
    if (const auto mode = ParseLayout(layout); app.count("--layout") > 0) {
        if (!mode) {
            return Fail("--layout takes horizontal, vertical, multirow or an integer");
        }
        result.composeMode = *mode;
    }
    if (result.output.empty()) {
        for (const CLI::Option* option : app.get_options()) {
            if (option->count() > 0 && option->get_name() != "paths") {
                return Fail(option->get_name() + " needs -o SHEET.png");
            }
        }
        return;
    }
    if (result.paths.empty()) {
        return Fail("no PATH to compose");
    }
    result.action = CommandLine_S::ComposeSheet;
}

CommandLine_S UParser_C::Parse(const std::vector<std::string>& arguments) {
    // Everything after the first "--" is a path, whatever it looks like.
    auto mark = std::find(arguments.begin(), arguments.end(), "--");
    // CLI11 takes the arguments last first.
    std::vector<std::string> options(std::make_reverse_iterator(mark), arguments.rend());
    try {
        app.parse(options);
    } catch (const UStop_S& stop) {
        result.action = stop.action;
        return result;
    } catch (const CLI::ExtrasError&) {
        Fail("unknown option " + app.remaining().front());
        return result;
    } catch (const CLI::ParseError& error) {
        Fail(error.what());
        return result;
    } catch (const std::logic_error&) {
        // CLI11 reads the VALUE of "--flag=VALUE" as a count, and throws this for a word; the
        // arguments it took are gone from `options` by now.
        Fail(FindFlagWithValue(arguments) + " takes no value");
        return result;
    }
    for (const std::string& path : result.paths) {
        // Taken for a path as it looks like a negative number; a path like that must follow "--".
        if (path.size() > 1 && path[0] == '-') {
            Fail("unknown option " + path);
            return result;
        }
    }
    if (mark != arguments.end()) {
        result.paths.insert(result.paths.end(), mark + 1, arguments.end());
    }
    Finish();
    return result;
}

}  // namespace

CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments) {
    return UParser_C().Parse(arguments);
}

const char* GetUsageText() {
    return usageText;
}
