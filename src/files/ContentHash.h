#pragma once

#include <cstdint>
#include <string_view>

// Fast 64-bit hashes (XXH3) that tell whether a file's bytes changed since they were recorded;
// not for anything an attacker chooses.

uint64_t HashBytes(std::string_view bytes);

// The hash of every byte of the file at `path`; false when it cannot be read.
bool HashFile(const char* path, uint64_t& hash);

// The hash of the first `size` bytes of the open file `descriptor`, sampled: the whole of a
// file up to 128 KiB, else its first and last 64 KiB with the size. A sheet of 16 MiB is read
// in 0.1 ms this way rather than 4 ms whole, and a file cut short or grown changes the size.
// False when those bytes cannot be read.
bool HashSample(int descriptor, uint64_t size, uint64_t& hash);
