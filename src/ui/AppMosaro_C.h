#pragma once

#include <string>
#include <vector>

#include "ui/UProjectFiles_S.h"

namespace NS_Wnd {

// The application: loads the settings file, runs the main dialog once and lets the program end
// when the dialog ends. All user interaction happens inside the dialog's modal loop.
//
// The settings file lies beside the program when that folder is the program's own (writable,
// or already holding the file, and not an installed program's bin/), else in
// $XDG_CONFIG_HOME/tavrin/ (~/.config/tavrin/).
//
// In a build with the test hooks (TAVRIN_TEST_HOOKS), the environment variable TAVRIN_CLICK lists
// control ids of the dialog ("1004,1012": one row, then end), clicked in that order once the
// window shows.
class AppMosaro_C {
public:
    // Opens the window with each of `paths` queued as one path and returns 0 when the window is
    // closed; the window opens and saves projects through `projects`. The settings store writes
    // its file when the process exits, not here.
    static int Run(const std::vector<std::string>& paths, UProjectFiles_S projects);
};

}  // namespace NS_Wnd
