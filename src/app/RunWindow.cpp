#include "RunWindow.h"

#include <cstdio>

int RunWindow(const std::vector<std::string>&) {
    std::fputs("tavrin: the window is not available yet; compose with -o SHEET.png PATH...\n",
               stderr);
    return 1;
}
