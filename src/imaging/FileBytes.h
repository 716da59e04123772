#pragma once

#include <cstddef>
#include <vector>

// Reading picture files whole or in part, by the bytes of their names.
namespace FileBytes {

// Up to `limit` bytes from the start of the regular file at `path`; false for anything else (a
// FIFO is not waited on) and for a file that cannot be read.
bool Read(const char* path, std::size_t limit, std::vector<unsigned char>& bytes);

}  // namespace FileBytes
