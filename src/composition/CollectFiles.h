#pragma once

#include <functional>

#include "composition/UProgress_F.h"

class UFileAbyss_C;

// Receives one collected picture path.
using UAppendPath_F = std::function<void(const char* path)>;

// Drains `fileAbyss`, keeps the paths that name picture files by their extension, sorts them by
// full path and hands them to `append` in that order. When taking the paths or sorting them
// fails, nothing has been handed on; paths still pending stay in `fileAbyss`. A failure inside
// `append` leaves the paths handed on before it where they went.
// `progress` (may be empty) hears of every file taken from the queue, with a total of 0; when it
// asks to stop, the function returns false before handing on anything, and the paths not yet
// taken stay pending.
bool CollectFiles(UFileAbyss_C& fileAbyss, const UAppendPath_F& append,
                  const UProgress_F& progress = {});
