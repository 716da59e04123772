#pragma once

#include <string_view>

// Orders paths so that numbered frames come out in animation order: runs of digits compare by
// their value ("frame2" before "frame10", "a9/x" before "a10/x"), everything else by its bytes.
// Paths equal that way, as "f01" and "f1", fall back to byte order, so the order is total.
bool IsNaturallyBefore(std::string_view a, std::string_view b);
