#include "app/CommandLine.h"

#include <locale.h>
#include <sys/stat.h>
#include <wchar.h>
#include <CLI/CLI.hpp>

#include "composition/UOptionConflict_S.h"
#include "composition/data/SheetData.h"
#include "composition/data/UDataForm_S.h"
#include "foundation/ShownText.h"
#include "imaging/SheetFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

using NS_Base::FillIn;
using NS_Base::ShownText;

constexpr const char* usageLines = TR_NOOP("CommandLine",
                                           "Usage: tavrin [PATH...]\n"
                                           "       tavrin -o SHEET.png [OPTION...] PATH...\n"
                                           "       tavrin --project FILE.json [OPTION...]\n");

constexpr const char* summary = TR_NOOP(
    "CommandLine",
    "Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG (or lossless WebP) sheet.\n"
    "Folders are searched at any depth; the pictures are placed in the order of their full\n"
    "paths. Without -o the window opens with the PATHs in its list.\n");

constexpr const char* endOfOptions = TR_NOOP("CommandLine", "every argument after it is a PATH");
constexpr const char* exitStatus =
    TR_NOOP("CommandLine", "Exit status: 0 done, 1 an error was reported, 2 bad usage.\n");

// Where an option's description starts, and the width its lines are filled to.
constexpr std::size_t DescriptionColumn = 29;
constexpr std::size_t LineWidth = 94;

// Options of this group are listed last, under no heading.
constexpr const char* OtherGroup = TR_NOOP("CommandLine", "Other");
// Options of the whole run rather than of a sheet, as OtherGroup's are.
constexpr const char* BuildsGroup = TR_NOOP("CommandLine", "Builds");

// The groups of the options, in the order of their first option.
std::vector<std::string> GetGroups(const CLI::App& app) {
    std::vector<std::string> groups;
    for (const CLI::Option* option : app.get_options()) {
        const std::string& group = option->get_group();
        if (option->nonpositional() && std::ranges::find(groups, group) == groups.end()) {
            groups.push_back(group);
        }
    }
    return groups;
}

// `text` as roff prints it: a backslash and a dash are escaped, and a line that would start
// with a control character starts with a zero-width one instead.
std::string Roff(const std::string& text) {
    std::string roff = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (const char c : text) {
        roff += c == '\\' ? std::string("\\e") : c == '-' ? std::string("\\-") : std::string(1, c);
    }
    return roff;
}

// The manual page's options: each group a subsection, each option a tagged paragraph with the
// same names, value and description as the usage text.
std::string FormatManualOptions(const CLI::App& app) {
    std::string roff;
    for (const std::string& group : GetGroups(app)) {
        roff += ".SS " + Roff(group) + "\n";
        for (const CLI::Option* option : app.get_options()) {
            if (!option->nonpositional() || option->get_group() != group) {
                continue;
            }
            std::string names;
            for (const std::string& name : option->get_snames()) {
                names += "\\fB" + Roff("-" + name) + "\\fR, ";
            }
            for (const std::string& name : option->get_lnames()) {
                names += "\\fB" + Roff("--" + name) + "\\fR, ";
            }
            names.resize(names.size() - 2);
            if (option->get_type_size() != 0) {
                names += " \\fI" + Roff(option->get_option_text()) + "\\fR";
            }
            roff += ".TP\n" + names + "\n" + Roff(option->get_description()) + "\n";
        }
    }
    return roff + ".TP\n\\fB\\-\\-\\fR\nevery argument after it is a \\fIPATH\\fR\n";
}

// One character of a UTF-8 text: its code point, its length in bytes and the columns a terminal
// gives it, as the C library's built-in UTF-8 locale reads them whatever locale the program runs
// in. A byte that starts no character stands for itself, one column wide.
struct UCharacter_S {
    char32_t point;
    std::size_t length;
    int columns;
};

UCharacter_S ReadCharacter(std::string_view text, std::size_t at) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    const locale_t previous = utf8 ? ::uselocale(utf8) : nullptr;
    std::mbstate_t state{};
    wchar_t point = 0;
    const std::size_t length = std::mbrtowc(&point, text.data() + at, text.size() - at, &state);
    const int columns = ::wcwidth(point);
    if (previous) {
        ::uselocale(previous);
    }
    if (length == 0 || length > text.size() - at) {
        return {static_cast<unsigned char>(text[at]), 1, 1};
    }
    return {static_cast<char32_t>(point), length, std::max(columns, 0)};
}

// A line may break before a wide character, except before the punctuation that closes a
// phrase ("，", "。", "）"), which must not start a line.
bool BreaksBefore(const UCharacter_S& character) {
    const char32_t point = character.point;
    const bool punctuation = (point >= 0x3000 && point <= 0x303F) ||
                             (point >= 0xFF00 && point <= 0xFF0F) ||
                             (point >= 0xFF1A && point <= 0xFF20);
    return character.columns == 2 && !punctuation;
}

// A piece of a description that a line never splits: a word, or one wide character with the
// punctuation after it. `spaced` when a space comes before it.
struct UPiece_S {
    std::string text;
    std::size_t columns;
    bool spaced;
};

std::vector<UPiece_S> SplitPieces(std::string_view text) {
    std::vector<UPiece_S> pieces;
    bool spaced = false;
    bool afterWide = false;
    for (std::size_t at = 0; at < text.size();) {
        const UCharacter_S character = ReadCharacter(text, at);
        const bool wide = character.columns == 2;
        if (character.point == ' ') {
            spaced = true;
            at += character.length;
            continue;
        }
        if (pieces.empty() || spaced || BreaksBefore(character) || (afterWide && !wide)) {
            pieces.push_back({{}, 0, spaced && !pieces.empty()});
        }
        pieces.back().text.append(text.substr(at, character.length));
        pieces.back().columns += static_cast<std::size_t>(character.columns);
        spaced = false;
        afterWide = wide;
        at += character.length;
    }
    return pieces;
}

// The usage text, laid out from the parser's own options: each group under its name, each
// option with its value's name and its description filled to the line width, all in the
// language chosen at start.
class UUsageFormatter_C : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string text =
            ShownText("CommandLine", usageLines) + "\n" + ShownText("CommandLine", summary);
        for (const std::string& group : GetGroups(*app)) {
            text +=
                "\n" + (group == OtherGroup ? std::string()
                                            : FillIn(ShownText("CommandLine", "%1:"),
                                                     {ShownText("CommandLine", group.c_str())}) +
                                                  "\n");
            for (const CLI::Option* option : app->get_options()) {
                if (option->nonpositional() && option->get_group() == group) {
                    text += FormatOption(*option);
                }
            }
        }
        return text + Fill("  --", ShownText("CommandLine", endOfOptions)) + "\n" +
               ShownText("CommandLine", exitStatus);
    }

private:
    static std::string FormatOption(const CLI::Option& option) {
        std::string names = " ";
        for (const std::string& name : option.get_snames()) {
            names += " -" + name + ",";
        }
        for (const std::string& name : option.get_lnames()) {
            names += " --" + name + ",";
        }
        names.pop_back();
        if (option.get_type_size() != 0) {
            names += " " + option.get_option_text();
        }
        return Fill(names, Describe(option));
    }

    // The option's description as the user reads it; the data forms' is made from their table.
    static std::string Describe(const CLI::Option& option);

    // `names`, then the pieces of `description` from DescriptionColumn on, in lines no wider
    // than LineWidth columns.
    static std::string Fill(const std::string& names, const std::string& description) {
        std::string text;
        std::string line = names;
        if (line.size() >= DescriptionColumn) {
            text = line + "\n";
            line.clear();
        }
        line.resize(DescriptionColumn, ' ');
        std::size_t columns = DescriptionColumn;
        for (const UPiece_S& piece : SplitPieces(description)) {
            const std::size_t space = columns > DescriptionColumn && piece.spaced ? 1 : 0;
            if (columns > DescriptionColumn && columns + space + piece.columns > LineWidth) {
                text += line + "\n";
                line.assign(DescriptionColumn, ' ');
                columns = DescriptionColumn;
            } else if (space != 0) {
                line += ' ';
                ++columns;
            }
            line += piece.text;
            columns += piece.columns;
        }
        return text + line + "\n";
    }
};

// The room any spacing option may take; sheets beyond it are refused by their size anyway.
constexpr int32_t MaxSpacing = 16384;

constexpr std::pair<const char*, NS_Data::ULayout_E> LayoutNames[] = {
    {"horizontal", NS_Data::ULayout_E::Row},
    {"vertical", NS_Data::ULayout_E::Column},
    {"multirow", NS_Data::ULayout_E::Grid},
    {"packed", NS_Data::ULayout_E::Packed}};

constexpr std::pair<const char*, USheetEncoder_C::Level> CompressionNames[] = {
    {"fast", USheetEncoder_C::Level::Fast},
    {"default", USheetEncoder_C::Level::Default},
    {"best", USheetEncoder_C::Level::Best}};

// The name of `value` in `names`, which holds every value.
template <typename Enum, std::size_t Count>
const char* NameIn(const std::pair<const char*, Enum> (&names)[Count], Enum value) {
    return std::ranges::find(names, value, &std::pair<const char*, Enum>::second)->first;
}

std::optional<NS_Data::ULayout_E> ParseLayout(std::string_view text) {
    for (const auto& [name, value] : LayoutNames) {
        if (text == name) {
            return value;
        }
    }
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end) {
        return std::nullopt;
    }
    return NS_Data::LayoutFromComposeMode(value);
}

// Scales beyond 16 make sheets few GPUs load from pictures of any common size.
constexpr double MaxScale = 16;

// A scale in (0, MaxScale], as a plain decimal number.
std::optional<double> ParseScale(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end ||
        !(value > 0 && value <= MaxScale)) {
        return std::nullopt;
    }
    return value;
}

// The sheet's format follows its name, so a name of any other format would hold bytes that it
// belies; a FIFO or a device (/dev/stdout) has no such name and takes the PNG, written in place.
bool NamesSheetFormat(const std::string& path) {
    struct stat status {};
    return SheetFile::FormatOf(path.c_str()) != USheetFormat_E::Unknown ||
           (::stat(path.c_str(), &status) == 0 &&
            (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)));
}

// A pivot is written in pixels, as the fraction times a side of up to 2^31 - 1; within this
// bound that product stays below 2^53, where a double still holds every whole number.
constexpr double MaxPivotFraction = 1e6;

// Two fractions "X,Y", each a plain decimal number within MaxPivotFraction of 0.
std::optional<std::pair<double, double>> ParsePivot(const std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    double values[2] = {};
    const std::string parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
    for (int i = 0; i < 2; ++i) {
        const char* end = parts[i].data() + parts[i].size();
        const auto [stop, failure] = std::from_chars(parts[i].data(), end, values[i]);
        if (parts[i].empty() || failure != std::errc() || stop != end ||
            !(std::abs(values[i]) <= MaxPivotFraction)) {
            return std::nullopt;
        }
    }
    return std::pair(values[0], values[1]);
}

// The flag that sets `option` as the conflict rules name it.
const char* FlagOf(NS_Data::UOption_E option) {
    using NS_Data::UOption_E;
    switch (option) {
        case UOption_E::Rotate:
            return "--rotate";
        case UOption_E::Square:
            return "--square";
        case UOption_E::Multipack:
            return "--multipack";
        case UOption_E::Premultiply:
            return "--premultiply";
        default:
            return "--no-alias";
    }
}

std::string DescribeConflict(const NS_Data::UOptionConflict_S& conflict,
                             const NS_Data::UComposeOptions_S& compose) {
    const std::string flag = FlagOf(conflict.option);
    if (conflict.cause == NS_Data::UOption_E::DataForm) {
        // %2 says what the form does ("turns frames the other way"), %3 is the flag.
        return FillIn(ShownText("CommandLine", "--data-format %1 %2; leave out %3"),
                      {GetDataForm(compose.data.form).name, conflict.reason, flag});
    }
    return FillIn(ShownText("CommandLine", "%1 needs --layout packed"), {flag});
}

// Ends the parse at once where --help or --version appears.
struct UStop_S {
    CommandLine_S::Action_E action;
};

// Ends the parse at once where a value is wrong, with the problem as the user reads it: CLI11
// would put its own words around it.
struct UBadValue_S {
    std::string problem;
};

template <typename Enum>
using UChoices_T = std::vector<std::pair<std::string, Enum>>;

// An option whose value is one of the named choices; the message of a wrong value lists them.
template <typename Enum>
CLI::Option* AddChoice(CLI::App& app, const std::string& name, Enum& target,
                       UChoices_T<Enum> choices) {
    std::string names;
    for (const auto& choice : choices) {
        names += (names.empty() ? "" : ", ") + choice.first;
    }
    auto check = [name, choices, names](const std::string& value) {
        for (const auto& choice : choices) {
            if (choice.first == value) {
                return std::string();
            }
        }
        throw UBadValue_S{
            FillIn(ShownText("CommandLine", "%1: takes %2, not \"%3\""), {name, names, value})};
    };
    auto take = [choices, &target](const std::string& value) {
        for (const auto& choice : choices) {
            if (choice.first == value) {
                target = choice.second;
            }
        }
    };
    return app.add_option(name)->check(CLI::Validator(check, "", ""))->each(take);
}

UChoices_T<NS_Data::UDataOptions_S::Form_E> DataFormChoices() {
    UChoices_T<NS_Data::UDataOptions_S::Form_E> choices;
    for (const UDataForm_S& form : GetDataForms()) {
        choices.emplace_back(form.name, form.form);
    }
    return choices;
}

std::string SourceText(const char*, const char* text) {
    return text;
}

// "hash (frames by name), array (in sheet order), ... or css (...) (default: hash)", its texts
// as `shown` gives them: the source texts for the manual page, ShownText for the usage text.
std::string DescribeDataForms(NS_Base::UTranslate_F shown) {
    const std::span<const UDataForm_S> forms = GetDataForms();
    std::string text;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const std::string form =
            FillIn(shown("CommandLine", TR_NOOP("CommandLine", "%1 (%2)")),
                   {forms[i].name, shown("UDataForm_S", forms[i].description)});
        text = i == 0 ? form
                      : FillIn(i + 1 == forms.size()
                                   ? shown("CommandLine", TR_NOOP("CommandLine", "%1 or %2"))
                                   : shown("CommandLine", TR_NOOP("CommandLine", "%1, %2")),
                               {text, form});
    }
    return FillIn(shown("CommandLine", TR_NOOP("CommandLine", "%1 (default: %2)")),
                  {text, forms.front().name});
}

std::string UUsageFormatter_C::Describe(const CLI::Option& option) {
    return option.get_name() == "--data-format"
               ? DescribeDataForms(&ShownText)
               : ShownText("CommandLine", option.get_description().c_str());
}

// A whole number of pixels within [low, high].
CLI::Option* AddCount(CLI::App& app, const std::string& name, auto& target, int64_t low,
                      int64_t high) {
    auto check = [name, low, high](const std::string& value) {
        int64_t number = 0;
        const char* end = value.data() + value.size();
        const auto [stop, failure] = std::from_chars(value.data(), end, number);
        if (value.empty() || failure != std::errc() || stop != end || number < low ||
            number > high) {
            throw UBadValue_S{FillIn(
                ShownText("CommandLine", "%1: takes a whole number from %2 to %3, not \"%4\""),
                {name, std::to_string(low), std::to_string(high), value})};
        }
        return std::string();
    };
    return app.add_option(name, target)->check(CLI::Validator(check, "", ""))->option_text("N");
}

class UParser_C {
public:
    UParser_C();
    CommandLine_S Parse(const std::vector<std::string>& arguments);
    std::string GetUsage() const { return app.help(); }
    std::string GetManualOptions() const { return FormatManualOptions(app); }
    std::vector<std::string> GetOptionNames() const;
    std::vector<UOptionKind_S> GetSheetOptions() const;

private:
    void DefineOptions();
    void DefineSheetOptions();
    void DefinePackingOptions();
    void DefineSpacingOptions();
    void DefinePixelOptions();
    void DefineFrameOptions();
    void DefineRebuildOptions();
    void Finish();
    // Each returns the problem found, empty for none.
    std::string ChooseLayoutAndTrim();
    std::string CheckFrameOptions();
    // The project's run: every argument but the project files goes to each sheet.
    void FinishProjects(const std::vector<std::string>& arguments);
    std::string CheckVariants();
    void Fail(std::string problem);
    // The flag among the arguments that is given a value, as "--name".
    std::string FindFlagWithValue(const std::vector<std::string>& arguments) const;
    // CLI11's problem in the user's language, naming the option it is about.
    std::string DescribeParseError(const CLI::ParseError& error) const;

    CLI::App app;
    std::string layout;
    std::string pivot;
    std::string scale;
    std::vector<std::string> variants;
    bool noAlias = false;
    bool autoCut = false;
    bool trim = false;
    bool noTrim = false;
    CommandLine_S result;
};

UParser_C::UParser_C() {
    app.set_help_flag();
    app.formatter(std::make_shared<UUsageFormatter_C>());
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    DefineOptions();
}

// The options, group by group, in the order the usage lists them.
void UParser_C::DefineOptions() {
    DefineSheetOptions();
    DefinePackingOptions();
    DefineSpacingOptions();
    DefinePixelOptions();
    DefineFrameOptions();
    DefineRebuildOptions();
    auto stop = [](CommandLine_S::Action_E action) {
        return [action](std::int64_t) { throw UStop_S{action}; };
    };
    app.add_flag("-h,--help", stop(CommandLine_S::ShowHelp),
                 TR_NOOP("CommandLine", "show this text"))
        ->trigger_on_parse()
        ->group(OtherGroup);
    app.add_flag("--version", stop(CommandLine_S::ShowVersion),
                 TR_NOOP("CommandLine", "show the version"))
        ->trigger_on_parse()
        ->group(OtherGroup);
    app.add_option("paths", result.paths);
}

void UParser_C::DefineSheetOptions() {
    using Level = USheetEncoder_C::Level;
    NS_Data::UComposeOptions_S& compose = result.compose;
    const char* group = TR_NOOP("CommandLine", "Sheet");
    app.add_option(
           "-o,--output", compose.output,
           TR_NOOP("CommandLine",
                   "compose without a window and write the sheet there: a PNG for a .png name, "
                   "a lossless WebP for a .webp name; - writes the PNG to standard output"))
        ->option_text("SHEET.png")
        ->group(group);
    app.add_option(
           "--layout", layout,
           TR_NOOP("CommandLine",
                   "horizontal (one row), vertical (one column), multirow (a grid nearest to "
                   "square), or packed (pictures of any size packed tightly); also 0, 1, 2, and "
                   "any other integer for the grid (default: packed with --data and neither "
                   "--columns nor --autocut, else vertical)"))
        ->option_text("MODE")
        ->group(group);
    AddCount(app, "--columns", compose.sheet.columns, 1, std::numeric_limits<int32_t>::max())
        ->description(
            TR_NOOP("CommandLine", "a grid of N columns, whatever the layout (default: off)"))
        ->group(group);
    app.add_flag("--autocut", autoCut,
                 TR_NOOP("CommandLine", "trim every picture to the common non-transparent area"))
        ->group(group);
    app.add_flag(
           "--trim", trim,
           TR_NOOP("CommandLine",
                   "trim each picture to its own non-transparent area; the data file keeps its "
                   "offset (default: on with --data and none of --layout, --columns, --autocut)"))
        ->group(group);
    app.add_flag("--no-trim", noTrim,
                 TR_NOOP("CommandLine", "keep whole pictures, also where --data would trim them"))
        ->group(group);
    AddChoice<Level>(app, "--compression", compose.encoding.compression,
                     {std::begin(CompressionNames), std::end(CompressionNames)})
        ->description(TR_NOOP(
            "CommandLine", "how hard the writer works: fast, default or best (default: default)"))
        ->option_text("LEVEL")
        ->group(group);
    app.add_option("--scale", scale,
                   TR_NOOP("CommandLine",
                           "scale every picture by F, from above 0 to 16, before laying it out "
                           "(default: 1)"))
        ->option_text("F")
        ->group(group);
    app.add_option(
           "--variant", variants,
           TR_NOOP("CommandLine",
                   "also write the sheet and data file with the pictures scaled by F, named with "
                   "SUFFIX before the extension (sheet@2x.png); repeatable, SUFFIX may be empty "
                   "(default: one sheet at scale 1)"))
        ->option_text("SUFFIX:F")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false)
        ->group(group);
    app.add_flag(
           "--indexed", compose.encoding.indexed,
           TR_NOOP("CommandLine",
                   "a palette PNG when the sheet has at most 256 colours, lossless; else RGBA and "
                   "a warning (default: off)"))
        ->group(group);
}

void UParser_C::DefinePackingOptions() {
    NS_Data::UPackingOptions_S& packingOptions = result.compose.packing;
    const char* packing = TR_NOOP("CommandLine", "Packing (with the packed layout)");
    app.add_flag("--rotate", packingOptions.rotate,
                 TR_NOOP("CommandLine",
                         "a picture may be stored turned 90 degrees clockwise where that makes the "
                         "sheet smaller (default: off)"))
        ->group(packing);
    app.add_flag("--square", packingOptions.square,
                 TR_NOOP("CommandLine", "a sheet with equal sides (default: off)"))
        ->group(packing);
    app.add_flag("--multipack", packingOptions.multipack,
                 TR_NOOP("CommandLine",
                         "pictures that one sheet of --max-size cannot hold go on further sheets: "
                         "SHEET-0.png, SHEET-1.png, ... (default: off)"))
        ->group(packing);
    app.add_flag("--no-alias", noAlias,
                 TR_NOOP("CommandLine",
                         "give identical pictures places of their own (default: they share one)"))
        ->group(packing);
}

void UParser_C::DefineSpacingOptions() {
    NS_Data::USheetOptions_S& sheet = result.compose.sheet;
    const char* spacing = TR_NOOP("CommandLine", "Spacing and texture size");
    AddCount(app, "--padding", sheet.padding, 0, MaxSpacing)
        ->description(TR_NOOP("CommandLine", "N transparent pixels between cells (default: 0)"))
        ->group(spacing);
    AddCount(app, "--border", sheet.border, 0, MaxSpacing)
        ->description(TR_NOOP("CommandLine", "N transparent pixels around the sheet (default: 0)"))
        ->group(spacing);
    AddCount(app, "--extrude", sheet.extrude, 0, MaxSpacing)
        ->description(
            TR_NOOP("CommandLine", "repeat each frame's edge pixels N pixels outward (default: 0)"))
        ->group(spacing);
    app.add_flag("--pot", sheet.powerOfTwo,
                 TR_NOOP("CommandLine", "round both sides up to powers of two (default: off)"))
        ->group(spacing);
    AddCount(app, "--max-size", sheet.maxSize, 1, std::numeric_limits<int32_t>::max())
        ->description(TR_NOOP(
            "CommandLine", "refuse a sheet with a side above N pixels (default: warn above 16384)"))
        ->group(spacing);
}

void UParser_C::DefinePixelOptions() {
    NS_Data::UPixelOptions_S& pixels = result.compose.pixels;
    const char* group = TR_NOOP("CommandLine", "Edges and blending");
    app.add_flag(
           "--alpha-bleed", pixels.alphaBleed,
           TR_NOOP("CommandLine",
                   "give every fully transparent pixel around and inside a frame the colour of "
                   "the nearest visible one, so filtered edges take no dark or bright fringe "
                   "(default: off)"))
        ->group(group);
    app.add_flag(
           "--premultiply", pixels.premultiply,
           TR_NOOP("CommandLine",
                   "multiply colours by alpha, for engines that blend premultiplied textures; the "
                   "data file says so where its engine reads it (default: off)"))
        ->group(group);
}

void UParser_C::DefineFrameOptions() {
    using NS_Data::UDataOptions_S;
    NS_Data::UComposeOptions_S& compose = result.compose;
    const char* group = TR_NOOP("CommandLine", "Frames");
    app.add_option("--data", compose.data.path,
                   TR_NOOP("CommandLine", "also write where each frame lies (default: none)"))
        ->option_text("FILE.json")
        ->group(group);
    AddChoice<UDataOptions_S::Form_E>(app, "--data-format", compose.data.form, DataFormChoices())
        ->description(DescribeDataForms(&SourceText))
        ->option_text("FORMAT")
        ->group(group);
    AddCount(app, "--fps", compose.data.fps, 1, 1000)
        ->description(
            TR_NOOP("CommandLine",
                    "frames of an animation without a duration of their own show 1000/N ms "
                    "(default: 10)"))
        ->group(group);
    app.add_option(
           "--pivot", pivot,
           TR_NOOP("CommandLine",
                   "each frame's pivot, in fractions of its picture's width and height, e.g. "
                   "0.5,1 (default: none)"))
        ->option_text("X,Y")
        ->group(group);
    AddChoice<CommandLine_S::PathOrder_E>(
        app, "--sort", result.order,
        {{"bytes", CommandLine_S::ByteOrder}, {"natural", CommandLine_S::NaturalOrder}})
        ->description(
            TR_NOOP("CommandLine",
                    "bytes (byte order of the full paths) or natural (numbers by value: frame2 "
                    "before frame10) (default: bytes)"))
        ->option_text("ORDER")
        ->group(group);
    AddChoice<bool>(app, "--gif-frames", compose.allGifFrames, {{"first", false}, {"all", true}})
        ->description(
            TR_NOOP("CommandLine",
                    "first, or all: every frame of an animated gif in its own cell (default: "
                    "first)"))
        ->option_text("WHICH")
        ->group(group);
}

void UParser_C::DefineRebuildOptions() {
    const char* builds = BuildsGroup;
    app.add_option("--project", result.projects,
                   TR_NOOP("CommandLine",
                           "build every sheet of the project file; the other options apply to each "
                           "sheet, over the file's own (repeatable)"))
        ->option_text("FILE.json")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false)
        ->group(builds);
    app.add_flag("--force", result.force,
                 TR_NOOP("CommandLine",
                         "write the files even when those there were made from the same pictures, "
                         "options and version (default: leave them alone)"))
        ->group(builds);
    app.add_option(
           "--depfile", result.depfile,
           TR_NOOP("CommandLine",
                   "also write the files made and every picture and folder they were made from "
                   "as a Makefile rule, for make and ninja (default: none)"))
        ->option_text("FILE.d")
        ->group(builds);
    app.add_flag(
           "--watch", result.watch,
           TR_NOOP("CommandLine",
                   "after building, build again whenever a picture, a folder walked or the project "
                   "file changes, until ended (Ctrl+C)"))
        ->group(builds);
}

std::vector<std::string> UParser_C::GetOptionNames() const {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_snames()) {
            names.push_back("-" + name);
        }
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
    }
    return names;
}

std::vector<UOptionKind_S> UParser_C::GetSheetOptions() const {
    std::vector<UOptionKind_S> options;
    for (const CLI::Option* option : app.get_options()) {
        // The other options act on the whole run, not on a sheet.
        const std::vector<std::string>& names = option->get_lnames();
        if (names.empty() || option->get_group() == OtherGroup ||
            option->get_group() == BuildsGroup) {
            continue;
        }
        // Options that take a count name their value N (AddCount).
        const UOptionKind_S::Kind_E kind =
            option->get_expected_max() == 0 ? UOptionKind_S::Flag
            : option->get_multi_option_policy() == CLI::MultiOptionPolicy::TakeAll
                ? UOptionKind_S::List
            : option->get_option_text() == "N" ? UOptionKind_S::Count
                                               : UOptionKind_S::Text;
        options.push_back({names[0], kind});
    }
    return options;
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
    return ShownText("CommandLine", "a flag");
}

std::string UParser_C::DescribeParseError(const CLI::ParseError& error) const {
    // CLI11 names the option in its message; the longest name found is the one meant, as
    // "--data" is found in "--data-format" too.
    const std::string message = error.what();
    std::string name;
    for (const CLI::Option* option : app.get_options()) {
        const std::string candidate = option->get_name();
        if (option->nonpositional() && message.find(candidate) != std::string::npos &&
            candidate.size() > name.size()) {
            name = candidate;
        }
    }
    if (name.empty()) {
        return ShownText("CommandLine", "the arguments cannot be read as options and paths");
    }
    if (error.get_name() == "ArgumentMismatch") {
        return FillIn(ShownText("CommandLine", "%1 needs a value"), {name});
    }
    return FillIn(ShownText("CommandLine", "%1 cannot take the value given"), {name});
}

void UParser_C::Fail(std::string problem) {
    result.action = CommandLine_S::BadUsage;
    result.problem = std::move(problem);
}

std::string UParser_C::ChooseLayoutAndTrim() {
    NS_Data::UComposeOptions_S& compose = result.compose;
    if (app.count("--layout") > 0) {
        const auto chosen = ParseLayout(layout);
        if (!chosen) {
            return ShownText("CommandLine",
                             "--layout takes horizontal, vertical, multirow, packed or an integer");
        }
        compose.layout = *chosen;
    }
    for (const auto& [first, second] :
         {std::pair{"--trim", "--autocut"}, {"--no-trim", "--trim"}, {"--no-trim", "--autocut"}}) {
        if (app.count(first) > 0 && app.count(second) > 0) {
            return FillIn(ShownText("CommandLine", "%1 and %2 cannot be given together"),
                          {first, second});
        }
    }
    // A data file says where each frame went, so nothing needs the cells of a grid: a column of
    // 41 pictures from 32 x 27 to 673 x 784 was 673 x 32144 pixels, packed and trimmed 668 x 2357.
    const bool packs = app.count("--data") > 0 && app.count("--layout") == 0 &&
                       app.count("--columns") == 0 && !autoCut;
    if (packs) {
        compose.layout = NS_Data::ULayout_E::Packed;
    }
    compose.trim = trim || (packs && !noTrim)
                       ? NS_Data::UTrim_E::Each
                       : (autoCut ? NS_Data::UTrim_E::Common : NS_Data::UTrim_E::None);
    return {};
}

std::string UParser_C::CheckFrameOptions() {
    NS_Data::UComposeOptions_S& compose = result.compose;
    compose.packing.alias = !noAlias;
    if (app.count("--pivot") > 0) {
        const auto point = ParsePivot(pivot);
        if (!point) {
            return ShownText("CommandLine",
                             "--pivot takes two fractions X,Y from -1000000 to 1000000, as 0.5,1");
        }
        compose.data.hasPivot = true;
        compose.data.pivotX = point->first;
        compose.data.pivotY = point->second;
    }
    const std::vector<NS_Data::UOptionConflict_S> conflicts = NS_Data::FindConflicts(compose);
    return conflicts.empty() ? std::string() : DescribeConflict(conflicts.front(), compose);
}

void UParser_C::FinishProjects(const std::vector<std::string>& arguments) {
    for (const char* name : {"--output", "--data"}) {
        if (app.count(name) > 0) {
            return Fail(
                FillIn(ShownText("CommandLine", "%1 is each sheet's own in a project"), {name}));
        }
    }
    if (!result.paths.empty()) {
        return Fail(FillIn(ShownText("CommandLine", "a project names its own pictures, not %1"),
                           {result.paths.front()}));
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--project") {
            ++i;
        } else if (!arguments[i].starts_with("--project=")) {
            result.projectArguments.push_back(arguments[i]);
        }
    }
    result.action = CommandLine_S::BuildProjects;
}

std::string UParser_C::CheckVariants() {
    std::vector<NS_Data::UVariant_S>& chosen = result.compose.variants;
    if (app.count("--scale") > 0 && app.count("--variant") > 0) {
        return ShownText(
            "CommandLine",
            "--scale and --variant cannot be given together; give --variant :F instead");
    }
    if (app.count("--scale") > 0) {
        const auto value = ParseScale(scale);
        if (!value) {
            return FillIn(ShownText("CommandLine",
                                    "--scale takes a number above 0 and at most 16, not \"%1\""),
                          {scale});
        }
        chosen.push_back({"", *value});
    }
    for (const std::string& text : variants) {
        const std::size_t colon = text.rfind(':');
        const auto value =
            colon == std::string::npos ? std::nullopt : ParseScale(text.substr(colon + 1));
        if (!value) {
            return FillIn(
                ShownText("CommandLine",
                          "--variant takes SUFFIX:F with F above 0 and at most 16, not \"%1\""),
                {text});
        }
        const std::string suffix = text.substr(0, colon);
        if (suffix.find('/') != std::string::npos) {
            return FillIn(ShownText("CommandLine", "--variant %1: a suffix names no folder"),
                          {text});
        }
        if (std::ranges::any_of(chosen,
                                [&](const auto& other) { return other.suffix == suffix; })) {
            return FillIn(
                ShownText("CommandLine", "--variant %1: another variant has the suffix \"%2\""),
                {text, suffix});
        }
        chosen.push_back({suffix, *value});
    }
    return {};
}

void UParser_C::Finish() {
    if (std::string problem = ChooseLayoutAndTrim(); !problem.empty()) {
        return Fail(std::move(problem));
    }
    if (std::string problem = CheckVariants(); !problem.empty()) {
        return Fail(std::move(problem));
    }
    if (std::string problem = CheckFrameOptions(); !problem.empty()) {
        return Fail(std::move(problem));
    }
    const std::string& output = result.compose.output;
    if (output.empty()) {
        for (const CLI::Option* option : app.get_options()) {
            if (option->count() > 0 && option->get_name() != "paths") {
                return Fail(FillIn(ShownText("CommandLine", "%1 needs -o SHEET.png"),
                                   {option->get_name()}));
            }
        }
        return;
    }
    if (!NamesSheetFormat(output)) {
        return Fail(FillIn(ShownText("CommandLine",
                                     "-o %1: a sheet's name ends in .png or .webp (or is - for "
                                     "standard output)"),
                           {output}));
    }
    if (app.count("--data") > 0 && result.compose.data.path.empty()) {
        return Fail(ShownText("CommandLine", "--data takes a file name, not \"\""));
    }
    if (result.paths.empty()) {
        return Fail(ShownText("CommandLine", "no PATH to compose"));
    }
    if (!result.depfile.empty() && (output == "-" || result.compose.data.path == "-")) {
        return Fail(ShownText("CommandLine", "--depfile names files, not standard output"));
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
    } catch (const UBadValue_S& bad) {
        Fail(bad.problem);
        return result;
    } catch (const CLI::ExtrasError&) {
        Fail(FillIn(ShownText("CommandLine", "unknown option %1"), {app.remaining().front()}));
        return result;
    } catch (const CLI::ParseError& error) {
        Fail(DescribeParseError(error));
        return result;
    } catch (const std::logic_error&) {
        // CLI11 reads the VALUE of "--flag=VALUE" as a count, and throws this for a word; the
        // arguments it took are gone from `options` by now.
        Fail(FillIn(ShownText("CommandLine", "%1 takes no value"), {FindFlagWithValue(arguments)}));
        return result;
    }
    for (const std::string& path : result.paths) {
        // Taken for a path as it looks like a negative number; a path like that must follow "--".
        if (path.size() > 1 && path[0] == '-') {
            Fail(FillIn(ShownText("CommandLine", "unknown option %1"), {path}));
            return result;
        }
    }
    if (mark != arguments.end()) {
        result.paths.insert(result.paths.end(), mark + 1, arguments.end());
    }
    if (!result.projects.empty()) {
        FinishProjects(arguments);
        return result;
    }
    Finish();
    return result;
}

}  // namespace

CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments) {
    return UParser_C().Parse(arguments);
}

const char* GetLayoutName(NS_Data::ULayout_E layout) {
    return NameIn(LayoutNames, layout);
}

const char* GetCompressionName(USheetEncoder_C::Level level) {
    return NameIn(CompressionNames, level);
}

const std::string& GetUsageText() {
    static const std::string text = UParser_C().GetUsage();
    return text;
}

std::vector<std::string> GetOptionNames() {
    return UParser_C().GetOptionNames();
}

std::vector<UOptionKind_S> GetSheetOptions() {
    return UParser_C().GetSheetOptions();
}

std::string MakeManualPage(const std::string& page) {
    const std::size_t marker = page.find(ManualOptionsMarker);
    if (marker == std::string::npos) {
        return {};
    }
    return page.substr(0, marker) + UParser_C().GetManualOptions() +
           page.substr(marker + std::string_view(ManualOptionsMarker).size());
}

bool CanOpenWindow(const std::function<const char*(const char*)>& variable) {
    const auto isSet = [&variable](const char* name) {
        const char* value = variable(name);
        return value != nullptr && *value != '\0';
    };
    const bool x = isSet("DISPLAY"), wayland = isSet("WAYLAND_DISPLAY");
    const char* platforms = variable("QT_QPA_PLATFORM");
    if (platforms == nullptr || *platforms == '\0') {
        return x || wayland;
    }
    // Each entry is NAME or NAME:OPTIONS; Qt takes the first that starts.
    std::string_view rest = platforms;
    while (!rest.empty()) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name == "xcb" ? x : (name.starts_with("wayland") ? wayland : !name.empty())) {
            return true;
        }
    }
    return false;
}
