#pragma once

#include <array>

// The file names taken for pictures: the extensions of the formats the decoders read, in the
// order users see them listed (choosers, messages), letter case ignored.
inline constexpr std::array<const char*, 4> PictureExtensions = {"bmp", "png", "jpg", "gif"};

// True when the last component of `path` ('/' separates folders) ends in one of
// PictureExtensions.
bool IsPictureFile(const char* path);
