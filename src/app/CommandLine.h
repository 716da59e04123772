#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks for. Each argument that is not an option is one path.
struct CommandLine_S {
    enum Action_E { OpenWindow, ComposeSheet, ShowHelp, ShowVersion, BadUsage };

    Action_E action = OpenWindow;
    std::string output;
    // A layout value as the ComposeMode setting holds it: 0 row, 1 column, anything else grid.
    int32_t composeMode = 1;
    bool autoCut = false;
    std::vector<std::string> paths;
    // Why the usage is bad, for the one line printed above the usage text.
    std::string problem;
};

// Reads the arguments after the program name. --help and --version act at once where they
// appear; the first option that cannot be understood makes the usage bad.
CommandLine_S ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text that --help prints, ending in a line break.
const char* GetUsageText();
