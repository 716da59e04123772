#pragma once

#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"

// What the command line asks for. Each argument that is not an option is one path.
struct CommandLine_S {
    enum Action_E { OpenWindow, ComposeSheet, ShowHelp, ShowVersion, BadUsage };
    enum PathOrder_E { ByteOrder, NaturalOrder };

    Action_E action = OpenWindow;
    // The sheet and every option of its compose; compose.output is empty without -o.
    NS_Data::UComposeOptions_S compose;
    PathOrder_E order = ByteOrder;
    std::vector<std::string> paths;
    // Why the usage is bad, for the one line printed above the usage text.
    std::string problem;
};

// Reads the arguments after the program name. --help and --version act where they appear, unless
// an option before them lacks its value; otherwise the first problem found makes the usage bad.
CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text that --help prints, ending in a line break, made from the options' own
// definitions.
const std::string& GetUsageText();

// Every option's names as the parser knows them ("-o", "--output", ...), in usage order.
std::vector<std::string> GetOptionNames();
