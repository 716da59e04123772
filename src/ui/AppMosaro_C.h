#pragma once

#include <string>
#include <vector>

namespace NS_Wnd {

// The application: loads the settings file, runs the main dialog once and lets the program end
// when the dialog ends. All user interaction happens inside the dialog's modal loop.
class AppMosaro_C {
public:
    // Opens the window with each of `paths` queued as one path and returns 0 when the window is
    // closed. The settings store writes its file when the process exits, not here.
    static int Run(const std::vector<std::string>& paths);
};

}  // namespace NS_Wnd
