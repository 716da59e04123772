#pragma once

#include <string>
#include <vector>

// Opens the window with `paths` queued for its start-up collection and returns the exit status
// when it closes.
int RunWindow(const std::vector<std::string>& paths);
