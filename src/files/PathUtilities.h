#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Paths are UTF-8 with '/' as separator; the root "/" already ends with one. Paths produced here
// go into strings, so nothing limits their length: the 200-byte records that keep paths check
// the length where a path is stored.

// The part after the last '/', pointing into `path`.
const char* GetFileName(const char* path);

// The folder part of `path` with its '/', or "./" for a bare name, so that it can always be
// opened or have a name appended.
std::string GetFolderPath(const std::string& path);

// True when the text after the last '.' of the last path component equals `extension`, ASCII
// letters compared without regard to case; a component without a dot has no extension.
bool HasExtension(const char* path, const char* extension);

// The path that leads from the folder holding `from` to `target`, both taken from the current
// folder when relative, as the system would follow it: the two folders with their links
// resolved (where they exist), the file names as given.
std::string GetRelativePath(const std::string& target, const std::string& from);

// Writes the running program's directory with its trailing '/' into `buffer`. Returns false,
// with an empty buffer, when the directory cannot be read or does not fit `size` bytes.
bool GetModuleDirectory(char* buffer, std::size_t size);

// Creates `directory` and each missing folder above it, readable by the user alone (they may
// hold the user's settings). True when it exists as a folder afterwards.
bool MakeDirectories(const std::string& directory);
