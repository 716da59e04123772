#pragma once

#include <functional>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "foundation/ShownText.h"

// What the command line asks for. Each argument that is not an option is one path.
struct CommandLine_S {
    enum Action_E { OpenWindow, ComposeSheet, ShowHelp, ShowVersion, BadUsage, BuildProjects };
    enum PathOrder_E { ByteOrder, NaturalOrder };

    Action_E action = OpenWindow;
    // The sheet and every option of its compose; compose.output is empty without -o.
    NS_Data::UComposeOptions_S compose;
    PathOrder_E order = ByteOrder;
    // Write the files even when those there are up to date.
    bool force = false;
    // After building, build again whenever what the build read changes, until ended.
    bool watch = false;
    // Where the files made and those they were made from go as a Makefile rule; empty for none.
    std::string depfile;
    std::vector<std::string> paths;
    // With --project: the project files, and the other arguments, which every sheet takes last.
    std::vector<std::string> projects;
    std::vector<std::string> projectArguments;
    // Why the usage is bad, for the one line printed above the usage text.
    std::string problem;
};

// Reads the arguments after the program name. --help and --version act where they appear, unless
// an option before them lacks its value; otherwise the first problem found makes the usage bad.
CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments);

// What a long option takes: nothing (a flag), a whole number, a text, or several values.
struct UOptionKind_S {
    enum Kind_E { Flag, Count, Text, List };
    // Without the dashes: "padding".
    std::string name;
    Kind_E kind;
};

// Every long option a sheet may take, as the parser defines it; those listed last in the usage,
// under no heading (--help, --version, --project), act on the run and are not among them.
std::vector<UOptionKind_S> GetSheetOptions();

// The usage text that --help prints, ending in a line break, made from the options' own
// definitions.
const std::string& GetUsageText();

// The names --layout and --compression take for a layout and a writer's level.
const char* GetLayoutName(NS_Data::ULayout_E layout);
const char* GetCompressionName(USheetEncoder_C::Level level);

// Every option's names as the parser knows them ("-o", "--output", ...), in usage order.
std::vector<std::string> GetOptionNames();

// The line of the manual page's template that the options take the place of.
constexpr const char* ManualOptionsMarker = ".\\\" The options, from the program's definitions\n";

// The manual page: `page`, a template in roff, with the options in place of its marker line,
// made from the same definitions as the usage text. Empty when `page` has no marker.
std::string MakeManualPage(const std::string& page);

// True when the window has somewhere to open: an X or a Wayland display, or a Qt platform
// (QT_QPA_PLATFORM, a list split by ';') that needs neither, such as offscreen or vnc.
// `variable` reads the environment as std::getenv does.
bool CanOpenWindow(const std::function<const char*(const char*)>& variable);

// The line that points from a usage error to the usage text, shown through
// NS_Base::ShownText("CommandLine", HelpPointer).
constexpr const char* HelpPointer =
    TR_NOOP("CommandLine", "Try 'tavrin --help' for more information.\n");
