#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "composition/UProject_C.h"

// One sheet of a project as the command line that builds it, and the name its messages give it:
// its output as the project writes it.
struct UProjectSheetLine_S {
    std::string name;
    CommandLine_S line;
};

// Turns each sheet of `project` into its command line: the project's defaults, then the sheet's
// own options, then `arguments` (the run's, which override both), read by the command line's own
// parser, so that every check, default and refusal is the command line's. Glob patterns among
// the inputs are expanded in sorted order. Appends the sheets to `sheets` and returns empty, or
// returns the first problem, naming the key's path and line.
std::string MakeProjectSheets(const NS_Data::UProject_C& project,
                              const std::vector<std::string>& arguments,
                              std::vector<UProjectSheetLine_S>& sheets);

// MakeProjectSheets for the project file at `file`; the problem starts with the file's name,
// also when the file cannot be read or is no project.
std::string ReadProjectSheets(const std::string& file, const std::vector<std::string>& arguments,
                              std::vector<UProjectSheetLine_S>& sheets);
