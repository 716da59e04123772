#pragma once

#include <functional>
#include <string>
#include <vector>

#include "composition/UComposeOptions_S.h"

namespace NS_Wnd {

// One sheet of a project file as its build makes it: the sheet's and data file's paths (the data
// path empty for none), the pictures its inputs name (files and folders, patterns expanded) and
// the options, each path as the program reaches it.
struct UProjectSheet_S {
    std::string output;
    std::string data;
    std::vector<std::string> pictures;
    NS_Data::UComposeOptions_S options;
    bool naturalOrder = false;
};

// How the window reads and writes project files: through the command line's own reader and its
// option names, which the program lends the window, so that a project saved by the window builds
// to the same files from the command line. Each returns empty, or the problem for the user.
struct UProjectFiles_S {
    // The project at `path`, sheet by sheet.
    std::function<std::string(const std::string& path, std::vector<UProjectSheet_S>& sheets)> read;
    // Puts `sheet` in place of the first sheet of the project at `path`, or of a new project
    // when there is none; the project's other sheets and its defaults stay as they are, and a
    // sheet that builds as before leaves the file untouched.
    std::function<std::string(const std::string& path, const UProjectSheet_S& sheet)> write;
};

}  // namespace NS_Wnd
