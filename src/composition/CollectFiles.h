#pragma once

#include <functional>

class UFileAbyss_C;

// Receives one collected picture path.
using UAppendPath_F = std::function<void(const char* path)>;

// Drains `fileAbyss`, keeps the paths that name picture files by their extension, sorts them by
// full path and hands them to `append` in that order. When taking the paths or sorting them
// fails, nothing has been handed on; paths still pending stay in `fileAbyss`. A failure inside
// `append` leaves the paths handed on before it where they went.
void CollectFiles(UFileAbyss_C& fileAbyss, const UAppendPath_F& append);
