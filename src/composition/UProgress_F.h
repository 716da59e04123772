#pragma once

#include <cstddef>
#include <functional>

// Told after each step of a long piece of work how many steps are done out of `total` (0 while
// the total is not known yet); returns false to stop the work there. The window's progress
// dialog and the command line's progress line both listen through it.
using UProgress_F = std::function<bool(std::size_t done, std::size_t total)>;
